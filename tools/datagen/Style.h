#pragma once
#include "datagen/Canvas.h"

#include <cstdint>
#include <string>

// The data set's one palette: warm, flat, small-town.
namespace Pal {
constexpr uint32_t Ink = 0x3B2416;        // outlines and dark text
constexpr uint32_t Cream = 0xFFF3D6;
constexpr uint32_t CreamShade = 0xE8CB94;
constexpr uint32_t Gold = 0xFFC53D;
constexpr uint32_t GoldShade = 0xD88A1C;
constexpr uint32_t Brick = 0xC9553B;
constexpr uint32_t BrickShade = 0x953524;
constexpr uint32_t Teal = 0x3F8C84;
constexpr uint32_t TealShade = 0x2A625C;
constexpr uint32_t Leaf = 0x72A84C;
constexpr uint32_t LeafShade = 0x4F7F33;
constexpr uint32_t Wood = 0x80502F;
constexpr uint32_t WoodShade = 0x5A341D;
constexpr uint32_t Panel = 0x4A2C1B;      // dark inner panel where the game writes text
constexpr uint32_t PanelLine = 0x6B4329;
constexpr uint32_t SkyTop = 0x7FC4DE;
constexpr uint32_t SkyLow = 0xFFE3AE;
constexpr uint32_t Sun = 0xFFD45C;
} // namespace Pal

enum class ButtonKind { Normal, Accent, Quiet };

// A pill button filling the canvas, label painted in. Hover is gold and lit,
// idle is cream (Accent: brick red, Quiet: teal).
void DrawButton(Canvas& c, const std::string& label, bool hover, ButtonKind kind = ButtonKind::Normal,
                double fontSize = 0);

// Round icon buttons (arrows) filling the canvas.
enum class Icon { Left, Right, Up, Down, Tick, Empty, Plus, Cross };
void DrawIconButton(Canvas& c, Icon icon, bool hover, bool square = false);
void DrawIcon(Canvas& c, Icon icon, double cx, double cy, double size, Rgb colour);

// A dialog panel: wooden frame, dark inner board, optional title ribbon.
void DrawPanel(Canvas& c, double x, double y, double w, double h, const std::string& title);
// A recessed dark field on a panel (where the game writes names or values).
void DrawInset(Canvas& c, double x, double y, double w, double h, uint32_t fill = 0x2E1A0F);
// A soft drop shadow of a rounded rectangle.
void DrawShadow(Canvas& c, double x, double y, double w, double h, double r, double alpha);

// Small deterministic random numbers for scenery.
class Dice {
public:
    explicit Dice(uint32_t seed) : m_state(seed ? seed : 1) {}
    uint32_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    double Unit() { return (Next() & 0xFFFFFF) / double(0x1000000); }
    double Range(double a, double b) { return a + (b - a) * Unit(); }

private:
    uint32_t m_state;
};

// Scenery shared by the start-up and menu backgrounds.
void DrawSky(Canvas& c, double height, uint32_t top, uint32_t low);
void DrawSun(Canvas& c, double x, double y, double r);
void DrawCloud(Canvas& c, double x, double y, double scale, double alpha = 0.95);
void DrawHills(Canvas& c, double baseY, uint32_t colour, double amplitude, double phase, double waves);
// A little house standing on (x, ground): body w x h, pitched roof.
void DrawHouse(Canvas& c, double x, double ground, double w, double h, uint32_t wall, uint32_t roof,
               bool lit = false);
void DrawTree(Canvas& c, double x, double ground, double size);
// A row of houses and trees along the ground line from x0 to x1.
void DrawTown(Canvas& c, double x0, double x1, double ground, double scale, uint32_t seed, bool lit = false);
// The game's name as a painted sign.
void DrawGameTitle(Canvas& c, double cx, double baseline, double size);
// The studio's mark: a small harbour lighthouse with the name beside it.
void DrawStudioMark(Canvas& c, double cx, double cy, double scale, bool lit);
// The delivery van, side view, wheels on (x, ground), facing right.
void DrawVan(Canvas& c, double x, double ground, double scale);
// Goods art shared by the help pages (and later the town): 0 bread, 1 milk,
// 2 flowers, 3 parcel, 4 cake, centred on (cx, cy), about `size` across.
void DrawGoods(Canvas& c, int kind, double cx, double cy, double size);
// An order bubble with the goods in it and six patience dots (`lit` of them lit).
void DrawOrderBubble(Canvas& c, double cx, double cy, double scale, int goods, int lit);
