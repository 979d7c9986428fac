#include "platform/Texture.h"

#include "platform/DisplayDriver.h"
#include "platform/SdlBackend.h"

#include <algorithm>
#include <new>

Texture::Texture(DisplayDriver* driver, uint32_t width, uint32_t height)
    : m_driver(driver), m_width(width), m_height(height), m_backend(new TextureBackend)
{
    // Memory that runs out leaves the copy empty for the driver to refuse the
    // texture, instead of an exception through the game.
    try {
        m_pixels.assign(size_t(width) * height, 0u);
    } catch (const std::bad_alloc&) {
        m_pixels = std::vector<uint32_t>();
    }
    static uint64_t s_serial = 0;
    m_backend->serial = ++s_serial;
    m_driver->AddRef();
    m_driver->GetBackend()->textures.push_back(this);
}

Texture::~Texture()
{
    PlatformDropTexture(this);
    delete m_backend;
    auto& all = m_driver->GetBackend()->textures;
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    m_driver->Release();
}

DisplayResult Texture::GetSurfaceDesc(uint32_t* width, uint32_t* height) const
{
    if (width)
        *width = m_width;
    if (height)
        *height = m_height;
    return DD_OK;
}

DisplayResult Texture::Lock(LockedRect* out, uint32_t)
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    if (m_lost)
        return DDERR_SURFACELOST;
    if (m_locked)
        return DDERR_SURFACEBUSY;
    PlatformFlushDrawsWith(m_driver, this);  // recorded draws show the pixels as they were
    m_locked = true;
    out->bits = m_pixels.data();
    out->pitch = static_cast<int32_t>(m_width * 4);
    return DD_OK;
}

DisplayResult Texture::Unlock()
{
    if (!m_locked)
        return DDERR_NOTLOCKED;
    m_locked = false;
    ++m_version;
    m_backend->dirty = true;
    return DD_OK;
}

DisplayResult Texture::IsLost() const { return m_lost ? DDERR_SURFACELOST : DD_OK; }

DisplayResult Texture::Restore()
{
    m_lost = false;
    m_backend->dirty = true;  // the renderer's copy comes back from ours
    return DD_OK;
}

void Texture::MarkLost()
{
    PlatformDropTexture(this);
    m_lost = true;
}

void PlatformDropTexture(Texture* texture)
{
    TextureBackend* b = texture->GetBackend();
    if (b->sdl)
        SDL_DestroyTexture(b->sdl);
    if (b->derived)
        SDL_DestroyTexture(b->derived);
    b->sdl = nullptr;
    b->derived = nullptr;
    b->renderer = nullptr;
    b->dirty = true;
}

SDL_Texture* PlatformTextureFor(Texture* texture, SDL_Renderer* renderer, int derivedKind)
{
    TextureBackend* b = texture->GetBackend();
    if (b->renderer != renderer)
        PlatformDropTexture(texture);
    const int w = static_cast<int>(texture->GetWidth()), h = static_cast<int>(texture->GetHeight());
    if (!b->sdl) {
        b->sdl = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, w, h);
        if (!b->sdl)
            return nullptr;
        b->renderer = renderer;
        b->scale = SDL_ScaleModeNearest;
        SDL_SetTextureScaleMode(b->sdl, SDL_ScaleModeNearest);
        b->dirty = true;
    }
    if (b->dirty) {
        SDL_UpdateTexture(b->sdl, nullptr, texture->GetPixels(), w * 4);
        b->dirty = false;
        if (b->derived)
            b->derivedVersion = texture->GetVersion() - 1;  // rebuild it too
    }
    if (derivedKind == 0)
        return b->sdl;

    if (b->derived && b->derivedKind == derivedKind && b->derivedVersion == texture->GetVersion())
        return b->derived;
    if (!b->derived) {
        b->derived = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, w, h);
        if (!b->derived)
            return nullptr;
        b->derivedScale = SDL_ScaleModeNearest;
        SDL_SetTextureScaleMode(b->derived, SDL_ScaleModeNearest);
    }
    // Derived copies: bit 1 white colour (flat silhouettes), bit 2 opaque, bit 4 inverted alpha.
    std::vector<uint32_t> px;
    try {
        px.assign(texture->GetPixels(), texture->GetPixels() + size_t(w) * h);
    } catch (const std::bad_alloc&) {
        return nullptr;  // the draw is skipped
    }
    for (uint32_t& p : px) {
        uint32_t a = p >> 24, rgb = p & 0xFFFFFFu;
        if (derivedKind & 1)
            rgb = 0xFFFFFFu;
        if (derivedKind & 2)
            a = 255;
        if (derivedKind & 4)
            a = 255 - a;
        p = (a << 24) | rgb;
    }
    SDL_UpdateTexture(b->derived, nullptr, px.data(), w * 4);
    b->derivedKind = derivedKind;
    b->derivedVersion = texture->GetVersion();
    return b->derived;
}
