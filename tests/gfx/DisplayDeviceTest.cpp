#include "gfx/DisplayDevice.h"

#include "platform/Cursor.h"
#include "platform/Messages.h"
#include "platform/System.h"
#include "platform/Texture.h"
#include "platform/Window.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

namespace {
// Log records without their date and time: "Creating D3D... ", "OK\n", ...
std::vector<std::string> Records(const std::string& text)
{
    static const std::regex head(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d -- )");
    std::vector<std::string> out;
    auto begin = std::sregex_iterator(text.begin(), text.end(), head);
    std::vector<std::pair<size_t, size_t>> marks;
    for (auto it = begin; it != std::sregex_iterator(); ++it)
        marks.push_back({size_t(it->position()), size_t(it->length())});
    for (size_t i = 0; i < marks.size(); ++i) {
        size_t start = marks[i].first + marks[i].second;
        size_t end = i + 1 < marks.size() ? marks[i + 1].first : text.size();
        std::string body = text.substr(start, end - start);
        if (!body.empty() && body.back() == '\n')
            body.pop_back();  // the record's own line feed
        out.push_back(body);
    }
    return out;
}

const std::vector<std::string> kWindowedLog = {
    "Clearing old DDraw and D3DDevice... ", "OK\n", "Creating DDraw... ", "OK\n",
    "Setting cooperative level for windowed mode... ", "OK\n", "Creating D3D... ", "OK\n",
    "Creating Primary and Back buffers... ", "OK\n", "Creating D3DDevice... ", "OK\n",
    "Saving D3DDevice caps to file... ", "OK\n", "Setting Viewport... ", "OK\n", "Checking for compatibles... ",
    "OK\n", "Setting render states... ", "OK\n", "Setting texture states... ", "OK\n",
};

// Focus comes at once headless, a moment later from an X server.
void WaitUntilForeground(Window* w)
{
    for (int i = 0; i < 50 && !w->IsForeground(); ++i) {
        Message m;
        while (MessageQueue::Peek(&m, true)) {
        }
        MessageQueue::Wait(20);
    }
}

struct Box {
    std::string text, caption;
    uint32_t style;
};

class DisplayDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartPlatform());
        ::mkdir(root.File("data").c_str(), 0755);
        here = std::make_unique<ScopedChdir>(root.File("data"));
        SetMessageBoxHook([this](const char* t, const char* c, uint32_t s) { boxes.push_back({t, c, s}); });
        DisplayState& d = GetDisplayState();
        d = DisplayState{};
        d.windowed = true;
        MakeWindow(800, 600);
        MessageQueue::Clear();
    }
    void TearDown() override
    {
        ReleaseDisplayDevice(false);
        SetDisplayFaultHook(nullptr);
        SetDeviceCapsFilter(nullptr);
        SetMessageBoxHook(nullptr);
        SetRestoreImagesHandler(nullptr, nullptr);
        for (Window* w : windows)
            delete w;
        GetDisplayState() = DisplayState{};
        MessageQueue::Clear();
    }
    Window* MakeWindow(int w, int h)
    {
        Window* win = Window::Create("Brimvale", WindowStyle::Framed, {0, 0, w, h}, true);
        windows.push_back(win);
        GetDisplayState().window = win;
        return win;
    }
    std::vector<std::string> Log(const char* name = "direct.log") { return Records(root.Read(name)); }
    void ExpectReleased()
    {
        DisplayState& d = GetDisplayState();
        EXPECT_EQ(d.directDraw, nullptr);
        EXPECT_EQ(d.direct3D, nullptr);
        EXPECT_EQ(d.primary, nullptr);
        EXPECT_EQ(d.backBuffer, nullptr);
        EXPECT_EQ(d.device, nullptr);
    }

    TempDir root;
    std::unique_ptr<ScopedChdir> here;
    std::vector<Window*> windows;
    std::vector<Box> boxes;
};
}  // namespace

