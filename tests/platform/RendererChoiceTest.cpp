#include "platform/DeviceCaps.h"
#include "platform/DisplayDevice.h"
#include "platform/RendererChoice.h"
#include "platform/System.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(RendererChoice, SoftwareRasterisersAreToldFromHardwareByTheirGlString)
{
    for (const char* software : {"llvmpipe (LLVM 15.0.6, 256 bits)", "Gallium 0.4 on llvmpipe (LLVM 3.4, 128 bits)",
                                 "softpipe", "Gallium 0.4 on softpipe", "Software Rasterizer", "Mesa swrast", "LLVMPIPE"})
        EXPECT_TRUE(IsSoftwareRasteriser(software)) << software;
    // Hardware whose strings name LLVM (the shader compiler), or a virtual GPU.
    for (const char* hardware : {"AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)",
                                 "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "NVIDIA GeForce GTX 1060/PCIe/SSE2",
                                 "virgl (AMD Radeon)", "SVGA3D; build: RELEASE; LLVM;", ""})
        EXPECT_FALSE(IsSoftwareRasteriser(hardware)) << hardware;
    EXPECT_FALSE(IsSoftwareRasteriser(nullptr));

    EXPECT_FALSE(KeepAcceleratedRenderer("", "llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(KeepAcceleratedRenderer("", "AMD Radeon RX 580 Series"));
    EXPECT_TRUE(KeepAcceleratedRenderer("", ""));  // not OpenGL, or it does not say
    EXPECT_TRUE(KeepAcceleratedRenderer("opengl", "llvmpipe (LLVM 15.0.6, 256 bits)"));  // named: kept

    EXPECT_FALSE(RequestRenderer("no-such-renderer"));
    EXPECT_NE((" " + AvailableRenderers() + " ").find(" software "), std::string::npos) << AvailableRenderers();
}

namespace {
// Which device a fresh display device became, with the choice logged.
bool MadeAccelerated(std::string* choice)
{
    DisplayDevice* device = nullptr;
    EXPECT_EQ(DisplayDevice::CreateOffscreen(64, 64, &device), DD_OK);
    if (!device)
        return false;
    DeviceDesc desc;
    device->GetCaps(&desc);
    *choice = RendererChoiceText();
    bool accelerated = desc.deviceGuid == IID_IDirect3DHALDevice;
    device->Release();
    return accelerated;
}
}  // namespace

// The real device path on a driver with OpenGL (SDL's offscreen one, on Mesa's
// EGL), the GL driver's renderer string stood in for by the test.
TEST(RendererChoice, AnOpenGlRendererThatDrawsInSoftwareGivesWayToSdlsSoftwareRenderer)
{
#if defined(__SANITIZE_ADDRESS__)
    // Mesa's driver leaks at exit once SDL has unloaded it, where LeakSanitizer
    // can no longer name (nor be told to ignore) it.
    GTEST_SKIP() << "the GL driver is not ours to check for leaks";
#endif
    StopPlatform();
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    unsetenv("SDL_RENDER_DRIVER");
    if (!StartPlatform())
        GTEST_SKIP() << "no offscreen video driver: " << SDL_GetError();
    OverrideGlRendererString("AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49)");
    std::string choice;
    if (!MadeAccelerated(&choice))
        GTEST_SKIP() << "no OpenGL renderer here: " << choice;
    EXPECT_EQ(choice.rfind("opengl", 0), 0u) << choice;
    EXPECT_NE(choice.find("AMD Radeon"), std::string::npos) << choice;

    OverrideGlRendererString("llvmpipe (LLVM 15.0.6, 256 bits)");
    EXPECT_FALSE(MadeAccelerated(&choice));
    EXPECT_EQ(choice, "software (opengl is \"llvmpipe (LLVM 15.0.6, 256 bits)\", a software rasteriser)");

    // Named by the player (--renderer, SDL_RENDER_DRIVER): kept whatever draws it.
    ASSERT_TRUE(RequestRenderer("opengl"));
    EXPECT_EQ(RequestedRenderer(), "opengl");
    EXPECT_TRUE(MadeAccelerated(&choice));
    EXPECT_EQ(choice, "opengl (named)");
    ASSERT_TRUE(RequestRenderer("software"));
    EXPECT_FALSE(MadeAccelerated(&choice));
    EXPECT_EQ(choice, "software (named)");

    // The probe --where uses tells the same.
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "", SDL_HINT_OVERRIDE);
    EXPECT_EQ(ProbeRendererChoice(), "software (opengl is \"llvmpipe (LLVM 15.0.6, 256 bits)\", a software rasteriser)");
    OverrideGlRendererString("");
    StopPlatform();
}
