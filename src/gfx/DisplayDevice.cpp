#include "gfx/DisplayDevice.h"

#include "core/FileSys.h"
#include "core/Log.h"
#include "platform/Cursor.h"
#include "platform/DisplayTypes.h"
#include "platform/RendererChoice.h"
#include "platform/System.h"
#include "platform/Window.h"

#include <cstdio>
#include <cstring>

namespace {
DisplayState s_display;
RestoreImagesFn s_restoreImages = nullptr;
void* s_restoreContext = nullptr;

struct ErrorName {
    DisplayResult code;
    const char* name;
};
const ErrorName kErrorNames[] = {
    {DDERR_GENERIC, "GENERIC"},
    {DDERR_UNSUPPORTED, "UNSUPPORTED"},
    {DDERR_OUTOFMEMORY, "OUT OF MEMORY"},
    {DDERR_INVALIDPARAMS, "INVALID PARAMS"},
    {DDERR_INCOMPATIBLEPRIMARY, "INCOMPATIBLE PRIMARY"},
    {DDERR_NOEXCLUSIVEMODE, "NO EXCLUSIVE MODE"},
    {DDERR_LOCKEDSURFACES, "LOCKED SURFACES"},
    {DDERR_INVALIDOBJECT, "INVALID OBJECT"},
    {DDERR_INVALIDMODE, "INVALID MODE"},
    {DDERR_INVALIDCAPS, "INVALID CAPS"},
    {DDERR_INVALIDPIXELFORMAT, "INVALID PIXEL FORMAT"},
    {DDERR_NOALPHAHW, "NO ALPHA HARDWARE"},
    {DDERR_NOCOOPERATIVELEVELSET, "NO COOPERATIVE LEVEL SET"},
    {DDERR_NOFLIPHW, "NO FLIP HARDWARE"},
    {DDERR_NOOVERLAYHW, "NO OVERLAY HARDWARE"},
    {DDERR_NOTFOUND, "NOT FOUND"},
    {DDERR_NOZBUFFERHW, "NO Z-BUFFER HARDWARE"},
    {DDERR_OUTOFVIDEOMEMORY, "OUT OF VIDEO MEMORY"},
    {DDERR_DIRECTDRAWALREADYCREATED, "DIRECT DRAW ALREADY CREATED"},
    {DDERR_EXCLUSIVEMODEALREADYSET, "EXCLUSIVE MODE ALREADY SET"},
    {DDERR_INVALIDDIRECTDRAWGUID, "INVALID DIRECT DRAW GUID"},
    {DDERR_UNSUPPORTEDMODE, "UNSUPPORTED MODE"},
    {DDERR_WASSTILLDRAWING, "WAS STILL DRAWING"},
    {DDERR_NODIRECTDRAWHW, "NO DIRECT DRAW HARDWARE"},
    {DDERR_HWNDALREADYSET, "HWND ALREADY SET"},
    {DDERR_HWNDSUBCLASSED, "HWND SUBCLASSED"},
    {DDERR_SURFACEBUSY, "SURFACE BUSY"},
    {DDERR_NOEMULATION, "NO EMULATION"},
    {DDERR_NOMIPMAPHW, "NO MIPMAP HARDWARE"},
    {DDERR_PRIMARYSURFACEALREADYEXISTS, "PRIMARY SURFACE ALREADY EXISTS"},
    {DDERR_SURFACELOST, "SURFACE LOST"},
};

template <class T>
void ReleaseAndClear(T*& p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

void LogOk(FILE* log) { WriteLogRecord(log, "OK\n"); }

// Creation ends with its result; the log (if it could be opened) is closed on
// every way out.
int32_t EndCreation(FILE* log, int32_t result)
{
    if (log)
        std::fclose(log);
    return result;
}

int32_t RefuseDevice(FILE* log, const char* message)
{
    ReleaseDisplayDevice(false);
    ShowMessageBox(s_display.window, message, "Support Error", MB_ICONERROR);
    return EndCreation(log, -1);
}
}  // namespace

DisplayState& GetDisplayState() { return s_display; }

void SetRestoreImagesHandler(RestoreImagesFn handler, void* context)
{
    s_restoreImages = handler;
    s_restoreContext = context;
}

const char* GetDisplayErrorName(DisplayResult result, char* buffer, size_t size)
{
    const char* name = "OTHER DIRECT DRAW ERROR";
    for (const ErrorName& e : kErrorNames)
        if (e.code == result)
            name = e.name;
    if (buffer && size) {
        std::snprintf(buffer, size, "%s", name);
        return buffer;
    }
    return name;
}

DisplayResult CheckDisplayResult(FILE* log, const char* title, DisplayResult result)
{
    if (result >= 0)
        return 0;
    char name[260];
    GetDisplayErrorName(result, name, sizeof name);
    ReleaseDisplayDevice(false);
    WriteLogRecord(log, "Error: ");
    WriteLogRecord(log, name);
    WriteLogRecord(log, "\n");
    ShowMessageBox(s_display.window, name, title, MB_ICONERROR);
    return result;
}

void ReleaseDisplayDevice(bool keepDirectDraw)
{
    ReleaseAndClear(s_display.device);
    ReleaseAndClear(s_display.direct3D);
    ReleaseAndClear(s_display.backBuffer);
    ReleaseAndClear(s_display.primary);
    if (!keepDirectDraw)
        ReleaseAndClear(s_display.directDraw);
}

int32_t SetDisplayCooperativeLevel(FILE* log)
{
    DisplayState& d = s_display;
    if (!d.directDraw)
        return -1;
    if (d.windowed) {
        WriteLogRecord(log, "Setting cooperative level for windowed mode... ");
        DisplayResult r = d.directDraw->SetCooperativeLevel(d.window, DDSCL_NORMAL);
        if (CheckDisplayResult(log, "SetCooperativeLevel Window Mode", r))
            return r;
        LogOk(log);
        return 0;
    }
    WriteLogRecord(log, "Setting cooperative level for fullscreen mode... ");
    if (d.window)
        d.window->Show(SW_SHOW);
    DisplayResult r = d.directDraw->SetCooperativeLevel(d.window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE);
    if (CheckDisplayResult(log, "SetCooperativeLevel Full Screen Mode", r))
        return r;
    LogOk(log);
    WriteLogRecord(log, "Setting display mode for fullscreen mode... ");
    const uint32_t w = static_cast<uint32_t>(d.displayWidth), h = static_cast<uint32_t>(d.displayHeight);
    r = d.directDraw->SetDisplayMode(w, h, static_cast<uint32_t>(d.displayBits));
    if (r < 0)
        r = d.directDraw->SetDisplayMode(w, h, 24);
    if (r < 0)
        r = d.directDraw->SetDisplayMode(w, h, 16);
    if (CheckDisplayResult(log, "SetDisplayMode", r))
        return r;
    LogOk(log);
    return 0;
}

DisplayResult CreateDisplaySurfaces(uint32_t width, uint32_t height)
{
    DisplayState& d = s_display;
    if (!d.directDraw)
        return DDERR_INVALIDOBJECT;
    DisplayResult r = d.directDraw->CreatePrimarySurface(!d.windowed, &d.primary);
    if (r < 0)
        return r;
    if (d.windowed)
        r = d.directDraw->CreateBackBuffer(width, height, &d.backBuffer);
    else
        r = d.primary->GetAttachedBackBuffer(&d.backBuffer);
    if (r < 0) {
        ReleaseAndClear(d.primary);
        return r;
    }
    return 0;
}

int32_t CreateDisplayDevice(bool keepDirectDraw)
{
    DisplayState& d = s_display;
    // A folder that cannot be written gives no log, like every other log.
    FILE* log = OpenFile("..\\direct.log", "wt");
    DisplayResult r;
    if (!keepDirectDraw) {
        WriteLogRecord(log, "Clearing old DDraw and D3DDevice... ");
        ReleaseDisplayDevice(false);
        LogOk(log);
        WriteLogRecord(log, "Creating DDraw... ");
        r = DisplayDriver::Create(&d.directDraw);
        if (CheckDisplayResult(log, "DirectDraw Creating", r))
            return EndCreation(log, r);
        LogOk(log);
    }

    r = SetDisplayCooperativeLevel(log);
    if (r < 0)
        return EndCreation(log, r);

    WriteLogRecord(log, "Creating D3D... ");
    r = d.directDraw->QueryDirect3D(&d.direct3D);
    if (CheckDisplayResult(log, "Direct3D Creating", r))
        return EndCreation(log, r);
    LogOk(log);

    WriteLogRecord(log, "Creating Primary and Back buffers... ");
    uint32_t width = static_cast<uint32_t>(d.displayWidth), height = static_cast<uint32_t>(d.displayHeight);
    if (d.windowed && d.window) {
        WindowRect client = d.window->GetClientRect();
        width = static_cast<uint32_t>(client.right);
        height = static_cast<uint32_t>(client.bottom);
    }
    r = CreateDisplaySurfaces(width, height);
    if (CheckDisplayResult(log, "CreateSurface Primary or Backbuffer", r))
        return EndCreation(log, r);
    LogOk(log);

    WriteLogRecord(log, "Creating D3DDevice... ");
    const DeviceGuid* const kinds[] = {&IID_IDirect3DTnLHalDevice, &IID_IDirect3DHALDevice, &IID_IDirect3DMMXDevice,
                                       &IID_IDirect3DRGBDevice};
    for (const DeviceGuid* kind : kinds) {
        r = d.direct3D->CreateDevice(*kind, d.backBuffer, &d.device);
        if (r >= 0)
            break;
    }
    if (CheckDisplayResult(log, "Direct3DDevice Creating", r))
        return EndCreation(log, r);
    LogOk(log);

    WriteLogRecord(log, "Saving D3DDevice caps to file... ");
    DeviceDesc desc;
    std::memset(&desc, 0, sizeof desc);
    d.device->GetCaps(&desc);
    WriteDeviceCaps("..\\device_caps.log", "", "", &desc);
    LogOk(log);

    d.backBuffer->GetSurfaceDesc(&d.backBufferWidth, &d.backBufferHeight);
    Viewport viewport;
    viewport.x = 0;
    viewport.y = 0;
    viewport.width = d.backBufferWidth;
    viewport.height = d.backBufferHeight;
    viewport.minZ = 0.0f;
    viewport.maxZ = 1.0f;
    WriteLogRecord(log, "Setting Viewport... ");
    r = d.device->SetViewport(viewport);
    if (CheckDisplayResult(log, "Viewport NOT be set", r))
        return EndCreation(log, r);
    LogOk(log);

    WriteLogRecord(log, "Checking for compatibles... ");
    if (!(desc.triCaps.miscCaps & D3DPMISCCAPS_CULLNONE))
        return RefuseDevice(log, "Device Don't Support The CULLNONE Render");
    if (!(desc.triCaps.srcBlendCaps & D3DPBLENDCAPS_SRCALPHA))
        return RefuseDevice(log, "Device Don't Support The SRCALPHA Render");
    if (!(desc.triCaps.srcBlendCaps & D3DPBLENDCAPS_INVSRCALPHA))
        return RefuseDevice(log, "Device Don't Support The INVSRCALPHA Render");
    if (!(desc.triCaps.textureAddressCaps & D3DPTADDRESSCAPS_CLAMP))
        WriteLogRecord(log, "WARNING: Device can clamp textures to addresses\n");
    LogOk(log);

    WriteLogRecord(log, "Setting render states... ");
    DisplayDevice* dev = d.device;
    dev->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    dev->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    dev->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
    dev->SetRenderState(D3DRENDERSTATE_COLORKEYBLENDENABLE, 1);
    dev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    dev->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, 1);
    dev->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_FALSE);
    dev->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
    dev->SetRenderState(D3DRENDERSTATE_LIGHTING, 0);
    dev->SetRenderState(D3DRENDERSTATE_LASTPIXEL, 0);
    LogOk(log);

    WriteLogRecord(log, "Setting texture states... ");
    dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
    dev->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
    dev->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTFP_NONE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    dev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TEXTURE);
    dev->SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_CLAMP);
    LogOk(log);

    return EndCreation(log, 0);
}

