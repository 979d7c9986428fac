#pragma once
#include "platform/DisplayObject.h"
#include "platform/DisplayResult.h"
#include "platform/DisplayTypes.h"

#include <cstdint>
#include <vector>

class DisplayDriver;
struct TextureBackend;

struct LockedRect {
    void* bits = nullptr;  // first texel of the top row
    int32_t pitch = 0;     // bytes from one row to the next
};

// A 32-bit A8R8G8B8 texture: each texel is a uint32_t 0xAARRGGBB, that is the
// bytes blue, green, red, alpha in memory. The pixels live in a CPU copy that
// Lock hands out for reading and writing; Unlock marks them for upload, which
// happens before the texture is next drawn. New textures are transparent black.
//
// Textures belong to the display driver and survive a rebuild of the device
// (a window/full-screen switch). A device loss marks them lost: Lock fails with
// DDERR_SURFACELOST until Restore, which puts the CPU copy back on the renderer,
// so a restored texture has its pixels as before.
class Texture : public DisplayObject {
public:
    uint32_t GetWidth() const { return m_width; }
    uint32_t GetHeight() const { return m_height; }
    DisplayResult GetSurfaceDesc(uint32_t* width, uint32_t* height) const;

    // The whole texture; flags (DDLOCK_WAIT) are accepted and ignored.
    DisplayResult Lock(LockedRect* out, uint32_t flags = DDLOCK_WAIT);
    DisplayResult Unlock();

    // Read-only view of the CPU copy, GetWidth() texels per row.
    const uint32_t* GetPixels() const { return m_pixels.data(); }
    // False when there was no memory for the CPU copy.
    bool HasPixels() const { return !m_pixels.empty(); }

    DisplayResult IsLost() const;  // DD_OK or DDERR_SURFACELOST
    DisplayResult Restore();
    // What a device reset does to it (ForceDisplayLoss).
    void MarkLost();

    // Counts Unlocks; copies derived from the pixels compare it to stay fresh.
    uint32_t GetVersion() const { return m_version; }

    TextureBackend* GetBackend() const { return m_backend; }

private:
    friend class DisplayDriver;
    Texture(DisplayDriver* driver, uint32_t width, uint32_t height);
    ~Texture() override;

    DisplayDriver* m_driver;
    uint32_t m_width;
    uint32_t m_height;
    std::vector<uint32_t> m_pixels;
    uint32_t m_version = 0;
    bool m_locked = false;
    bool m_lost = false;
    TextureBackend* m_backend = nullptr;
};
