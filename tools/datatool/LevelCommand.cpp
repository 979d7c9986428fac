// brimvale-data level: what a level file holds once loaded, so that a level
// maker can check a level without playing it.
#include "Commands.h"

#include "game/GMLevelRun.h"
#include "gfx/GMImageManager.h"
#include "platform/DisplayDevice.h"
#include "platform/System.h"
#include "world/GMBonusObj.h"
#include "world/GMBuildingObj.h"
#include "world/GMCustomerObj.h"
#include "world/GMDecorateObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMQueryGoodsObj.h"
#include "world/GMPoliceObj.h"
#include "world/GMRoadNodeObj.h"
#include "world/GMTransportObj.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

const char* const kResults[] = {"loaded", "the file cannot be opened", "the load failed"};

void PrintParameters(const GMLevelRun& run, FILE* out)
{
    const GMLevelRun::DayParameters& d = run.Day();
    std::fprintf(out, "level number %d, kind %d (%s)\n", run.GetLevelNumber(), d.levelKind,
                 d.levelKind == 0 ? "working day" : d.levelKind == 1 ? "mini-game" : "unknown");
    std::fprintf(out, "orders %d, money target %g, rating-points target %d, rating maximum %g\n", d.orders,
                 double(d.moneyTarget), d.ratingTarget, double(run.GetRatingMaximum()));
    std::fprintf(out, "open orders at most %d, resume at %d\n", d.maxActiveOrders, d.resumeLevel);
    std::fprintf(out, "delays: first order %g ms, between orders %g + up to %g ms\n", double(d.startDelay),
                 double(d.minSpawnDelay), double(d.randomSpawnDelay));
    std::fprintf(out, "stop times: vehicle %g ms, police %g ms, kept %g ms; level time %g ms\n",
                 double(d.orderStopTime), double(d.policeStopTime), double(d.keptTime), double(d.levelTime));
    std::fprintf(out, "combo money %d %d %d at runs of %d %d %d\n", d.combo[0], d.combo[1], d.combo[2], d.combo[3],
                 d.combo[4], d.combo[5]);
    std::fprintf(out, "shop after the day %s; tutorial %d\n", d.shopAfterDay ? "yes" : "no", d.tutorial);
    std::fprintf(out, "next level \"%s\"%s; title \"%s\"; story \"%s\"\n", d.nextLevel.c_str(),
                 d.nextLevel.empty() ? " (the last day)" : "", d.title.c_str(), d.story.c_str());
    std::fprintf(out, "field %d x %d x %d cells of %g x %g px from (%g, %g)\n", d.fieldWidth, d.fieldHeight,
                 d.fieldLayers, double(run.Grid().cellWidth), double(run.Grid().cellHeight),
                 double(run.Grid().originX), double(run.Grid().originY));
}

void PrintTown(GMLevelRun& run, FILE* out)
{
    static const char* const kSides[] = {"top", "left", "bottom", "right"};
    int32_t nodes = 0, buildings = 0;
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(run.DrawList().GetNext(c));) {
        auto* field = static_cast<GMFieldObj*>(o);
        if (o->GetKind() == kKindRoadNode) {
            ++nodes;
            auto* node = static_cast<GMRoadNodeObj*>(o);
            std::fprintf(out, "road node (%d, %d, %d)", field->GetCellX(), field->GetCellY(), field->GetLayer());
            bool any = false;
            for (int32_t s = 0; s < 4; ++s) {
                if (GMRoadNodeObj* n = node->GetNeighbour(s)) {
                    std::fprintf(out, " %s->(%d, %d, %d)", kSides[s], n->GetCellX(), n->GetCellY(), n->GetLayer());
                    any = true;
                }
            }
            std::fprintf(out, "%s\n", any ? "" : " (no road)");
        } else if (o->GetKind() == kKindBuilding) {
            ++buildings;
            auto* b = static_cast<GMBuildingObj*>(o);
            std::fprintf(out, "building (%d, %d, %d) %s", field->GetCellX(), field->GetCellY(), field->GetLayer(),
                         b->IsHouse() ? "house" : "not a house");
            if (GMRoadNodeObj* e = b->GetEntrance())
                std::fprintf(out, ", entrance (%d, %d, %d)\n", e->GetCellX(), e->GetCellY(), e->GetLayer());
            else
                std::fprintf(out, ", no entrance (never places orders)\n");
        }
    }
    std::fprintf(out, "%d road nodes, %d buildings, %d houses that place orders\n", nodes, buildings,
                 run.GetOrderHouseCount());
    for (int32_t layer = 0; layer < 5; ++layer) {
        for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(run.Decorations(layer).GetNext(c));) {
            auto* d = static_cast<GMDecorateObj*>(o);
            std::fprintf(out, "decoration layer %d at (%g, %g)\n", layer, double(d->GetX()), double(d->GetY()));
        }
    }
    if (GMTransportObj* car = run.GetVehicle()) {
        GMRoadNodeObj* at = car->GetCurrentNode();
        if (at)
            std::fprintf(out, "vehicle at (%d, %d, %d), speed %g cells/s, capacity %d\n", at->GetCellX(),
                         at->GetCellY(), at->GetLayer(), double(car->GetSpeed()) * 1000.0, car->GetCapacity());
        else
            std::fprintf(out, "vehicle not on a road node (it cannot drive)\n");
    } else {
        std::fprintf(out, "no vehicle\n");
    }
    std::fprintf(out, "police car %s\n", run.GetPoliceCar() ? "yes" : "no");
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(run.PolicePosts().GetNext(c));) {
        auto* p = static_cast<GMPoliceObj*>(o);
        GMBuildingObj* b = p->GetBuilding();
        if (b)
            std::fprintf(out, "police post at (%g, %g), station (%d, %d, %d)\n", double(p->GetX()), double(p->GetY()),
                         b->GetCellX(), b->GetCellY(), b->GetLayer());
        else
            std::fprintf(out, "police post at (%g, %g), no station building\n", double(p->GetX()), double(p->GetY()));
    }
}