DisplayResult RestoreDisplayMode()
{
    if (s_display.windowed || !s_display.directDraw)
        return 0;
    return s_display.directDraw->RestoreDisplayMode();
}

int32_t RestoreDisplaySurfaces(FILE* log)
{
    DisplayState& d = s_display;
    WriteLogRecord(log, "Restoring Primary buffer... ");
    if (d.primary && d.primary->IsLost() == DDERR_SURFACELOST && d.primary->Restore() < 0)
        return 1;
    LogOk(log);
    WriteLogRecord(log, "Restoring Back buffer... ");
    if (d.backBuffer && d.backBuffer->IsLost() < 0)
        d.backBuffer->Restore();
    LogOk(log);
    WriteLogRecord(log, "Restoring all images... ");
    if (s_restoreImages)
        s_restoreImages(d.device, s_restoreContext);
    LogOk(log);
    return 0;
}

DisplayResult PresentFrame()
{
    DisplayState& d = s_display;
    if (!d.primary)
        return DDERR_INVALIDOBJECT;
    if (!d.windowed)
        return d.primary->Flip();
    int32_t x = 0, y = 0;
    if (d.window)
        d.window->ClientToScreen(&x, &y);
    // Another window in front: the game keeps running but shows nothing new.
    if (!d.window || Window::GetForegroundWindow() != d.window)
        return 0;
    return d.primary->BltFast(x, y, d.backBuffer);
}

