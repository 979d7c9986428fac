#include "platform/DisplaySurface.h"

#include "platform/DisplayDevice.h"
#include "platform/DisplayDriver.h"
#include "platform/SdlBackend.h"

#include <algorithm>

DisplayResult FaultFor(DisplayCall call, uint32_t arg);

DisplaySurface::DisplaySurface(DisplayDriver* driver, Kind kind, uint32_t width, uint32_t height)
    : m_driver(driver), m_kind(kind), m_width(width), m_height(height)
{
    m_driver->AddRef();
    m_driver->GetBackend()->surfaces.push_back(this);
}

DisplaySurface::~DisplaySurface()
{
    if (m_attached)
        m_attached->Release();
    auto& all = m_driver->GetBackend()->surfaces;
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    m_driver->Release();
}

DisplayResult DisplaySurface::GetSurfaceDesc(uint32_t* width, uint32_t* height) const
{
    if (width)
        *width = m_width;
    if (height)
        *height = m_height;
    return DD_OK;
}

DisplayResult DisplaySurface::IsLost() const { return m_lost ? DDERR_SURFACELOST : DD_OK; }

DisplayResult DisplaySurface::Restore()
{
    if (DisplayResult r = FaultFor(DisplayCall::RestoreSurface, 0); r < 0)
        return r;
    m_lost = false;
    if (m_attached)
        m_attached->m_lost = false;
    return DD_OK;
}

void DisplaySurface::MarkLost() { m_lost = true; }

DisplayResult DisplaySurface::GetAttachedBackBuffer(DisplaySurface** out)
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (DisplayResult r = FaultFor(DisplayCall::GetAttachedSurface, 0); r < 0)
        return r;
    if (!m_attached)
        return DDERR_NOTFOUND;
    m_attached->AddRef();
    *out = m_attached;
    return DD_OK;
}

namespace {
DisplayDevice* DeviceDrawingInto(DisplayDriver* driver, DisplaySurface* target)
{
    for (DisplayDevice* d : driver->GetBackend()->devices)
        if (d->GetRenderTarget() == target)
            return d;
    return nullptr;
}
}  // namespace

DisplayResult DisplaySurface::Flip()
{
    if (m_kind != Kind::FlipPrimary || !m_attached)
        return DDERR_NOFLIPHW;
    if (m_lost)
        return DDERR_SURFACELOST;
    DisplayDevice* device = DeviceDrawingInto(m_driver, m_attached);
    if (!device)
        return DD_OK;  // nothing has been drawn into it
    return PlatformPresent(device);
}

DisplayResult DisplaySurface::BltFast(int32_t, int32_t, DisplaySurface* source)
{
    if (m_kind == Kind::BackBuffer || !source)
        return DDERR_INVALIDPARAMS;
    if (m_lost || source->m_lost)
        return DDERR_SURFACELOST;
    DisplayDevice* device = DeviceDrawingInto(m_driver, source);
    if (!device)
        return DD_OK;
    return PlatformPresent(device);
}
