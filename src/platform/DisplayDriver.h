#pragma once
#include "platform/DeviceCaps.h"
#include "platform/DisplayObject.h"
#include "platform/DisplayResult.h"

#include <cstdint>
#include <functional>

class DisplayDevice;
class DisplaySurface;
class Texture;
class Window;
struct DriverBackend;

// Cooperative levels (DDSCL_).
constexpr uint32_t DDSCL_FULLSCREEN = 0x1;
constexpr uint32_t DDSCL_ALLOWREBOOT = 0x2;
constexpr uint32_t DDSCL_NORMAL = 0x8;
constexpr uint32_t DDSCL_EXCLUSIVE = 0x10;

// The display driver (DirectDraw 7 and its Direct3D 7 face): one per process.
// It owns the textures, so they outlive a device rebuild.
//   SetCooperativeLevel   DDSCL_NORMAL: the window is windowed; FULLSCREEN|EXCLUSIVE: the
//                         window covers the desktop (SDL "full screen desktop"), the video
//                         mode is never changed
//   SetDisplayMode        accepts 16, 24 or 32 bits: records the frame size the full screen
//                         shows, scaled with its aspect kept (letterboxed)
//   RestoreDisplayMode    nothing to undo, since the desktop mode never changes
//   CreatePrimarySurface  the window's visible contents; CreateBackBuffer / the flip
//                         chain's attached surface: an SDL render target texture
//   CreateDevice          an SDL renderer on the window: the HAL GUID takes an accelerated
//                         renderer, the RGB GUID the software one; TnLHal and MMX fail
//                         (there is no hardware transform and lighting, no MMX rasteriser)
class DisplayDriver : public DisplayObject {
public:
    static DisplayResult Create(DisplayDriver** out);

    // The Direct3D face of the same object (another reference to it).
    DisplayResult QueryDirect3D(DisplayDriver** out);

    DisplayResult SetCooperativeLevel(Window* window, uint32_t flags);
    DisplayResult SetDisplayMode(uint32_t width, uint32_t height, uint32_t bits);
    DisplayResult RestoreDisplayMode();

    // flipChain: full screen primary with one attached back buffer of the
    // display mode's size; otherwise a windowed primary.
    DisplayResult CreatePrimarySurface(bool flipChain, DisplaySurface** out);
    DisplayResult CreateBackBuffer(uint32_t width, uint32_t height, DisplaySurface** out);

    DisplayResult CreateDevice(const DeviceGuid& guid, DisplaySurface* backBuffer, DisplayDevice** out);
    DisplayResult CreateTexture(uint32_t width, uint32_t height, Texture** out);

    Window* GetWindow() const { return m_window; }
    uint32_t GetCooperativeLevel() const { return m_level; }
    bool IsFullScreen() const { return (m_level & DDSCL_FULLSCREEN) != 0; }
    uint32_t GetModeWidth() const { return m_modeWidth; }
    uint32_t GetModeHeight() const { return m_modeHeight; }
    uint32_t GetModeBits() const { return m_modeBits; }

    DriverBackend* GetBackend() const { return m_backend; }

private:
    DisplayDriver();
    ~DisplayDriver() override;

    Window* m_window = nullptr;
    uint32_t m_level = 0;
    uint32_t m_modeWidth = 0;
    uint32_t m_modeHeight = 0;
    uint32_t m_modeBits = 0;
    DriverBackend* m_backend = nullptr;
};

// Test hooks. A fault hook sees every driver call before it runs and may make it
// fail by returning a negative result (DD_OK lets it run). `arg` is the bit depth
// for SetDisplayMode and the attempt's index in {TnLHal, HAL, MMX, RGB} for
// CreateDevice, else 0.
enum class DisplayCall {
    CreateDriver,
    QueryDirect3D,
    SetCooperativeLevel,
    SetDisplayMode,
    RestoreDisplayMode,
    CreatePrimary,
    CreateBackBuffer,
    GetAttachedSurface,
    CreateDevice,
    SetViewport,
    RestoreSurface,
};
using DisplayFaultHook = std::function<DisplayResult(DisplayCall call, uint32_t arg)>;
void SetDisplayFaultHook(DisplayFaultHook hook);  // empty: no faults

// Changes what devices report from GetCaps (a device without clamping, ...).
using DeviceCapsFilter = std::function<void(DeviceDesc& desc)>;
void SetDeviceCapsFilter(DeviceCapsFilter filter);

// What a reset of SDL's render device does: every surface and texture of the
// driver reports lost until restored.
void ForceDisplayLoss(DisplayDriver* driver);
