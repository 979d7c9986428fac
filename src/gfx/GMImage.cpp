#include "gfx/GMImage.h"

#include "gfx/GMImageManager.h"
#include "gfx/GMImageTemplate.h"
#include "gfx/ImageFrameInfo.h"
#include "platform/DisplayDevice.h"
#include "platform/Texture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr float kQuadZ = 0.9999f;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr float kScreenWidth = 800.0f;
constexpr float kScreenHeight = 600.0f;

constexpr TLVertex MakeVertex(float u, float v)
{
    return TLVertex{0.0f, 0.0f, kQuadZ, 1.0f, kWhite, 0xFF000000u, u, v};
}

// The three shared quads, overwritten by every call: no allocation per sprite.
TLVertex g_coloredQuad[4] = {MakeVertex(0, 0), MakeVertex(1, 0), MakeVertex(0, 1), MakeVertex(1, 1)};
TLVertex g_whiteQuad[4] = {MakeVertex(0, 0), MakeVertex(1, 0), MakeVertex(0, 1), MakeVertex(1, 1)};
TLVertex g_croppedQuad[4] = {MakeVertex(0, 0), MakeVertex(1, 0), MakeVertex(0, 1), MakeVertex(1, 1)};

void PlaceRect(TLVertex* q, float left, float top, float width, float height)
{
    q[0].x = left;
    q[0].y = top;
    q[1].x = left + width;
    q[1].y = top;
    q[2].x = left;
    q[2].y = top + height;
    q[3].x = left + width;
    q[3].y = top + height;
}

void SetColor(TLVertex* q, uint32_t color)
{
    for (int i = 0; i < 4; ++i)
        q[i].diffuse = color;
}

// Truncation that stays defined for any float the animation can reach.
int64_t Trunc(float value)
{
    if (!(value > -1e15f))
        return -1000000000000000LL;
    if (!(value < 1e15f))
        return 1000000000000000LL;
    return static_cast<int64_t>(value);
}

int32_t ClampToInt(int64_t v)
{
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

}  // namespace

GMImage::GMImage()
{
    m_type = kTypeImage;
    Reset();
    AddRef();
}

GMImage::~GMImage()
{
    SafeRelease(m_template);
}

void GMImage::Reset()
{
    m_template = nullptr;
    m_speed = 0.0f;
    m_framePosition = 0.0f;
    m_frameTexture = nullptr;
    m_frameIndex = 0;
    m_frameInfo = nullptr;
    m_loopStart = 0;
}

void GMImage::Clear()
{
    SafeRelease(m_template);
    Reset();
}

int32_t GMImage::LoadTemplate(const char* fileName, GMImageManager* manager, DisplayDevice* device)
{
    if (!manager)
        return 2;
    int32_t index = manager->LoadTemplate(fileName, device);
    if (index < 0)
        return 1;
    GMImageTemplate* t = manager->GetTemplate(index);
    if (!t)
        return 3;
    return SetTemplate(t);
}

int32_t GMImage::SetTemplate(GMImageTemplate* imageTemplate)
{
    if (!imageTemplate)
        return 1;
    // Hold the new template before letting go of the old one, which may be the same.
    imageTemplate->AddRef();
    Clear();
    m_template = imageTemplate;
    SetFrame(0);
    m_speed = imageTemplate->GetSpeed();
    m_loopStart = imageTemplate->GetLoopStart();
    return 0;
}

void GMImage::TakeFrame(int32_t index)
{
    int32_t clamped = 0;
    m_frameTexture = m_template->GetFrameTexture(index, &clamped);
    m_frameInfo = m_template->GetFrameInfo(clamped);
    m_frameIndex = clamped;
}

GMImageSurface* GMImage::GetFrameSurface() const
{
    return m_template && m_frameTexture ? m_template->GetFrameSurface(m_frameIndex) : nullptr;
}

int32_t GMImage::SetFrame(int32_t index)
{
    if (!m_template)
        return -1;
    int32_t clamped = 0;
    m_frameTexture = m_template->GetFrameTexture(index, &clamped);
    m_frameInfo = m_template->GetFrameInfo(clamped);
    m_frameIndex = clamped;
    m_framePosition = static_cast<float>(clamped);
    return clamped;
}