void OnDisplayActivated()
{
    DisplayState& d = s_display;
    FILE* log = OpenFile("..\\restore.log", "wt");
    if (!d.windowed)
        SetDisplayCooperativeLevel(log);
    SetCursor(Cursor::Load(IDC_WAIT));
    RestoreDisplaySurfaces(log);
    if (log)
        std::fclose(log);
    if (d.window) {
        d.window->Show(SW_SHOWNORMAL);
        d.window->Update();
        d.window->SetForeground();
    }
}

void OnDisplayDeactivated()
{
    if (s_display.window)
        s_display.window->Show(SW_SHOWMINIMIZED);
    RestoreDisplayMode();
}

// ---- The capability dump -------------------------------------------------------

namespace {
struct FlagName {
    uint32_t bit;
    const char* name;
};
#define FLAG(n) {n, #n}
const FlagName kDevCaps[] = {
    FLAG(D3DDEVCAPS_FLOATTLVERTEX), FLAG(D3DDEVCAPS_SORTINCREASINGZ), FLAG(D3DDEVCAPS_SORTDECREASINGZ),
    FLAG(D3DDEVCAPS_SORTEXACT), FLAG(D3DDEVCAPS_EXECUTESYSTEMMEMORY), FLAG(D3DDEVCAPS_EXECUTEVIDEOMEMORY),
    FLAG(D3DDEVCAPS_TLVERTEXSYSTEMMEMORY), FLAG(D3DDEVCAPS_TLVERTEXVIDEOMEMORY), FLAG(D3DDEVCAPS_TEXTURESYSTEMMEMORY),
    FLAG(D3DDEVCAPS_TEXTUREVIDEOMEMORY), FLAG(D3DDEVCAPS_DRAWPRIMTLVERTEX), FLAG(D3DDEVCAPS_CANRENDERAFTERFLIP),
    FLAG(D3DDEVCAPS_TEXTURENONLOCALVIDMEM), FLAG(D3DDEVCAPS_DRAWPRIMITIVES2), FLAG(D3DDEVCAPS_SEPARATETEXTUREMEMORIES),
    FLAG(D3DDEVCAPS_DRAWPRIMITIVES2EX), FLAG(D3DDEVCAPS_HWTRANSFORMANDLIGHT), FLAG(D3DDEVCAPS_CANBLTSYSTONONLOCAL),
    FLAG(D3DDEVCAPS_HWRASTERIZATION),
};
const FlagName kMiscCaps[] = {
    FLAG(D3DPMISCCAPS_MASKPLANES), FLAG(D3DPMISCCAPS_MASKZ), FLAG(D3DPMISCCAPS_LINEPATTERNREP),
    FLAG(D3DPMISCCAPS_CONFORMANT), FLAG(D3DPMISCCAPS_CULLNONE), FLAG(D3DPMISCCAPS_CULLCW), FLAG(D3DPMISCCAPS_CULLCCW),
};
const FlagName kRasterCaps[] = {
    FLAG(D3DPRASTERCAPS_DITHER), FLAG(D3DPRASTERCAPS_ROP2), FLAG(D3DPRASTERCAPS_XOR), FLAG(D3DPRASTERCAPS_PAT),
    FLAG(D3DPRASTERCAPS_ZTEST), FLAG(D3DPRASTERCAPS_SUBPIXEL), FLAG(D3DPRASTERCAPS_SUBPIXELX),
    FLAG(D3DPRASTERCAPS_FOGVERTEX), FLAG(D3DPRASTERCAPS_FOGTABLE), FLAG(D3DPRASTERCAPS_STIPPLE),
    FLAG(D3DPRASTERCAPS_ANTIALIASSORTDEPENDENT), FLAG(D3DPRASTERCAPS_ANTIALIASSORTINDEPENDENT),
    FLAG(D3DPRASTERCAPS_ANTIALIASEDGES), FLAG(D3DPRASTERCAPS_MIPMAPLODBIAS), FLAG(D3DPRASTERCAPS_ZBIAS),
    FLAG(D3DPRASTERCAPS_ZBUFFERLESSHSR), FLAG(D3DPRASTERCAPS_FOGRANGE), FLAG(D3DPRASTERCAPS_ANISOTROPY),
    FLAG(D3DPRASTERCAPS_WBUFFER), FLAG(D3DPRASTERCAPS_TRANSLUCENTSORTINDEPENDENT), FLAG(D3DPRASTERCAPS_WFOG),
    FLAG(D3DPRASTERCAPS_ZFOG),
};
const FlagName kCmpCaps[] = {
    FLAG(D3DPCMPCAPS_NEVER), FLAG(D3DPCMPCAPS_LESS), FLAG(D3DPCMPCAPS_EQUAL), FLAG(D3DPCMPCAPS_LESSEQUAL),
    FLAG(D3DPCMPCAPS_GREATER), FLAG(D3DPCMPCAPS_NOTEQUAL), FLAG(D3DPCMPCAPS_GREATEREQUAL), FLAG(D3DPCMPCAPS_ALWAYS),
};
const FlagName kBlendCaps[] = {
    FLAG(D3DPBLENDCAPS_ZERO), FLAG(D3DPBLENDCAPS_ONE), FLAG(D3DPBLENDCAPS_SRCCOLOR), FLAG(D3DPBLENDCAPS_INVSRCCOLOR),
    FLAG(D3DPBLENDCAPS_SRCALPHA), FLAG(D3DPBLENDCAPS_INVSRCALPHA), FLAG(D3DPBLENDCAPS_DESTALPHA),
    FLAG(D3DPBLENDCAPS_INVDESTALPHA), FLAG(D3DPBLENDCAPS_DESTCOLOR), FLAG(D3DPBLENDCAPS_INVDESTCOLOR),
    FLAG(D3DPBLENDCAPS_SRCALPHASAT), FLAG(D3DPBLENDCAPS_BOTHSRCALPHA), FLAG(D3DPBLENDCAPS_BOTHINVSRCALPHA),
};
const FlagName kShadeCaps[] = {
    FLAG(D3DPSHADECAPS_COLORFLATMONO), FLAG(D3DPSHADECAPS_COLORFLATRGB), FLAG(D3DPSHADECAPS_COLORGOURAUDMONO),
    FLAG(D3DPSHADECAPS_COLORGOURAUDRGB), FLAG(D3DPSHADECAPS_COLORPHONGMONO), FLAG(D3DPSHADECAPS_COLORPHONGRGB),
    FLAG(D3DPSHADECAPS_SPECULARFLATMONO), FLAG(D3DPSHADECAPS_SPECULARFLATRGB),
    FLAG(D3DPSHADECAPS_SPECULARGOURAUDMONO), FLAG(D3DPSHADECAPS_SPECULARGOURAUDRGB),
    FLAG(D3DPSHADECAPS_SPECULARPHONGMONO), FLAG(D3DPSHADECAPS_SPECULARPHONGRGB), FLAG(D3DPSHADECAPS_ALPHAFLATBLEND),
    FLAG(D3DPSHADECAPS_ALPHAFLATSTIPPLED), FLAG(D3DPSHADECAPS_ALPHAGOURAUDBLEND),
    FLAG(D3DPSHADECAPS_ALPHAGOURAUDSTIPPLED), FLAG(D3DPSHADECAPS_ALPHAPHONGBLEND),
    FLAG(D3DPSHADECAPS_ALPHAPHONGSTIPPLED), FLAG(D3DPSHADECAPS_FOGFLAT), FLAG(D3DPSHADECAPS_FOGGOURAUD),
    FLAG(D3DPSHADECAPS_FOGPHONG),
};
const FlagName kTextureCaps[] = {
    FLAG(D3DPTEXTURECAPS_PERSPECTIVE), FLAG(D3DPTEXTURECAPS_POW2), FLAG(D3DPTEXTURECAPS_ALPHA),
    FLAG(D3DPTEXTURECAPS_TRANSPARENCY), FLAG(D3DPTEXTURECAPS_BORDER), FLAG(D3DPTEXTURECAPS_SQUAREONLY),
    FLAG(D3DPTEXTURECAPS_TEXREPEATNOTSCALEDBYSIZE), FLAG(D3DPTEXTURECAPS_ALPHAPALETTE),
    FLAG(D3DPTEXTURECAPS_NONPOW2CONDITIONAL), FLAG(D3DPTEXTURECAPS_PROJECTED), FLAG(D3DPTEXTURECAPS_CUBEMAP),
    FLAG(D3DPTEXTURECAPS_COLORKEYBLEND),
};
const FlagName kFilterCaps[] = {
    FLAG(D3DPTFILTERCAPS_NEAREST), FLAG(D3DPTFILTERCAPS_LINEAR), FLAG(D3DPTFILTERCAPS_MIPNEAREST),
    FLAG(D3DPTFILTERCAPS_MIPLINEAR), FLAG(D3DPTFILTERCAPS_LINEARMIPNEAREST), FLAG(D3DPTFILTERCAPS_LINEARMIPLINEAR),
    FLAG(D3DPTFILTERCAPS_MINFPOINT), FLAG(D3DPTFILTERCAPS_MINFLINEAR), FLAG(D3DPTFILTERCAPS_MINFANISOTROPIC),
    FLAG(D3DPTFILTERCAPS_MIPFPOINT), FLAG(D3DPTFILTERCAPS_MIPFLINEAR), FLAG(D3DPTFILTERCAPS_MAGFPOINT),
    FLAG(D3DPTFILTERCAPS_MAGFLINEAR), FLAG(D3DPTFILTERCAPS_MAGFANISOTROPIC), FLAG(D3DPTFILTERCAPS_MAGFAFLATCUBIC),
    FLAG(D3DPTFILTERCAPS_MAGFGAUSSIANCUBIC),
};
const FlagName kTextureBlendCaps[] = {
    FLAG(D3DPTBLENDCAPS_DECAL), FLAG(D3DPTBLENDCAPS_MODULATE), FLAG(D3DPTBLENDCAPS_DECALALPHA),
    FLAG(D3DPTBLENDCAPS_MODULATEALPHA), FLAG(D3DPTBLENDCAPS_DECALMASK), FLAG(D3DPTBLENDCAPS_MODULATEMASK),
    FLAG(D3DPTBLENDCAPS_COPY), FLAG(D3DPTBLENDCAPS_ADD),
};
const FlagName kAddressCaps[] = {
    FLAG(D3DPTADDRESSCAPS_WRAP), FLAG(D3DPTADDRESSCAPS_MIRROR), FLAG(D3DPTADDRESSCAPS_CLAMP),
    FLAG(D3DPTADDRESSCAPS_BORDER), FLAG(D3DPTADDRESSCAPS_INDEPENDENTUV),
};
const FlagName kBitDepths[] = {FLAG(DDBD_8), FLAG(DDBD_16), FLAG(DDBD_24), FLAG(DDBD_32)};
const FlagName kStencilCaps[] = {
    FLAG(D3DSTENCILCAPS_KEEP), FLAG(D3DSTENCILCAPS_ZERO), FLAG(D3DSTENCILCAPS_REPLACE), FLAG(D3DSTENCILCAPS_INCRSAT),
    FLAG(D3DSTENCILCAPS_DECRSAT), FLAG(D3DSTENCILCAPS_INVERT), FLAG(D3DSTENCILCAPS_INCR), FLAG(D3DSTENCILCAPS_DECR),
};
const FlagName kFvfCaps[] = {FLAG(D3DFVFCAPS_DONOTSTRIPELEMENTS), FLAG(D3DFVFCAPS_TEXCOORDCOUNTMASK)};
const FlagName kTexOpCaps[] = {
    FLAG(D3DTEXOPCAPS_DISABLE), FLAG(D3DTEXOPCAPS_SELECTARG1), FLAG(D3DTEXOPCAPS_SELECTARG2),
    FLAG(D3DTEXOPCAPS_MODULATE), FLAG(D3DTEXOPCAPS_MODULATE2X), FLAG(D3DTEXOPCAPS_MODULATE4X), FLAG(D3DTEXOPCAPS_ADD),
    FLAG(D3DTEXOPCAPS_ADDSIGNED), FLAG(D3DTEXOPCAPS_ADDSIGNED2X), FLAG(D3DTEXOPCAPS_SUBTRACT),
    FLAG(D3DTEXOPCAPS_ADDSMOOTH), FLAG(D3DTEXOPCAPS_BLENDDIFFUSEALPHA), FLAG(D3DTEXOPCAPS_BLENDTEXTUREALPHA),
    FLAG(D3DTEXOPCAPS_BLENDFACTORALPHA), FLAG(D3DTEXOPCAPS_BLENDTEXTUREALPHAPM), FLAG(D3DTEXOPCAPS_BLENDCURRENTALPHA),
    FLAG(D3DTEXOPCAPS_PREMODULATE), FLAG(D3DTEXOPCAPS_MODULATEALPHA_ADDCOLOR),
    FLAG(D3DTEXOPCAPS_MODULATECOLOR_ADDALPHA), FLAG(D3DTEXOPCAPS_MODULATEINVALPHA_ADDCOLOR),
    FLAG(D3DTEXOPCAPS_MODULATEINVCOLOR_ADDALPHA), FLAG(D3DTEXOPCAPS_BUMPENVMAP),
    FLAG(D3DTEXOPCAPS_BUMPENVMAPLUMINANCE), FLAG(D3DTEXOPCAPS_DOTPRODUCT3),
};
const FlagName kVertexCaps[] = {
    FLAG(D3DVTXPCAPS_TEXGEN), FLAG(D3DVTXPCAPS_MATERIALSOURCE7), FLAG(D3DVTXPCAPS_VERTEXFOG),
    FLAG(D3DVTXPCAPS_DIRECTIONALLIGHTS), FLAG(D3DVTXPCAPS_POSITIONALLIGHTS),
};
#undef FLAG

template <size_t N>
void WriteFlags(FILE* f, uint32_t value, const FlagName (&names)[N], const char* separator)
{
    for (const FlagName& n : names)
        if (value & n.bit)
            std::fprintf(f, "%s%s", n.name, separator);
}

void WritePrimCaps(FILE* f, const PrimCaps& caps)
{
    std::fputs("\n\tMiscCaps = ", f);
    WriteFlags(f, caps.miscCaps, kMiscCaps, " |");
    std::fputs("\n\tRasterCaps = ", f);
    WriteFlags(f, caps.rasterCaps, kRasterCaps, " |");
    std::fputs("\n\tZCmpCaps = ", f);
    WriteFlags(f, caps.zCmpCaps, kCmpCaps, " |");
    std::fputs("\n\tSrcBlendCaps = ", f);
    WriteFlags(f, caps.srcBlendCaps, kBlendCaps, " |");
    std::fputs("\n\tDestBlendCaps = ", f);
    WriteFlags(f, caps.destBlendCaps, kBlendCaps, " |");
    std::fputs("\n\tAlphaCmpCaps = ", f);
    WriteFlags(f, caps.alphaCmpCaps, kCmpCaps, " |");
    std::fputs("\n\tShadeCaps = ", f);
    WriteFlags(f, caps.shadeCaps, kShadeCaps, " |");
    std::fputs("\n\tTextureCaps = ", f);
    WriteFlags(f, caps.textureCaps, kTextureCaps, " |");
    std::fputs("\n\tTextureFilterCaps = ", f);
    WriteFlags(f, caps.textureFilterCaps, kFilterCaps, " |");
    std::fputs("\n\tTextureBlendCaps = ", f);
    WriteFlags(f, caps.textureBlendCaps, kTextureBlendCaps, " |");
    std::fputs("\n\tTextureAddressCaps = ", f);
    WriteFlags(f, caps.textureAddressCaps, kAddressCaps, " |");
    std::fprintf(f, "\n\tStippleWidth  = %i", static_cast<int>(caps.stippleWidth));
    std::fprintf(f, "\n\tStippleHeight = %i", static_cast<int>(caps.stippleHeight));
}
}  // namespace

