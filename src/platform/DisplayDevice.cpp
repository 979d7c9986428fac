#include "platform/DisplayDevice.h"

#include "platform/DisplayDriver.h"
#include "platform/DisplaySurface.h"
#include "platform/Letterbox.h"
#include "platform/PngFile.h"
#include "platform/SdlBackend.h"
#include "platform/Texture.h"
#include "platform/Window.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
DeviceCapsFilter s_capsFilter;

enum class Source { Texture, Diffuse, Both };

Source ArgSource(uint32_t arg) { return arg == D3DTA_TEXTURE ? Source::Texture : Source::Diffuse; }

Source OpSource(uint32_t op, uint32_t arg1, uint32_t arg2)
{
    switch (op) {
    case D3DTOP_SELECTARG1: return ArgSource(arg1);
    case D3DTOP_SELECTARG2: return ArgSource(arg2);
    default: return Source::Both;
    }
}

// How the states turn into an SDL draw.
struct DrawPlan {
    SDL_Texture* texture = nullptr;
    SDL_BlendMode blend = SDL_BLENDMODE_BLEND;
    bool colourFromTexture = false;  // vertex RGB replaced by white
    bool alphaFromTexture = false;   // vertex alpha replaced by 255
    bool invertVertexAlpha = false;
};

uint8_t Channel(uint32_t c, int shift) { return static_cast<uint8_t>((c >> shift) & 0xFF); }

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

// A frame longer than this is carried out as it comes (nothing the game draws gets near).
constexpr size_t kMaxRecordedCommands = 1u << 16;
constexpr size_t kMaxRecordedVertices = 1u << 20;

void ApplyClip(DeviceBackend* b, const uint32_t clip[4])
{
    if (b->clipApplied && std::equal(clip, clip + 4, b->appliedClip))
        return;
    SDL_Rect rect{static_cast<int>(clip[0]), static_cast<int>(clip[1]), static_cast<int>(clip[2]),
                  static_cast<int>(clip[3])};
    bool whole = clip[0] == 0 && clip[1] == 0 && clip[2] == b->width && clip[3] == b->height;
    SDL_RenderSetClipRect(b->renderer, whole ? nullptr : &rect);
    std::copy(clip, clip + 4, b->appliedClip);
    b->clipApplied = true;
}

void RunClear(DeviceBackend* b, const DrawCommand& c, const SDL_Rect* rects)
{
    SDL_Renderer* r = b->renderer;
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(r, Channel(c.color, 16), Channel(c.color, 8), Channel(c.color, 0), Channel(c.color, 24));
    if (c.count == 0) {
        SDL_Rect all{static_cast<int>(c.clip[0]), static_cast<int>(c.clip[1]), static_cast<int>(c.clip[2]),
                     static_cast<int>(c.clip[3])};
        SDL_RenderFillRect(r, &all);
        return;
    }
    for (uint32_t i = 0; i < c.count; ++i)
        SDL_RenderFillRect(r, &rects[i]);
}

void RunDraw(DeviceBackend* b, const DrawCommand& c, const TLVertex* v);

// Carries out what the frame has recorded and not yet drawn.
void CarryOut(DeviceBackend* b)
{
    DrawList& f = b->frame;
    for (; f.done < f.commands.size(); ++f.done) {
        DrawCommand& c = f.commands[f.done];
        if (b->renderer) {
            ApplyClip(b, c.clip);
            if (c.kind == DrawCommand::Clear)
                RunClear(b, c, f.rects.data() + c.first);
            else
                RunDraw(b, c, f.vertices.data() + c.first);
        }
        if (c.texture) {
            c.texture->Release();
            c.texture = nullptr;
        }
    }
}

// Forgets the frame's commands; those not carried out never will be.
void ResetFrame(DrawList& f)
{
    for (size_t i = f.done; i < f.commands.size(); ++i)
        if (f.commands[i].texture)
            f.commands[i].texture->Release();
    f.commands.clear();
    f.vertices.clear();
    f.rects.clear();
    f.done = 0;
    f.opens = false;
    f.broken = false;
}

bool SameDrawing(const DrawList& a, const DrawList& b)
{
    if (a.commands.size() != b.commands.size() || a.vertices.size() != b.vertices.size() ||
        a.rects.size() != b.rects.size())
        return false;
    for (size_t i = 0; i < a.commands.size(); ++i)
        if (!a.commands[i].SameAs(b.commands[i]))
            return false;
    return (a.vertices.empty() ||
            std::memcmp(a.vertices.data(), b.vertices.data(), a.vertices.size() * sizeof(TLVertex)) == 0) &&
           (a.rects.empty() || std::memcmp(a.rects.data(), b.rects.data(), a.rects.size() * sizeof(SDL_Rect)) == 0);
}

