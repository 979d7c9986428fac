#pragma once
#include "platform/DisplayDevice.h"
#include "platform/DisplayDriver.h"
#include "platform/System.h"
#include "platform/Texture.h"

#include <gtest/gtest.h>

#include <vector>

// A headless device of the game's states, with helpers to draw quads and read pixels.
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartPlatform());
        ASSERT_EQ(DisplayDevice::CreateOffscreen(Width(), Height(), &device), DD_OK);
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    }
    void TearDown() override
    {
        for (Texture* t : textures)
            t->Release();
        if (device) {
            device->SetTexture(0, nullptr);
            device->EndScene();
            device->Release();
        }
    }
    virtual uint32_t Width() const { return 64; }
    virtual uint32_t Height() const { return 64; }

    Texture* MakeTexture(uint32_t w, uint32_t h, uint32_t fill)
    {
        Texture* t = nullptr;
        EXPECT_EQ(device->CreateTexture(w, h, &t), DD_OK);
        LockedRect rect;
        EXPECT_EQ(t->Lock(&rect), DD_OK);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x)
                static_cast<uint32_t*>(rect.bits)[y * (rect.pitch / 4) + x] = fill;
        t->Unlock();
        textures.push_back(t);
        return t;
    }
    static void SetTexel(Texture* t, uint32_t x, uint32_t y, uint32_t value)
    {
        LockedRect rect;
        ASSERT_EQ(t->Lock(&rect), DD_OK);
        static_cast<uint32_t*>(rect.bits)[y * (rect.pitch / 4) + x] = value;
        t->Unlock();
    }

    // A strip TL, TR, BL, BR as the sprite code builds it.
    DisplayResult Quad(float x, float y, float w, float h, uint32_t colour, Texture* tex, float u0 = 0, float v0 = 0,
                       float u1 = 1, float v1 = 1)
    {
        TLVertex q[4] = {
            {x, y, 0.9999f, 1, colour, 0xFF000000u, u0, v0},
            {x + w, y, 0.9999f, 1, colour, 0xFF000000u, u1, v0},
            {x, y + h, 0.9999f, 1, colour, 0xFF000000u, u0, v1},
            {x + w, y + h, 0.9999f, 1, colour, 0xFF000000u, u1, v1},
        };
        device->SetTexture(0, tex);
        return device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kTLVertexFormat, q, 4, 0);
    }

    std::vector<uint32_t> Read()
    {
        std::vector<uint32_t> px;
        uint32_t w = 0, h = 0;
        EXPECT_EQ(device->ReadBackBuffer(&px, &w, &h), DD_OK);
        EXPECT_EQ(w, Width());
        EXPECT_EQ(h, Height());
        return px;
    }
    uint32_t Pixel(int x, int y) { return Read()[size_t(y) * Width() + x]; }
    static int Red(uint32_t p) { return (p >> 16) & 0xFF; }
    static int Green(uint32_t p) { return (p >> 8) & 0xFF; }
    static int Blue(uint32_t p) { return p & 0xFF; }

    DisplayDevice* device = nullptr;
    std::vector<Texture*> textures;
};