void GMImage::SetFramePosition(float position)
{
    if (m_template)
        TakeFrame(ClampToInt(Trunc(position)));
    m_framePosition = position;
}

int32_t GMImage::Advance(float elapsedMs)
{
    if (!m_template)
        return 0;
    int64_t oldFrame = Trunc(m_framePosition);
    m_framePosition += m_speed * elapsedMs;
    int64_t newFrame = Trunc(m_framePosition);
    if (newFrame == oldFrame)
        return 0;
    int64_t count = m_template->GetFrameCount();
    if (m_framePosition < static_cast<float>(count)) {
        TakeFrame(ClampToInt(newFrame));
        return 0;
    }
    // A loop start at or past the end would divide by zero or less: the
    // animation then holds on its last frame.
    int64_t loopStart = m_loopStart;
    if (loopStart >= count)
        loopStart = count - 1;
    if (loopStart < 0)
        loopStart = 0;
    int64_t length = count - loopStart;
    if (length <= 0)
        length = 1;
    float fraction = m_framePosition - static_cast<float>(newFrame);
    m_framePosition = static_cast<float>((newFrame - loopStart) % length) + fraction + static_cast<float>(loopStart);
    TakeFrame(ClampToInt(Trunc(m_framePosition)));
    return 1;
}

GMImageTemplate* GMImage::GetTemplate() const
{
    if (m_template)
        m_template->AddRef();
    return m_template;
}

const char* GMImage::GetTemplateName() const
{
    return m_template ? m_template->GetName() : nullptr;
}

int32_t GMImage::GetFrameCount() const
{
    return m_template ? m_template->GetFrameCount() : 0;
}

float GMImage::GetTemplateHeight() const
{
    return m_template ? m_template->GetHeight() : 0.0f;
}

float GMImage::GetTextureWidth() const { return m_frameInfo ? m_frameInfo->textureWidth : 0.0f; }
float GMImage::GetTextureHeight() const { return m_frameInfo ? m_frameInfo->textureHeight : 0.0f; }
float GMImage::GetImageWidth() const { return m_frameInfo ? m_frameInfo->imageWidth : 0.0f; }
float GMImage::GetImageHeight() const { return m_frameInfo ? m_frameInfo->imageHeight : 0.0f; }
float GMImage::GetOffsetX() const { return m_frameInfo ? m_frameInfo->offsetX : 0.0f; }
float GMImage::GetOffsetY() const { return m_frameInfo ? m_frameInfo->offsetY : 0.0f; }
float GMImage::GetExtraX() const { return m_frameInfo ? m_frameInfo->extraX : 0.0f; }
float GMImage::GetExtraY() const { return m_frameInfo ? m_frameInfo->extraY : 0.0f; }

float GMImage::SolidTop(uint8_t minAlpha, int32_t minPixels) const
{
    if (!m_frameTexture || !m_frameTexture->HasPixels())
        return 0.0f;
    const uint32_t width = m_frameTexture->GetWidth(), height = m_frameTexture->GetHeight();
    const uint32_t* pixels = m_frameTexture->GetPixels();
    for (uint32_t y = 0; y < height; ++y) {
        int32_t solid = 0;
        for (uint32_t x = 0; x < width; ++x)
            solid += (pixels[size_t(y) * width + x] >> 24) >= minAlpha;
        if (solid >= minPixels)
            return static_cast<float>(y);
    }
    return static_cast<float>(height);
}

// ---- Sprite drawing ----

int32_t GMImage::Draw(float x, float y, DisplayDevice* device)
{
    if (!m_frameTexture || !m_frameInfo)
        return 1;
    const ImageFrameInfo& f = *m_frameInfo;
    PlaceRect(g_whiteQuad, x + f.offsetX, y + f.offsetY, f.textureWidth, f.textureHeight);
    m_template->DrawQuad(m_frameTexture, g_whiteQuad, device);
    return 0;
}

int32_t GMImage::DrawColored(float x, float y, uint32_t color, DisplayDevice* device)
{
    if (!m_frameTexture || !m_frameInfo)
        return 1;
    const ImageFrameInfo& f = *m_frameInfo;
    PlaceRect(g_coloredQuad, x + f.offsetX, y + f.offsetY, f.textureWidth, f.textureHeight);
    SetColor(g_coloredQuad, color);
    m_template->DrawQuad(m_frameTexture, g_coloredQuad, device);
    return 0;
}

