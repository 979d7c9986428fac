// The town's pictures in the generated data directory: the catalogue holds
// what level files, story layouts and the mini-game need, every template loads
// through the game's own loader with its frames and sizes, and each picture
// is placed where the drawing code puts it (cells, foot points, stretched
// backgrounds, the additive police car).
#ifdef BRIMVALE_DATAGEN_DATA_DIR

#include "tools/DatagenLoadFixture.h"
#include "datagen/PictureFiles.h"
#include "datagen/PreviewScreens.h"
#include "datagen/TemplateFile.h"
#include "datagen/Town.h"

#include "gfx/GMImageManager.h"
#include "gfx/GMImageTemplate.h"
#include "gfx/ImageFrameInfo.h"
#include "platform/DisplayDevice.h"
#include "platform/System.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace {

const std::string kData = BRIMVALE_DATAGEN_DATA_DIR;

bool IsPowerOfTwo(int v)
{
    return v > 0 && (v & (v - 1)) == 0;
}

Picture ReadFrame(const TownPicture& p, int frame)
{
    Picture pic;
    EXPECT_TRUE(ReadPictureFile(DataFilePath(kData, TownFramePath(p, frame)), pic)) << p.path << " frame " << frame;
    return pic;
}

uint8_t Alpha(const Picture& p, int x, int y)
{
    return p.rgba[(static_cast<size_t>(y) * p.width + x) * 4 + 3];
}

// The box of the pixels more than half opaque.
struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool Empty() const { return right < 0; }
    double CentreX() const { return (left + right + 1) / 2.0; }
    double CentreY() const { return (top + bottom + 1) / 2.0; }
};

Box OpaqueBox(const Picture& p, int threshold = 128)
{
    Box b;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (Alpha(p, x, y) >= threshold) {
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.top = std::min(b.top, y);
                b.bottom = std::max(b.bottom, y);
            }
    return b;
}

std::vector<const TownPicture*> ByRole(const std::string& prefix)
{
    std::vector<const TownPicture*> out;
    for (const auto& p : TownCatalogue())
        if (p.role.rfind(prefix, 0) == 0)
            out.push_back(&p);
    return out;
}

const TownPicture& Find(const std::string& path)
{
    const TownPicture* p = FindTownPicture(path);
    EXPECT_NE(p, nullptr) << path;
    static const TownPicture none;
    return p ? *p : none;
}

} // namespace