void PrintTrade(GMLevelRun& run, FILE* out)
{
    float goodsTotal = run.GetGoodsWeight();
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(run.ShopGoods().GetNext(c));) {
        auto* g = static_cast<GMShopGoodsObj*>(o);
        std::fprintf(out, "goods %d price %g weight %g (%.1f%%) at (%g, %g)\n", g->GetGoodsNumber(),
                     double(g->GetPrice()), double(g->GetWeight()),
                     goodsTotal > 0.0f ? 100.0 * g->GetWeight() / goodsTotal : 0.0, double(g->GetX()),
                     double(g->GetY()));
    }
    float customerTotal = run.GetCustomerWeight();
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(run.Customers().GetNext(c));) {
        auto* k = static_cast<GMCustomerObj*>(o);
        std::fprintf(out, "customer kind %d patience %g s weight %g (%.1f%%) factors %g %g\n", k->GetCustomerKind(),
                     double(k->GetPatience()) / 1000.0, double(k->GetWeight()),
                     customerTotal > 0.0f ? 100.0 * k->GetWeight() / customerTotal : 0.0, double(k->GetFactor(0)),
                     double(k->GetFactor(1)));
    }
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(run.Bonuses().GetNext(c));) {
        auto* b = static_cast<GMBonusObj*>(o);
        std::fprintf(out, "bonus kind %d price %d duration %g ms value %g at (%g, %g)\n", b->GetBonusKind(),
                     b->GetPrice(), double(b->GetDuration()), double(b->GetValue()), double(b->GetX()),
                     double(b->GetY()));
    }
}

}  // namespace

static int PrintLevel(const std::string& file, DisplayDevice* device, FILE* out, FILE* err);

int CmdLevel(int argc, char** argv, FILE* out, FILE* err)
{
    std::string dataDir, file;
    if (!ReadDataDirAndFile(argc, argv, "usage: brimvale-data level [-C DATADIR] FILE\n", err, dataDir, file))
        return 2;
    return InDataDirectory(dataDir, file, err,
                           [&](DisplayDevice* device) { return PrintLevel(file, device, out, err); });
}

bool ReadDataDirAndFile(int argc, char** argv, const char* usage, FILE* err, std::string& dataDir,
                        std::string& file)
{
    if (argc == 3 && !std::strcmp(argv[0], "-C")) {
        dataDir = argv[1];
        argv += 2;
        argc -= 2;
    }
    if (argc != 1) {
        std::fputs(usage, err);
        return false;
    }
    file = argv[0];
    return true;
}

int InDataDirectory(std::string dataDir, std::string& file, FILE* err,
                    const std::function<int(DisplayDevice* device)>& work)
{
    // Picture names in a level are relative to the data directory: by default
    // the directory the level file is in.
    std::filesystem::path path(file);
    if (dataDir.empty() && path.has_parent_path()) {
        dataDir = path.parent_path().string();
        file = path.filename().string();
    }
    std::error_code ec;
    std::filesystem::path old = std::filesystem::current_path(ec);
    if (!dataDir.empty()) {
        std::filesystem::current_path(dataDir, ec);
        if (ec) {
            std::fprintf(err, "brimvale-data: cannot change into \"%s\": %s\n", dataDir.c_str(), ec.message().c_str());
            return 1;
        }
    }
    int status = 1;
    DisplayDevice* device = nullptr;
    // Nothing is shown: no display server is asked (and none complains).
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (!StartPlatform() || DisplayDevice::CreateOffscreen(800, 600, &device) != DD_OK || !device) {
        std::fprintf(err, "brimvale-data: no headless display device\n");
    } else {
        status = work(device);
        device->Release();
    }
    if (!dataDir.empty())
        std::filesystem::current_path(old, ec);
    return status;
}

static int PrintLevel(const std::string& file, DisplayDevice* device, FILE* out, FILE* err)
{
    int status = 1;
    {
        GMImageManager manager;
        GMLevelRun run;
        LevelLoadNotes notes;
        int32_t r = run.LoadLevel(file.c_str(), &manager, device, nullptr, nullptr, &notes);
        std::fprintf(out, "level \"%s\": %s (result %d)%s\n", file.c_str(), kResults[r < 0 || r > 2 ? 2 : r], r,
                     notes.reachedEnd ? "" : ", no \"END\"");
        for (const std::string& line : notes.refused)
            std::fprintf(out, "refused: %s\n", line.c_str());
        if (r != kLoadOk) {
            std::fprintf(out, "failed: %s\n", notes.failure.c_str());
            std::fprintf(err, "brimvale-data: %s\n", notes.failure.c_str());
        } else {
            PrintParameters(run, out);
            PrintTown(run, out);
            PrintTrade(run, out);
            status = 0;
        }
        run.Reset();
    }
    return status;
}