TEST_F(DisplayDeviceTest, CreationLogsEveryStepInOrder)
{
    ASSERT_EQ(CreateDisplayDevice(false), 0);
    EXPECT_EQ(Log(), kWindowedLog);
    EXPECT_NE(root.Read("direct.log").find("-- OK\n\n"), std::string::npos);
    DisplayState& d = GetDisplayState();
    ASSERT_NE(d.device, nullptr);
    EXPECT_EQ(d.direct3D, d.directDraw);
    EXPECT_EQ(d.backBufferWidth, 800u);
    EXPECT_EQ(d.backBufferHeight, 600u);
    uint32_t v = 0;
    d.device->GetRenderState(D3DRENDERSTATE_SRCBLEND, &v);
    EXPECT_EQ(v, D3DBLEND_SRCALPHA);
    d.device->GetRenderState(D3DRENDERSTATE_DESTBLEND, &v);
    EXPECT_EQ(v, D3DBLEND_INVSRCALPHA);
    d.device->GetRenderState(D3DRENDERSTATE_CULLMODE, &v);
    EXPECT_EQ(v, D3DCULL_NONE);
    d.device->GetRenderState(D3DRENDERSTATE_LASTPIXEL, &v);
    EXPECT_EQ(v, 0u);
    d.device->GetTextureStageState(0, D3DTSS_MAGFILTER, &v);
    EXPECT_EQ(v, D3DTFG_POINT);
    d.device->GetTextureStageState(0, D3DTSS_ALPHAARG2, &v);
    EXPECT_EQ(v, D3DTA_TEXTURE);
    d.device->GetTextureStageState(0, D3DTSS_COLOROP, &v);
    EXPECT_EQ(v, D3DTOP_MODULATE);  // the device default stays
    EXPECT_TRUE(boxes.empty());
    // A second creation rewrites the log.
    ASSERT_EQ(CreateDisplayDevice(false), 0);
    EXPECT_EQ(Log(), kWindowedLog);
}

TEST_F(DisplayDeviceTest, CapsDumpNamesOurDevice)
{
    ASSERT_EQ(CreateDisplayDevice(false), 0);
    std::string caps = root.Read("device_caps.log");
    EXPECT_EQ(caps.rfind("Device name = \nDevice description = \n\nDevCaps = ", 0), 0u);
    EXPECT_NE(caps.find("D3DDEVCAPS_FLOATTLVERTEX |"), std::string::npos);
    EXPECT_NE(caps.find("TriCaps = \n\tMiscCaps = D3DPMISCCAPS_CULLNONE |\n\tRasterCaps = "), std::string::npos);
    EXPECT_NE(caps.find("\n\tSrcBlendCaps = D3DPBLENDCAPS_ZERO |D3DPBLENDCAPS_ONE |D3DPBLENDCAPS_SRCALPHA |"
                        "D3DPBLENDCAPS_INVSRCALPHA |D3DPBLENDCAPS_DESTCOLOR |\n"),
              std::string::npos);
    EXPECT_NE(caps.find("\n\tTextureAddressCaps = D3DPTADDRESSCAPS_CLAMP |\n\tStippleWidth  = 0\n\tStippleHeight = 0\n"),
              std::string::npos);
    EXPECT_NE(caps.find("DeviceRenderBitDepth =DDBD_32 | \nDeviceZBufferBitDepth =\n"), std::string::npos);
    EXPECT_NE(caps.find("MinTextureWidth =1\n"), std::string::npos);
    EXPECT_NE(caps.find("MaxTextureRepeat  =0\n"), std::string::npos);
    EXPECT_NE(caps.find("GuardBandLeft =0.000000\n"), std::string::npos);
    EXPECT_NE(caps.find("TextureOpCaps =D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 | "
                        "D3DTEXOPCAPS_MODULATE | \n"),
              std::string::npos);
    // Headless (the software renderer) the RGB device; with a GPU renderer the HAL device.
    EXPECT_TRUE(caps.find("GUID =IID_IDirect3DRGBDevice\n") != std::string::npos ||
                caps.find("GUID =IID_IDirect3DHALDevice\n") != std::string::npos);
    EXPECT_NE(caps.find("\nVertexProcessingCaps =\n"), std::string::npos);
}