TEST(DatagenTown, CatalogueHoldsEveryKindOfPictureALevelNeeds)
{
    std::set<std::string> paths;
    for (const auto& p : TownCatalogue()) {
        EXPECT_TRUE(paths.insert(p.path).second) << "named twice: " << p.path;
        EXPECT_EQ(p.path.substr(p.path.size() - 4), ".img") << p.path;
        EXPECT_TRUE(p.draw || p.writer) << p.path;
    }
    // Fifteen road shapes, each named by its sides, plus bridges and ramps.
    std::set<std::string> shapes;
    for (const auto* p : ByRole("road "))
        shapes.insert(p->path);
    EXPECT_EQ(shapes.size(), 15u);
    for (int sides = 1; sides < 16; ++sides)
        EXPECT_EQ(shapes.count(RoadTemplate(sides)), 1u) << RoadTemplate(sides);
    EXPECT_EQ(RoadTemplate(kRoadT | kRoadB | kRoadR), "Town\\Road\\RoadTBR.img");
    EXPECT_EQ(ByRole("bridge ").size(), 2u);
    EXPECT_EQ(ByRole("ramp ").size(), 4u);

    auto houses = ByRole("house");
    EXPECT_GE(houses.size(), 8u);
    int animated = 0;
    for (const auto* h : houses)
        animated += h->frames > 1;
    EXPECT_GE(animated, 3) << "smoke, a flag, lights";
    EXPECT_EQ(ByRole("police station").size(), 1u);

    // One shop and one icon pair per goods kind, at least eight kinds.
    EXPECT_GE(kGoodsKinds, 8);
    for (int g = 1; g <= kGoodsKinds; ++g) {
        EXPECT_NE(FindTownPicture(ShopTemplate(g)), nullptr) << g;
        EXPECT_NE(FindTownPicture(GoodsIcon(g, false)), nullptr) << g;
        EXPECT_NE(FindTownPicture(GoodsIcon(g, true)), nullptr) << g;
    }
    for (const char* tpl : {"Town\\Goods\\Plate.img", "Town\\Goods\\PlateH.img", "Town\\Police\\PostI.img",
                            "Town\\Police\\PostH.img", "Town\\Order\\BubbleI.img", "Town\\Order\\BubbleH.img",
                            "Town\\Order\\PatienceLit.img", "Town\\Order\\PatienceOff.img", "Hud\\HudFont.img",
                            "Town\\Tutorial\\Arrow.img", "Town\\Tutorial\\Hand.img", "MiniGame\\Road.img",
                            "MiniGame\\Lane.img", "Story\\ContinueBtnI.img", "Story\\ContinueBtnH.img"})
        EXPECT_NE(FindTownPicture(tpl), nullptr) << tpl;

    // Eight ordinary customers and every special visitor, each normal and highlight.
    EXPECT_GE(ByRole("customer").size(), 16u);
    for (int kind = 1; kind <= 7; ++kind) {
        int pictures = 0;
        for (const auto& p : TownCatalogue())
            pictures += p.family == TownFamily::Portraits &&
                        p.role.find("(visitor " + std::to_string(kind) + ")") != std::string::npos;
        EXPECT_EQ(pictures, 2) << "visitor kind " << kind;
    }
    for (const auto& p : TownCatalogue()) {
        if (p.family != TownFamily::Portraits)
            continue;
        std::string partner = p.path.substr(0, p.path.size() - 5) + (p.path[p.path.size() - 5] == 'I' ? "H.img" : "I.img");
        EXPECT_NE(FindTownPicture(partner), nullptr) << p.path << " has no partner";
    }

    // Vehicles: four directions each, all animated.
    EXPECT_EQ(ByRole("van ").size(), 4u);
    EXPECT_EQ(ByRole("police car ").size(), 4u);
    for (const auto& p : TownCatalogue()) {
        if (p.family == TownFamily::Vehicles) {
            EXPECT_GT(p.frames, 1) << p.path;
        }
    }

    // Bonuses: button, running/highlight and shop icon for all eight kinds.
    for (int kind = 0; kind < 8; ++kind) {
        std::string k = "bonus " + std::to_string(kind);
        EXPECT_EQ(ByRole(k + " button").size(), 1u) << kind;
        EXPECT_EQ(ByRole(k + " running/highlight").size(), 1u) << kind;
        EXPECT_EQ(ByRole(k + " shop icon").size(), 1u) << kind;
    }

    // Every look has its frame, money panel, queue mark and background.
    for (const char* role : {"screen frame", "money panel", "job-queue mark", "town background"})
        EXPECT_GE(ByRole(role).size(), 2u) << role;
    EXPECT_GE(ByRole("story backdrop").size(), 3u);
    EXPECT_GE(ByRole("story figure").size(), 3u);
    EXPECT_GE(ByRole("traffic car").size(), 3u);
}

// The game's own template loader, run in the generated directory.
class DatagenTownLoad : public DatagenGameLoad {};

