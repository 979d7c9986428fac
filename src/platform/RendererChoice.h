#pragma once
#include <functional>
#include <string>

// Which SDL renderer draws the game. An OpenGL renderer that rasterises in
// software (Mesa's llvmpipe, softpipe, swrast) is slower than SDL's own
// software renderer, so the accelerated renderer is kept only on real
// hardware, unless the player named a renderer.

// True for the GL renderer strings of software rasterisers.
bool IsSoftwareRasteriser(const char* glRenderer);

// Whether an accelerated renderer that came up is kept: always when a
// renderer was named (`named` not empty), else unless OpenGL is a software
// rasteriser (`glRenderer` empty: not OpenGL, or the string is unknown).
bool KeepAcceleratedRenderer(const std::string& named, const std::string& glRenderer);

// The renderer asked for by `--renderer NAME` or SDL_RENDER_DRIVER, empty for
// the game's own choice.
std::string RequestedRenderer();
// Names the renderer for this run, over SDL_RENDER_DRIVER; false, and nothing
// changes, when SDL has no renderer of that name. "" goes back to the game's
// own choice (SDL_RENDER_DRIVER not heeded either).
bool RequestRenderer(const char* name);
// The renderer names SDL offers, separated by spaces.
std::string AvailableRenderers();

// What the last display device was made with, and why, for the logs:
// "software (OpenGL is llvmpipe ..., a software rasteriser)".
const std::string& RendererChoiceText();
void SetRendererChoiceText(std::string text);

// Opens a hidden window on the display to find what a device would choose;
// the same text as RendererChoiceText(), or why there is none.
std::string ProbeRendererChoice();

// Tests stand in for the GL driver's renderer string (empty: the real one).
void OverrideGlRendererString(const std::string& text);
const std::string& GlRendererStringOverride();
