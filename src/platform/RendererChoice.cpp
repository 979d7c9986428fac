#include "platform/RendererChoice.h"

#include "platform/SdlBackend.h"

#include <cctype>
#include <cstring>

namespace {
std::string s_choice;
std::string s_glOverride;

std::string Lower(const char* s)
{
    std::string out = s ? s : "";
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}
}  // namespace

bool IsSoftwareRasteriser(const char* glRenderer)
{
    std::string r = Lower(glRenderer);
    for (const char* name : {"llvmpipe", "softpipe", "swrast", "software rasterizer"})
        if (r.find(name) != std::string::npos)
            return true;
    return false;
}

bool KeepAcceleratedRenderer(const std::string& named, const std::string& glRenderer)
{
    return !named.empty() || !IsSoftwareRasteriser(glRenderer.c_str());
}

std::string RequestedRenderer()
{
    const char* hint = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    return hint ? hint : "";
}

std::string AvailableRenderers()
{
    std::string names;
    int n = SDL_GetNumRenderDrivers();
    for (int i = 0; i < n; ++i) {
        SDL_RendererInfo info;
        if (SDL_GetRenderDriverInfo(i, &info) == 0) {
            if (!names.empty())
                names += ' ';
            names += info.name;
        }
    }
    return names;
}

bool RequestRenderer(const char* name)
{
    if (name && !*name)
        return SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "", SDL_HINT_OVERRIDE) == SDL_TRUE;
    int n = SDL_GetNumRenderDrivers();
    for (int i = 0; i < n; ++i) {
        SDL_RendererInfo info;
        if (name && SDL_GetRenderDriverInfo(i, &info) == 0 && SDL_strcasecmp(info.name, name) == 0)
            return SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, info.name, SDL_HINT_OVERRIDE) == SDL_TRUE;
    }
    return false;
}

const std::string& RendererChoiceText() { return s_choice; }

void SetRendererChoiceText(std::string text) { s_choice = std::move(text); }

void OverrideGlRendererString(const std::string& text) { s_glOverride = text; }

const std::string& GlRendererStringOverride() { return s_glOverride; }

std::string ProbeRendererChoice()
{
    bool started = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    if (!started && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return std::string("none (no display: ") + SDL_GetError() + ")";
    std::string text;
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 8, 8, SDL_WINDOW_HIDDEN);
    if (!window) {
        text = std::string("none (") + SDL_GetError() + ")";
    } else {
        text = ChooseRendererFor(window, nullptr);
        SDL_DestroyWindow(window);
    }
    if (!started)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return text;
}

std::string ChooseRendererFor(SDL_Window* window, SDL_Renderer** out)
{
    if (out)
        *out = nullptr;
    const std::string named = RequestedRenderer();
    if (SDL_strcasecmp(named.c_str(), "software") == 0)
        return "software (named)";
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
    SDL_RendererInfo info;
    if (renderer && (SDL_GetRendererInfo(renderer, &info) != 0 || !(info.flags & SDL_RENDERER_ACCELERATED) ||
                     !(info.flags & SDL_RENDERER_TARGETTEXTURE))) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    if (!renderer)
        return named.empty() ? "software (no accelerated renderer)" : "software (" + named + " named, not available)";
    std::string gl = s_glOverride;
    if (gl.empty() && std::strncmp(info.name, "opengl", 6) == 0) {
        // The renderer's context is current: ask its driver what draws.
        using GetString = const unsigned char* (*)(unsigned int);
        auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
        const unsigned char* s = getString ? getString(0x1F01 /* GL_RENDERER */) : nullptr;
        gl = s ? reinterpret_cast<const char*>(s) : "";
    }
    std::string text = info.name;
    if (!named.empty()) {
        text += " (named)";
    } else if (!KeepAcceleratedRenderer(named, gl)) {
        SDL_DestroyRenderer(renderer);
        return "software (" + std::string(info.name) + " is \"" + gl + "\", a software rasteriser)";
    } else if (!gl.empty()) {
        text += " (\"" + gl + "\")";
    }
    if (out)
        *out = renderer;
    else
        SDL_DestroyRenderer(renderer);
    return text;
}