TEST_F(DatagenTownLoad, EveryTownTemplateLoadsWithItsFramesAndSizes)
{
    for (const auto& p : TownCatalogue()) {
        int32_t index = m_manager->LoadTemplate(p.path.c_str(), m_device);
        ASSERT_GE(index, 0) << p.path;
        GMImageTemplate* t = m_manager->GetTemplate(index);
        ASSERT_EQ(t->GetFrameCount(), p.frames) << p.path << ": a frame is missing or failed to load";
        if (p.anchor == Anchor::Font) {
            EXPECT_GT(t->GetHeight(), 8) << p.path;
            for (int32_t i = 0; i < t->GetFrameCount(); ++i)
                EXPECT_GT(t->GetFrameInfo(i)->imageWidth, 0) << p.path << " char " << (32 + i);
            continue;
        }
        if (p.fps > 0) {
            EXPECT_NEAR(t->GetSpeed(), p.fps / 1000, 1e-6) << p.path;
        }
        double imw = p.extra.imw ? *p.extra.imw : p.width, imh = p.extra.imh ? *p.extra.imh : p.height;
        for (int32_t i = 0; i < t->GetFrameCount(); ++i) {
            const ImageFrameInfo* info = t->GetFrameInfo(i);
            // The draws anchor on the texture: it is the canvas, never rounded or cut.
            EXPECT_EQ(info->textureWidth, p.width) << p.path << " frame " << i;
            EXPECT_EQ(info->textureHeight, p.height) << p.path << " frame " << i;
            EXPECT_EQ(info->imageWidth, static_cast<float>(imw)) << p.path;
            EXPECT_EQ(info->imageHeight, static_cast<float>(imh)) << p.path;
            EXPECT_EQ(info->offsetX, 0) << p.path;
            EXPECT_EQ(info->offsetY, 0) << p.path;
        }
    }
    // The mini-game's car list names exactly the traffic cars, and they load.
    std::ifstream in(kData + "/cars.lst");
    ASSERT_TRUE(in);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    std::vector<std::string> listed;
    for (size_t q = text.find('"'); q != std::string::npos; q = text.find('"', text.find('"', q + 1) + 1))
        listed.push_back(text.substr(q + 1, text.find('"', q + 1) - q - 1));
    auto cars = ByRole("traffic car");
    ASSERT_EQ(listed.size(), cars.size());
    for (size_t i = 0; i < cars.size(); ++i) {
        EXPECT_EQ(listed[i], cars[i]->path);
        EXPECT_GE(m_manager->LoadTemplate(listed[i].c_str(), m_device), 0) << listed[i];
    }
}

TEST(DatagenTown, EveryTownFolderFileIsInTheCatalogue)
{
    // Level authors pick names from the catalogue: nothing generated hides outside it.
    int templates = 0;
    for (const char* folder : {"Town", "Story", "MiniGame"})
        for (const auto& e : std::filesystem::recursive_directory_iterator(kData + "/" + folder)) {
            if (e.path().extension() != ".img")
                continue;
            std::string rel = std::filesystem::relative(e.path(), kData).string();
            for (char& c : rel)
                if (c == '/')
                    c = '\\';
            EXPECT_NE(FindTownPicture(rel), nullptr) << rel;
            ++templates;
        }
    EXPECT_GT(templates, 150);
}

TEST(DatagenTown, RoadPiecesCoverTheirCellAndReachExactlyTheirLinkedSides)
{
    for (int sides = 1; sides < 16; ++sides) {
        const TownPicture& p = Find(RoadTemplate(sides));
        Picture pic = ReadFrame(p, 0);
        ASSERT_EQ(pic.width, 64);
        ASSERT_EQ(pic.height, 64);
        // The foot is the cell's bottom centre: the piece keeps to the cell, the
        // bottom 45 rows centred on the canvas (with half a pixel of overlap).
        Box b = OpaqueBox(pic, 1);
        EXPECT_GE(b.top, 18) << p.path;
        EXPECT_GE(b.left, 9) << p.path;
        EXPECT_LE(b.right, 55) << p.path;
        // A side is reached exactly when it is linked: the middle of each edge.
        const int cy = 64 - 23;
        EXPECT_EQ(Alpha(pic, 32, 19) > 200, (sides & kRoadT) != 0) << p.path << " top";
        EXPECT_EQ(Alpha(pic, 32, 63) > 200, (sides & kRoadB) != 0) << p.path << " bottom";
        EXPECT_EQ(Alpha(pic, 10, cy) > 200, (sides & kRoadL) != 0) << p.path << " left";
        EXPECT_EQ(Alpha(pic, 54, cy) > 200, (sides & kRoadR) != 0) << p.path << " right";
        // The cell's centre is road, and the corners stay grass.
        EXPECT_EQ(Alpha(pic, 32, cy), 255) << p.path;
        EXPECT_EQ(Alpha(pic, 11, 21), 0) << p.path;
        EXPECT_EQ(Alpha(pic, 53, 62), 0) << p.path;
    }
    // Bridges and ramps join like the straights they replace.
    for (const char* tpl : {"Town\\Road\\BridgeLR.img", "Town\\Road\\RampUpL.img", "Town\\Road\\RampUpR.img"}) {
        Picture pic = ReadFrame(Find(tpl), 0);
        EXPECT_EQ(Alpha(pic, 10, 41), 255) << tpl;
        EXPECT_EQ(Alpha(pic, 54, 41), 255) << tpl;
    }
    for (const char* tpl : {"Town\\Road\\BridgeTB.img", "Town\\Road\\RampUpT.img", "Town\\Road\\RampUpB.img"}) {
        Picture pic = ReadFrame(Find(tpl), 0);
        EXPECT_EQ(Alpha(pic, 32, 19), 255) << tpl;
        EXPECT_EQ(Alpha(pic, 32, 63), 255) << tpl;
    }
}

