#pragma once
#include "gfx/GMImage.h"
#include "world/GMObject.h"

class GMImageManager;

// An object drawn from one picture anchored at its foot (bottom centre).
class GMImageObj : public GMObject {
public:
    GMImageObj() { GMImageObj::Reset(); }

    void Reset() override;
    void Clear() override;
    int32_t Update(float mouseX, float mouseY, int32_t clickFlags, float dt) override;
    int32_t Draw(float x, float y, DisplayDevice* device) override;

    // Coordinates relative to the picture's top-left corner.
    virtual bool ContainsPoint(float localX, float localY) const;

    int32_t SetImage(const char* fileName, GMImageManager* manager, DisplayDevice* device);
    int32_t SetFrame(int32_t n) { return m_image.SetFrame(n); }
    int32_t GetFrameCount() const { return m_image.GetFrameCount(); }
    float GetFrameWidth() const { return m_image.GetTextureWidth(); }
    float GetFrameHeight() const { return m_image.GetTextureHeight(); }
    float GetHitWidth() const { return m_image.GetImageWidth(); }
    float GetHitHeight() const { return m_image.GetImageHeight(); }
    GMImage& GetImage() { return m_image; }

protected:
    GMImage m_image;
};

// An image object that occupies one cell of the field grid.
class GMFieldObj : public GMImageObj {
public:
    GMFieldObj() { GMFieldObj::Reset(); }

    void Reset() override;
    void Clear() override;

    void SetCell(int32_t cellX, int32_t cellY, int32_t layer);
    int32_t GetCellX() const { return m_cellX; }
    int32_t GetCellY() const { return m_cellY; }
    int32_t GetLayer() const { return m_layer; }

protected:
    int32_t m_cellX = 0;
    int32_t m_cellY = 0;
    int32_t m_layer = 0;
};
