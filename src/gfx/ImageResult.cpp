#include "gfx/ImageResult.h"

const char* DescribePictureFault(PictureFault fault)
{
    switch (fault) {
    case PictureFault::None: return "no reason known";
    case PictureFault::NotFound: return "file not found";
    case PictureFault::Empty: return "the file is empty";
    case PictureFault::UnknownKind: return "not a PNG, BMP, GIF or JPEG picture";
    case PictureFault::Damaged: return "damaged picture data";
    case PictureFault::Oversized: return "its header claims more pixels than the file holds";
    case PictureFault::TooLarge: return "larger than the largest texture";
    case PictureFault::OutOfMemory: return "out of memory";
    case PictureFault::NoTexture: return "no texture could be made for it";
    case PictureFault::FewBits: return "an alpha picture needs 8 bits per pixel or more";
    }
    return "no reason known";
}