TEST_F(DisplayDeviceTest, CapsDumpCallsAnMmxDeviceOtherGiud)
{
    DeviceDesc desc{};
    auto guidLine = [&](const DeviceGuid& g) {
        desc.deviceGuid = g;
        WriteDeviceCaps("..\\caps.txt", "", "", &desc);
        std::string text = root.Read("caps.txt");
        size_t at = text.find("GUID =");
        return text.substr(at, text.find('\n', at) - at);
    };
    EXPECT_EQ(guidLine(IID_IDirect3DMMXDevice), "GUID =other giud");
    EXPECT_EQ(guidLine(IID_IDirect3DHALDevice), "GUID =IID_IDirect3DHALDevice");
    EXPECT_EQ(guidLine(IID_IDirect3DTnLHalDevice), "GUID =IID_IDirect3DTnLHalDevice");
    EXPECT_EQ(guidLine(IID_IDirect3DRGBDevice), "GUID =IID_IDirect3DRGBDevice");
    DeviceGuid almost = IID_IDirect3DHALDevice;
    almost.data4[7] ^= 1;  // every byte counts
    EXPECT_EQ(guidLine(almost), "GUID =other giud");
    desc.vertexProcessingCaps = D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_POSITIONALLIGHTS;
    desc.deviceRenderBitDepth = DDBD_16 | DDBD_32;
    WriteDeviceCaps("..\\caps.txt", "name", "about", &desc);
    std::string text = root.Read("caps.txt");
    EXPECT_EQ(text.rfind("Device name = name\nDevice description = about\n\n", 0), 0u);
    EXPECT_NE(text.find("VertexProcessingCaps =D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_POSITIONALLIGHTS | \n"),
              std::string::npos);
    EXPECT_NE(text.find("DeviceRenderBitDepth =DDBD_16 | DDBD_32 | \n"), std::string::npos);
}

TEST_F(DisplayDeviceTest, DeviceKindsAreTriedInOrderAndOnlyTheLastResultCounts)
{
    std::vector<uint32_t> tried;
    SetDisplayFaultHook([&](DisplayCall call, uint32_t arg) -> DisplayResult {
        if (call != DisplayCall::CreateDevice)
            return DD_OK;
        tried.push_back(arg);
        if (arg == 1)
            return DDERR_NODIRECTDRAWHW;
        return arg == 3 ? DDERR_OUTOFVIDEOMEMORY : DD_OK;
    });
    EXPECT_EQ(CreateDisplayDevice(false), DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(tried, (std::vector<uint32_t>{0, 1, 2, 3}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "OUT OF VIDEO MEMORY");
    EXPECT_EQ(boxes[0].caption, "Direct3DDevice Creating");
    ExpectReleased();
}

TEST_F(DisplayDeviceTest, CapsFilteredToMmxShowOtherGiudInTheDump)
{
    SetDeviceCapsFilter([](DeviceDesc& d) { d.deviceGuid = IID_IDirect3DMMXDevice; });
    ASSERT_EQ(CreateDisplayDevice(false), 0);
    EXPECT_NE(root.Read("device_caps.log").find("GUID =other giud\n"), std::string::npos);
}

struct StepFault {
    DisplayCall call;
    DisplayResult result;
    const char* lastStep;
    const char* name;
    const char* title;
};

// Names the case after its failing call, so test names are readable and the
// same in every build (not the struct's bytes).
void PrintTo(const StepFault& f, std::ostream* os)
{
    switch (f.call) {
    case DisplayCall::CreateDriver: *os << "CreateDriver"; break;
    case DisplayCall::SetCooperativeLevel: *os << "SetCooperativeLevel"; break;
    case DisplayCall::QueryDirect3D: *os << "QueryDirect3D"; break;
    case DisplayCall::CreatePrimary: *os << "CreatePrimary"; break;
    case DisplayCall::CreateBackBuffer: *os << "CreateBackBuffer"; break;
    case DisplayCall::CreateDevice: *os << "CreateDevice"; break;
    case DisplayCall::SetViewport: *os << "SetViewport"; break;
    default: *os << "Call" << static_cast<int>(f.call); break;
    }
}

class DisplayStepFailure : public DisplayDeviceTest, public ::testing::WithParamInterface<StepFault> {};

TEST_P(DisplayStepFailure, LogsTheErrorReleasesAllAndReturnsTheResult)
{
    const StepFault& f = GetParam();
    SetDisplayFaultHook([&](DisplayCall call, uint32_t) { return call == f.call ? f.result : DD_OK; });
    EXPECT_EQ(CreateDisplayDevice(false), f.result);
    std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[log.size() - 4], f.lastStep);
    EXPECT_EQ(log[log.size() - 3], "Error: ");
    EXPECT_EQ(log[log.size() - 2], f.name);
    EXPECT_EQ(log[log.size() - 1], "\n");
    // Every step before the failing one completed.
    for (size_t i = 0; i + 4 < log.size(); ++i)
        EXPECT_EQ(log[i], kWindowedLog[i]) << i;
    ExpectReleased();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, f.name);
    EXPECT_EQ(boxes[0].caption, f.title);
    EXPECT_EQ(boxes[0].style, MB_ICONERROR);
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, DisplayStepFailure,
    ::testing::Values(
        StepFault{DisplayCall::CreateDriver, DDERR_NODIRECTDRAWHW, "Creating DDraw... ", "NO DIRECT DRAW HARDWARE",
                  "DirectDraw Creating"},
        StepFault{DisplayCall::SetCooperativeLevel, DDERR_HWNDALREADYSET,
                  "Setting cooperative level for windowed mode... ", "HWND ALREADY SET",
                  "SetCooperativeLevel Window Mode"},
        StepFault{DisplayCall::QueryDirect3D, DDERR_OUTOFMEMORY, "Creating D3D... ", "OUT OF MEMORY",
                  "Direct3D Creating"},
        StepFault{DisplayCall::CreatePrimary, DDERR_PRIMARYSURFACEALREADYEXISTS, "Creating Primary and Back buffers... ",
                  "PRIMARY SURFACE ALREADY EXISTS", "CreateSurface Primary or Backbuffer"},
        StepFault{DisplayCall::CreateBackBuffer, DDERR_OUTOFVIDEOMEMORY, "Creating Primary and Back buffers... ",
                  "OUT OF VIDEO MEMORY", "CreateSurface Primary or Backbuffer"},
        StepFault{DisplayCall::CreateDevice, DDERR_INVALIDPARAMS, "Creating D3DDevice... ", "INVALID PARAMS",
                  "Direct3DDevice Creating"},
        StepFault{DisplayCall::SetViewport, static_cast<DisplayResult>(0x88760999u), "Setting Viewport... ",
                  "OTHER DIRECT DRAW ERROR", "Viewport NOT be set"}));

