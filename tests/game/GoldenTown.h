#pragma once
// The town of the golden pictures and the day benchmark: pictures of the
// generated data set, written as level-file text.
#include <string>
#include <vector>

namespace golden {

// Every road of the town, with its sides.
struct Road {
    int x, y;
    const char* sides;
};

inline std::string RoadLines(const std::vector<Road>& roads)
{
    std::string t;
    for (const Road& r : roads) {
        t += "\"RN\" \"Town\\Road\\Road" + std::string(r.sides) + ".img\" " + std::to_string(r.x) + " " +
             std::to_string(r.y) + " 0\n";
        for (const char* s = r.sides; *s; ++s) {
            int dx = *s == 'L' ? -1 : *s == 'R' ? 1 : 0;
            int dy = *s == 'T' ? -1 : *s == 'B' ? 1 : 0;
            t += std::string("\"RN") + *s + "\" " + std::to_string(r.x + dx) + " " + std::to_string(r.y + dy) +
                 " 0\n";
        }
    }
    return t;
}

// Two streets joined by a lane, eight houses and three shops, trees and
// bushes between them; the goods wait on plates along the left edge.
inline std::string GoldenTown(const std::string& customers, const std::string& rest)
{
    std::vector<Road> roads;
    for (int x = 3; x <= 15; ++x)
        roads.push_back({x, 4, x == 3 ? "R" : x == 15 ? "L" : x == 9 ? "LBR" : "LR"});
    for (int y = 5; y <= 8; ++y)
        roads.push_back({9, y, "TB"});
    for (int x = 5; x <= 16; ++x)
        roads.push_back({x, 9, x == 5 ? "R" : x == 16 ? "L" : x == 9 ? "TLR" : "LR"});
    std::string t = "\"COM\" \"Golden town\"\n\"ORX\" -22 \"ORY\" -22 \"CLW\" 45 \"CLH\" 45\n"
                    "\"FLW\" 18 \"FLH\" 11 \"FLL\" 2\n";
    t += "\"BAK\" \"Hud\\Summer\\Town.img\" \"FRI\" \"Hud\\Summer\\Frame.img\" \"SBK\" \"Hud\\Summer\\Money.img\"\n"
         "\"SFI\" \"Hud\\Digits.img\" \"TFI\" \"Hud\\HudFont.img\" \"TSM\" \"Hud\\Summer\\QueueMark.img\"\n"
         "\"SHB\" \"Town\\Goods\\Plate.img\" \"SHH\" \"Town\\Goods\\PlateH.img\"\n"
         "\"OIT\" \"Town\\Order\\BubbleI.img\" \"OHT\" \"Town\\Order\\BubbleH.img\"\n"
         "\"ASI\" \"Town\\Order\\PatienceLit.img\" \"GSI\" \"Town\\Order\\PatienceOff.img\"\n";
    t += RoadLines(roads);
    const struct {
        const char* image;
        int x, y;
        char house;
    } buildings[] = {
        {"House\\Cottage", 4, 3, 'Y'},     {"House\\BlueHouse", 6, 3, 'Y'},  {"Shop\\BreadShop", 8, 3, 'N'},
        {"Shop\\MilkShop", 10, 3, 'N'},    {"House\\PinkHouse", 12, 3, 'Y'}, {"House\\FlagHouse", 14, 3, 'Y'},
        {"House\\Townhouse", 6, 8, 'Y'},   {"Shop\\FlowersShop", 8, 8, 'N'}, {"House\\BrickHouse", 11, 8, 'Y'},
        {"House\\YellowHouse", 13, 8, 'Y'}, {"House\\Bungalow", 15, 8, 'Y'},
    };
    for (const auto& b : buildings)
        t += "\"BL\" \"Town\\" + std::string(b.image) + ".img\" " + std::to_string(b.x) + " " + std::to_string(b.y) +
             " 0 " + b.house + "\n";
    const struct {
        const char* image;
        int x, y, layer;
    } decorations[] = {
        {"TreeOak", 190, 300, 0},  {"TreePine", 260, 280, 0}, {"Bush", 300, 330, 0},  {"Pond", 520, 300, 0},
        {"TreeBirch", 640, 290, 0}, {"Bush", 700, 320, 0},    {"TreeApple", 130, 380, 0}, {"Bench", 470, 330, 0},
        {"FlowersRed", 590, 335, 0}, {"TreeOak", 760, 250, 1},
    };
    for (const auto& d : decorations)
        t += "\"DEC\" \"Town\\Deco\\" + std::string(d.image) + ".img\" " + std::to_string(d.x) + " " +
             std::to_string(d.y) + " " + std::to_string(d.layer) + "\n";
    t += "\"TR\" \"Town\\Vehicle\\VanLeft.img\" \"Town\\Vehicle\\VanUp.img\" \"Town\\Vehicle\\VanRight.img\" "
         "\"Town\\Vehicle\\VanDown.img\" 9 9 0 4 1 R\n";
    t += "\"SHG\" \"Town\\Goods\\BreadI.img\" \"Town\\Goods\\BreadH.img\" 1 20 1 56 110\n"
         "\"SHG\" \"Town\\Goods\\MilkI.img\" \"Town\\Goods\\MilkH.img\" 2 25 1 56 190\n"
         "\"SHG\" \"Town\\Goods\\FlowersI.img\" \"Town\\Goods\\FlowersH.img\" 3 30 1 56 270\n";
    t += customers;
    t += "\"BON\" \"Town\\Bonus\\SpeedUpI.img\" \"Town\\Bonus\\SpeedUpH.img\" \"Town\\Bonus\\SpeedUpShop.img\" 0 100 "
         "10 1.5 762 132\n";
    t += rest;
    t += "\"END\"\n";
    return t;
}

}  // namespace golden
