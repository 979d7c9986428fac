// One picture decoder, fed the way the game loads pictures: a file loaded into
// a texture through GMImageSurface. Built once per kind (BRIMVALE_FUZZ_KIND):
//  png   - "p.png", told by its signature
//  jpeg  - "p.jpg" (texture rounded up, alpha companion looked for) and "p.pic"
//  gif   - "p.gif" and "p.pic"
//  bmp   - "p.pic" and the in-memory BMP decoder
//  alpha - bytes 0 and 1 give a main picture's size (width 1 + b0 + 256 x (b1 & 1),
//          height 1 + (b1 >> 1) x 4); an opaque BMP of that size is written as
//          "m.jpg", the rest as its "m_A.jpg" companion, and "m.jpg" loaded.
#include "FuzzSupport.h"

#include "gfx/Bitmap.h"
#include "gfx/BmpDecoder.h"
#include "gfx/GMImageSurface.h"
#include "gfx/ImageFrameInfo.h"

#include <cstring>
#include <string>

#define BRIMVALE_KIND_png 1
#define BRIMVALE_KIND_jpeg 2
#define BRIMVALE_KIND_gif 3
#define BRIMVALE_KIND_bmp 4
#define BRIMVALE_KIND_alpha 5
#define BRIMVALE_KIND_(k) BRIMVALE_KIND_##k
#define BRIMVALE_KIND(k) BRIMVALE_KIND_(k)

namespace {

void Load(const char* name)
{
    auto* s = new GMImageSurface;
    s->AddRef();
    ImageFrameInfo info{};
    s->Load(name, &info, fuzz::Device());
    s->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Device();
#if BRIMVALE_KIND(BRIMVALE_FUZZ_KIND) == BRIMVALE_KIND_png
    fuzz::WriteFile("p.png", data, size);
    Load("p.png");
#elif BRIMVALE_KIND(BRIMVALE_FUZZ_KIND) == BRIMVALE_KIND_jpeg || BRIMVALE_KIND(BRIMVALE_FUZZ_KIND) == BRIMVALE_KIND_gif
#if BRIMVALE_KIND(BRIMVALE_FUZZ_KIND) == BRIMVALE_KIND_jpeg
    const char* name = "p.jpg";
#else
    const char* name = "p.gif";
#endif
    fuzz::WriteFile(name, data, size);
    Load(name);
    fuzz::WriteFile("p.pic", data, size);
    Load("p.pic");
#elif BRIMVALE_KIND(BRIMVALE_FUZZ_KIND) == BRIMVALE_KIND_bmp
    fuzz::WriteFile("p.pic", data, size);
    Load("p.pic");
    Bitmap bitmap;
    DecodeBmp(data, size, bitmap);
#elif BRIMVALE_KIND(BRIMVALE_FUZZ_KIND) == BRIMVALE_KIND_alpha
    if (size < 2)
        return 0;
    int w = 1 + data[0] + 256 * (data[1] & 1);
    int h = 1 + (data[1] >> 1) * 4;
    std::string main = fuzz::MakeBmp(w, h, data[0]);
    fuzz::WriteFile("m.jpg", reinterpret_cast<const uint8_t*>(main.data()), main.size());
    fuzz::WriteFile("m_A.jpg", data + 2, size - 2);
    Load("m.jpg");
#else
#error "BRIMVALE_FUZZ_KIND names no picture kind"
#endif
    return 0;
}
