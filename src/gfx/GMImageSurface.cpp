#include "gfx/GMImageSurface.h"

#include "gfx/BitmapTexture.h"
#include "gfx/ImageFrameInfo.h"
#include "gfx/ImageResult.h"
#include "gfx/PngDecoder.h"

#include "core/FileSys.h"
#include "core/TaggedFile.h"
#include "platform/DisplayDevice.h"
#include "platform/Texture.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>

namespace {

constexpr size_t kMaxPathLength = 260;

// Decodes into the texture: a new one of the picture's size on a first load,
// the existing one on a reload.
class TexturePngTarget : public PngTarget {
public:
    TexturePngTarget(Texture** texture, DisplayDevice* device, bool create)
        : m_texture(texture), m_device(device), m_create(create)
    {
    }

    uint8_t* Begin(uint32_t width, uint32_t height, Format, int32_t* pitch, int32_t* result) override
    {
        if (m_create) {
            uint32_t maxW = 0, maxH = 0;
            LargestTexture(m_device, &maxW, &maxH);
            if (width > maxW || height > maxH) {
                fault = PictureFault::TooLarge;
                *result = kResultFail;
                return nullptr;
            }
            Texture* made = nullptr;
            int32_t r = m_device->CreateTexture(width, height, &made);
            if (DisplayFailed(r) || !made) {
                fault = r == DDERR_OUTOFMEMORY ? PictureFault::OutOfMemory : PictureFault::NoTexture;
                *result = DisplayFailed(r) ? r : kResultFail;
                return nullptr;
            }
            *m_texture = made;
        }
        Texture* t = *m_texture;
        // A picture that grew since the texture was made would run past it.
        if (!t || t->GetWidth() < width || t->GetHeight() < height) {
            *result = kResultFail;
            return nullptr;
        }
        if (t->IsLost() != DD_OK)
            t->Restore();
        int32_t r = t->Lock(&m_rect, DDLOCK_WAIT);
        if (DisplayFailed(r)) {
            *result = r;
            return nullptr;
        }
        m_locked = true;
        *pitch = m_rect.pitch;
        return static_cast<uint8_t*>(m_rect.bits);
    }

    void End() override
    {
        if (m_locked)
            (*m_texture)->Unlock();
        m_locked = false;
    }

    PictureFault fault = PictureFault::None;  // why Begin gave no memory

private:
    Texture** m_texture;
    DisplayDevice* m_device;
    bool m_create;
    bool m_locked = false;
    LockedRect m_rect;
};

bool ExtensionIs(const char* name, const char* ext)
{
    const char* e = FindExtension(name);
    return e && ::strcasecmp(e, ext) == 0;
}

// "Menu\Sky.jpg" -> "Menu\Sky_A.jpg"; empty when too long for a path.
std::string AlphaFileName(const char* name)
{
    const char* ext = FindExtension(name);
    std::string stem(name, ext ? static_cast<size_t>(ext - name) : std::strlen(name));
    std::string alpha = stem + "_A" + (ext ? ext : "");
    if (alpha.size() >= kMaxPathLength)
        return std::string();
    return alpha;
}

}  // namespace

GMImageSurface::GMImageSurface()
{
    m_type = kTypeImageSurface;
}

GMImageSurface::~GMImageSurface()
{
    ReleaseTexture();
}

void GMImageSurface::ReleaseTexture()
{
    KeepScreenCopy(nullptr, 0);
    if (m_texture) {
        m_texture->Release();
        m_texture = nullptr;
    }
}

Texture* GMImageSurface::GetScreenCopy(uint32_t version) const
{
    return m_screenCopy && m_screenCopyVersion == version ? m_screenCopy : nullptr;
}

void GMImageSurface::KeepScreenCopy(Texture* copy, uint32_t version)
{
    if (m_screenCopy)
        m_screenCopy->Release();
    m_screenCopy = copy;
    m_screenCopyVersion = version;
}

void GMImageSurface::Clear()
{
    ReleaseTexture();
    GMNamedUnknown::Clear();
}

int32_t GMImageSurface::GetFrameInfo(ImageFrameInfo* info) const
{
    if (!m_texture)
        return 1;
    uint32_t w = 0, h = 0;
    int32_t r = m_texture->GetSurfaceDesc(&w, &h);
    if (DisplayFailed(r))
        return r;
    if (info) {
        *info = ImageFrameInfo{};
        info->textureWidth = info->imageWidth = static_cast<float>(w);
        info->textureHeight = info->imageHeight = static_cast<float>(h);
    }
    return 0;
}