int32_t GMImage::DrawSized(float x, float y, float width, float height, DisplayDevice* device)
{
    if (!m_frameTexture || !m_frameInfo)
        return 1;
    PlaceRect(g_whiteQuad, x + m_frameInfo->offsetX, y + m_frameInfo->offsetY, width, height);
    m_template->DrawQuad(m_frameTexture, g_whiteQuad, device);
    return 0;
}

int32_t GMImage::DrawSizedColored(float x, float y, float width, float height, uint32_t color, DisplayDevice* device)
{
    if (!m_frameTexture || !m_frameInfo)
        return 1;
    PlaceRect(g_coloredQuad, x + m_frameInfo->offsetX, y + m_frameInfo->offsetY, width, height);
    SetColor(g_coloredQuad, color);
    m_template->DrawQuad(m_frameTexture, g_coloredQuad, device);
    return 0;
}

int32_t GMImage::DrawScaled(float x, float y, float scaleX, float scaleY, DisplayDevice* device)
{
    if (!m_frameTexture || !m_frameInfo)
        return 1;
    const ImageFrameInfo& f = *m_frameInfo;
    PlaceRect(g_whiteQuad, x + f.offsetX, y + f.offsetY, f.textureWidth * scaleX, f.textureHeight * scaleY);
    m_template->DrawQuad(m_frameTexture, g_whiteQuad, device);
    return 0;
}

int32_t GMImage::DrawCropped(float x, float y, float width, float height, DisplayDevice* device)
{
    return DrawCroppedColored(x, y, width, height, kWhite, device);
}

int32_t GMImage::DrawCroppedColored(float x, float y, float width, float height, uint32_t color,
                                    DisplayDevice* device)
{
    if (!m_frameTexture || !m_frameInfo)
        return 1;
    const ImageFrameInfo& f = *m_frameInfo;
    // Whole pixels, so the cut falls on a texel edge.
    float w = static_cast<float>(Trunc(width + 0.5f));
    float h = static_cast<float>(Trunc(height + 0.5f));
    PlaceRect(g_croppedQuad, x + f.offsetX, y + f.offsetY, w, h);
    SetColor(g_croppedQuad, color);
    float u = f.textureWidth > 0.0f ? w / f.textureWidth : 0.0f;
    float v = f.textureHeight > 0.0f ? h / f.textureHeight : 0.0f;
    g_croppedQuad[1].u = u;
    g_croppedQuad[3].u = u;
    g_croppedQuad[2].v = v;
    g_croppedQuad[3].v = v;
    m_template->DrawQuad(m_frameTexture, g_croppedQuad, device);
    return 0;
}

int32_t GMImage::DrawRotated(float x, float y, float angle, uint32_t color, DisplayDevice* device)
{
    if (!m_frameTexture || !m_frameInfo)
        return 1;
    const ImageFrameInfo& f = *m_frameInfo;
    float s = std::sin(angle), c = std::cos(angle);
    float w = f.textureWidth, h = f.textureHeight;
    float x0 = x + f.offsetX, y0 = y + f.offsetY;
    TLVertex* q = g_coloredQuad;
    q[0].x = x0;
    q[0].y = y0;
    q[1].x = x0 + w * c;
    q[1].y = y0 + w * s;
    q[2].x = x0 - h * s;
    q[2].y = y0 + h * c;
    q[3].x = x0 + w * c - h * s;
    q[3].y = y0 + w * s + h * c;
    SetColor(q, color);
    m_template->DrawQuad(m_frameTexture, q, device);
    return 0;
}

int32_t GMImage::DrawAllFrames(float x, float y, DisplayDevice* device)
{
    return DrawFramesBackToFront(x, y, false, kWhite, device);
}

int32_t GMImage::DrawAllFramesColored(float x, float y, uint32_t color, DisplayDevice* device)
{
    return DrawFramesBackToFront(x, y, true, color, device);
}

int32_t GMImage::DrawFramesBackToFront(float x, float y, bool colored, uint32_t color, DisplayDevice* device)
{
    if (!m_template)
        return 1;
    // Layered pictures: the last frame at the back, frame 0 on top.
    for (int32_t i = m_template->GetFrameCount() - 1; i >= 0; --i) {
        SetFrame(i);
        if ((colored ? DrawColored(x, y, color, device) : Draw(x, y, device)) != 0)
            return 1;
    }
    return 0;
}