TEST(DatagenTown, NeighbouringRoadPiecesJoinWithoutASeam)
{
    // A piece's right edge column meets the next cell's left edge column (45 px
    // on, half a pixel of overlap); likewise bottom row and top row.
    auto pixel = [](const Picture& p, int x, int y) { return &p.rgba[(static_cast<size_t>(y) * p.width + x) * 4]; };
    int pairs = 0;
    for (int a = 1; a < 16; ++a)
        for (int b = 1; b < 16; ++b) {
            for (int horizontal = 0; horizontal < 2; ++horizontal) {
                int sideA = horizontal ? kRoadR : kRoadB, sideB = horizontal ? kRoadL : kRoadT;
                if (!(a & sideA) || !(b & sideB))
                    continue;
                Picture pa = ReadFrame(Find(RoadTemplate(a)), 0), pb = ReadFrame(Find(RoadTemplate(b)), 0);
                int bad = 0;
                for (int i = 0; i < 45; ++i) {
                    const uint8_t* u = horizontal ? pixel(pa, 54, 19 + i) : pixel(pa, 10 + i, 63);
                    const uint8_t* v = horizontal ? pixel(pb, 9, 19 + i) : pixel(pb, 10 + i, 19);
                    // Both sides opaque or both clear, and the same surface.
                    if ((u[3] > 128) != (v[3] > 128))
                        ++bad;
                    else if (u[3] > 128 && (std::abs(u[0] - v[0]) > 40 || std::abs(u[1] - v[1]) > 40))
                        ++bad;
                }
                EXPECT_LE(bad, 2) << RoadTemplate(a) << (horizontal ? " | " : " / ") << RoadTemplate(b);
                ++pairs;
            }
        }
    EXPECT_EQ(pairs, 2 * 8 * 8);
}

TEST(DatagenTown, AnimationsMoveWhileTheirFootStaysPut)
{
    int animated = 0;
    for (const auto& p : TownCatalogue()) {
        if (p.frames < 2 || p.anchor == Anchor::Font)
            continue;
        ++animated;
        Picture first = ReadFrame(p, 0);
        int changed = 0;
        for (int f = 1; f < p.frames; ++f) {
            Picture next = ReadFrame(p, f);
            ASSERT_EQ(next.width, first.width) << p.path;
            changed += next.rgba != first.rgba;
            // Something moves, the ground contact does not.
            if (p.anchor == Anchor::Cell || p.anchor == Anchor::Foot) {
                EXPECT_NEAR(OpaqueBox(next, 20).bottom, OpaqueBox(first, 20).bottom, 1) << p.path << " frame " << f;
            }
        }
        EXPECT_EQ(changed, p.frames - 1) << p.path << " has frames identical to its first";
    }
    EXPECT_GE(animated, 20);
}

