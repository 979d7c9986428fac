#include "platform/DisplayDriver.h"

#include "platform/DisplayDevice.h"
#include "platform/DisplaySurface.h"
#include "platform/RendererChoice.h"
#include "platform/SdlBackend.h"
#include "platform/Texture.h"
#include "platform/Window.h"

#include <algorithm>
#include <cstring>

namespace {
DisplayFaultHook s_faultHook;
// Why the accelerated device was refused, for the software device that follows.
std::string s_softwareReason;
std::vector<DisplayDriver*>& Drivers()
{
    static std::vector<DisplayDriver*> drivers;
    return drivers;
}

DisplayResult Fault(DisplayCall call, uint32_t arg = 0) { return s_faultHook ? s_faultHook(call, arg) : DD_OK; }

const DeviceGuid* const kDeviceOrder[] = {&IID_IDirect3DTnLHalDevice, &IID_IDirect3DHALDevice,
                                          &IID_IDirect3DMMXDevice, &IID_IDirect3DRGBDevice};

int FindRenderDriver(const char* name)
{
    int n = SDL_GetNumRenderDrivers();
    for (int i = 0; i < n; ++i) {
        SDL_RendererInfo info;
        if (SDL_GetRenderDriverInfo(i, &info) == 0 && std::strcmp(info.name, name) == 0)
            return i;
    }
    return -1;
}
}  // namespace

DisplayResult FaultFor(DisplayCall call, uint32_t arg) { return Fault(call, arg); }

void SetDisplayFaultHook(DisplayFaultHook hook) { s_faultHook = std::move(hook); }

void PlatformRegisterDriver(DisplayDriver* driver, bool add)
{
    auto& all = Drivers();
    if (add)
        all.push_back(driver);
    else
        all.erase(std::remove(all.begin(), all.end(), driver), all.end());
}

void PlatformDropTexturesOn(SDL_Renderer* renderer)
{
    for (DisplayDriver* d : Drivers())
        for (Texture* t : d->GetBackend()->textures)
            if (t->GetBackend()->renderer == renderer)
                PlatformDropTexture(t);
}

void PlatformDetachDevicesOf(Window* window)
{
    for (DisplayDriver* d : Drivers())
        for (DisplayDevice* device : d->GetBackend()->devices)
            if (device->GetBackend()->window == window)
                PlatformDetachDevice(device);
}

void PlatformLoseAllDisplays()
{
    for (DisplayDriver* d : Drivers())
        ForceDisplayLoss(d);
}

DisplayDriver::DisplayDriver() : m_backend(new DriverBackend) { PlatformRegisterDriver(this, true); }

DisplayDriver::~DisplayDriver()
{
    PlatformRegisterDriver(this, false);
    delete m_backend;
}

DisplayResult DisplayDriver::Create(DisplayDriver** out)
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (DisplayResult r = Fault(DisplayCall::CreateDriver); r < 0)
        return r;
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return DDERR_NODIRECTDRAWHW;
    *out = new DisplayDriver;
    return DD_OK;
}

DisplayResult DisplayDriver::QueryDirect3D(DisplayDriver** out)
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (DisplayResult r = Fault(DisplayCall::QueryDirect3D); r < 0)
        return r;
    AddRef();
    *out = this;
    return DD_OK;
}

DisplayResult DisplayDriver::SetCooperativeLevel(Window* window, uint32_t flags)
{
    if (DisplayResult r = Fault(DisplayCall::SetCooperativeLevel); r < 0)
        return r;
    bool full = (flags & DDSCL_FULLSCREEN) != 0;
    if (full != ((flags & DDSCL_EXCLUSIVE) != 0) || (full && (flags & DDSCL_NORMAL)) || (!full && !(flags & DDSCL_NORMAL)))
        return DDERR_INVALIDPARAMS;
    if (full && !window)
        return DDERR_INVALIDPARAMS;
    m_window = window;
    m_level = flags;
    if (window) {
        uint32_t w = m_modeWidth ? m_modeWidth : 800, h = m_modeHeight ? m_modeHeight : 600;
        window->SetFullScreen(full, static_cast<int32_t>(w), static_cast<int32_t>(h));
    }
    return DD_OK;
}

DisplayResult DisplayDriver::SetDisplayMode(uint32_t width, uint32_t height, uint32_t bits)
{
    if (DisplayResult r = Fault(DisplayCall::SetDisplayMode, bits); r < 0)
        return r;
    if (!IsFullScreen())
        return DDERR_NOEXCLUSIVEMODE;
    if (width == 0 || height == 0 || (bits != 16 && bits != 24 && bits != 32))
        return DDERR_INVALIDMODE;
    m_modeWidth = width;
    m_modeHeight = height;
    m_modeBits = bits;
    if (m_window)
        m_window->SetFullScreen(true, static_cast<int32_t>(width), static_cast<int32_t>(height));
    return DD_OK;
}

DisplayResult DisplayDriver::RestoreDisplayMode()
{
    if (DisplayResult r = Fault(DisplayCall::RestoreDisplayMode); r < 0)
        return r;
    return DD_OK;  // the desktop mode was never changed
}

