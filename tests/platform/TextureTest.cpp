#include "DeviceTestSupport.h"

#include "platform/DisplaySurface.h"
#include "platform/Window.h"

#include <cstdlib>
#include <string>

TEST_F(DeviceTest, NewTextureIsTransparentBlackOfTheAskedSize)
{
    Texture* t = nullptr;
    ASSERT_EQ(device->CreateTexture(300, 20, &t), DD_OK);
    textures.push_back(t);
    uint32_t w = 0, h = 0;
    t->GetSurfaceDesc(&w, &h);
    EXPECT_EQ(w, 300u);
    EXPECT_EQ(h, 20u);
    for (uint32_t i = 0; i < w * h; ++i)
        ASSERT_EQ(t->GetPixels()[i], 0u);
    EXPECT_EQ(device->CreateTexture(0, 4, &t), DDERR_INVALIDPARAMS);
}

TEST_F(DeviceTest, CpuCopyRoundTripsThroughLockAndTheRenderer)
{
    Texture* t = MakeTexture(16, 16, 0);
    LockedRect rect;
    ASSERT_EQ(t->Lock(&rect), DD_OK);
    EXPECT_EQ(rect.pitch, 64);
    EXPECT_EQ(t->Lock(&rect), DDERR_SURFACEBUSY);  // one lock at a time
    auto* bits = static_cast<uint8_t*>(rect.bits);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = bits + y * rect.pitch + x * 4;
            p[0] = uint8_t(x * 16);  // blue
            p[1] = uint8_t(y * 16);  // green
            p[2] = 0x55;             // red
            p[3] = 0xFF;             // alpha
        }
    ASSERT_EQ(t->Unlock(), DD_OK);
    EXPECT_EQ(t->Unlock(), DDERR_NOTLOCKED);
    EXPECT_EQ(t->GetPixels()[3 * 16 + 5], 0xFF553050u);  // read back as ARGB
    ASSERT_EQ(Quad(0, 0, 16, 16, 0xFFFFFFFFu, t), DD_OK);
    auto px = Read();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(px[y * 64 + x], t->GetPixels()[y * 16 + x]) << x << "," << y;
    // Read, change one texel, upload again.
    SetTexel(t, 7, 7, 0xFFFFFFFFu);
    ASSERT_EQ(Quad(20, 0, 16, 16, 0xFFFFFFFFu, t), DD_OK);
    EXPECT_EQ(Pixel(27, 7), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(26, 7), t->GetPixels()[7 * 16 + 6]);
}