TEST(DatagenTown, PortraitAndGoodsShareTheBubbleWithoutOverlapping)
{
    // The portrait is centred 5 px left of the bubble's left edge, the goods
    // copy at 0.65 on the bubble's centre: the face's ring and the goods meet
    // at most at a pixel.
    const double bubbleHalf = Find("Town\\Order\\BubbleI.img").width / 2.0;
    double widestGoods = 0;
    for (int g = 1; g <= kGoodsKinds; ++g) {
        Box b = OpaqueBox(ReadFrame(Find(GoodsIcon(g, false)), 0), 64);
        widestGoods = std::max({widestGoods, 32.0 - b.left, b.right + 1 - 32.0});
        // The icon stays on its plate.
        Box plate = OpaqueBox(ReadFrame(Find("Town\\Goods\\Plate.img"), 0));
        EXPECT_GE(b.left, plate.left) << GoodsIcon(g, false);
        EXPECT_LE(b.right, plate.right) << GoodsIcon(g, false);
    }
    for (const auto& p : TownCatalogue()) {
        if (p.family != TownFamily::Portraits || p.path.compare(p.path.size() - 5, 5, "I.img") != 0)
            continue;
        Box face = OpaqueBox(ReadFrame(p, 0), 64);
        double reach = face.right + 1 - p.width / 2.0;  // right of the portrait's centre
        EXPECT_LE(reach + widestGoods * 0.65, bubbleHalf + 5 + 1.5) << p.path;
        EXPECT_GT(reach, 15) << p.path << " is too small to read";
    }
}

TEST(DatagenTown, BuildingsStandOnTheirCellWithTheDoorDown)
{
    for (const auto& p : TownCatalogue()) {
        if (p.family != TownFamily::Buildings)
            continue;
        ASSERT_EQ(p.anchor, Anchor::Cell);
        for (int f = 0; f < p.frames; ++f) {
            Picture pic = ReadFrame(p, f);
            Box b = OpaqueBox(pic);
            ASSERT_FALSE(b.Empty()) << p.path;
            // Standing on the foot point, centred on it, no wider than a cell and a bit.
            EXPECT_GE(b.bottom, pic.height - 3) << p.path;
            EXPECT_NEAR(b.CentreX(), pic.width / 2.0, 3) << p.path;
            EXPECT_LE(b.right - b.left + 1, 56) << p.path;
            // Tall enough to read as a building, within its canvas.
            EXPECT_LT(b.top, pic.height - 36) << p.path;
            EXPECT_GT(b.top, 0) << p.path;
            // The door: the bottom centre is a closed, darker shape than the wall beside it.
            auto lum = [&](int x, int y) {
                const uint8_t* px = &pic.rgba[(static_cast<size_t>(y) * pic.width + x) * 4];
                return 0.3 * px[0] + 0.59 * px[1] + 0.11 * px[2];
            };
            EXPECT_EQ(Alpha(pic, 32, pic.height - 8), 255) << p.path;
            EXPECT_LT(lum(32, pic.height - 8) + 10, lum(20, pic.height - 4)) << p.path << ": no door at the front";
        }
    }
}

