#pragma once
#include "gfx/Bitmap.h"

#include <cstdint>

class DisplayDevice;
class Texture;

// The road from a bitmap picture (BMP, GIF, JPEG) into a texture, and the alpha
// that a separate "_A" picture gives it.

// Decodes the file by its first bytes: "BM" a Windows bitmap, "GIF" a GIF,
// 0xFF 0xD8 a JPEG. False for anything else or a file that does not decode
// (out.fault says why). Pictures wider or taller than out.maxSide are refused.
bool LoadBitmapFile(const char* path, Bitmap& out);

// The largest texture the device makes (its caps), in each direction.
void LargestTexture(DisplayDevice* device, uint32_t* width, uint32_t* height);

// Power-of-two side for a bitmap texture: 1, 2, 4 ... 2048, then 4096 for
// anything larger.
uint32_t BitmapTextureSide(int32_t size);

// A transparent A8R8G8B8 texture of the power-of-two sizes; null on failure,
// including sizes beyond the device's largest texture.
Texture* CreateBitmapTexture(int32_t width, int32_t height, DisplayDevice* device);

// Copies the overlap of bitmap and texture to the texture's top-left corner,
// opaque. 0, kResultFail for a missing texture, or the lock's failure.
int32_t CopyBitmapToTexture(Texture* texture, const Bitmap& bitmap);

// Decodes path, reports its size, creates the texture when *texture is null,
// copies the picture in. False when the picture or the texture cannot be made;
// fault (may be null) says why. Pictures larger than the device's largest
// texture are refused before their pixels are decoded.
bool LoadBitmapTexture(const char* path, DisplayDevice* device, Texture** texture, int32_t* width, int32_t* height,
                       PictureFault* fault = nullptr);

// Alpha for the top-left width x height texels from the picture at alphaPath,
// or opaque when that picture is missing or unusable. fault (may be null)
// says why a picture that is there gave no alpha (None when it did or when
// there is none).
bool ApplyAlphaImage(const char* alphaPath, int32_t width, int32_t height, Texture* texture,
                     PictureFault* fault = nullptr);

// Stretches the bitmap by nearest pixel over width x height and writes its
// grey level into the texels' alpha: 8 bits the byte, 16 bits the high byte,
// 24 and 32 bits the mean of the first three bytes. Needs 8 bits or more.
bool AlphaFromBitmap(const Bitmap& bitmap, int32_t width, int32_t height, Texture* texture);

// Sets the alpha of the top-left width x height texels (clipped) to value.
bool FillAlpha(uint8_t value, int32_t width, int32_t height, Texture* texture);
