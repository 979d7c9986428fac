// Milliseconds per 800 x 600 frame for the drawing the game does most: many small
// sprites, a few rotated ones and full-screen scaled pictures. Headless by default
// (SDL's dummy driver and software renderer), like the tests.
#include "platform/DisplayDevice.h"
#include "platform/System.h"
#include "platform/Texture.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

void Quad(DisplayDevice* d, Texture* t, float x, float y, float w, float h, uint32_t colour)
{
    TLVertex q[4] = {{x, y, 0.9999f, 1, colour, 0xFF000000u, 0, 0},
                     {x + w, y, 0.9999f, 1, colour, 0xFF000000u, 1, 0},
                     {x, y + h, 0.9999f, 1, colour, 0xFF000000u, 0, 1},
                     {x + w, y + h, 0.9999f, 1, colour, 0xFF000000u, 1, 1}};
    d->SetTexture(0, t);
    d->DrawPrimitive(D3DPT_TRIANGLESTRIP, kTLVertexFormat, q, 4, 0);
}

void Rotated(DisplayDevice* d, Texture* t, float x, float y, float angle)
{
    float s = std::sin(angle) * 32, c = std::cos(angle) * 32;
    TLVertex q[4] = {{x, y, 0.9999f, 1, 0xFFFFFFFFu, 0xFF000000u, 0, 0},
                     {x + c, y + s, 0.9999f, 1, 0xFFFFFFFFu, 0xFF000000u, 1, 0},
                     {x - s, y + c, 0.9999f, 1, 0xFFFFFFFFu, 0xFF000000u, 0, 1},
                     {x + c - s, y + s + c, 0.9999f, 1, 0xFFFFFFFFu, 0xFF000000u, 1, 1}};
    d->SetTexture(0, t);
    d->DrawPrimitive(D3DPT_TRIANGLESTRIP, kTLVertexFormat, q, 4, 0);
}

template <class Fn>
double MsPerFrame(DisplayDevice* d, int frames, Fn&& draw)
{
    auto start = Clock::now();
    for (int f = 0; f < frames; ++f) {
        d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        d->BeginScene();
        draw(f);
        d->EndScene();
        d->Flush();
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / frames;
}
}  // namespace

int main()
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_RENDER_DRIVER", "software", 0);
    if (!StartPlatform()) {
        std::printf("no display\n");
        return 1;
    }
    DisplayDevice* d = nullptr;
    if (DisplayDevice::CreateOffscreen(800, 600, &d) < 0) {
        std::printf("no device\n");
        return 1;
    }
    std::vector<Texture*> sprites;
    for (int i = 0; i < 8; ++i) {
        Texture* t = nullptr;
        d->CreateTexture(32, 32, &t);
        LockedRect r;
        t->Lock(&r);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                bool inside = (x - 16) * (x - 16) + (y - 16) * (y - 16) < 225;
                static_cast<uint32_t*>(r.bits)[y * 32 + x] = inside ? 0xFF000000u | (0x203040u * (i + 1)) : 0;
            }
        t->Unlock();
        sprites.push_back(t);
    }
    Texture* backdrop = nullptr;
    d->CreateTexture(512, 512, &backdrop);
    LockedRect r;
    backdrop->Lock(&r);
    for (int i = 0; i < 512 * 512; ++i)
        static_cast<uint32_t*>(r.bits)[i] = 0xFF000000u | uint32_t(i * 2654435761u >> 8);
    backdrop->Unlock();

    const int frames = 100;
    double sprite = MsPerFrame(d, frames, [&](int f) {
        for (int i = 0; i < 2000; ++i)
            Quad(d, sprites[i % 8], float((i * 37 + f) % 768), float((i * 53) % 568), 32, 32, 0xFFFFFFFFu);
    });
    double faded = MsPerFrame(d, frames, [&](int f) {
        for (int i = 0; i < 2000; ++i)
            Quad(d, sprites[i % 8], float((i * 37 + f) % 768), float((i * 53) % 568), 32, 32, 0x80FFFFFFu);
    });
    double rotated = MsPerFrame(d, frames, [&](int f) {
        for (int i = 0; i < 200; ++i)
            Rotated(d, sprites[i % 8], float((i * 37) % 760 + 20), float((i * 53) % 560 + 20), 0.01f * (i + f));
    });
    d->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    d->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    double stretched = MsPerFrame(d, 20, [&](int) { Quad(d, backdrop, 0, 0, 800, 600, 0xFFFFFFFFu); });
    d->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
    d->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
    double fade = MsPerFrame(d, frames, [&](int f) { Quad(d, nullptr, 0, 0, 800, 600, uint32_t(f * 2) << 24); });

    std::printf("2000 sprites 32x32, opaque        : %6.2f ms/frame\n", sprite);
    std::printf("2000 sprites 32x32, alpha 128     : %6.2f ms/frame\n", faded);
    std::printf("200 rotated sprites 32x32         : %6.2f ms/frame\n", rotated);
    std::printf("1 full-screen linear stretched    : %6.2f ms/frame\n", stretched);
    std::printf("full-screen fade overlay          : %6.2f ms/frame\n", fade);
    d->SetTexture(0, nullptr);
    for (Texture* t : sprites)
        t->Release();
    backdrop->Release();
    d->Release();
    StopPlatform();
    return 0;
}
