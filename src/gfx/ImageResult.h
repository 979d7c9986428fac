#pragma once
#include <cstdint>

// Result codes of picture and template loading, with the values of their
// DirectX namesakes so that logs read the same.
constexpr int32_t kResultOk = 0;
constexpr int32_t kResultFail = static_cast<int32_t>(0x80004005u);              // E_FAIL
constexpr int32_t kResultOutOfMemory = static_cast<int32_t>(0x8007000Eu);       // E_OUTOFMEMORY
constexpr int32_t kResultInvalidArg = static_cast<int32_t>(0x80070057u);        // E_INVALIDARG
constexpr int32_t kResultNotFound = static_cast<int32_t>(0x887600FFu);          // DDERR_NOTFOUND
constexpr int32_t kResultInvalidParameter = static_cast<int32_t>(0x88760B54u);  // D3DXERR_INVALIDPARAMETER
constexpr int32_t kResultUnsupportedFile = static_cast<int32_t>(0x88760B55u);   // no decoder for the file

// Why a picture did not load, for the error log.
enum class PictureFault {
    None,
    NotFound,     // the file does not open
    Empty,        // the file has no bytes
    UnknownKind,  // not a PNG, BMP, GIF or JPEG
    Damaged,      // the decoder refused the data
    Oversized,    // the header claims more pixels than the file can hold
    TooLarge,     // wider or taller than the largest texture
    OutOfMemory,
    NoTexture,    // the display device made or locked no texture for it
    FewBits,      // an alpha picture of fewer than 8 bits per pixel
};

const char* DescribePictureFault(PictureFault fault);