int32_t GMImageSurface::Load(const char* fileName, ImageFrameInfo* info, DisplayDevice* device)
{
    m_fault = PictureFault::None;
    m_alphaFault = PictureFault::None;
    if ((fileName && !*fileName) || (!fileName && !m_texture) || !device)
        return kResultInvalidParameter;
    bool firstLoad = fileName != nullptr;
    if (firstLoad) {
        // Copy first: the name given may be our own.
        std::string copy(fileName);
        ReleaseTexture();
        if (SetName(copy.c_str()) <= 0) {
            Clear();
            m_fault = PictureFault::OutOfMemory;
            return kResultOutOfMemory;
        }
    }
    // A refill that fails keeps the texture and the name, so that the next
    // restore can try again; a first load that fails leaves nothing behind.
    const char* name = GetName();
    FILE* f = name ? OpenFile(name, "rb") : nullptr;
    if (!f) {
        if (firstLoad)
            Clear();
        m_fault = PictureFault::NotFound;
        return kResultInvalidParameter;
    }
    uint8_t signature[8] = {};
    size_t got = std::fread(signature, 1, sizeof signature, f);

    float imageW = 0.0f, imageH = 0.0f;
    int32_t result;
    if (IsPngSignature(signature, static_cast<int>(got))) {
        result = LoadPng(f, firstLoad, device, &imageW, &imageH);
        std::fclose(f);
    } else {
        std::fclose(f);
        if (ExtensionIs(name, ".jpg") || ExtensionIs(name, ".gif"))
            result = LoadBitmapPicture(device, &imageW, &imageH);
        else
            result = LoadOtherPicture(firstLoad, device, &imageW, &imageH);
    }
    if (result != 0) {
        if (firstLoad)
            Clear();
        if (m_fault == PictureFault::None)
            m_fault = got == 0 ? PictureFault::Empty : PictureFault::Damaged;
        return result;
    }

    if (info && m_texture) {
        uint32_t w = 0, h = 0;
        m_texture->GetSurfaceDesc(&w, &h);
        *info = ImageFrameInfo{};
        info->textureWidth = static_cast<float>(w);
        info->textureHeight = static_cast<float>(h);
        info->imageWidth = imageW;
        info->imageHeight = imageH;
    }
    return 0;
}

int32_t GMImageSurface::LoadPng(FILE* file, bool firstLoad, DisplayDevice* device, float* imageW, float* imageH)
{
    TexturePngTarget target(&m_texture, device, firstLoad);
    int32_t result = DecodePng(file, target, &m_fault);
    if (result != 0) {
        if (target.fault != PictureFault::None)
            m_fault = target.fault;
        return result;
    }
    // The image size is the texture's, which is the picture's own size here.
    *imageW = static_cast<float>(m_texture->GetWidth());
    *imageH = static_cast<float>(m_texture->GetHeight());
    return 0;
}

// The texture exists on a reload; LoadBitmapTexture makes it on a first load.
int32_t GMImageSurface::LoadBitmapPicture(DisplayDevice* device, float* imageW, float* imageH)
{
    int32_t w = 0, h = 0;
    if (!LoadBitmapTexture(GetName(), device, &m_texture, &w, &h, &m_fault) || !m_texture)
        return kResultFail;
    m_alphaName = AlphaFileName(GetName());
    ApplyAlphaImage(m_alphaName.empty() ? nullptr : m_alphaName.c_str(), w, h, m_texture, &m_alphaFault);
    *imageW = static_cast<float>(w);
    *imageH = static_cast<float>(h);
    return 0;
}

int32_t GMImageSurface::LoadOtherPicture(bool firstLoad, DisplayDevice* device, float* imageW, float* imageH)
{
    uint32_t maxW = 0, maxH = 0;
    LargestTexture(device, &maxW, &maxH);
    Bitmap bitmap;
    bitmap.maxSide = static_cast<int32_t>(maxW > maxH ? maxW : maxH);
    if (!LoadBitmapFile(GetName(), bitmap)) {
        m_fault = bitmap.fault;
        return kResultUnsupportedFile;
    }
    if (firstLoad) {
        if (static_cast<uint32_t>(bitmap.width) > maxW || static_cast<uint32_t>(bitmap.height) > maxH) {
            m_fault = PictureFault::TooLarge;
            return kResultUnsupportedFile;
        }
        int32_t r = device->CreateTexture(static_cast<uint32_t>(bitmap.width), static_cast<uint32_t>(bitmap.height),
                                          &m_texture);
        if (DisplayFailed(r) || !m_texture) {
            m_texture = nullptr;
            m_fault = r == DDERR_OUTOFMEMORY ? PictureFault::OutOfMemory : PictureFault::NoTexture;
            return DisplayFailed(r) ? r : kResultFail;
        }
    }
    int32_t r = CopyBitmapToTexture(m_texture, bitmap);
    if (r != 0) {
        m_fault = PictureFault::NoTexture;
        return r;
    }
    *imageW = static_cast<float>(bitmap.width);
    *imageH = static_cast<float>(bitmap.height);
    return 0;
}

int32_t GMImageSurface::Restore(DisplayDevice* device)
{
    if (!m_texture)
        return 0;
    if (m_texture->IsLost() != DD_OK)
        m_texture->Restore();
    if (m_texture->IsLost() == DD_OK)
        return 0;
    return Load(nullptr, nullptr, device);
}