void FillRect(float x, float y, float width, float height, uint32_t color, DisplayDevice* device)
{
    if (!device)
        return;
    PlaceRect(g_coloredQuad, x, y, width, height);
    SetColor(g_coloredQuad, color);
    device->SetTexture(0, nullptr);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kTLVertexFormat, g_coloredQuad, 4, 0);
}

void DrawFade(DisplayDevice* device, float alpha)
{
    float a = std::floor(alpha + 0.5f);
    if (!(a > 0.0f))
        a = 0.0f;
    if (a > 255.0f)
        a = 255.0f;
    FillRect(0.0f, 0.0f, kScreenWidth, kScreenHeight, static_cast<uint32_t>(a) << 24, device);
}

// ---- Text ----

namespace {

float MaxF(float a, float b)
{
    return a > b ? a : b;
}

}  // namespace

float LimitDrawScale(float scale)
{
    if (std::isnan(scale))
        return 1.0f;
    return std::clamp(scale, -kMaxDrawScale, kMaxDrawScale);
}

void GMImage::DrawText(float x, float y, float angle, float scale, uint32_t color, const char* text,
                       DisplayDevice* device, float* widthOut, float* heightOut, float* lineHeightOut,
                       const char** nextLineOut, float* scaleOut)
{
    if (widthOut)
        *widthOut = 0.0f;
    if (heightOut)
        *heightOut = 0.0f;
    if (lineHeightOut)
        *lineHeightOut = 0.0f;
    if (nextLineOut)
        *nextLineOut = nullptr;
    scale = LimitDrawScale(scale);
    if (scaleOut)
        *scaleOut = scale;
    if (!device) {
        x = 0.0f;
        y = 0.0f;
        color = 0;
    }

    float penX = x, penY = y, originX = x, originY = y;
    float baseScale = scale;
    uint32_t startColor = color;
    float width = 0.0f, height = 0.0f, lineHeight = 0.0f;
    float templateHeight = GetTemplateHeight();
    float s = angle != 0.0f ? std::sin(angle) : 0.0f;
    float c = angle != 0.0f ? std::cos(angle) : 1.0f;

    const auto* p = reinterpret_cast<const unsigned char*>(text ? text : "");
    while (*p) {
        unsigned char ch = *p++;
        if (ch == '\n') {
            if (nextLineOut) {
                *nextLineOut = reinterpret_cast<const char*>(p);
                break;
            }
            width = MaxF(width, penX - originX);
            penY += templateHeight * scale + 1.0f;
            penX = originX;
            continue;
        }
        if (ch == '\r')
            continue;
        if (ch == '%') {
            if (*p == '%') {
                ++p;  // "%%" is a percent sign drawn as a character
            } else {
                bool negative = false;
                if (*p == '-') {
                    negative = true;
                    ++p;
                }
                uint32_t magnitude = 0;
                while (*p >= '0' && *p <= '9')
                    magnitude = magnitude * 10u + static_cast<uint32_t>(*p++ - '0');
                if (!*p)
                    break;  // a command cut off by the end of the text ends it
                unsigned char command = *p++;
                uint32_t bits = negative ? 0u - magnitude : magnitude;
                float n = static_cast<float>(static_cast<int32_t>(bits));
                switch (command) {
                case 'x': penX += n * scale; break;
                case 'y': penY += n * scale; break;
                case 'X':
                    originX += n * scale;
                    width = MaxF(width, penX - originX);
                    penX = originX;
                    break;
                case 'Y':
                    originY += n * scale;
                    height = MaxF(height, penY - originY);
                    penY = originY;
                    break;
                case 'i':
                    width = MaxF(width, penX - originX);
                    penX = n * scale;
                    break;
                case 'j':
                    height = MaxF(height, penY - originY);
                    penY = n * scale;
                    break;
                case 'I':
                    originX = n * scale;
                    width = MaxF(width, penX - originX);
                    penX = originX;
                    break;
                case 'J':
                    originY = n * scale;
                    height = MaxF(height, penY - originY);
                    penY = originY;
                    break;
                case 'z': scale = LimitDrawScale(baseScale * n / 100.0f); break;
                case 'c': color &= bits; break;
                case 'C': color = bits; break;
                case 'R': color = startColor; break;
                default: break;
                }
                continue;
            }
        }

        SetFrame(static_cast<int32_t>(ch) - 32);
        const ImageFrameInfo* f = m_frameInfo;
        float advance = f ? f->imageWidth : 0.0f;
        float above = f ? f->imageHeight : 0.0f;
        if (device && f) {
            if (angle == 0.0f && scale == 1.0f) {
                DrawColored(penX, penY - above, color, device);
            } else if (angle == 0.0f) {
                // The frame's offsets scale with the glyph.
                float saveX = m_frameInfo->offsetX, saveY = m_frameInfo->offsetY;
                m_frameInfo->offsetX = saveX * scale;
                m_frameInfo->offsetY = saveY * scale;
                DrawSizedColored(penX, penY - above * scale, f->textureWidth * scale, f->textureHeight * scale, color,
                                 device);
                m_frameInfo->offsetX = saveX;
                m_frameInfo->offsetY = saveY;
            } else {
                DrawRotated(penX + s * above, penY - c * above, angle, color, device);
            }
        }
        if (angle == 0.0f) {
            penX += advance * scale;
        } else {
            penX += c * advance;
            penY += s * advance;
        }
        lineHeight = MaxF(lineHeight, above);
    }

    float bottom = penY + templateHeight * scale;
    width = MaxF(width, penX - originX);
    height = MaxF(height, bottom - originY);
    if (widthOut)
        *widthOut = width;
    if (heightOut)
        *heightOut = height;
    if (lineHeightOut)
        *lineHeightOut = lineHeight;
    if (scaleOut)
        *scaleOut = scale;
}