TEST_F(DeviceTest, ForcedLossThenRestoreKeepsEveryTexture)
{
    Texture* a = MakeTexture(8, 8, 0xFF112233u);
    Texture* b = MakeTexture(8, 8, 0x80FF8000u);
    SetTexel(a, 1, 1, 0xFFABCDEFu);
    Quad(0, 0, 8, 8, 0xFFFFFFFFu, a);
    Quad(10, 0, 8, 8, 0xFFFFFFFFu, b);
    auto before = Read();

    ForceDisplayLoss(device->GetDriver());
    EXPECT_EQ(a->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(b->IsLost(), DDERR_SURFACELOST);
    LockedRect rect;
    EXPECT_EQ(a->Lock(&rect), DDERR_SURFACELOST);
    EXPECT_EQ(Quad(0, 0, 8, 8, 0xFFFFFFFFu, a), DDERR_SURFACELOST);
    EXPECT_EQ(device->GetRenderTarget()->IsLost(), DDERR_SURFACELOST);

    EXPECT_EQ(device->GetRenderTarget()->Restore(), DD_OK);
    EXPECT_EQ(a->Restore(), DD_OK);
    EXPECT_EQ(b->Restore(), DD_OK);
    EXPECT_EQ(a->IsLost(), DD_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    ASSERT_EQ(Quad(0, 0, 8, 8, 0xFFFFFFFFu, a), DD_OK);
    ASSERT_EQ(Quad(10, 0, 8, 8, 0xFFFFFFFFu, b), DD_OK);
    EXPECT_EQ(Read(), before);
    EXPECT_EQ(a->GetPixels()[9], 0xFFABCDEFu);
}

TEST_F(DeviceTest, TexturesOutliveTheirDeviceAndDrawOnTheNextOne)
{
    Texture* t = MakeTexture(4, 4, 0xFF00C0FFu);
    Quad(0, 0, 4, 4, 0xFFFFFFFFu, t);
    // A second device of the same size draws the same texture the same way.
    DisplayDevice* other = nullptr;
    ASSERT_EQ(DisplayDevice::CreateOffscreen(64, 64, &other), DD_OK);
    other->BeginScene();
    other->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    TLVertex q[4] = {{0, 0, 0.9999f, 1, 0xFFFFFFFFu, 0, 0, 0}, {4, 0, 0.9999f, 1, 0xFFFFFFFFu, 0, 1, 0},
                     {0, 4, 0.9999f, 1, 0xFFFFFFFFu, 0, 0, 1}, {4, 4, 0.9999f, 1, 0xFFFFFFFFu, 0, 1, 1}};
    other->SetTexture(0, t);
    ASSERT_EQ(other->DrawPrimitive(D3DPT_TRIANGLESTRIP, kTLVertexFormat, q, 4, 0), DD_OK);
    std::vector<uint32_t> px;
    other->ReadBackBuffer(&px, nullptr, nullptr);
    EXPECT_EQ(px[1 * 64 + 1], 0xFF00C0FFu);
    other->SetTexture(0, nullptr);
    other->EndScene();
    other->Release();
    // And back on the first.
    ASSERT_EQ(Quad(10, 0, 4, 4, 0xFFFFFFFFu, t), DD_OK);
    EXPECT_EQ(Pixel(11, 1), 0xFF00C0FFu);
}

TEST_F(DeviceTest, StatesReadBackWhatWasSet)
{
    uint32_t v = 0;
    ASSERT_EQ(device->GetRenderState(D3DRENDERSTATE_SRCBLEND, &v), DD_OK);
    EXPECT_EQ(v, D3DBLEND_SRCALPHA);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    device->GetTextureStageState(0, D3DTSS_COLOROP, &v);
    EXPECT_EQ(v, D3DTOP_SELECTARG2);
    EXPECT_EQ(device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE), DDERR_INVALIDPARAMS);
    Viewport vp;
    device->GetViewport(&vp);
    EXPECT_EQ(vp.width, 64u);
    vp.width = 65;
    EXPECT_EQ(device->SetViewport(vp), DDERR_INVALIDPARAMS);
}

TEST_F(DeviceTest, CapsDescribeWhatTheDeviceDraws)
{
    DeviceDesc desc{};
    ASSERT_EQ(device->GetCaps(&desc), DD_OK);
    EXPECT_TRUE(desc.triCaps.miscCaps & D3DPMISCCAPS_CULLNONE);
    EXPECT_TRUE(desc.triCaps.srcBlendCaps & D3DPBLENDCAPS_SRCALPHA);
    EXPECT_TRUE(desc.triCaps.srcBlendCaps & D3DPBLENDCAPS_INVSRCALPHA);
    EXPECT_TRUE(desc.triCaps.destBlendCaps & D3DPBLENDCAPS_ONE);
    EXPECT_TRUE(desc.triCaps.textureAddressCaps & D3DPTADDRESSCAPS_CLAMP);
    EXPECT_TRUE(desc.textureOpCaps & D3DTEXOPCAPS_SELECTARG2);
    EXPECT_EQ(desc.deviceRenderBitDepth, DDBD_32);
    // The software renderer is the RGB device, an accelerated one the HAL device.
    bool hardware = desc.devCaps & D3DDEVCAPS_HWRASTERIZATION;
    EXPECT_TRUE(desc.deviceGuid == (hardware ? IID_IDirect3DHALDevice : IID_IDirect3DRGBDevice));
    if (std::getenv("SDL_RENDER_DRIVER") && std::string(std::getenv("SDL_RENDER_DRIVER")) == "software") {
        EXPECT_FALSE(hardware);
    }
}

TEST(DeviceWindow, DestroyingTheWindowFirstLeavesADeviceThatDrawsNothing)
{
    ASSERT_TRUE(StartPlatform());
    Window* w = Window::Create("Brimvale", WindowStyle::Framed, {0, 0, 64, 64}, false);
    DisplayDriver* driver = nullptr;
    ASSERT_EQ(DisplayDriver::Create(&driver), DD_OK);
    ASSERT_EQ(driver->SetCooperativeLevel(w, DDSCL_NORMAL), DD_OK);
    DisplaySurface* primary = nullptr;
    DisplaySurface* back = nullptr;
    DisplayDevice* device = nullptr;
    ASSERT_EQ(driver->CreatePrimarySurface(false, &primary), DD_OK);
    ASSERT_EQ(driver->CreateBackBuffer(64, 64, &back), DD_OK);
    EXPECT_EQ(driver->CreateDevice(IID_IDirect3DTnLHalDevice, back, &device), DDERR_UNSUPPORTED);
    EXPECT_EQ(driver->CreateDevice(IID_IDirect3DMMXDevice, back, &device), DDERR_UNSUPPORTED);
    ASSERT_EQ(driver->CreateDevice(IID_IDirect3DRGBDevice, back, &device), DD_OK);
    DisplayDevice* second = nullptr;
    EXPECT_EQ(driver->CreateDevice(IID_IDirect3DRGBDevice, back, &second), DDERR_HWNDALREADYSET);
    EXPECT_EQ(second, nullptr);
    delete w;
    device->BeginScene();
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1, 0), DDERR_SURFACELOST);
    std::vector<uint32_t> px;
    EXPECT_EQ(device->ReadBackBuffer(&px, nullptr, nullptr), DDERR_SURFACELOST);
    device->EndScene();
    device->Release();
    back->Release();
    primary->Release();
    driver->Release();
}
