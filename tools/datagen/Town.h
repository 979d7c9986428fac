#pragma once
#include "datagen/DataDir.h"
#include "datagen/Style.h"
#include "world/LevelSource.h"

#include <functional>
#include <string>
#include <vector>

// The town's pictures: everything the level files, story layouts and the
// mini-game name. Each family adds its pictures to one catalogue, which the
// generator writes, the contact sheets show and the tests check, so there is
// one list of names for level authors to pick from.

// The field grid, road sides, goods kinds and their template names come
// from the level compiler (world/LevelSource.h).

enum class TownFamily { Roads, Buildings, Decorations, Vehicles, Portraits, Goods, Bonuses, Hud, Story, MiniGame };
constexpr int kTownFamilyCount = 10;
const char* TownFamilyName(TownFamily family);

// How the game places a picture.
enum class Anchor {
    Cell,      // field object: bottom centre on its cell's foot point, the cell is the bottom 45 rows
    Vehicle,   // foot at the cell's bottom centre, the car drawn on the road in the cell's middle
    Foot,      // decoration or story picture standing on a free foot point
    Centre,    // clickable or widget, centred on its frame size
    TopLeft,   // drawn from its top-left corner (overlays, panels, patience icons)
    Stretched, // stretched over a screen area: a power-of-two picture
    Font,      // a bitmap font, 95 frames with sizes per frame
};

struct TownPicture {
    std::string path;   // the template as level files name it, e.g. "Town\\Road\\RoadTB.img"
    TownFamily family = TownFamily::Roads;
    Anchor anchor = Anchor::Cell;
    int width = 0, height = 0;  // canvas of every frame
    int frames = 1;
    double fps = 0;             // 0 leaves the game's default
    std::string role;           // what it is for, e.g. "road TB", "house", "shop 3"
    std::function<void(Canvas&, int frame)> draw;
    // Sizes or flags the template states on top of the canvas size.
    TemplateSpec extra;
    // Written by its own code instead of `draw` (fonts).
    std::function<bool(DataDir&)> writer;
};

using TownList = std::vector<TownPicture>;

// The families; each appends its pictures.
void AddRoadPictures(TownList& out);
void AddBuildingPictures(TownList& out);
void AddDecorationPictures(TownList& out);
void AddVehiclePictures(TownList& out);
void AddPortraitPictures(TownList& out);
void AddGoodsPictures(TownList& out);
void AddBonusPictures(TownList& out);
void AddTownHudPictures(TownList& out);
void AddStoryPictures(TownList& out);
void AddMiniGamePictures(TownList& out);

// Every town picture, in family order.
const TownList& TownCatalogue();

// A one-frame picture of a family, drawn by `draw` at the given anchor and size.
TownPicture SinglePicture(TownFamily family, const std::string& path, const std::string& role, Anchor anchor, int w,
                          int h, std::function<void(Canvas&, int)> draw);
const TownPicture* FindTownPicture(const std::string& path);

// The picture file of one frame: "<stem>.png", or "<stem>_<n>.png" when animated.
std::string TownFramePath(const TownPicture& p, int frame);

// Every catalogue picture as the level compiler asks for it.
bool TownPictureSize(const std::string& path, int& width, int& height);
// The compiler's measures of the catalogue's drawing: a house's roof row as
// the game finds it, and the width of a story line in the panel font.
LevelMeasures TownMeasures();

// Every data-src/levels/*.txt, in name order, into scrambled ".lvl" and
// ".sto" files; a `next:` naming a level that has no source fails too.
bool GenerateLevels(DataDir& dir);

// Shared town drawing: a dark outline around the current path.
void InkStroke(Canvas& c, double width);
// The goods art of the town, kinds 1..8 (DrawGoods plus apples, fish and books).
void DrawTownGoods(Canvas& c, int goods, double cx, double cy, double size);
// The delivery van and the police car seen from four sides (0 left, 1 up,
// 2 right, 3 down), centred on (cx, cy); frame turns the wheels and bobs.
void DrawTownVan(Canvas& c, int facing, double cx, double cy, int frame, bool police);
// A soft shadow ellipse on the ground.
void DrawGroundShadow(Canvas& c, double cx, double cy, double rx, double ry, double alpha = 0.25);

// People: portraits and the story screens' figures share one drawing.
struct Person;
const Person* FindPerson(const std::string& name);
// Head and shoulders, the head's centre at (cx, cy), about 22 x s wide.
void DrawPersonBust(Canvas& c, const Person& p, double cx, double cy, double s);
// A whole figure standing on (footX, footY), about 80 x s tall.
void DrawPersonFigure(Canvas& c, const Person& p, double footX, double footY, double s);