TEST_F(DisplayDeviceTest, AFolderWithoutLogsStillGetsItsDevice)
{
    // The logs cannot be created (a directory stands where each would go),
    // as in a folder that cannot be written.
    ::mkdir(root.File("direct.log").c_str(), 0755);
    ::mkdir(root.File("device_caps.log").c_str(), 0755);
    ASSERT_EQ(CreateDisplayDevice(false), 0);
    EXPECT_NE(GetDisplayState().device, nullptr);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DisplayDeviceTest, FullScreenTriesTwentyFourThenSixteenBits)
{
    GetDisplayState().windowed = false;
    std::vector<uint32_t> bits;
    SetDisplayFaultHook([&](DisplayCall call, uint32_t arg) -> DisplayResult {
        if (call != DisplayCall::SetDisplayMode)
            return DD_OK;
        bits.push_back(arg);
        return DDERR_UNSUPPORTEDMODE;
    });
    EXPECT_EQ(CreateDisplayDevice(false), DDERR_UNSUPPORTEDMODE);
    EXPECT_EQ(bits, (std::vector<uint32_t>{32, 24, 16}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "SetDisplayMode");
    EXPECT_EQ(boxes[0].text, "UNSUPPORTED MODE");
    std::vector<std::string> log = Log();
    EXPECT_EQ(log[4], "Setting cooperative level for fullscreen mode... ");
    EXPECT_EQ(log[5], "OK\n");
    EXPECT_EQ(log[6], "Setting display mode for fullscreen mode... ");
    EXPECT_EQ(log[7], "Error: ");
    ExpectReleased();
}

TEST_F(DisplayDeviceTest, FullScreenSettlesForTwentyFourBits)
{
    DisplayState& d = GetDisplayState();
    d.windowed = false;
    std::vector<uint32_t> bits;
    SetDisplayFaultHook([&](DisplayCall call, uint32_t arg) -> DisplayResult {
        if (call == DisplayCall::SetDisplayMode)
            bits.push_back(arg);
        return call == DisplayCall::SetDisplayMode && arg == 32 ? DDERR_INVALIDMODE : DD_OK;
    });
    ASSERT_EQ(CreateDisplayDevice(false), 0);
    EXPECT_EQ(bits, (std::vector<uint32_t>{32, 24}));
    EXPECT_EQ(d.directDraw->GetModeBits(), 24u);
    EXPECT_TRUE(d.window->IsFullScreen());
    EXPECT_EQ(d.backBufferWidth, 800u);
    EXPECT_EQ(d.backBufferHeight, 600u);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DisplayDeviceTest, MissingInvSrcAlphaIsRefusedEvenWithItAsDestination)
{
    SetDeviceCapsFilter([](DeviceDesc& d) {
        d.triCaps.srcBlendCaps &= ~D3DPBLENDCAPS_INVSRCALPHA;
        d.triCaps.destBlendCaps |= D3DPBLENDCAPS_INVSRCALPHA;
    });
    EXPECT_EQ(CreateDisplayDevice(false), -1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Device Don't Support The INVSRCALPHA Render");
    EXPECT_EQ(boxes[0].caption, "Support Error");
    EXPECT_EQ(boxes[0].style, MB_ICONERROR);
    EXPECT_EQ(Log().back(), "Checking for compatibles... ");
    ExpectReleased();
}

TEST_F(DisplayDeviceTest, MissingCullNoneOrSrcAlphaIsRefused)
{
    SetDeviceCapsFilter([](DeviceDesc& d) { d.triCaps.miscCaps = 0; });
    EXPECT_EQ(CreateDisplayDevice(false), -1);
    SetDeviceCapsFilter([](DeviceDesc& d) { d.triCaps.srcBlendCaps = D3DPBLENDCAPS_INVSRCALPHA; });
    EXPECT_EQ(CreateDisplayDevice(false), -1);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Device Don't Support The CULLNONE Render");
    EXPECT_EQ(boxes[1].text, "Device Don't Support The SRCALPHA Render");
    ExpectReleased();
}

TEST_F(DisplayDeviceTest, NoClampOnlyWarns)
{
    SetDeviceCapsFilter([](DeviceDesc& d) { d.triCaps.textureAddressCaps = D3DPTADDRESSCAPS_WRAP; });
    ASSERT_EQ(CreateDisplayDevice(false), 0);
    std::vector<std::string> log = Log();
    std::vector<std::string> expected = kWindowedLog;
    auto at = std::find(expected.begin(), expected.end(), "Checking for compatibles... ");
    expected.insert(at + 1, "WARNING: Device can clamp textures to addresses\n");
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DisplayDeviceTest, ViewportTakesTheClientAreaSize)
{
    MakeWindow(640, 480);
    ASSERT_EQ(CreateDisplayDevice(false), 0);
    DisplayState& d = GetDisplayState();
    EXPECT_EQ(d.backBufferWidth, 640u);
    EXPECT_EQ(d.backBufferHeight, 480u);
    Viewport vp;
    d.device->GetViewport(&vp);
    EXPECT_EQ(vp.width, 640u);
    EXPECT_EQ(vp.height, 480u);
    EXPECT_EQ(vp.maxZ, 1.0f);
}

TEST_F(DisplayDeviceTest, NoNewFrameIsShownWhileAnotherWindowIsInFront)
{
    ASSERT_EQ(CreateDisplayDevice(false), 0);
    DisplayState& d = GetDisplayState();
    Window* game = d.window;
    WaitUntilForeground(game);
    ASSERT_TRUE(game->IsForeground());
    uint64_t shown = game->GetPresentCount();
    EXPECT_EQ(PresentFrame(), 0);
    EXPECT_EQ(game->GetPresentCount(), shown + 1);
    Window* other = Window::Create("Other", WindowStyle::Framed, {0, 0, 100, 100}, true);
    WaitUntilForeground(other);
    ASSERT_TRUE(other->IsForeground());
    EXPECT_EQ(PresentFrame(), 0);
    EXPECT_EQ(game->GetPresentCount(), shown + 1);  // nothing copied
    delete other;
    game->SetForeground();
    WaitUntilForeground(game);
    EXPECT_EQ(PresentFrame(), 0);
    EXPECT_EQ(game->GetPresentCount(), shown + 2);
}

TEST_F(DisplayDeviceTest, ErrorNamesComeFromTheTable)
{
    char buf[260];
    EXPECT_STREQ(GetDisplayErrorName(DDERR_GENERIC, buf, sizeof buf), "GENERIC");
    EXPECT_STREQ(GetDisplayErrorName(DDERR_NOZBUFFERHW, buf, sizeof buf), "NO Z-BUFFER HARDWARE");
    EXPECT_STREQ(GetDisplayErrorName(DDERR_SURFACELOST, buf, sizeof buf), "SURFACE LOST");
    EXPECT_STREQ(GetDisplayErrorName(-5, buf, sizeof buf), "OTHER DIRECT DRAW ERROR");
    EXPECT_EQ(CheckDisplayResult(nullptr, "t", 7), 0);
    EXPECT_TRUE(boxes.empty());
}

namespace {
struct RestoreProbe {
    int calls = 0;
    DisplayDevice* device = nullptr;
    Texture* texture = nullptr;
};
void RestoreProbeImages(DisplayDevice* device, void* context)
{
    auto* probe = static_cast<RestoreProbe*>(context);
    ++probe->calls;
    probe->device = device;
    if (probe->texture && probe->texture->IsLost() < 0)
        probe->texture->Restore();
}
}  // namespace

TEST_F(DisplayDeviceTest, RestoreAfterALossBringsBackSurfacesAndImages)
{
    ASSERT_EQ(CreateDisplayDevice(false), 0);
    DisplayState& d = GetDisplayState();
    RestoreProbe probe;
    ASSERT_EQ(d.device->CreateTexture(4, 4, &probe.texture), DD_OK);
    LockedRect rect;
    probe.texture->Lock(&rect);
    static_cast<uint32_t*>(rect.bits)[5] = 0xFF808080u;
    probe.texture->Unlock();
    SetRestoreImagesHandler(RestoreProbeImages, &probe);

    ForceDisplayLoss(d.directDraw);
    EXPECT_EQ(d.primary->IsLost(), DDERR_SURFACELOST);
    FILE* log = std::fopen("../restore.log", "w");
    EXPECT_EQ(RestoreDisplaySurfaces(log), 0);
    std::fclose(log);
    EXPECT_EQ(Log("restore.log"), (std::vector<std::string>{"Restoring Primary buffer... ", "OK\n",
                                                            "Restoring Back buffer... ", "OK\n",
                                                            "Restoring all images... ", "OK\n"}));
    EXPECT_EQ(probe.calls, 1);
    EXPECT_EQ(probe.device, d.device);
    EXPECT_EQ(d.primary->IsLost(), DD_OK);
    EXPECT_EQ(d.backBuffer->IsLost(), DD_OK);
    EXPECT_EQ(probe.texture->IsLost(), DD_OK);
    EXPECT_EQ(probe.texture->GetPixels()[5], 0xFF808080u);
    probe.texture->Release();
}

TEST_F(DisplayDeviceTest, FailedPrimaryRestoreReturnsOne)
{
    ASSERT_EQ(CreateDisplayDevice(false), 0);
    ForceDisplayLoss(GetDisplayState().directDraw);
    SetDisplayFaultHook([](DisplayCall call, uint32_t) { return call == DisplayCall::RestoreSurface ? DDERR_GENERIC : DD_OK; });
    EXPECT_EQ(RestoreDisplaySurfaces(nullptr), 1);
    EXPECT_EQ(GetDisplayState().primary->IsLost(), DDERR_SURFACELOST);  // the next activation tries again
    SetDisplayFaultHook(nullptr);
    EXPECT_EQ(RestoreDisplaySurfaces(nullptr), 0);
}

TEST_F(DisplayDeviceTest, WindowModeSwitchKeepsDirectDrawAndTextures)
{
    ASSERT_EQ(CreateDisplayDevice(false), 0);
    DisplayState& d = GetDisplayState();
    DisplayDriver* driver = d.directDraw;
    Texture* t = nullptr;
    ASSERT_EQ(d.device->CreateTexture(8, 8, &t), DD_OK);
    LockedRect rect;
    t->Lock(&rect);
    for (int i = 0; i < 64; ++i)
        static_cast<uint32_t*>(rect.bits)[i] = 0xFF20A040u;
    t->Unlock();

    // Switch to full screen: a new window, the device rebuilt keeping DirectDraw.
    d.windowed = false;
    RestoreDisplayMode();
    Window* old = d.window;
    MakeWindow(800, 600);
    ReleaseDisplayDevice(true);
    ASSERT_EQ(CreateDisplayDevice(true), 0);
    EXPECT_EQ(d.directDraw, driver);
    EXPECT_EQ(Log()[0], "Setting cooperative level for fullscreen mode... ");
    EXPECT_TRUE(d.window->IsFullScreen());
    EXPECT_NE(d.window, old);

    d.device->BeginScene();
    d.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    TLVertex q[4] = {{0, 0, 0.9999f, 1, 0xFFFFFFFFu, 0, 0, 0}, {8, 0, 0.9999f, 1, 0xFFFFFFFFu, 0, 1, 0},
                     {0, 8, 0.9999f, 1, 0xFFFFFFFFu, 0, 0, 1}, {8, 8, 0.9999f, 1, 0xFFFFFFFFu, 0, 1, 1}};
    d.device->SetTexture(0, t);
    ASSERT_EQ(d.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kTLVertexFormat, q, 4, 0), DD_OK);
    d.device->SetTexture(0, nullptr);
    d.device->EndScene();
    std::vector<uint32_t> px;
    d.device->ReadBackBuffer(&px, nullptr, nullptr);
    EXPECT_EQ(px[3 * 800 + 3], 0xFF20A040u);
    // The window shows the frame over the whole desktop, its aspect kept.
    d.window->CaptureNextPresent("../shown.png");
    EXPECT_EQ(PresentFrame(), 0);
    std::string png = root.Read("shown.png");
    ASSERT_GT(png.size(), 24u);
    auto be32 = [&](size_t at) {
        return uint32_t(uint8_t(png[at])) << 24 | uint32_t(uint8_t(png[at + 1])) << 16 |
               uint32_t(uint8_t(png[at + 2])) << 8 | uint32_t(uint8_t(png[at + 3]));
    };
    DisplayMode desktop;
    ASSERT_TRUE(GetDesktopDisplayMode(&desktop));
    EXPECT_EQ(be32(16), uint32_t(desktop.width));  // IHDR width and height
    EXPECT_EQ(be32(20), uint32_t(desktop.height));
    t->Release();
}

TEST_F(DisplayDeviceTest, FocusLossMinimisesAndRegainRestoresWithItsLog)
{
    DisplayState& d = GetDisplayState();
    d.windowed = false;
    ASSERT_EQ(CreateDisplayDevice(false), 0);
    d.deviceReady = true;
    OnDisplayDeactivated();
    EXPECT_TRUE(d.window->IsMinimized());
    EXPECT_FALSE(d.window->IsForeground());
    ForceDisplayLoss(d.directDraw);

    OnDisplayActivated();
    EXPECT_FALSE(d.window->IsMinimized());
    EXPECT_TRUE(d.window->IsForeground());
    EXPECT_EQ(d.primary->IsLost(), DD_OK);
    EXPECT_EQ(GetCurrentCursor(), Cursor::Load(IDC_WAIT));
    // Full screen sets the cooperative level and mode again before restoring.
    EXPECT_EQ(Log("restore.log"),
              (std::vector<std::string>{"Setting cooperative level for fullscreen mode... ", "OK\n",
                                        "Setting display mode for fullscreen mode... ", "OK\n",
                                        "Restoring Primary buffer... ", "OK\n", "Restoring Back buffer... ", "OK\n",
                                        "Restoring all images... ", "OK\n"}));
}
