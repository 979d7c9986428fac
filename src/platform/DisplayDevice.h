#pragma once
#include "platform/DeviceCaps.h"
#include "platform/DisplayObject.h"
#include "platform/DisplayResult.h"
#include "platform/DisplayTypes.h"

#include <cstdint>
#include <string>
#include <vector>

class DisplayDriver;
class DisplaySurface;
class Texture;
struct DeviceBackend;

// The rendering device (what Direct3D 7's device was to the game), drawing into
// the back buffer with an SDL renderer:
//   Clear                  SDL_RenderClear of the back buffer (a render target texture)
//   SetRenderState         SRCBLEND/DESTBLEND/ALPHABLENDENABLE pick the SDL blend mode:
//                          SRCALPHA+INVSRCALPHA -> BLEND, SRCALPHA or ONE + ONE -> ADD,
//                          blending off (or ONE+ZERO) -> NONE
//   SetTextureStageState   MAGFILTER/MINFILTER point or linear -> SDL scale mode per draw;
//                          COLOROP SELECTARG2 (vertex colour only) draws a white copy of the
//                          texture keeping its alpha, modulated by the vertex colour;
//                          SELECTARG1 draws the texture unmodulated in colour
//   DrawPrimitive          a triangle strip or list of TLVertex; an axis-aligned quad of one
//                          colour goes through SDL_RenderCopyF (texel-exact), anything else
//                          through SDL_RenderGeometry with strip indices {0,1,3, 0,3,2};
//                          draws wholly off the viewport or at non-finite places are
//                          skipped, and draws spanning more than twice the back buffer
//                          are cut to the viewport first
//   BeginScene/EndScene    bookkeeping only; drawing outside a scene is refused
// Clears and draws are recorded (with the states and texture contents they
// use) and carried out when the back buffer is read or presented, or before a
// texture they use changes. A frame that begins by clearing the whole back
// buffer and records exactly what the last presented frame did is neither
// drawn again nor copied to the window: both already hold its picture (unless
// the window was exposed, resized or restored, or the display was lost).
// Other states are stored and read back but change nothing: no depth buffer,
// culling or lighting exists (the game sets them off anyway).
// Colours are ARGB with alpha on top; integer coordinates hit texels exactly
// (no half-pixel offset).
class DisplayDevice : public DisplayObject {
public:
    // A device drawing into a hidden width x height window, for tests and tools.
    static DisplayResult CreateOffscreen(uint32_t width, uint32_t height, DisplayDevice** out);

    DisplayResult GetCaps(DeviceDesc* out) const;

    DisplayResult SetViewport(const Viewport& viewport);
    DisplayResult GetViewport(Viewport* out) const;

    DisplayResult SetRenderState(RenderStateType state, uint32_t value);
    DisplayResult GetRenderState(RenderStateType state, uint32_t* value) const;
    DisplayResult SetTextureStageState(uint32_t stage, TextureStageStateType type, uint32_t value);
    DisplayResult GetTextureStageState(uint32_t stage, TextureStageStateType type, uint32_t* value) const;

    // rectCount 0 and rects null clear the whole viewport; only D3DCLEAR_TARGET
    // does anything (there is no depth or stencil buffer).
    struct ClearRect {
        int32_t x1, y1, x2, y2;
    };
    DisplayResult Clear(uint32_t rectCount, const ClearRect* rects, uint32_t flags, uint32_t color, float z,
                        uint32_t stencil);

    DisplayResult BeginScene();
    DisplayResult EndScene();

    // Stage 0 only; null draws untextured (the vertex colour).
    DisplayResult SetTexture(uint32_t stage, Texture* texture);
    Texture* GetTexture(uint32_t stage) const;

    // vertexFormat must be kTLVertexFormat; strips and lists of 3 or more vertices.
    DisplayResult DrawPrimitive(PrimitiveType type, uint32_t vertexFormat, const TLVertex* vertices,
                                uint32_t count, uint32_t flags = 0);

    // Carries out every draw recorded or queued so far.
    void Flush();

    // A new texture of the driver, width x height (at least 1 x 1), transparent black.
    DisplayResult CreateTexture(uint32_t width, uint32_t height, Texture** out);

    // The back buffer with every draw so far (call before presenting): row-major 0xAARRGGBB.
    DisplayResult ReadBackBuffer(std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height);
    // Writes the back buffer as an RGB PNG; false when it cannot.
    bool SaveBackBufferPng(const char* path);

    // SetTexture and DrawPrimitive calls since the device was made (tests count
    // the calls a drawing costs).
    struct CallCounts {
        uint32_t setTexture = 0;
        uint32_t drawPrimitive = 0;
    };
    const CallCounts& GetCallCounts() const { return m_calls; }
    // What reached SDL's renderer since the device was made: draws, changes of
    // texture from one draw to the next, flushes of SDL's batch forced by a
    // change of filtering, and frames copied to the window.
    struct RendererCounts {
        uint64_t draws = 0;
        uint64_t textureSwitches = 0;
        uint64_t flushes = 0;
        uint64_t presents = 0;
    };
    RendererCounts GetRendererCounts() const;

    DisplayDriver* GetDriver() const { return m_driver; }
    DisplaySurface* GetRenderTarget() const { return m_target; }
    const DeviceGuid& GetGuid() const { return m_guid; }
    DeviceBackend* GetBackend() const { return m_backend; }

private:
    friend class DisplayDriver;
    DisplayDevice(DisplayDriver* driver, DisplaySurface* target, const DeviceGuid& guid);
    ~DisplayDevice() override;

    DisplayDriver* m_driver;
    DisplaySurface* m_target;
    DeviceGuid m_guid;
    DeviceBackend* m_backend = nullptr;
    Viewport m_viewport;
    uint32_t m_renderStates[kRenderStateCount] = {};
    uint32_t m_stageStates[kTextureStageStateCount] = {};
    Texture* m_texture = nullptr;
    bool m_inScene = false;
    CallCounts m_calls;
};