TEST(DatagenTown, VehiclesSitOnTheRoadInTheMiddleOfTheirCell)
{
    for (const auto& p : TownCatalogue()) {
        if (p.family != TownFamily::Vehicles)
            continue;
        for (int f = 0; f < p.frames; ++f) {
            Picture pic = ReadFrame(p, f);
            Box b = OpaqueBox(pic, 200);
            ASSERT_FALSE(b.Empty()) << p.path;
            // The cell's centre is (32, 64 - 22.5): the car sits there, on the
            // asphalt (22 px wide across a straight), with room below it.
            EXPECT_NEAR(b.CentreX(), 32, 2) << p.path;
            EXPECT_NEAR(b.CentreY(), 64 - kCellH / 2, 4) << p.path;
            EXPECT_LE(b.bottom, 64 - 8) << p.path;
            bool across = p.path.find("Left") != std::string::npos || p.path.find("Right") != std::string::npos;
            int across_road = across ? b.bottom - b.top + 1 : b.right - b.left + 1;
            EXPECT_LE(across_road, across ? 34 : 32) << p.path << " spills off the road";
            // The size the game reads covers the car.
            EXPECT_GE(*p.extra.imw, b.right - b.left + 1) << p.path;
        }
    }
    // The police car is drawn twice, the second time added: its colours are
    // painted dark enough that the sum is not washed out to white.
    auto brightness = [](const TownPicture& p) {
        Picture pic = ReadFrame(p, 0);
        double sum = 0;
        int n = 0;
        for (size_t i = 0; i < pic.rgba.size(); i += 4)
            if (pic.rgba[i + 3] == 255) {
                sum += std::max({pic.rgba[i], pic.rgba[i + 1], pic.rgba[i + 2]});
                ++n;
            }
        return n ? sum / n : 0.0;
    };
    for (const char* side : {"Left", "Up", "Right", "Down"}) {
        double police = brightness(Find(std::string("Town\\Vehicle\\Police") + side + ".img"));
        EXPECT_LT(police, 128) << side;
        EXPECT_GT(police, 40) << side << ": too dark to read once doubled";
        EXPECT_GT(brightness(Find(std::string("Town\\Vehicle\\Van") + side + ".img")), police + 60) << side;
    }
}

TEST(DatagenTown, FootAnchoredPicturesStandOnTheBottomCentreOfAPowerOfTwoCanvas)
{
    for (const auto& p : TownCatalogue()) {
        if (p.anchor != Anchor::Foot && p.anchor != Anchor::Cell && p.anchor != Anchor::Vehicle)
            continue;
        EXPECT_TRUE(IsPowerOfTwo(p.width) && IsPowerOfTwo(p.height)) << p.path;
        if (p.anchor != Anchor::Foot)
            continue;
        Picture pic = ReadFrame(p, 0);
        Box b = OpaqueBox(pic, 20);
        ASSERT_FALSE(b.Empty()) << p.path;
        EXPECT_GE(b.bottom, pic.height - 4) << p.path << " floats above its foot";
        EXPECT_NEAR(b.CentreX(), pic.width / 2.0, 4.5) << p.path;
    }
    // Traffic cars fit their lane: narrower than a column, so neighbours never touch.
    for (const auto* car : ByRole("traffic car")) {
        Picture pic = ReadFrame(*car, 0);
        Box b = OpaqueBox(pic);
        EXPECT_LE(b.right - b.left + 1, 32) << car->path;
        EXPECT_LT(car->width, kCellW) << car->path;
    }
}

TEST(DatagenTown, StretchedPicturesArePowersOfTwoAndTheRoadTiles)
{
    for (const auto& p : TownCatalogue()) {
        if (p.anchor != Anchor::Stretched)
            continue;
        EXPECT_TRUE(IsPowerOfTwo(p.width) && IsPowerOfTwo(p.height)) << p.path;
        Picture pic = ReadFrame(p, 0);
        // Stretched over the screen or the score box: no transparent holes
        // except the money panel's rounded corners.
        int clear = 0;
        for (size_t i = 3; i < pic.rgba.size(); i += 4)
            clear += pic.rgba[i] < 255;
        EXPECT_LT(clear, static_cast<int>(pic.rgba.size() / 4 / 20)) << p.path;
    }
    // The mini-game road scrolls in two copies 600 px apart: its last row
    // continues into its first.
    Picture road = ReadFrame(Find("MiniGame\\Road.img"), 0);
    double step = 0;
    for (int x = 0; x < road.width; ++x)
        for (int ch = 0; ch < 3; ++ch)
            step += std::abs(road.rgba[(static_cast<size_t>(road.height - 1) * road.width + x) * 4 + ch] -
                             road.rgba[static_cast<size_t>(x) * 4 + ch]);
    EXPECT_LT(step / (road.width * 3), 12) << "a seam where the road repeats";
    // Lanes are grid columns: asphalt at every lane centre, a marking between lanes.
    auto at = [&](double screenX, double screenY) {
        int x = static_cast<int>(screenX * road.width / 800), y = static_cast<int>(screenY * road.height / 600);
        return &road.rgba[(static_cast<size_t>(y) * road.width + x) * 4];
    };
    for (int c = 6; c <= 10; ++c) {
        const uint8_t* px = at((c + 0.5) * kCellW + kOriginX, 300);
        EXPECT_LT(px[0], 130) << "lane " << c << " is not asphalt";
    }
    int marked = 0;
    for (double y = 0; y < 600; y += 2) {
        const uint8_t* px = at(7 * kCellW + kOriginX, y);
        marked += px[0] > 200 && px[1] > 200;
    }
    EXPECT_GT(marked, 60) << "no lane marking between lanes 6 and 7";
}

