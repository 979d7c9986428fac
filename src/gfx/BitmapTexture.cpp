#include "gfx/BitmapTexture.h"

#include "gfx/BmpDecoder.h"
#include "gfx/GifDecoder.h"
#include "gfx/ImageResult.h"
#include "gfx/JpegDecoder.h"

#include "core/FileSys.h"
#include "platform/DeviceCaps.h"
#include "platform/DisplayDevice.h"
#include "platform/Texture.h"

#include <cstdio>

bool LoadBitmapFile(const char* path, Bitmap& out)
{
    FILE* f = OpenFile(path, "rb");
    if (!f)
        return out.Fail(PictureFault::NotFound);
    uint8_t head[3] = {};
    size_t got = std::fread(head, 1, 3, f);
    bool ok = false;
    out.fault = got == 0 ? PictureFault::Empty : PictureFault::UnknownKind;
    if (got >= 2 && head[0] == 'B' && head[1] == 'M') {
        std::rewind(f);
        ok = DecodeBmp(f, out);
    } else if (got == 3 && head[0] == 'G' && head[1] == 'I' && head[2] == 'F') {
        std::fclose(f);
        return DecodeGif(path, out);
    } else if (got >= 2 && head[0] == 0xFF && head[1] == 0xD8) {
        std::rewind(f);
        ok = DecodeJpeg(f, out);
    }
    std::fclose(f);
    return ok;
}

void LargestTexture(DisplayDevice* device, uint32_t* width, uint32_t* height)
{
    DeviceDesc caps{};
    uint32_t w = Bitmap::kLargestSide, h = Bitmap::kLargestSide;
    if (device && !DisplayFailed(device->GetCaps(&caps))) {
        w = caps.maxTextureWidth < w ? caps.maxTextureWidth : w;
        h = caps.maxTextureHeight < h ? caps.maxTextureHeight : h;
    }
    *width = w;
    *height = h;
}

uint32_t BitmapTextureSide(int32_t size)
{
    uint32_t side = 1;
    while (side < 2048 && static_cast<int64_t>(side) < size)
        side <<= 1;
    if (size > 2048)
        side = 4096;
    return side;
}

Texture* CreateBitmapTexture(int32_t width, int32_t height, DisplayDevice* device)
{
    if (!device || width <= 0 || height <= 0)
        return nullptr;
    uint32_t maxW = 0, maxH = 0;
    LargestTexture(device, &maxW, &maxH);
    if (BitmapTextureSide(width) > maxW || BitmapTextureSide(height) > maxH)
        return nullptr;
    Texture* texture = nullptr;
    if (DisplayFailed(device->CreateTexture(BitmapTextureSide(width), BitmapTextureSide(height), &texture)))
        return nullptr;
    return texture;
}

namespace {

// Lock that always unlocks; the texels are 0xAARRGGBB.
class TexelLock {
public:
    explicit TexelLock(Texture* texture) : m_texture(texture)
    {
        if (texture) {
            m_result = texture->Lock(&m_rect, DDLOCK_WAIT);
            if (DisplayFailed(m_result))
                m_rect.bits = nullptr;
        }
    }
    ~TexelLock()
    {
        if (m_rect.bits)
            m_texture->Unlock();
    }
    TexelLock(const TexelLock&) = delete;
    TexelLock& operator=(const TexelLock&) = delete;

    bool Ok() const { return m_rect.bits != nullptr; }
    int32_t Result() const { return m_result; }
    uint32_t* Row(int32_t y) const
    {
        return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(m_rect.bits) + static_cast<size_t>(y) * m_rect.pitch);
    }

private:
    Texture* m_texture;
    LockedRect m_rect;
    int32_t m_result = kResultFail;
};

}  // namespace

int32_t CopyBitmapToTexture(Texture* texture, const Bitmap& bitmap)
{
    if (!texture || bitmap.bits.empty())
        return kResultFail;
    if (texture->IsLost() != DD_OK)
        texture->Restore();
    TexelLock lock(texture);
    if (!lock.Ok())
        return lock.Result();
    int32_t w = bitmap.width < static_cast<int32_t>(texture->GetWidth()) ? bitmap.width
                                                                          : static_cast<int32_t>(texture->GetWidth());
    int32_t h = bitmap.height < static_cast<int32_t>(texture->GetHeight()) ? bitmap.height
                                                                            : static_cast<int32_t>(texture->GetHeight());
    for (int32_t y = 0; y < h; ++y) {
        uint32_t* row = lock.Row(y);
        for (int32_t x = 0; x < w; ++x)
            row[x] = bitmap.ColorAt(x, y);
    }
    return 0;
}

