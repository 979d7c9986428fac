#pragma once
#include "platform/DisplayObject.h"
#include "platform/DisplayResult.h"

#include <cstdint>

class DisplayDriver;
class Window;

// The primary surface and the back buffer of the display. The back buffer is
// the 800 x 600 (or client-sized) picture every frame is drawn into; the
// primary stands for the window's visible contents. Presenting (Flip in full
// screen, BltFast in a window) copies the back buffer to the window, scaled and
// letterboxed in full screen.
class DisplaySurface : public DisplayObject {
public:
    enum class Kind { Primary, FlipPrimary, BackBuffer };

    Kind GetKind() const { return m_kind; }
    DisplayResult GetSurfaceDesc(uint32_t* width, uint32_t* height) const;
    DisplayResult IsLost() const;  // DD_OK or DDERR_SURFACELOST
    DisplayResult Restore();
    void MarkLost();

    // Full screen: the back buffer of a flip chain (caps DDSCAPS_BACKBUFFER).
    DisplayResult GetAttachedBackBuffer(DisplaySurface** out);
    // Full screen: show the attached back buffer.
    DisplayResult Flip();
    // Window: show the back buffer `source` at screen position (x, y) of the
    // client area (we always draw the whole client area).
    DisplayResult BltFast(int32_t x, int32_t y, DisplaySurface* source);

    DisplayDriver* GetDriver() const { return m_driver; }

private:
    friend class DisplayDriver;
    DisplaySurface(DisplayDriver* driver, Kind kind, uint32_t width, uint32_t height);
    ~DisplaySurface() override;

    DisplayDriver* m_driver;
    Kind m_kind;
    uint32_t m_width;
    uint32_t m_height;
    bool m_lost = false;
    DisplaySurface* m_attached = nullptr;  // flip chain back buffer, owned reference
};