void WriteDeviceCaps(const char* path, const char* deviceName, const char* deviceDescription, const DeviceDesc* desc)
{
    if (!desc)
        return;
    FILE* f = OpenFile(path, "wt");
    if (!f)
        return;
    const DeviceDesc& d = *desc;
    std::fprintf(f, "Device name = %s\n", deviceName ? deviceName : "");
    std::fprintf(f, "Device description = %s\n\n", deviceDescription ? deviceDescription : "");
    std::fputs("DevCaps = ", f);
    WriteFlags(f, d.devCaps, kDevCaps, " |");
    std::fputs("\n", f);
    std::fputs("LineCaps = ", f);
    WritePrimCaps(f, d.lineCaps);
    std::fputs("\n", f);
    std::fputs("TriCaps = ", f);
    WritePrimCaps(f, d.triCaps);
    std::fputs("\n", f);
    std::fputs("DeviceRenderBitDepth =", f);
    WriteFlags(f, d.deviceRenderBitDepth, kBitDepths, " | ");
    std::fputs("\n", f);
    std::fputs("DeviceZBufferBitDepth =", f);
    WriteFlags(f, d.deviceZBufferBitDepth, kBitDepths, " | ");
    std::fputs("\n", f);
    std::fprintf(f, "MinTextureWidth =%i\n", static_cast<int>(d.minTextureWidth));
    std::fprintf(f, "MinTextureHeight =%i\n", static_cast<int>(d.minTextureHeight));
    std::fprintf(f, "MaxTextureWidth =%i\n", static_cast<int>(d.maxTextureWidth));
    std::fprintf(f, "MaxTextureHeight =%i\n", static_cast<int>(d.maxTextureHeight));
    std::fprintf(f, "MaxTextureRepeat  =%i\n", static_cast<int>(d.maxTextureRepeat));
    std::fprintf(f, "MaxTextureAspectRatio =%i\n", static_cast<int>(d.maxTextureAspectRatio));
    std::fprintf(f, "MaxAnisotropy =%i\n", static_cast<int>(d.maxAnisotropy));
    std::fprintf(f, "GuardBandLeft =%f\n", d.guardBandLeft);
    std::fprintf(f, "GuardBandTop =%f\n", d.guardBandTop);
    std::fprintf(f, "GuardBandRight =%f\n", d.guardBandRight);
    std::fprintf(f, "GuardBandBottom =%f\n", d.guardBandBottom);
    std::fprintf(f, "ExtentsAdjust =%f\n", d.extentsAdjust);
    std::fputs("StencilCaps =", f);
    WriteFlags(f, d.stencilCaps, kStencilCaps, " | ");
    std::fputs("\n", f);
    std::fputs("FVFCaps =", f);
    WriteFlags(f, d.fvfCaps, kFvfCaps, " | ");
    std::fputs("\n", f);
    std::fputs("TextureOpCaps =", f);
    WriteFlags(f, d.textureOpCaps, kTexOpCaps, " | ");
    std::fputs("\n", f);
    std::fprintf(f, "MaxTextureBlendStages =%i\n", static_cast<int>(d.maxTextureBlendStages));
    std::fprintf(f, "MaxSimultaneousTextures =%i\n", static_cast<int>(d.maxSimultaneousTextures));
    std::fprintf(f, "MaxActiveLights =%i\n", static_cast<int>(d.maxActiveLights));
    std::fprintf(f, "MaxVertexW =%f\n", d.maxVertexW);
    const char* guid = "other giud";
    if (d.deviceGuid == IID_IDirect3DHALDevice)
        guid = "IID_IDirect3DHALDevice";
    else if (d.deviceGuid == IID_IDirect3DTnLHalDevice)
        guid = "IID_IDirect3DTnLHalDevice";
    else if (d.deviceGuid == IID_IDirect3DRGBDevice)
        guid = "IID_IDirect3DRGBDevice";
    std::fprintf(f, "GUID =%s\n", guid);
    std::fprintf(f, "MaxUserClipPlanes =%i\n", static_cast<int>(d.maxUserClipPlanes));
    std::fprintf(f, "MaxVertexBlendMatrices =%i\n", static_cast<int>(d.maxVertexBlendMatrices));
    std::fputs("VertexProcessingCaps =", f);
    WriteFlags(f, d.vertexProcessingCaps, kVertexCaps, " | ");
    std::fputs("\n", f);
    // Which SDL renderer draws, and why: the game picks it, the player may not know.
    if (!RendererChoiceText().empty())
        std::fprintf(f, "Renderer =%s\n", RendererChoiceText().c_str());
    std::fclose(f);
}