DisplayResult DisplayDriver::CreatePrimarySurface(bool flipChain, DisplaySurface** out)
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (DisplayResult r = Fault(DisplayCall::CreatePrimary); r < 0)
        return r;
    if (m_level == 0)
        return DDERR_NOCOOPERATIVELEVELSET;
    if (flipChain && !IsFullScreen())
        return DDERR_NOEXCLUSIVEMODE;
    for (DisplaySurface* s : m_backend->surfaces)
        if (s->GetKind() != DisplaySurface::Kind::BackBuffer)
            return DDERR_PRIMARYSURFACEALREADYEXISTS;
    uint32_t w = 0, h = 0;
    if (m_window) {
        WindowRect r = m_window->GetClientRect();
        w = static_cast<uint32_t>(r.Width());
        h = static_cast<uint32_t>(r.Height());
    }
    if (flipChain) {
        w = m_modeWidth ? m_modeWidth : 800;
        h = m_modeHeight ? m_modeHeight : 600;
    }
    auto* primary = new DisplaySurface(this, flipChain ? DisplaySurface::Kind::FlipPrimary : DisplaySurface::Kind::Primary, w, h);
    if (flipChain)
        primary->m_attached = new DisplaySurface(this, DisplaySurface::Kind::BackBuffer, w, h);
    *out = primary;
    return DD_OK;
}

DisplayResult DisplayDriver::CreateBackBuffer(uint32_t width, uint32_t height, DisplaySurface** out)
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (DisplayResult r = Fault(DisplayCall::CreateBackBuffer); r < 0)
        return r;
    if (width == 0 || height == 0)
        return DDERR_INVALIDPARAMS;
    *out = new DisplaySurface(this, DisplaySurface::Kind::BackBuffer, width, height);
    return DD_OK;
}

DisplayResult DisplayDriver::CreateDevice(const DeviceGuid& guid, DisplaySurface* backBuffer, DisplayDevice** out)
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    uint32_t index = 4;
    for (uint32_t i = 0; i < 4; ++i)
        if (*kDeviceOrder[i] == guid)
            index = i;
    if (DisplayResult r = Fault(DisplayCall::CreateDevice, index); r < 0)
        return r;
    if (!backBuffer || backBuffer->GetKind() != DisplaySurface::Kind::BackBuffer || backBuffer->GetDriver() != this)
        return DDERR_INVALIDPARAMS;
    if (!m_window)
        return DDERR_INVALIDOBJECT;
    // No hardware transform-and-lighting and no MMX rasteriser exist here.
    if (index == 0 || index == 2 || index == 4)
        return DDERR_UNSUPPORTED;
    WindowBackend* wb = m_window->GetBackend();
    if (wb->renderer)
        return DDERR_HWNDALREADYSET;

    SDL_Renderer* renderer = nullptr;
    bool accelerated = false;
    if (index == 1) {
        std::string choice = ChooseRendererFor(wb->sdl, &renderer);
        if (!renderer) {
            s_softwareReason = choice;
            return DDERR_NODIRECTDRAWHW;
        }
        SetRendererChoiceText(choice);
        accelerated = true;
    } else {
        int sw = FindRenderDriver("software");
        if (sw < 0)
            return DDERR_NOEMULATION;
        renderer = SDL_CreateRenderer(wb->sdl, sw, SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
        if (!renderer)
            return DDERR_GENERIC;
        SetRendererChoiceText(s_softwareReason.empty() ? "software" : s_softwareReason);
        s_softwareReason.clear();
    }
    uint32_t bw = 0, bh = 0;
    backBuffer->GetSurfaceDesc(&bw, &bh);
    // In software, a texture blended unscaled and unmodulated onto a back buffer
    // of its own pixel layout takes SDL's fast blitter, which comes out up to 2
    // levels too dark; onto a buffer of another layout every draw blends within
    // 1 of the exact result, as tinted and stretched ones already do.
    const uint32_t backFormat = accelerated ? SDL_PIXELFORMAT_ARGB8888 : SDL_PIXELFORMAT_ABGR8888;
    SDL_Texture* target = SDL_CreateTexture(renderer, backFormat, SDL_TEXTUREACCESS_TARGET,
                                            static_cast<int>(bw), static_cast<int>(bh));
    if (!target) {
        SDL_DestroyRenderer(renderer);
        return DDERR_OUTOFVIDEOMEMORY;
    }
    SDL_SetTextureBlendMode(target, SDL_BLENDMODE_NONE);
    SDL_SetRenderTarget(renderer, target);
    wb->renderer = renderer;

    auto* device = new DisplayDevice(this, backBuffer, guid);
    DeviceBackend* db = device->GetBackend();
    db->renderer = renderer;
    db->target = target;
    db->width = bw;
    db->height = bh;
    db->accelerated = accelerated;
    db->window = m_window;
    m_backend->devices.push_back(device);
    *out = device;
    return DD_OK;
}

DisplayResult DisplayDriver::CreateTexture(uint32_t width, uint32_t height, Texture** out)
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (width == 0 || height == 0 || width > 16384 || height > 16384)
        return DDERR_INVALIDPARAMS;
    auto* texture = new Texture(this, width, height);
    if (!texture->HasPixels()) {
        texture->Release();
        return DDERR_OUTOFMEMORY;
    }
    *out = texture;
    return DD_OK;
}

void ForceDisplayLoss(DisplayDriver* driver)
{
    if (!driver)
        return;
    PlatformForgetShownFrames(driver);
    DriverBackend* b = driver->GetBackend();
    for (DisplaySurface* s : b->surfaces)
        s->MarkLost();
    for (Texture* t : b->textures)
        t->MarkLost();
}
