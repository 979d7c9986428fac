#pragma once
#include "core/GMUnknown.h"

#include <cstdint>

class DisplayDevice;
class Texture;
class GMImageManager;
class GMImageSurface;
class GMImageTemplate;
struct ImageFrameInfo;

// The largest scale a text or a layout entry is drawn at, either way round.
// Scales come from data files and text markup; a larger one only reaches far
// past the 800 x 600 screen.
constexpr float kMaxDrawScale = 16.0f;
// The scale held to -kMaxDrawScale..kMaxDrawScale; not a number gives 1.
float LimitDrawScale(float scale);

// One user's view of a template: the current frame and its animation. Every
// drawing operation draws the current frame; a font is a GMImage too, whose
// frames are the characters from code 32 up.
//
// Created with new, an image holds its first reference and is freed by Release;
// it may also live as a plain member, whose destructor drops the template.
class GMImage : public GMUnknown {
public:
    GMImage();
    ~GMImage() override;

    void Clear() override;
    virtual void Reset();

    // 0 done; 2 no manager; 1 the template did not load; 3 no template at the index.
    int32_t LoadTemplate(const char* fileName, GMImageManager* manager, DisplayDevice* device);
    // 0 done, 1 for a null template.
    int32_t SetTemplate(GMImageTemplate* imageTemplate);

    // Returns the clamped index, or -1 without template.
    int32_t SetFrame(int32_t index);
    void SetFramePosition(float position);
    // Moves the animation on; 1 when it wrapped to the loop start.
    int32_t Advance(float elapsedMs);

    GMImageTemplate* GetTemplate() const;  // adds a reference for the caller
    GMImageTemplate* PeekTemplate() const { return m_template; }
    const char* GetTemplateName() const;
    int32_t GetFrameCount() const;
    float GetFramePosition() const { return m_framePosition; }
    float GetSpeed() const { return m_speed; }
    void SetSpeed(float speed) { m_speed = speed; }
    int32_t GetLoopStart() const { return m_loopStart; }
    float GetTemplateHeight() const;
    Texture* GetFrameTexture() const { return m_frameTexture; }
    // The picture the current frame comes from (null without a frame).
    GMImageSurface* GetFrameSurface() const;
    const ImageFrameInfo* GetFrameInfo() const { return m_frameInfo; }

    float GetTextureWidth() const;
    float GetTextureHeight() const;
    float GetImageWidth() const;
    float GetImageHeight() const;
    float GetOffsetX() const;
    float GetOffsetY() const;
    float GetExtraX() const;
    float GetExtraY() const;
    // Rows from the top of the current frame down to the first one with at
    // least minPixels texels of alpha minAlpha or more; 0 when the texels
    // cannot be read, the frame's height when no row qualifies.
    float SolidTop(uint8_t minAlpha, int32_t minPixels) const;

    // Sprite drawing: 1 without a current frame texture (nothing drawn), else 0.
    int32_t Draw(float x, float y, DisplayDevice* device);
    int32_t DrawColored(float x, float y, uint32_t color, DisplayDevice* device);
    int32_t DrawSized(float x, float y, float width, float height, DisplayDevice* device);
    int32_t DrawSizedColored(float x, float y, float width, float height, uint32_t color, DisplayDevice* device);
    int32_t DrawScaled(float x, float y, float scaleX, float scaleY, DisplayDevice* device);
    int32_t DrawCropped(float x, float y, float width, float height, DisplayDevice* device);
    int32_t DrawCroppedColored(float x, float y, float width, float height, uint32_t color, DisplayDevice* device);
    int32_t DrawRotated(float x, float y, float angle, uint32_t color, DisplayDevice* device);
    int32_t DrawAllFrames(float x, float y, DisplayDevice* device);
    int32_t DrawAllFramesColored(float x, float y, uint32_t color, DisplayDevice* device);

    // Text with inline markup (this image being the font). A null device only
    // measures, from (0, 0) in colour 0. Each out argument may be null. The
    // scale given and every "%z" size are held by LimitDrawScale.
    void DrawText(float x, float y, float angle, float scale, uint32_t color, const char* text, DisplayDevice* device,
                  float* widthOut = nullptr, float* heightOut = nullptr, float* lineHeightOut = nullptr,
                  const char** nextLineOut = nullptr, float* scaleOut = nullptr);
    // Several lines centred on (centreX, centreY), lineGap pixels apart.
    void DrawTextLines(float centreX, float centreY, float angle, float scale, uint32_t color, const char* text,
                       DisplayDevice* device, float lineGap);
    // Digits and "-", "$", "x", ":" from a digit picture, bottoms on y.
    void DrawNumber(float x, float y, uint32_t color, const char* text, DisplayDevice* device,
                    float* widthOut = nullptr, float* heightOut = nullptr);

private:
    void TakeFrame(int32_t index);
    int32_t DrawFramesBackToFront(float x, float y, bool colored, uint32_t color, DisplayDevice* device);
    int32_t DrawQuadAt(float left, float top, float width, float height, uint32_t color, float u1, float v1,
                       DisplayDevice* device);

    GMImageTemplate* m_template = nullptr;
    float m_speed = 0.0f;
    float m_framePosition = 0.0f;
    Texture* m_frameTexture = nullptr;
    int32_t m_frameIndex = 0;  // of m_frameTexture in the template
    ImageFrameInfo* m_frameInfo = nullptr;
    int32_t m_loopStart = 0;
};

// A plain coloured rectangle, no texture.
void FillRect(float x, float y, float width, float height, uint32_t color, DisplayDevice* device);
// Black over the whole 800 x 600 screen at the given alpha (rounded, 0 to 255).
void DrawFade(DisplayDevice* device, float alpha);
