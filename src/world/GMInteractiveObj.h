#pragma once
#include "gfx/GMImage.h"
#include "world/GMObject.h"

class GMImageManager;
class GMImageTemplate;

struct GMPoint {
    float x;
    float y;
};

// A clickable object with a normal and a highlight picture, centred on (x, y).
// Image index 1 is the normal picture, any other index the highlight picture.
class GMInteractiveObj : public GMObject {
public:
    GMInteractiveObj() { GMInteractiveObj::Reset(); }

    void Reset() override;
    void Clear() override;
    int32_t Update(float mouseX, float mouseY, int32_t clickFlags, float dt) override;
    int32_t Draw(float x, float y, DisplayDevice* device) override;

    virtual void GetPosition(GMPoint* out) const;
    virtual void SetPosition(float x, float y);
    virtual uint32_t GetColor() const { return m_color; }
    virtual void SetColor(uint32_t argb) { m_color = argb; }
    virtual float GetScale() const { return m_scale; }
    virtual void SetScale(float scale) { m_scale = scale; }
    virtual void SetEnabled(bool enabled);
    virtual bool SetHighlight(bool highlighted);
    virtual bool HitTest(float px, float py) const;
    virtual bool IsHighlighted() const { return m_highlighted; }

    bool IsEnabled() const { return m_enabled; }
    float GetX() const { return m_x; }
    float GetY() const { return m_y; }

    // 0 on success, else the image loader's code.
    int32_t SetImage(int32_t index, const char* fileName, GMImageManager* manager, DisplayDevice* device);
    int32_t SetImageTemplate(int32_t index, GMImageTemplate* imageTemplate);
    const char* GetImageName(int32_t index) const;
    GMImageTemplate* GetImageTemplate(int32_t index) const;  // adds a reference for the caller
    GMImage& GetImage(int32_t index) { return index == 1 ? m_normalImage : m_highlightImage; }

    // The hit box of the picture now shown, scaled.
    float GetScaledWidth() const;
    float GetScaledHeight() const;
    // The frame (texture) size of the picture now shown, scaled.
    float GetScaledFrameWidth() const;
    float GetScaledFrameHeight() const;

    bool Overlaps(const GMInteractiveObj* other) const;
    // The centre of the hit box: the position, moved by the picture's own
    // offset (a picture may place itself away from a widget at (0, 0)).
    void GetHitCentre(float* x, float* y) const;

protected:
    const GMImage& Shown() const { return m_highlighted ? m_highlightImage : m_normalImage; }
    GMImage& Shown() { return m_highlighted ? m_highlightImage : m_normalImage; }
    // Draws an image centred on (cx, cy) with this object's colour and scale.
    void DrawCentred(GMImage& image, float cx, float cy, float scale, DisplayDevice* device);

    GMImage m_normalImage;
    GMImage m_highlightImage;
    bool m_highlighted = false;
    float m_x = 0.0f;
    float m_y = 0.0f;
    uint32_t m_color = 0xFFFFFFFF;
    float m_scale = 1.0f;
    bool m_enabled = true;
};

// The object as a clickable one, or null when its kind is not interactive.
GMInteractiveObj* AsInteractive(GMObject* obj);
