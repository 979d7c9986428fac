#include "game/GMBackdrop.h"

#include "gfx/DisplayDevice.h"
#include "gfx/Filtering.h"
#include "gfx/GMImage.h"
#include "gfx/GMImageSurface.h"
#include "platform/Texture.h"

#include <cmath>

namespace {

constexpr uint32_t kScreenW = 800;
constexpr uint32_t kScreenH = 600;

// One channel of the four texels around a sample, weighted.
inline float Mix(uint32_t a, uint32_t b, uint32_t c, uint32_t d, int shift, float fx, float fy)
{
    auto ch = [shift](uint32_t p) { return static_cast<float>((p >> shift) & 0xFF); };
    float top = ch(a) + (ch(b) - ch(a)) * fx;
    float bottom = ch(c) + (ch(d) - ch(c)) * fx;
    return top + (bottom - top) * fy;
}

}  // namespace

Texture* GMBackdrop::Build(Texture* source, float width, float height, DisplayDevice* device)
{
    const uint32_t sw = source->GetWidth(), sh = source->GetHeight();
    const uint32_t* src = source->GetPixels();
    // The frame's texture is drawn whole; its picture may be smaller than it.
    if (!src || sw == 0 || sh == 0 || width <= 0.0f || height <= 0.0f)
        return nullptr;
    Texture* copy = nullptr;
    if (device->CreateTexture(kScreenW, kScreenH, &copy) < 0 || !copy)
        return nullptr;
    LockedRect rect;
    if (copy->Lock(&rect) < 0) {
        copy->Release();
        return nullptr;
    }
    // Texel centres map onto pixel centres, as a filtered stretch samples them.
    const float sx = width / static_cast<float>(kScreenW), sy = height / static_cast<float>(kScreenH);
    for (uint32_t y = 0; y < kScreenH; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(rect.bits) + size_t(y) * rect.pitch);
        float v = (static_cast<float>(y) + 0.5f) * sy - 0.5f;
        v = v < 0.0f ? 0.0f : v;
        uint32_t y0 = static_cast<uint32_t>(v);
        y0 = y0 >= sh ? sh - 1 : y0;
        const uint32_t y1 = y0 + 1 < sh ? y0 + 1 : y0;
        const float fy = v - static_cast<float>(y0);
        for (uint32_t x = 0; x < kScreenW; ++x) {
            float u = (static_cast<float>(x) + 0.5f) * sx - 0.5f;
            u = u < 0.0f ? 0.0f : u;
            uint32_t x0 = static_cast<uint32_t>(u);
            x0 = x0 >= sw ? sw - 1 : x0;
            const uint32_t x1 = x0 + 1 < sw ? x0 + 1 : x0;
            const float fx = u - static_cast<float>(x0);
            const uint32_t a = src[size_t(y0) * sw + x0], b = src[size_t(y0) * sw + x1];
            const uint32_t c = src[size_t(y1) * sw + x0], d = src[size_t(y1) * sw + x1];
            // Laid over black, as the cleared screen would show it.
            const float alpha = Mix(a, b, c, d, 24, fx, fy) / 255.0f;
            auto out = [&](int shift) {
                return static_cast<uint32_t>(Mix(a, b, c, d, shift, fx, fy) * alpha + 0.5f) << shift;
            };
            row[x] = 0xFF000000u | out(16) | out(8) | out(0);
        }
    }
    copy->Unlock();
    return copy;
}

void GMBackdrop::Draw(GMImage* background, DisplayDevice* device)
{
    Texture* frame = background ? background->GetFrameTexture() : nullptr;
    if (!frame || !device)
        return;
    GMImageSurface* picture = background->GetFrameSurface();
    if (background->GetFrameCount() > 1 || !picture) {
        SetLinearFiltering(device, true);
        background->DrawSized(0.0f, 0.0f, 800.0f, 600.0f, device);
        SetLinearFiltering(device, false);
        return;
    }
    Texture* copy = picture->GetScreenCopy(frame->GetVersion());
    if (!copy) {
        copy = Build(frame, static_cast<float>(frame->GetWidth()), static_cast<float>(frame->GetHeight()), device);
        if (!copy)
            return;
        picture->KeepScreenCopy(copy, frame->GetVersion());
        ++m_builds;
    }
    if (copy->IsLost() != DD_OK)
        copy->Restore();
    TLVertex quad[4] = {
        {0.0f, 0.0f, 0.9999f, 1.0f, 0xFFFFFFFFu, 0xFF000000u, 0.0f, 0.0f},
        {800.0f, 0.0f, 0.9999f, 1.0f, 0xFFFFFFFFu, 0xFF000000u, 1.0f, 0.0f},
        {0.0f, 600.0f, 0.9999f, 1.0f, 0xFFFFFFFFu, 0xFF000000u, 0.0f, 1.0f},
        {800.0f, 600.0f, 0.9999f, 1.0f, 0xFFFFFFFFu, 0xFF000000u, 1.0f, 1.0f},
    };
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 0);
    device->SetTexture(0, copy);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kTLVertexFormat, quad, 4, 0);
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
}