// Adds a command to the frame. A clear of the whole back buffer opens a new
// frame: what was recorded before it would be covered anyway.
DrawCommand& Record(DeviceBackend* b, const Viewport& vp, DrawCommand::Kind kind, bool whole)
{
    DrawList& f = b->frame;
    const bool opens = whole && vp.x == 0 && vp.y == 0 && vp.width == b->width && vp.height == b->height;
    if (opens) {
        if (f.done > 0 || f.broken)
            b->shownValid = false;  // the back buffer no longer holds the shown frame
        ResetFrame(f);
        f.opens = true;
    } else if (f.commands.size() >= kMaxRecordedCommands || f.vertices.size() >= kMaxRecordedVertices) {
        CarryOut(b);
        ResetFrame(f);
        f.broken = true;
        b->shownValid = false;
    }
    DrawCommand& c = f.commands.emplace_back();
    c.kind = kind;
    c.clip[0] = vp.x;
    c.clip[1] = vp.y;
    c.clip[2] = vp.width;
    c.clip[3] = vp.height;
    return c;
}
}  // namespace

void SetDeviceCapsFilter(DeviceCapsFilter filter) { s_capsFilter = std::move(filter); }

DisplayDevice::DisplayDevice(DisplayDriver* driver, DisplaySurface* target, const DeviceGuid& guid)
    : m_driver(driver), m_target(target), m_guid(guid), m_backend(new DeviceBackend)
{
    m_driver->AddRef();
    m_target->AddRef();
    uint32_t w = 0, h = 0;
    m_target->GetSurfaceDesc(&w, &h);
    m_viewport.width = w;
    m_viewport.height = h;
    // Direct3D 7's defaults.
    m_renderStates[D3DRENDERSTATE_ZENABLE] = D3DZB_FALSE;
    m_renderStates[D3DRENDERSTATE_ZWRITEENABLE] = 1;
    m_renderStates[D3DRENDERSTATE_LASTPIXEL] = 1;
    m_renderStates[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
    m_renderStates[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
    m_renderStates[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
    m_renderStates[D3DRENDERSTATE_ZFUNC] = D3DCMP_LESSEQUAL;
    m_renderStates[D3DRENDERSTATE_LIGHTING] = 1;
    m_stageStates[D3DTSS_COLOROP] = D3DTOP_MODULATE;
    m_stageStates[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    m_stageStates[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    m_stageStates[D3DTSS_ALPHAOP] = D3DTOP_SELECTARG1;
    m_stageStates[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    m_stageStates[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    m_stageStates[D3DTSS_ADDRESS] = D3DTADDRESS_WRAP;
    m_stageStates[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
    m_stageStates[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
    m_stageStates[D3DTSS_MAGFILTER] = D3DTFG_POINT;
    m_stageStates[D3DTSS_MINFILTER] = D3DTFN_POINT;
    m_stageStates[D3DTSS_MIPFILTER] = D3DTFP_NONE;
}

DisplayDevice::~DisplayDevice()
{
    if (m_texture)
        m_texture->Release();
    DeviceBackend* b = m_backend;
    PlatformDetachDevice(this);
    ResetFrame(b->frame);
    auto& devices = m_driver->GetBackend()->devices;
    devices.erase(std::remove(devices.begin(), devices.end(), this), devices.end());
    m_target->Release();
    m_driver->Release();
    if (b->ownPrimary)
        b->ownPrimary->Release();
    if (b->ownDriver)
        b->ownDriver->Release();
    delete b->ownWindow;
    delete b;
}

DisplayResult DisplayDevice::CreateOffscreen(uint32_t width, uint32_t height, DisplayDevice** out)
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = nullptr;
    if (width == 0 || height == 0)
        return DDERR_INVALIDPARAMS;
    WindowRect client{0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)};
    Window* window = Window::Create("Brimvale", WindowStyle::Popup, client, false);
    if (!window)
        return DDERR_NODIRECTDRAWHW;
    DisplayDriver* driver = nullptr;
    DisplaySurface* primary = nullptr;
    DisplaySurface* back = nullptr;
    DisplayDevice* device = nullptr;
    DisplayResult r = DisplayDriver::Create(&driver);
    if (r >= 0)
        r = driver->SetCooperativeLevel(window, DDSCL_NORMAL);
    if (r >= 0)
        r = driver->CreatePrimarySurface(false, &primary);
    if (r >= 0)
        r = driver->CreateBackBuffer(width, height, &back);
    if (r >= 0) {
        r = driver->CreateDevice(IID_IDirect3DHALDevice, back, &device);
        if (r < 0)
            r = driver->CreateDevice(IID_IDirect3DRGBDevice, back, &device);
    }
    if (back)
        back->Release();  // the device keeps its own reference
    if (r < 0) {
        if (primary)
            primary->Release();
        if (driver)
            driver->Release();
        delete window;
        return r;
    }
    device->m_backend->ownWindow = window;
    device->m_backend->ownDriver = driver;
    device->m_backend->ownPrimary = primary;
    // The states the game sets on its device.
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRENDERSTATE_LIGHTING, 0);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_CLAMP);
    *out = device;
    return DD_OK;
}

DisplayResult DisplayDevice::GetCaps(DeviceDesc* out) const
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = DeviceDesc{};
    const bool hw = m_backend->accelerated;
    out->devCaps = D3DDEVCAPS_FLOATTLVERTEX | D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_CANRENDERAFTERFLIP |
                   D3DDEVCAPS_TEXTURESYSTEMMEMORY |
                   (hw ? D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_TEXTUREVIDEOMEMORY
                       : D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY);
    PrimCaps& tri = out->triCaps;
    tri.size = sizeof(PrimCaps);
    tri.miscCaps = D3DPMISCCAPS_CULLNONE;  // triangles are drawn whatever their winding
    tri.rasterCaps = hw ? D3DPRASTERCAPS_SUBPIXEL : 0;
    // The blend pairs we can draw: SRCALPHA/INVSRCALPHA, SRCALPHA or ONE/ONE,
    // ONE/ZERO, ZERO/SRCCOLOR or DESTCOLOR/ZERO, INVSRCALPHA/SRCALPHA.
    tri.srcBlendCaps = D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCALPHA | D3DPBLENDCAPS_INVSRCALPHA |
                       D3DPBLENDCAPS_DESTCOLOR;
    tri.destBlendCaps = D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCCOLOR | D3DPBLENDCAPS_SRCALPHA |
                        D3DPBLENDCAPS_INVSRCALPHA;
    tri.shadeCaps = D3DPSHADECAPS_COLORFLATRGB | D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_ALPHAFLATBLEND |
                    D3DPSHADECAPS_ALPHAGOURAUDBLEND;
    tri.textureCaps = D3DPTEXTURECAPS_ALPHA;
    tri.textureFilterCaps = D3DPTFILTERCAPS_NEAREST | D3DPTFILTERCAPS_LINEAR | D3DPTFILTERCAPS_MINFPOINT |
                            D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    tri.textureBlendCaps = D3DPTBLENDCAPS_MODULATE | D3DPTBLENDCAPS_MODULATEALPHA;
    tri.textureAddressCaps = D3DPTADDRESSCAPS_CLAMP;  // coordinates are clamped to the texture
    out->lineCaps.size = sizeof(PrimCaps);           // no lines are drawn
    out->deviceRenderBitDepth = DDBD_32;
    out->deviceZBufferBitDepth = 0;
    SDL_RendererInfo info;
    int maxW = 0, maxH = 0;
    if (m_backend->renderer && SDL_GetRendererInfo(m_backend->renderer, &info) == 0) {
        maxW = info.max_texture_width;
        maxH = info.max_texture_height;
    }
    out->minTextureWidth = 1;
    out->minTextureHeight = 1;
    out->maxTextureWidth = maxW > 0 ? std::min<uint32_t>(maxW, 16384) : 16384;
    out->maxTextureHeight = maxH > 0 ? std::min<uint32_t>(maxH, 16384) : 16384;
    out->maxAnisotropy = 1;
    out->fvfCaps = 1;  // one set of texture coordinates
    out->textureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 | D3DTEXOPCAPS_MODULATE;
    out->maxTextureBlendStages = 1;
    out->maxSimultaneousTextures = 1;
    out->deviceGuid = m_guid;
    if (s_capsFilter)
        s_capsFilter(*out);
    return DD_OK;
}

DisplayResult FaultFor(DisplayCall call, uint32_t arg);

DisplayResult DisplayDevice::SetViewport(const Viewport& viewport)
{
    if (DisplayResult r = FaultFor(DisplayCall::SetViewport, 0); r < 0)
        return r;
    if (viewport.width == 0 || viewport.height == 0 || viewport.x + viewport.width > m_backend->width ||
        viewport.y + viewport.height > m_backend->height)
        return DDERR_INVALIDPARAMS;
    m_viewport = viewport;  // the clip of the commands recorded from now on
    return DD_OK;
}

DisplayResult DisplayDevice::GetViewport(Viewport* out) const
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    *out = m_viewport;
    return DD_OK;
}

DisplayResult DisplayDevice::SetRenderState(RenderStateType state, uint32_t value)
{
    if (state >= kRenderStateCount)
        return DDERR_INVALIDPARAMS;
    m_renderStates[state] = value;
    return DD_OK;
}

DisplayResult DisplayDevice::GetRenderState(RenderStateType state, uint32_t* value) const
{
    if (state >= kRenderStateCount || !value)
        return DDERR_INVALIDPARAMS;
    *value = m_renderStates[state];
    return DD_OK;
}

DisplayResult DisplayDevice::SetTextureStageState(uint32_t stage, TextureStageStateType type, uint32_t value)
{
    if (stage != 0 || type >= kTextureStageStateCount)
        return DDERR_INVALIDPARAMS;
    m_stageStates[type] = value;
    if (type == D3DTSS_ADDRESS) {
        m_stageStates[D3DTSS_ADDRESSU] = value;
        m_stageStates[D3DTSS_ADDRESSV] = value;
    }
    return DD_OK;
}

DisplayResult DisplayDevice::GetTextureStageState(uint32_t stage, TextureStageStateType type, uint32_t* value) const
{
    if (stage != 0 || type >= kTextureStageStateCount || !value)
        return DDERR_INVALIDPARAMS;
    *value = m_stageStates[type];
    return DD_OK;
}

DisplayResult DisplayDevice::Clear(uint32_t rectCount, const ClearRect* rects, uint32_t flags, uint32_t color, float,
                                   uint32_t)
{
    if (!(flags & D3DCLEAR_TARGET))
        return DD_OK;  // no depth or stencil buffer to clear
    if (!m_backend->renderer)
        return DDERR_SURFACELOST;
    const bool whole = rectCount == 0 || !rects;
    DrawCommand& c = Record(m_backend, m_viewport, DrawCommand::Clear, whole);
    c.color = color;
    if (whole)
        return DD_OK;
    DrawList& f = m_backend->frame;
    c.first = static_cast<uint32_t>(f.rects.size());
    c.count = rectCount;
    for (uint32_t i = 0; i < rectCount; ++i)
        f.rects.push_back({rects[i].x1, rects[i].y1, rects[i].x2 - rects[i].x1, rects[i].y2 - rects[i].y1});
    return DD_OK;
}

DisplayResult DisplayDevice::BeginScene()
{
    if (m_inScene)
        return DDERR_GENERIC;
    m_inScene = true;
    return DD_OK;
}

DisplayResult DisplayDevice::EndScene()
{
    if (!m_inScene)
        return DDERR_GENERIC;
    m_inScene = false;
    return DD_OK;
}

DisplayResult DisplayDevice::SetTexture(uint32_t stage, Texture* texture)
{
    ++m_calls.setTexture;
    if (stage != 0)
        return DDERR_INVALIDPARAMS;
    if (texture)
        texture->AddRef();
    if (m_texture)
        m_texture->Release();
    m_texture = texture;
    return DD_OK;
}

Texture* DisplayDevice::GetTexture(uint32_t stage) const { return stage == 0 ? m_texture : nullptr; }

DisplayResult DisplayDevice::CreateTexture(uint32_t width, uint32_t height, Texture** out)
{
    return m_driver->CreateTexture(width, height, out);
}

DisplayResult DisplayDevice::DrawPrimitive(PrimitiveType type, uint32_t vertexFormat, const TLVertex* v,
                                           uint32_t count, uint32_t)
{
    ++m_calls.drawPrimitive;
    if (!m_inScene)
        return DDERR_GENERIC;
    if (vertexFormat != kTLVertexFormat || !v || count < 3 ||
        (type != D3DPT_TRIANGLESTRIP && type != D3DPT_TRIANGLELIST))
        return DDERR_INVALIDPARAMS;
    if (!m_backend->renderer)
        return DDERR_SURFACELOST;  // its window is gone

    // Texture stage 0: a texture only counts when colour or alpha comes from it.
    Texture* tex = m_texture;
    if (tex && m_stageStates[D3DTSS_COLOROP] != D3DTOP_DISABLE) {
        Source colour = OpSource(m_stageStates[D3DTSS_COLOROP], m_stageStates[D3DTSS_COLORARG1],
                                 m_stageStates[D3DTSS_COLORARG2]);
        Source alpha = OpSource(m_stageStates[D3DTSS_ALPHAOP], m_stageStates[D3DTSS_ALPHAARG1],
                                m_stageStates[D3DTSS_ALPHAARG2]);
        if (colour == Source::Diffuse && alpha == Source::Diffuse)
            tex = nullptr;
        else if (tex->IsLost() < 0)
            return DDERR_SURFACELOST;
    } else {
        tex = nullptr;
    }

    DrawCommand& c = Record(m_backend, m_viewport, DrawCommand::Draw, false);
    c.primitive = type;
    c.states = {m_renderStates[D3DRENDERSTATE_ALPHABLENDENABLE],
                m_renderStates[D3DRENDERSTATE_SRCBLEND],
                m_renderStates[D3DRENDERSTATE_DESTBLEND],
                m_stageStates[D3DTSS_COLOROP],
                m_stageStates[D3DTSS_COLORARG1],
                m_stageStates[D3DTSS_COLORARG2],
                m_stageStates[D3DTSS_ALPHAOP],
                m_stageStates[D3DTSS_ALPHAARG1],
                m_stageStates[D3DTSS_ALPHAARG2],
                m_stageStates[D3DTSS_MAGFILTER],
                m_stageStates[D3DTSS_MINFILTER]};
    if (tex) {
        tex->AddRef();
        c.texture = tex;
        c.textureSerial = tex->GetBackend()->serial;
        c.textureVersion = tex->GetVersion();
    }
    DrawList& f = m_backend->frame;
    c.first = static_cast<uint32_t>(f.vertices.size());
    c.count = count;
    f.vertices.insert(f.vertices.end(), v, v + count);
    return DD_OK;
}

namespace {
// A draw spanning more than this many back buffers is cut to the clip
// rectangle before SDL sees it: SDL's software renderer stretches a copy that
// leaves the screen into a scratch surface of its whole size.
constexpr float kLargeDrawSpan = 2.0f;

struct ClipRect {
    float x0, y0, x1, y1;
};

SDL_Vertex Between(const SDL_Vertex& a, const SDL_Vertex& b, float t)
{
    auto mix = [t](float p, float q) { return p + (q - p) * t; };
    auto mixByte = [t](Uint8 p, Uint8 q) {
        return static_cast<Uint8>(std::lround(static_cast<float>(p) + (static_cast<float>(q) - p) * t));
    };
    SDL_Vertex out;
    out.position = {mix(a.position.x, b.position.x), mix(a.position.y, b.position.y)};
    out.color = {mixByte(a.color.r, b.color.r), mixByte(a.color.g, b.color.g), mixByte(a.color.b, b.color.b),
                 mixByte(a.color.a, b.color.a)};
    out.tex_coord = {mix(a.tex_coord.x, b.tex_coord.x), mix(a.tex_coord.y, b.tex_coord.y)};
    return out;
}

// Cuts one triangle to the rectangle (Sutherland-Hodgman, colours and texture
// coordinates carried along) and appends the piece as a fan of triangles.
void ClipTriangle(const SDL_Vertex& a, const SDL_Vertex& b, const SDL_Vertex& c, const ClipRect& clip,
                  std::vector<SDL_Vertex>* out)
{
    SDL_Vertex poly[2][9];
    int n = 3;
    poly[0][0] = a;
    poly[0][1] = b;
    poly[0][2] = c;
    int cur = 0;
    for (int edge = 0; edge < 4 && n > 0; ++edge) {
        // Signed distance inside the edge: >= 0 keeps the point.
        auto inside = [&](const SDL_Vertex& p) {
            switch (edge) {
            case 0: return p.position.x - clip.x0;
            case 1: return clip.x1 - p.position.x;
            case 2: return p.position.y - clip.y0;
            default: return clip.y1 - p.position.y;
            }
        };
        const SDL_Vertex* in = poly[cur];
        SDL_Vertex* next = poly[1 - cur];
        int m = 0;
        for (int i = 0; i < n; ++i) {
            const SDL_Vertex& p = in[i];
            const SDL_Vertex& q = in[(i + 1) % n];
            const float dp = inside(p), dq = inside(q);
            if (dp >= 0.0f)
                next[m++] = p;
            if ((dp >= 0.0f) != (dq >= 0.0f))
                next[m++] = Between(p, q, dp / (dp - dq));
        }
        n = m;
        cur = 1 - cur;
    }
    if (n < 3)
        return;
    // A fan about the middle: SDL's software renderer would take a fan from a
    // corner that makes a rectangle for a stretched copy and lose the texture
    // coordinates of a thin slice of texture.
    SDL_Vertex middle = poly[cur][0];
    for (int i = 1; i < n; ++i)
        middle = Between(middle, poly[cur][i], 1.0f / static_cast<float>(i + 1));
    for (int i = 0; i < n; ++i)
        out->insert(out->end(), {middle, poly[cur][i], poly[cur][(i + 1) % n]});
}

// One axis of a large stretched copy, cut to what shows: the whole texels in
// view keep their exact place, and a texel only partly in view at either end
// is stretched over its visible part alone (it shows one colour either way).
struct Band {
    int s0, s1;      // texels
    float d0, d1;    // pixels
};

int CutAxis(int s0, int s1, float d0, float d1, float lo, float hi, Band out[3])
{
    const double k = (static_cast<double>(d1) - d0) / (s1 - s0);  // pixels per texel
    const double from = std::max<double>(d0, lo), to = std::min<double>(d1, hi);
    if (to <= from)
        return 0;
    const int t0 = std::clamp(s0 + static_cast<int>(std::floor((from - d0) / k)), s0, s1 - 1);
    const int t1 = std::clamp(s0 + static_cast<int>(std::ceil((to - d0) / k)), t0 + 1, s1);
    auto edge = [&](int t) { return static_cast<float>(std::clamp(std::round(d0 + (t - s0) * k), from, to)); };
    const float a = static_cast<float>(from), z = static_cast<float>(to);
    if (t1 - t0 == 1) {
        out[0] = {t0, t1, a, z};
        return 1;
    }
    int n = 0;
    out[n++] = {t0, t0 + 1, a, edge(t0 + 1)};
    if (t1 - t0 > 2)
        out[n++] = {t0 + 1, t1 - 1, edge(t0 + 1), edge(t1 - 1)};
    out[n++] = {t1 - 1, t1, edge(t1 - 1), z};
    return n;
}

void RunDraw(DeviceBackend* b, const DrawCommand& c, const TLVertex* v)
{
    SDL_Renderer* r = b->renderer;
    const DrawStates& st = c.states;
    const uint32_t type = c.primitive;
    uint32_t count = c.count;

    // A draw wholly off the clip rectangle, or at no real place, never reaches SDL.
    const ClipRect clip{static_cast<float>(c.clip[0]), static_cast<float>(c.clip[1]),
                        static_cast<float>(c.clip[0] + c.clip[2]), static_cast<float>(c.clip[1] + c.clip[3])};
    float minX = v[0].x, maxX = v[0].x, minY = v[0].y, maxY = v[0].y;
    for (uint32_t i = 0; i < count; ++i) {
        if (!std::isfinite(v[i].x) || !std::isfinite(v[i].y))
            return;
        minX = std::min(minX, v[i].x);
        maxX = std::max(maxX, v[i].x);
        minY = std::min(minY, v[i].y);
        maxY = std::max(maxY, v[i].y);
    }
    if (maxX <= clip.x0 || minX >= clip.x1 || maxY <= clip.y0 || minY >= clip.y1)
        return;
    const bool large = maxX - minX > kLargeDrawSpan * static_cast<float>(b->width) ||
                       maxY - minY > kLargeDrawSpan * static_cast<float>(b->height);

    // Blending.
    DrawPlan plan;
    const uint32_t src = st.srcBlend, dst = st.destBlend;
    int derived = 0;
    if (!st.blendEnable || (src == D3DBLEND_ONE && dst == D3DBLEND_ZERO))
        plan.blend = SDL_BLENDMODE_NONE;
    else if (dst == D3DBLEND_ONE)
        plan.blend = SDL_BLENDMODE_ADD;
    else if ((src == D3DBLEND_ZERO && dst == D3DBLEND_SRCCOLOR) || (src == D3DBLEND_DESTCOLOR && dst == D3DBLEND_ZERO))
        plan.blend = SDL_BLENDMODE_MOD;
    else if (src == D3DBLEND_INVSRCALPHA && dst == D3DBLEND_SRCALPHA) {
        plan.blend = SDL_BLENDMODE_BLEND;  // the same blend with the alpha turned over
        plan.invertVertexAlpha = true;
        derived |= 4;
    } else
        plan.blend = SDL_BLENDMODE_BLEND;

    // Texture stage 0: which of texture and vertex give colour and alpha.
    Texture* tex = c.texture;
    if (tex) {
        Source colour = OpSource(st.colorOp, st.colorArg1, st.colorArg2);
        Source alpha = OpSource(st.alphaOp, st.alphaArg1, st.alphaArg2);
        if (colour == Source::Diffuse)
            derived |= 1;
        if (alpha == Source::Diffuse)
            derived |= 2;
        plan.colourFromTexture = colour == Source::Texture;
        plan.alphaFromTexture = alpha == Source::Texture;
        if (plan.invertVertexAlpha && alpha != Source::Diffuse)
            plan.invertVertexAlpha = false;  // the copy's alpha is already turned over
        plan.texture = PlatformTextureFor(tex, r, derived & 7);
        if (!plan.texture)
            return;  // no room on the renderer: the draw is lost, as a failed upload would be
    }
    ++b->draws;
    if (plan.texture != b->lastTexture) {
        ++b->textureSwitches;
        b->lastTexture = plan.texture;
    }
    auto vertexColour = [&](uint32_t c) {
        SDL_Color out{Channel(c, 16), Channel(c, 8), Channel(c, 0), Channel(c, 24)};
        if (plan.texture && plan.colourFromTexture)
            out.r = out.g = out.b = 255;
        if (plan.texture && plan.alphaFromTexture)
            out.a = 255;
        if (plan.invertVertexAlpha)
            out.a = static_cast<Uint8>(255 - out.a);
        return out;
    };
    auto setScale = [&](SDL_Texture* t, bool magnify) {
        uint32_t filter = magnify ? st.magFilter : st.minFilter;
        SDL_ScaleMode want = filter >= 2 ? SDL_ScaleModeLinear : SDL_ScaleModeNearest;
        TextureBackend* tb = tex->GetBackend();
        SDL_ScaleMode& have = t == tb->sdl ? tb->scale : tb->derivedScale;
        if (have != want) {
            ++b->flushes;
            SDL_RenderFlush(r);  // the scale mode is not queued with earlier draws
            SDL_SetTextureScaleMode(t, want);
            have = want;
        }
    };

    // Axis-aligned quad of one colour: a texel-exact copy.
    if (type == D3DPT_TRIANGLESTRIP && count == 4 && v[0].y == v[1].y && v[2].y == v[3].y && v[0].x == v[2].x &&
        v[1].x == v[3].x && v[1].x > v[0].x && v[2].y > v[0].y && v[0].diffuse == v[1].diffuse &&
        v[0].diffuse == v[2].diffuse && v[0].diffuse == v[3].diffuse &&
        (!plan.texture || (v[0].u == v[2].u && v[1].u == v[3].u && v[0].v == v[1].v && v[2].v == v[3].v &&
                           v[1].u > v[0].u && v[2].v > v[0].v))) {
        SDL_Color one = vertexColour(v[0].diffuse);
        SDL_FRect dstRect{v[0].x, v[0].y, v[1].x - v[0].x, v[2].y - v[0].y};
        if (!plan.texture) {
            if (large) {
                // A plain colour loses nothing by being cut to what shows.
                const float x0 = std::max(dstRect.x, clip.x0), y0 = std::max(dstRect.y, clip.y0);
                dstRect = {x0, y0, std::min(v[1].x, clip.x1) - x0, std::min(v[2].y, clip.y1) - y0};
            }
            SDL_SetRenderDrawBlendMode(r, plan.blend);
            SDL_SetRenderDrawColor(r, one.r, one.g, one.b, one.a);
            SDL_RenderFillRectF(r, &dstRect);
            return;
        }
        const float tw = static_cast<float>(tex->GetWidth()), th = static_cast<float>(tex->GetHeight());
        int x0 = static_cast<int>(std::lround(Clamp01(v[0].u) * tw)), x1 = static_cast<int>(std::lround(Clamp01(v[1].u) * tw));
        int y0 = static_cast<int>(std::lround(Clamp01(v[0].v) * th)), y1 = static_cast<int>(std::lround(Clamp01(v[2].v) * th));
        if (x1 <= x0 || y1 <= y0)
            return;  // less than a texel: nothing to show
        SDL_Rect srcRect{x0, y0, x1 - x0, y1 - y0};
        setScale(plan.texture, dstRect.w > srcRect.w || dstRect.h > srcRect.h);
        SDL_SetTextureBlendMode(plan.texture, plan.blend);
        SDL_SetTextureColorMod(plan.texture, one.r, one.g, one.b);
        SDL_SetTextureAlphaMod(plan.texture, one.a);
        if (!large) {
            SDL_RenderCopyF(r, plan.texture, &srcRect, &dstRect);
            return;
        }
        Band across[3], down[3];
        const int nx = CutAxis(x0, x1, v[0].x, v[1].x, clip.x0, clip.x1, across);
        const int ny = CutAxis(y0, y1, v[0].y, v[2].y, clip.y0, clip.y1, down);
        for (int j = 0; j < ny; ++j) {
            for (int i = 0; i < nx; ++i) {
                SDL_Rect part{across[i].s0, down[j].s0, across[i].s1 - across[i].s0, down[j].s1 - down[j].s0};
                SDL_FRect to{across[i].d0, down[j].d0, across[i].d1 - across[i].d0, down[j].d1 - down[j].d0};
                if (to.w > 0.0f && to.h > 0.0f)
                    SDL_RenderCopyF(r, plan.texture, &part, &to);
            }
        }
        return;
    }

    // Everything else: triangles.
    SDL_Vertex verts[64];
    std::vector<SDL_Vertex> big;
    SDL_Vertex* out = verts;
    if (count > 64) {
        big.resize(count);
        out = big.data();
    }
    for (uint32_t i = 0; i < count; ++i) {
        out[i].position = {v[i].x, v[i].y};
        out[i].color = vertexColour(v[i].diffuse);
        out[i].tex_coord = {Clamp01(v[i].u), Clamp01(v[i].v)};
    }
    std::vector<int> indices;
    static const int kQuad[6] = {0, 1, 3, 0, 3, 2};
    const int* idx = kQuad;
    int idxCount = 6;
    if (type == D3DPT_TRIANGLELIST) {
        idx = nullptr;
        idxCount = 0;
        count -= count % 3;
    } else if (count != 4) {
        for (uint32_t i = 0; i + 2 < count; ++i) {
            if (i % 2 == 0)
                indices.insert(indices.end(), {int(i), int(i + 1), int(i + 2)});
            else
                indices.insert(indices.end(), {int(i + 1), int(i), int(i + 2)});
        }
        idx = indices.data();
        idxCount = static_cast<int>(indices.size());
    }
    if (plan.texture) {
        float edge = std::hypot(v[1].x - v[0].x, v[1].y - v[0].y);
        float texels = std::fabs(v[1].u - v[0].u) * static_cast<float>(tex->GetWidth());
        setScale(plan.texture, edge > texels);
        SDL_SetTextureBlendMode(plan.texture, plan.blend);
        SDL_SetTextureColorMod(plan.texture, 255, 255, 255);
        SDL_SetTextureAlphaMod(plan.texture, 255);
    } else {
        SDL_SetRenderDrawBlendMode(r, plan.blend);
    }
    if (large) {
        std::vector<SDL_Vertex> cut;
        const int triangles = idx ? idxCount / 3 : static_cast<int>(count) / 3;
        for (int t = 0; t < triangles; ++t) {
            auto at = [&](int k) { return out[idx ? idx[3 * t + k] : 3 * t + k]; };
            ClipTriangle(at(0), at(1), at(2), clip, &cut);
        }
        if (!cut.empty())
            SDL_RenderGeometry(r, plan.texture, cut.data(), static_cast<int>(cut.size()), nullptr, 0);
        return;
    }
    SDL_RenderGeometry(r, plan.texture, out, static_cast<int>(count), idx, idxCount);
}
}  // namespace

void DisplayDevice::Flush()
{
    CarryOut(m_backend);
    if (m_backend->renderer)
        SDL_RenderFlush(m_backend->renderer);
}

DisplayResult DisplayDevice::ReadBackBuffer(std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height)
{
    if (!pixels)
        return DDERR_INVALIDPARAMS;
    DeviceBackend* b = m_backend;
    if (!b->renderer)
        return DDERR_SURFACELOST;
    CarryOut(b);  // readers see every draw so far
    pixels->assign(size_t(b->width) * b->height, 0);
    SDL_Rect all{0, 0, static_cast<int>(b->width), static_cast<int>(b->height)};
    if (SDL_RenderReadPixels(b->renderer, &all, SDL_PIXELFORMAT_ARGB8888, pixels->data(),
                             static_cast<int>(b->width * 4)) != 0)
        return DDERR_GENERIC;
    if (width)
        *width = b->width;
    if (height)
        *height = b->height;
    return DD_OK;
}

bool DisplayDevice::SaveBackBufferPng(const char* path)
{
    std::vector<uint32_t> pixels;
    uint32_t w = 0, h = 0;
    if (ReadBackBuffer(&pixels, &w, &h) < 0)
        return false;
    return WritePngFile(path, pixels.data(), w, h);
}

void PlatformDetachDevice(DisplayDevice* device)
{
    DeviceBackend* b = device->GetBackend();
    ResetFrame(b->frame);  // nothing left to draw into
    b->shownValid = false;
    if (b->renderer) {
        PlatformDropTexturesOn(b->renderer);
        if (b->target)
            SDL_DestroyTexture(b->target);
        SDL_DestroyRenderer(b->renderer);
    }
    if (b->window)
        b->window->GetBackend()->renderer = nullptr;
    b->renderer = nullptr;
    b->target = nullptr;
    b->window = nullptr;
}

DisplayDevice::RendererCounts DisplayDevice::GetRendererCounts() const
{
    return {m_backend->draws, m_backend->textureSwitches, m_backend->flushes, m_backend->presents};
}

int32_t PlatformPresent(DisplayDevice* device)
{
    DeviceBackend* b = device->GetBackend();
    ++b->presents;
    Window* window = b->window;
    SDL_Renderer* r = b->renderer;
    if (!window || !r)
        return DDERR_INVALIDOBJECT;
    WindowBackend* wb = window->GetBackend();
    int ww = 0, wh = 0;
    SDL_GetWindowSize(wb->sdl, &ww, &wh);
    DrawList& f = b->frame;
    // The same frame as the one on the window, drawn over nothing that came
    // before it: the back buffer and the window already hold its picture.
    if (b->shownValid && f.opens && !f.broken && !wb->needsPresent && wb->capturePath.empty() &&
        ww == b->shownOutputW && wh == b->shownOutputH && wb->fullScreen == b->shownFullScreen &&
        SameDrawing(f, b->shown)) {
        if (f.done > 0)
            CarryOut(b);  // a read drew part of it: finish the same picture
        ResetFrame(f);
        return DD_OK;
    }
    CarryOut(b);

    SDL_SetRenderTarget(r, nullptr);
    // The window may have changed size while we drew into the back buffer (full
    // screen arrives late under X11): the whole output is the viewport now.
    SDL_RenderSetViewport(r, nullptr);
    SDL_RenderSetClipRect(r, nullptr);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
    SDL_RenderClear(r);
    int ow = 0, oh = 0;
    SDL_GetRendererOutputSize(r, &ow, &oh);
    SDL_Rect dst{0, 0, static_cast<int>(b->width), static_cast<int>(b->height)};
    if (wb->fullScreen || wb->scale > 1) {
        LetterboxRect box = ComputeLetterbox(static_cast<int32_t>(b->width), static_cast<int32_t>(b->height), ow, oh);
        dst = {box.x, box.y, box.width, box.height};
    }
    bool scaled = dst.w != static_cast<int>(b->width) || dst.h != static_cast<int>(b->height);
    SDL_SetTextureScaleMode(b->target, scaled && wb->smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    SDL_RenderCopy(r, b->target, nullptr, &dst);
    if (!wb->capturePath.empty()) {
        std::vector<uint32_t> shown(size_t(ow) * oh);
        if (SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_ARGB8888, shown.data(), ow * 4) == 0)
            WritePngFile(wb->capturePath.c_str(), shown.data(), uint32_t(ow), uint32_t(oh));
        wb->capturePath.clear();
    }
    SDL_RenderPresent(r);
    SDL_SetRenderTarget(r, b->target);
    b->clipApplied = false;  // switching targets drops the clip
    ++wb->presents;

    // Keep this frame to compare the next one with (swapping keeps the buffers).
    std::swap(b->frame, b->shown);
    b->shownValid = b->shown.opens && !b->shown.broken;
    b->shownOutputW = ww;
    b->shownOutputH = wh;
    b->shownFullScreen = wb->fullScreen;
    wb->needsPresent = false;
    ResetFrame(b->frame);
    return DD_OK;
}

void PlatformFlushDrawsWith(DisplayDriver* driver, Texture* texture)
{
    for (DisplayDevice* device : driver->GetBackend()->devices) {
        DrawList& f = device->GetBackend()->frame;
        for (size_t i = f.done; i < f.commands.size(); ++i)
            if (f.commands[i].texture == texture) {
                CarryOut(device->GetBackend());
                break;
            }
    }
}

void PlatformForgetShownFrames(DisplayDriver* driver)
{
    for (DisplayDevice* device : driver->GetBackend()->devices) {
        CarryOut(device->GetBackend());  // what was drawn before the loss stays drawn before it
        device->GetBackend()->shownValid = false;
    }
}
