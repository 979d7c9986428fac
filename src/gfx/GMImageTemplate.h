#pragma once
#include "core/GMUnknown.h"
#include "gfx/ImageFrameInfo.h"

#include <cstdint>

class DisplayDevice;
class Texture;
class GMImageManager;
class GMImageSurface;
struct TLVertex;

// One ".img" template file loaded: its frames (a shared surface and a size
// record each), animation speed, loop start and blending. Lives in the image
// manager; images hold references to it.
class GMImageTemplate : public GMNamedUnknown {
public:
    static constexpr float kDefaultSpeed = 0.03f;  // 30 frames per second

    GMImageTemplate();  // takes the first reference

    void Clear() override;
    virtual void Reset();

    // Reads the template file and loads every frame's picture through the
    // manager. 0 on success, else the load result (the template is cleared).
    int32_t LoadFromFile(const char* fileName, GMImageManager* manager, DisplayDevice* device);

    // The frame index is clamped into 0..frameCount-1.
    Texture* GetFrameTexture(int32_t index, int32_t* clampedIndex = nullptr) const;
    ImageFrameInfo* GetFrameInfo(int32_t index);
    const ImageFrameInfo* GetFrameInfo(int32_t index) const;
    GMImageSurface* GetFrameSurface(int32_t index) const;

    int32_t GetFrameCount() const { return m_frameCount; }
    float GetSpeed() const { return m_speed; }
    float GetHeight() const { return m_height; }
    float GetWidth() const { return m_width; }
    int32_t GetLoopStart() const { return m_loopStart; }
    void SetLoopStart(int32_t value) { m_loopStart = value < 0 ? 0 : value; }
    bool IsAdditive() const { return m_additive; }

    // The one submission every sprite drawing ends in: texture on stage 0 and
    // a four-vertex strip; additive templates add onto the target.
    void DrawQuad(Texture* texture, const TLVertex* vertices, DisplayDevice* device) const;

protected:
    ~GMImageTemplate() override;

private:
    int32_t ClampIndex(int32_t index) const;
    void FreeFrames();
    int32_t AllocateFrames(int32_t capacity);
    int32_t GrowFrames(int32_t capacity);
    void ReportFrameFailure(GMImageManager* manager, int32_t index, const char* pictureName) const;
    void ReadFrameSizeFile(const char* path, float imw, float imh, float maxTexW, float maxTexH);

    GMImageSurface** m_surfaces = nullptr;
    ImageFrameInfo* m_frames = nullptr;
    int32_t m_frameCount = 0;
    int32_t m_frameCapacity = 0;  // slots in both arrays, grown as frames are read
    float m_speed = kDefaultSpeed;
    float m_height = 0.0f;
    float m_width = 0.0f;
    int32_t m_loopStart = 0;
    bool m_additive = false;
};
