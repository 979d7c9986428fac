#pragma once
#include "datagen/Canvas.h"
#include "datagen/PictureFiles.h"
#include "datagen/TemplateFile.h"

#include <map>
#include <memory>
#include <string>

// Puts generated pictures together the way the game's screens place them, so
// a person can look at a whole screen before the game itself draws it. The
// pictures are drawn at their own size (no texture rounding).
class Preview {
public:
    explicit Preview(std::string dataRoot, int width = 800, int height = 600);

    Canvas& Screen() { return m_screen; }
    void Clear(uint32_t rgb) { m_screen.Clear({rgb}); }

    // Frames last to first, top-left at (x, y) plus each frame's offsets.
    bool DrawAllFrames(const std::string& tpl, double x, double y);
    // One frame with its top-left at (x, y) plus offsets; alpha 0..1.
    bool Draw(const std::string& tpl, int frame, double x, double y, double alpha = 1, double scale = 1);
    // One frame with its top-left at (x, y), stretched to w x h (0: its own
    // size times scale), tinted by argb, optionally added to what is below.
    bool DrawEx(const std::string& tpl, int frame, double x, double y, double w, double h, uint32_t argb,
                bool additive, double scale = 1);
    // One frame standing on its foot point (bottom centre of the picture).
    bool DrawFoot(const std::string& tpl, int frame, double footX, double footY, bool additive = false);
    // The picture size of a frame (what the game's texture holds), or 0.
    int PictureWidth(const std::string& tpl, int frame = 0);
    int PictureHeight(const std::string& tpl, int frame = 0);
    int FrameCount(const std::string& tpl);
    // One frame centred on (x, y) by its image size, plus offsets (widgets).
    bool DrawCentred(const std::string& tpl, double x, double y, int frame = 0);
    // Text in a font template with the game's markup (z, x, y, C, R, line breaks).
    double Text(const std::string& font, double x, double y, double scale, uint32_t argb, const std::string& text,
                bool draw = true);
    double TextWidth(const std::string& font, double scale, const std::string& text);
    void Number(const std::string& digits, double x, double y, uint32_t argb, const std::string& text);
    double FrameWidth(const std::string& tpl, int frame = 0);
    // The frame's sizes and offsets as the template gives them, or null.
    const TemplateFrame* Frame(const std::string& tpl, int frame = 0);
    // The font's line height (template height).
    double LineHeight(const std::string& font);

    bool Save(const std::string& path);

private:
    struct Loaded {
        TemplateInfo info;
        std::vector<Picture> pictures;
        bool ok = false;
    };
    Loaded& Load(const std::string& tpl);
    void Blit(const Picture& pic, double x, double y, uint32_t argb, double scale, double scaleY = 0,
              bool additive = false);

    std::string m_root;
    Canvas m_screen;
    std::map<std::string, std::unique_ptr<Loaded>> m_cache;
};
