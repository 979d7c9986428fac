// The catalogue of town pictures and the generator that writes it.
#include "datagen/Generator.h"
#include "datagen/Town.h"

#include <cmath>
#include <map>

const char* TownFamilyName(TownFamily family)
{
    static const char* names[kTownFamilyCount] = {"roads", "buildings", "decorations", "vehicles", "portraits",
                                                  "goods", "bonuses", "hud", "story", "minigame"};
    return names[static_cast<int>(family)];
}

const TownList& TownCatalogue()
{
    static const TownList list = [] {
        TownList l;
        AddRoadPictures(l);
        AddBuildingPictures(l);
        AddDecorationPictures(l);
        AddVehiclePictures(l);
        AddPortraitPictures(l);
        AddGoodsPictures(l);
        AddBonusPictures(l);
        AddTownHudPictures(l);
        AddStoryPictures(l);
        AddMiniGamePictures(l);
        return l;
    }();
    return list;
}

const TownPicture* FindTownPicture(const std::string& path)
{
    for (const auto& p : TownCatalogue())
        if (p.path == path)
            return &p;
    return nullptr;
}

std::string TownFramePath(const TownPicture& p, int frame)
{
    std::string stem = p.path.substr(0, p.path.size() - 4);
    if (p.frames == 1)
        return stem + ".png";
    return stem + "_" + std::to_string(frame) + ".png";
}

bool TownPictureSize(const std::string& path, int& width, int& height)
{
    const TownPicture* p = FindTownPicture(path);
    if (!p)
        return false;
    width = p->width, height = p->height;
    return true;
}

void InkStroke(Canvas& c, double width)
{
    c.Colour({Pal::Ink});
    cairo_set_line_width(c.Cr(), width);
    cairo_set_line_join(c.Cr(), CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(c.Cr(), CAIRO_LINE_CAP_ROUND);
    cairo_stroke(c.Cr());
}

void DrawGroundShadow(Canvas& c, double cx, double cy, double rx, double ry, double alpha)
{
    cairo_t* cr = c.Cr();
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    c.Colour({0x1A2A10, alpha});
    cairo_fill(cr);
}

bool GenerateTown(DataDir& dir)
{
    for (const auto& p : TownCatalogue()) {
        if (p.writer) {
            if (!p.writer(dir))
                return false;
            continue;
        }
        TemplateSpec spec = p.extra;
        spec.frames.clear();
        for (int f = 0; f < p.frames; ++f) {
            Canvas c(p.width, p.height);
            p.draw(c, f);
            std::string file = TownFramePath(p, f);
            if (!dir.WritePicture(file, c))
                return false;
            spec.frames.push_back(file);
        }
        if (p.fps > 0)
            spec.fps = p.fps;
        if (!spec.imw)
            spec.imw = p.width;
        if (!spec.imh)
            spec.imh = p.height;
        if (!dir.WriteTemplate(p.path, spec))
            return false;
    }
    // The mini-game's traffic: every car picture, in catalogue order.
    std::string cars = "Traffic cars of the driving mini-game.\n";
    for (const auto& p : TownCatalogue())
        if (p.role == "traffic car")
            cars += "\"" + p.path + "\"\n";
    return dir.WriteText("cars.lst", cars);
}

TownPicture SinglePicture(TownFamily family, const std::string& path, const std::string& role, Anchor anchor, int w,
                          int h, std::function<void(Canvas&, int)> draw)
{
    TownPicture p;
    p.path = path;
    p.family = family;
    p.anchor = anchor;
    p.width = w;
    p.height = h;
    p.role = role;
    p.draw = std::move(draw);
    return p;
}