bool LoadBitmapTexture(const char* path, DisplayDevice* device, Texture** texture, int32_t* width, int32_t* height,
                       PictureFault* fault)
{
    PictureFault ignored;
    if (!fault)
        fault = &ignored;
    *fault = PictureFault::None;
    if (!texture)
        return false;
    uint32_t maxW = 0, maxH = 0;
    LargestTexture(device, &maxW, &maxH);
    Bitmap bitmap;
    bitmap.maxSide = static_cast<int32_t>(maxW > maxH ? maxW : maxH);
    if (!LoadBitmapFile(path, bitmap)) {
        *fault = bitmap.fault;
        return false;
    }
    if (width)
        *width = bitmap.width;
    if (height)
        *height = bitmap.height;
    if (!*texture) {
        if (static_cast<uint32_t>(bitmap.width) > maxW || static_cast<uint32_t>(bitmap.height) > maxH ||
            BitmapTextureSide(bitmap.width) > maxW || BitmapTextureSide(bitmap.height) > maxH) {
            *fault = PictureFault::TooLarge;
            return false;
        }
        *texture = CreateBitmapTexture(bitmap.width, bitmap.height, device);
        if (!*texture) {
            *fault = PictureFault::NoTexture;
            return false;
        }
    }
    CopyBitmapToTexture(*texture, bitmap);
    return true;
}

bool ApplyAlphaImage(const char* alphaPath, int32_t width, int32_t height, Texture* texture,
                     PictureFault* fault)
{
    PictureFault ignored;
    if (!fault)
        fault = &ignored;
    *fault = PictureFault::None;
    Bitmap bitmap;
    if (alphaPath) {
        if (LoadBitmapFile(alphaPath, bitmap)) {
            if (AlphaFromBitmap(bitmap, width, height, texture))
                return true;
            *fault = bitmap.bitsPerPixel < 8 ? PictureFault::FewBits : PictureFault::NoTexture;
        } else if (bitmap.fault != PictureFault::NotFound) {
            *fault = bitmap.fault;
        }
    }
    return FillAlpha(255, width, height, texture);
}

bool AlphaFromBitmap(const Bitmap& bitmap, int32_t width, int32_t height, Texture* texture)
{
    if (!texture || bitmap.bits.empty() || bitmap.bitsPerPixel < 8 || width <= 0 || height <= 0)
        return false;
    // 16.16 fixed-point steps through the alpha picture.
    uint64_t stepX = (static_cast<uint64_t>(bitmap.width) << 16) / static_cast<uint64_t>(width);
    uint64_t stepY = (static_cast<uint64_t>(bitmap.height) << 16) / static_cast<uint64_t>(height);
    TexelLock lock(texture);
    if (!lock.Ok())
        return false;
    int32_t texW = static_cast<int32_t>(texture->GetWidth());
    int32_t texH = static_cast<int32_t>(texture->GetHeight());
    int32_t bytes = bitmap.bitsPerPixel / 8;
    for (int32_t y = 0; y < height && y < texH; ++y) {
        const uint8_t* src = bitmap.Row(static_cast<int32_t>((static_cast<uint64_t>(y) * stepY) >> 16));
        uint32_t* dst = lock.Row(y);
        for (int32_t x = 0; x < width && x < texW; ++x) {
            const uint8_t* p = src + static_cast<size_t>((static_cast<uint64_t>(x) * stepX) >> 16) * bytes;
            uint32_t alpha;
            switch (bitmap.bitsPerPixel) {
            case 8: alpha = p[0]; break;
            case 16: alpha = p[1]; break;
            default: alpha = (static_cast<uint32_t>(p[0]) + p[1] + p[2]) / 3u; break;
            }
            dst[x] = (dst[x] & 0x00FFFFFFu) | (alpha << 24);
        }
    }
    return true;
}

bool FillAlpha(uint8_t value, int32_t width, int32_t height, Texture* texture)
{
    if (!texture)
        return false;
    TexelLock lock(texture);
    if (!lock.Ok())
        return false;
    int32_t w = width < static_cast<int32_t>(texture->GetWidth()) ? width : static_cast<int32_t>(texture->GetWidth());
    int32_t h = height < static_cast<int32_t>(texture->GetHeight()) ? height : static_cast<int32_t>(texture->GetHeight());
    uint32_t a = static_cast<uint32_t>(value) << 24;
    for (int32_t y = 0; y < h; ++y) {
        uint32_t* row = lock.Row(y);
        for (int32_t x = 0; x < w; ++x)
            row[x] = (row[x] & 0x00FFFFFFu) | a;
    }
    return true;
}
