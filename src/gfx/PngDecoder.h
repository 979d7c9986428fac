#pragma once
#include "gfx/ImageResult.h"

#include <cstdint>
#include <cstdio>

// Where decoded PNG rows go: the decoder asks for the memory once it knows the
// picture's size, and writes 4-byte pixels (blue, green, red, alpha) straight
// into it, row i at pixels + i * pitch.
class PngTarget {
public:
    enum class Format { Rgb, Argb, Unknown };
    // Returns the memory for width x height pixels, or null to give up; result
    // is the code handed back by DecodePng then.
    virtual uint8_t* Begin(uint32_t width, uint32_t height, Format format, int32_t* pitch, int32_t* result) = 0;
    // Called once after every row was written (or after a failed read).
    virtual void End() {}

protected:
    ~PngTarget() = default;
};

bool IsPngSignature(const uint8_t* bytes, int count);

// Decodes a PNG whose 8 signature bytes were already read from stream.
// Returns 0 on success, the target's result if it gave no memory, -1 when
// libpng rejects the file or its header claims more pixels than its image data
// can hold (checked before the target is asked for memory). A picture whose
// rows are all read loads even when what follows them is missing or cut.
// fault (may be null) receives why it failed.
int32_t DecodePng(FILE* stream, PngTarget& target, PictureFault* fault = nullptr);

// Test hook: the reader's next `count` allocations succeed and the ones after
// fail; a negative count lifts the limit.
void LimitPngAllocationsForTest(int count);