TEST(DatagenTown, WidgetsAndOverlaysFitWhereTheGameDrawsThem)
{
    for (const auto& p : TownCatalogue()) {
        if (p.anchor == Anchor::Centre) {
            EXPECT_TRUE(IsPowerOfTwo(p.width) && IsPowerOfTwo(p.height)) << p.path;
        }
    }
    // Six patience icons fit under the bubble.
    const TownPicture& bubble = Find("Town\\Order\\BubbleI.img");
    EXPECT_LE(Find("Town\\Order\\PatienceLit.img").width * 6, bubble.width);
    EXPECT_EQ(Find("Town\\Order\\PatienceLit.img").width, Find("Town\\Order\\PatienceOff.img").width);
    // The bubble reaches its canvas bottom, where the patience row starts.
    Picture b = ReadFrame(bubble, 0);
    EXPECT_GE(OpaqueBox(b).bottom, b.height - 4);
    // The screen frame leaves the town visible and covers the bottom strip.
    for (const auto* frame : ByRole("screen frame")) {
        Picture f = ReadFrame(*frame, 0);
        ASSERT_EQ(f.width, 800);
        ASSERT_EQ(f.height, 600);
        EXPECT_EQ(Alpha(f, 400, 300), 0) << frame->path;
        EXPECT_EQ(Alpha(f, 100, 100), 0) << frame->path;
        EXPECT_EQ(Alpha(f, 400, 590), 255) << frame->path;
        EXPECT_EQ(Alpha(f, 768, 44), 255) << frame->path << ": no badge under the level number";
    }
    // Pairs that swap on hover keep one size and look different.
    for (const auto& p : TownCatalogue()) {
        if (p.anchor != Anchor::Centre || p.path.size() < 6 || p.path.compare(p.path.size() - 5, 5, "I.img") != 0)
            continue;
        const TownPicture* h = FindTownPicture(p.path.substr(0, p.path.size() - 5) + "H.img");
        if (!h)
            continue;
        Picture a = ReadFrame(p, 0), c = ReadFrame(*h, 0);
        ASSERT_EQ(a.width, c.width) << p.path;
        ASSERT_EQ(a.height, c.height) << p.path;
        double diff = 0;
        for (size_t i = 0; i < a.rgba.size(); ++i)
            diff += std::abs(a.rgba[i] - c.rgba[i]);
        EXPECT_GT(diff / a.rgba.size(), 3.0) << p.path << ": idle and highlight look alike";
    }
}

TEST(DatagenTown, ContactSheetsAndSamplesAreWritten)
{
    TempDir tmp;
    ASSERT_EQ(RenderTownSheets(kData, tmp.Path()), kTownFamilyCount + 3);
    for (int f = 0; f < kTownFamilyCount; ++f) {
        Picture sheet;
        std::string file = tmp.Path() + "/sheet_" + TownFamilyName(static_cast<TownFamily>(f)) + ".png";
        ASSERT_TRUE(ReadPictureFile(file, sheet)) << file;
        EXPECT_EQ(sheet.width, 1400);
    }
    Picture town;
    ASSERT_TRUE(ReadPictureFile(tmp.Path() + "/sample_town.png", town));
    EXPECT_EQ(town.width, 800);
    EXPECT_EQ(town.height, 600);
}

#endif
