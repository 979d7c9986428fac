#pragma once
#include "core/GMUnknown.h"
#include "gfx/ImageResult.h"

#include <cstdint>
#include <cstdio>
#include <string>

class DisplayDevice;
class Texture;
struct ImageFrameInfo;

// One picture file loaded into one texture. The file name is kept so the
// texture can be filled again after the device lost it.
//
// Texture sizes, which the data generator relies on:
//  - PNG (recognised by its signature, whatever the extension): the texture has
//    exactly the picture's size, never rounded up; image size = texture size.
//  - ".jpg" and ".gif" (any case): the texture is rounded up to powers of two
//    (1 ... 2048, larger sides 4096); image size = the picture's own size; the
//    texels outside the picture are fully transparent. Alpha comes from the
//    "_A" companion picture, else the picture is opaque.
//  - any other extension: BMP, JPEG or GIF content (told by its first bytes) in
//    a texture of exactly the picture's size, opaque.
// A picture whose texture would exceed the device's largest texture fails to
// load, as does one whose header claims more pixels than its file holds; both
// are refused before any pixel memory is spent.
class GMImageSurface : public GMNamedUnknown {
public:
    GMImageSurface();

    void Clear() override;

    // Loads fileName into a new texture; a null name refills the existing
    // texture from the stored name. 0 on success, else a result code; a failed
    // load clears the surface. info (may be null) receives the size record.
    int32_t Load(const char* fileName, ImageFrameInfo* info, DisplayDevice* device);
    // After a device loss: restores the texture, reloading the file only if the
    // texture stays lost.
    int32_t Restore(DisplayDevice* device);
    // The texture's size as both texture and image size; 1 without texture.
    int32_t GetFrameInfo(ImageFrameInfo* info) const;

    Texture* GetTexture() const { return m_texture; }
    // A copy made from this picture's texture at `version` (the stretched
    // full-screen background), kept as long as the picture: null when there is
    // none or the texture was written since. Keep takes over the reference.
    Texture* GetScreenCopy(uint32_t version) const;
    void KeepScreenCopy(Texture* copy, uint32_t version);
    // Why the last Load failed (None after a success), for the error log.
    PictureFault GetLoadFault() const { return m_fault; }
    // Why the alpha companion of the last load gave no alpha (None when it did
    // or when the picture has none), and its name.
    PictureFault GetAlphaFault() const { return m_alphaFault; }
    const std::string& GetAlphaName() const { return m_alphaName; }

protected:
    ~GMImageSurface() override;

private:
    int32_t LoadPng(FILE* file, bool firstLoad, DisplayDevice* device, float* imageW, float* imageH);
    int32_t LoadBitmapPicture(DisplayDevice* device, float* imageW, float* imageH);
    int32_t LoadOtherPicture(bool firstLoad, DisplayDevice* device, float* imageW, float* imageH);
    void ReleaseTexture();

    Texture* m_texture = nullptr;
    Texture* m_screenCopy = nullptr;
    uint32_t m_screenCopyVersion = 0;
    PictureFault m_fault = PictureFault::None;
    PictureFault m_alphaFault = PictureFault::None;
    std::string m_alphaName;
};