void GMImage::DrawTextLines(float centreX, float centreY, float angle, float scale, uint32_t color, const char* text,
                            DisplayDevice* device, float lineGap)
{
    if (!text)
        return;
    // First pass: the number of lines and their total height. Each line's
    // height is taken at the scale the line before it ended with.
    int32_t lines = 0;
    float total = 0.0f;
    float lineScale = scale;
    for (const char* line = text; line;) {
        const char* next = nullptr;
        float lineHeight = 0.0f, endScale = lineScale;
        DrawText(0.0f, 0.0f, angle, lineScale, 0, line, nullptr, nullptr, nullptr, &lineHeight, &next, &endScale);
        total += lineHeight * lineScale;
        lineScale = endScale;
        ++lines;
        line = next;
    }

    float y = centreY - (static_cast<float>(lines - 1) * lineGap + total) / 2.0f;
    lineScale = scale;
    for (const char* line = text; line;) {
        const char* next = nullptr;
        float width = 0.0f, lineHeight = 0.0f, endScale = lineScale;
        DrawText(0.0f, 0.0f, angle, lineScale, 0, line, nullptr, &width, nullptr, &lineHeight, &next, &endScale);
        y += lineHeight * lineScale;
        lineScale = endScale;
        const char* drawnNext = nullptr;
        DrawText(centreX - width / 2.0f, y, angle, scale, color, line, device, nullptr, nullptr, nullptr, &drawnNext,
                 nullptr);
        y += lineGap;
        line = next;
    }
}

void GMImage::DrawNumber(float x, float y, uint32_t color, const char* text, DisplayDevice* device, float* widthOut,
                         float* heightOut)
{
    if (widthOut)
        *widthOut = 0.0f;
    if (heightOut)
        *heightOut = 0.0f;
    if (!text)
        return;
    float penX = x;
    for (const char* p = text; *p; ++p) {
        int32_t frame;
        switch (*p) {
        case '$': frame = 11; break;
        case '-': frame = 10; break;
        case 'x': frame = 12; break;
        case ':': frame = 13; break;
        default: frame = static_cast<unsigned char>(*p) - '0'; break;
        }
        SetFrame(frame);
        if (device)
            DrawColored(penX, y - GetImageHeight(), color, device);
        penX += GetImageWidth();
        if (widthOut && penX - x > *widthOut)
            *widthOut = penX - x;
        if (heightOut)
            *heightOut = y + GetTemplateHeight();
    }
}
