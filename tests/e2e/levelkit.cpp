// Writes a small town of our own into a data directory for the end-to-end
// runs: its pictures and scrambled level files. Until the shipped levels exist
// the scripts play these.
//   brimvale_e2e_levelkit DATADIR VARIANT
// VARIANT "deliver": level1 is a day of one order that leads to level2;
//         "lose":    level1 is a day lost on rating (the orders expire);
//         "jump":    level1 is a long day; level7 exists for the jump code;
//         "course":  level1 is a short mini-game with the lane hint, then level2;
//         "traffic": level1 is a mini-game in traffic, then level2;
//         "broken":  level1 cannot be loaded;
//         "cut":     as "deliver", but level2 lost its last two lines;
//         "shop":    as "deliver", with the bonus shop after level1 and two bonus kinds.
#include "core/TaggedFile.h"
#include "support/gfx/PictureWriters.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

void WriteLevel(const std::string& name, const std::string& text)
{
    // The data copy may link this name to the shipped file: never write through.
    std::remove(name.c_str());
    FileKey key(name.c_str());
    std::string bytes = text;
    for (char& c : bytes)
        c = static_cast<char>(static_cast<uint8_t>(c) + key.Next());
    FILE* f = std::fopen(name.c_str(), "wb");
    if (f) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

// A grass picture with a darker border so that cells can be told apart.
void WriteBordered(const std::string& name, int w, int h, uint32_t fill, uint32_t border)
{
    TestPicture p(w, h, fill);
    for (int x = 0; x < w; ++x) {
        p.At(x, 0) = border;
        p.At(x, h - 1) = border;
    }
    for (int y = 0; y < h; ++y) {
        p.At(0, y) = border;
        p.At(w - 1, y) = border;
    }
    WritePng(name + ".png", p, PngKind::Rgba);
    FILE* f = std::fopen((name + ".img").c_str(), "wb");
    if (f) {
        std::fprintf(f, "\"FR\" 1\n\"%s.png\"\n", name.c_str());
        std::fclose(f);
    }
}

// A road along row 3 from column 2 to 12, houses above it in columns 4 and 9,
// shops' goods icons at the bottom, the car at (2, 3).
std::string Town(const std::string& customer, const std::string& rest, int price = 20)
{
    std::string t = "\"COM\" \"End-to-end town\"\n\"ORX\" 40 \"ORY\" 60 \"CLW\" 48 \"CLH\" 48\n"
                    "\"FLW\" 15 \"FLH\" 8 \"FLL\" 2\n\"BAK\" \"e2e_grass.img\"\n";
    for (int x = 2; x <= 12; ++x) {
        t += "\"RN\" \"e2e_road.img\" " + std::to_string(x) + " 3 0\n";
        if (x > 2)
            t += "\"RNL\" " + std::to_string(x - 1) + " 3 0\n";
        if (x < 12)
            t += "\"RNR\" " + std::to_string(x + 1) + " 3 0\n";
    }
    t += "\"BL\" \"e2e_house.img\" 4 2 0 Y\n\"BL\" \"e2e_house.img\" 9 2 0 Y\n";
    t += "\"TR\" \"e2e_car.img\" \"e2e_car.img\" \"e2e_car.img\" \"e2e_car.img\" 2 3 0 6 1 R\n";
    t += "\"OIT\" \"e2e_bubble.img\" \"OHT\" \"e2e_bubbleh.img\" \"ASI\" \"e2e_lit.img\" \"GSI\" \"e2e_unlit.img\"\n";
    t += "\"SHG\" \"e2e_goods1.img\" \"e2e_goods1h.img\" 1 " + std::to_string(price) + " 1 150 480\n";
    t += "\"SHG\" \"e2e_goods2.img\" \"e2e_goods2h.img\" 2 30 0 250 480\n";
    t += customer;
    t += "\"OTD\" 0.5 \"OTM\" 1 \"OTI\" 0 \"BUY\" 0\n";
    t += rest;
    t += "\"END\"\n";
    return t;
}

// The driving mini-game on the generated road: lanes in columns 6 to 10 of
// row 11, the van in lane 8, then an ordinary day.
std::string Course(const std::string& rest)
{
    std::string t = "\"COM\" \"End-to-end course\"\n\"ORX\" -22 \"ORY\" -22 \"CLW\" 45 \"CLH\" 45\n"
                    "\"FLW\" 18 \"FLH\" 14 \"FLL\" 1\n\"BAK\" \"MiniGame\\Road.img\"\n";
    for (int x = 6; x <= 10; ++x)
        t += "\"RN\" \"MiniGame\\Lane.img\" " + std::to_string(x) + " 11 0\n";
    t += "\"TR\" \"Town\\Vehicle\\VanLeft.img\" \"Town\\Vehicle\\VanUp.img\" \"Town\\Vehicle\\VanRight.img\" "
         "\"Town\\Vehicle\\VanDown.img\" 8 11 0 4 1 T\n";
    t += "\"LVT\" 1 \"LOR\" 1 \"LSC\" 150 \"LST\" 5 \"OTD\" 1 \"BUY\" 0 \"LVN\" \"Off to market!\" \"LVL\" \"level2.lvl\"\n";
    t += rest;
    t += "\"END\"\n";
    return t;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || chdir(argv[1]) != 0) {
        std::fprintf(stderr, "usage: brimvale_e2e_levelkit DATADIR deliver|lose|jump|broken|cut|course|traffic|shop\n");
        return 2;
    }
    WriteBordered("e2e_grass", 64, 64, 0xFF4E8A3A, 0xFF457F33);
    WriteBordered("e2e_road", 48, 48, 0xFF707070, 0xFF505050);
    WriteBordered("e2e_house", 48, 64, 0xFFB5651D, 0xFF6B3A10);
    WriteBordered("e2e_car", 36, 24, 0xFF2050E0, 0xFF102070);
    WriteBordered("e2e_bubble", 64, 44, 0xFFFFFFFF, 0xFF303030);
    WriteBordered("e2e_bubbleh", 64, 44, 0xFFFFF4A0, 0xFF303030);
    WriteBordered("e2e_lit", 8, 8, 0xFFFFD000, 0xFF806000);
    WriteBordered("e2e_unlit", 8, 8, 0xFF505050, 0xFF303030);
    WriteBordered("e2e_goods1", 32, 32, 0xFFE03030, 0xFF701010);
    WriteBordered("e2e_goods1h", 32, 32, 0xFFFF8080, 0xFF701010);
    WriteBordered("e2e_goods2", 32, 32, 0xFF30C0E0, 0xFF106070);
    WriteBordered("e2e_goods2h", 32, 32, 0xFF90E0FF, 0xFF106070);
    WriteBordered("e2e_customer", 32, 32, 0xFFF0C090, 0xFF805030);

    const std::string patient = "\"CUS\" \"e2e_customer.img\" \"e2e_customer.img\" 0 60 1 1 1\n";
    const std::string hasty = "\"CUS\" \"e2e_customer.img\" \"e2e_customer.img\" 0 4 1 1 1\n";
    std::string variant = argv[2];
    if (variant == "deliver") {
        WriteLevel("level1.lvl", Town(patient, "\"LOR\" 1 \"LSC\" 10 \"LVN\" \"First day\" \"LVL\" \"level2.lvl\"\n"));
        WriteLevel("level2.lvl", Town(patient, "\"LOR\" 5 \"LSC\" 80 \"LVN\" \"Second day\"\n"));
    } else if (variant == "lose") {
        WriteLevel("level1.lvl", Town(hasty, "\"LOR\" 3 \"LSC\" 50 \"LVL\" \"level2.lvl\"\n", 5000));
        WriteLevel("level2.lvl", Town(patient, "\"LOR\" 5\n"));
    } else if (variant == "jump") {
        WriteLevel("level1.lvl", Town(patient, "\"LOR\" 20 \"LSC\" 10 \"LVL\" \"level2.lvl\"\n"));
        WriteLevel("level2.lvl", Town(patient, "\"LOR\" 20 \"LVL\" \"level3.lvl\"\n"));
        WriteLevel("level3.lvl", Town(patient, "\"LOR\" 20\n"));
        WriteLevel("level7.lvl", Town(patient, "\"LOR\" 20 \"LVN\" \"Day seven\"\n"));
    } else if (variant == "course") {
        // A short course: only the car of the lane hint stands in the way.
        WriteLevel("level1.lvl", Course("\"LTM\" 0.25 \"TUT\" 3 \"Town\\Tutorial\\Arrow.img\" "
                                        "\"Town\\Tutorial\\Hand.img\"\n"));
        WriteLevel("level2.lvl", Town(patient, "\"LOR\" 5 \"LSC\" 80 \"LVN\" \"Second day\"\n"));
    } else if (variant == "traffic") {
        WriteLevel("level1.lvl", Course("\"LTM\" 6\n"));
        WriteLevel("level2.lvl", Town(patient, "\"LOR\" 5 \"LSC\" 80 \"LVN\" \"Second day\"\n"));
    } else if (variant == "shop") {
        const std::string bonuses =
            "\"BON\" \"Town\\Bonus\\SpeedUpI.img\" \"Town\\Bonus\\SpeedUpH.img\" "
            "\"Town\\Bonus\\SpeedUpShop.img\" 0 30 8 2 740 120\n"
            "\"BON\" \"Town\\Bonus\\CapacityI.img\" \"Town\\Bonus\\CapacityH.img\" "
            "\"Town\\Bonus\\CapacityShop.img\" 7 300 0 1 0 0\n";
        WriteLevel("level1.lvl", Town(patient, bonuses + "\"LOR\" 1 \"LSC\" 10 \"LVN\" \"First day\" \"BUY\" 1 "
                                                         "\"LVL\" \"level2.lvl\"\n"));
        WriteLevel("level2.lvl", Town(patient, bonuses + "\"LOR\" 5 \"LSC\" 80 \"LVN\" \"Second day\"\n"));
    } else if (variant == "cut") {
        WriteLevel("level1.lvl", Town(patient, "\"LOR\" 1 \"LSC\" 10 \"LVN\" \"First day\" \"LVL\" \"level2.lvl\"\n"));
        std::string second = Town(patient, "\"LOR\" 5 \"LSC\" 80\n\"LVN\" \"Second day\"\n");
        second.resize(second.rfind('\n', second.size() - 2));
        second.resize(second.rfind('\n') + 1);
        WriteLevel("level2.lvl", second);
    } else if (variant == "broken") {
        // A level of an unknown kind that ends before its END: it cannot load.
        WriteLevel("level1.lvl", "\"LVT\" 2 \"LOR\" 3 \"RN\" \"e2e_road.img\" 2 3");
    } else {
        std::fprintf(stderr, "unknown variant \"%s\"\n", argv[2]);
        return 2;
    }
    return 0;
}
