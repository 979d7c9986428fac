// The level file: tags read into the level run, then the steps that link the
// town together and prepare the day's first frame.
#include "game/GMLevelRun.h"

#include "core/FileSys.h"
#include "core/TaggedFile.h"
#include "player/GMProfile.h"
#include "sound/GMSoundSystem.h"
#include "ui/GMStoryLayout.h"
#include "world/GMGoodsObj.h"
#include "world/GMInteractiveObj.h"

#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <cstring>
#include <strings.h>

namespace {

// One open scrambled level file with its running key.
class LevelReader {
public:
    explicit LevelReader(const char* fileName) : m_key(fileName), m_file(OpenFile(fileName, "rb")) {}
    ~LevelReader()
    {
        if (m_file)
            std::fclose(m_file);
    }
    LevelReader(const LevelReader&) = delete;
    LevelReader& operator=(const LevelReader&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    long Length()
    {
        long here = std::ftell(m_file);
        std::fseek(m_file, 0, SEEK_END);
        long length = std::ftell(m_file);
        std::fseek(m_file, here, SEEK_SET);
        return length;
    }
    long Position() const { return std::ftell(m_file); }

    bool Quoted(std::string* out)
    {
        char buf[kValueBufferSize];
        if (ReadQuoted(m_file, '"', '"', buf, &m_key) < 0)
            return false;
        *out = buf;
        return true;
    }
    bool Int(int32_t* out) { return ReadTokenInt(m_file, &m_key, out); }
    bool Float(float* out) { return ReadTokenFloat(m_file, &m_key, out); }
    bool Char(char* out)
    {
        char token[kValueBufferSize];
        if (ReadToken(m_file, token, 0, &m_key) < 0)
            return false;
        // A level maker may quote the letter; the letter is what counts.
        *out = token[0] == '"' ? token[1] : token[0];
        return true;
    }

private:
    FileKey m_key;
    FILE* m_file;
};

bool Is(const std::string& tag, const char* name)
{
    return strcasecmp(tag.c_str(), name) == 0;
}

std::string Format(const char* format, ...)
{
    char buf[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

float Seconds(float s)
{
    return s * 1000.0f;
}

constexpr float kMaxCellSize = 10000.0f;

float ScreenCoord(float v)
{
    constexpr float m = GMLevelRun::kMaxScreenCoord;
    return v != v ? 0.0f : v < -m ? -m : v > m ? m : v;
}

int32_t Clamp(int32_t v, int32_t lo, int32_t hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}

// Bounds that keep every day able to end: no wait between two orders, and no
// stop at a house, lasts longer than ten minutes; no day has more orders than
// a player could serve in an evening; money stays within 32 bits.
constexpr float kMaxWaitMs = 600000.0f;
constexpr int32_t kMaxOrders = 1000;
constexpr float kMaxMoneyTarget = 1.0e9f;

// Bounds one value of the day, noting the change for the level maker.
void BoundTime(float& ms, const char* tag, std::vector<std::string>& notes)
{
    if (ms >= 0.0f && ms <= kMaxWaitMs)
        return;
    const float bounded = ms > kMaxWaitMs ? kMaxWaitMs : 0.0f;
    notes.push_back(Format("%s %g s: bounded to %g s", tag, static_cast<double>(ms) / 1000.0,
                           static_cast<double>(bounded) / 1000.0));
    ms = bounded;
}

void BoundInt(int32_t& v, int32_t lo, int32_t hi, const char* tag, std::vector<std::string>& notes)
{
    const int32_t bounded = Clamp(v, lo, hi);
    if (bounded == v)
        return;
    notes.push_back(Format("%s %d: bounded to %d", tag, v, bounded));
    v = bounded;
}

void BoundDayValues(GMLevelRun::DayParameters& day, std::vector<std::string>& notes)
{
    BoundTime(day.startDelay, "OTD", notes);
    BoundTime(day.minSpawnDelay, "OTM", notes);
    BoundTime(day.randomSpawnDelay, "OTI", notes);
    BoundTime(day.orderStopTime, "OBT", notes);
    BoundTime(day.policeStopTime, "SBT", notes);
    BoundInt(day.orders, 0, kMaxOrders, "LOR", notes);
    // With no order allowed open, or a resume level nothing can fall to,
    // placing orders would stop for good.
    BoundInt(day.maxActiveOrders, 1, std::numeric_limits<int32_t>::max(), "OSG", notes);
    BoundInt(day.resumeLevel, 0, std::numeric_limits<int32_t>::max(), "OMG", notes);
    if (!(std::fabs(day.moneyTarget) <= kMaxMoneyTarget)) {
        const float bounded = day.moneyTarget < 0.0f ? -kMaxMoneyTarget : kMaxMoneyTarget;
        notes.push_back(Format("LSC %g: bounded to %g", static_cast<double>(day.moneyTarget),
                               static_cast<double>(bounded)));
        day.moneyTarget = bounded;
    }
}

// The day's sounds: name, first value (the group) and buffer flags.
struct DaySound {
    const char* name;
    uint8_t group;
    uint32_t flags;
};

constexpr uint32_t kPlain = 128;
constexpr uint32_t kDeferred = 0x40080;

const DaySound kCommonSounds[] = {
    {"sfx\\ButtonHover.ogg", 200, kPlain}, {"sfx\\ButtonClick.ogg", 200, kPlain}, {"sfx\\JobPerfect.ogg", 0, kPlain},
    {"sfx\\JobGood.ogg", 0, kPlain},       {"sfx\\JobTerrible.ogg", 0, kPlain},
};
const DaySound kTownSounds[] = {
    {"sfx\\Combo1.ogg", 0, kPlain},          {"sfx\\Combo2.ogg", 0, kPlain},
    {"sfx\\Combo3.ogg", 0, kPlain},          {"sfx\\Police.ogg", 0, kPlain},
    {"sfx\\Thief.ogg", 0, kDeferred},        {"sfx\\ThiefCatch.ogg", 0, kDeferred},
    {"sfx\\Mayor.ogg", 0, kDeferred},        {"sfx\\TVReporter.ogg", 0, kDeferred},
    {"sfx\\Cafe.ogg", 0, kDeferred},         {"sfx\\MayorShow.ogg", 0, kDeferred},
    {"sfx\\TVShow.ogg", 0, kDeferred},       {"sfx\\CafeShow.ogg", 0, kDeferred},
    {"sfx\\ThiefShow.ogg", 0, kDeferred},    {"sfx\\OrderShow.ogg", 0, kDeferred},
    {"sfx\\OrderComplete.ogg", 0, kDeferred}, {"sfx\\OrderFail.ogg", 0, kPlain},
    {"sfx\\OrderWarning.ogg", 0, kPlain},    {"sfx\\RatingWarning.ogg", 0, kPlain},
    {"sfx\\RatingRise.ogg", 0, kPlain},      {"sfx\\BonusFreeze.ogg", 0, kPlain},
    {"sfx\\BonusSpeed.ogg", 0, kPlain},      {"sfx\\BonusSupply.ogg", 0, kPlain},
    {"sfx\\BonusTolerance.ogg", 0, kPlain},  {"sfx\\BonusEnd.ogg", 0, kPlain},
    {"sfx\\UFOWarning.ogg", 0, kPlain},      {"sfx\\UFO.ogg", 0, kPlain},
    {"sfx\\UFOClick.ogg", 0, kPlain},
};
const DaySound kMiniGameSounds[] = {
    {"sfx\\MGBtnHover.ogg", 0, kPlain}, {"sfx\\MGMotor.ogg", 0, kPlain}, {"sfx\\MGTurn.ogg", 0, kPlain}};

}  // namespace

void GMLevelRun::LoadDaySounds()
{
    if (!m_sound)
        return;
    auto load = [&](const DaySound* list, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            if (!m_sound->FindEntry(list[i].name))
                m_sound->LoadSound(list[i].name, list[i].group, false, list[i].flags, false);
        }
    };
    load(kCommonSounds, std::size(kCommonSounds));
    if (m_day.levelKind == 0)
        load(kTownSounds, std::size(kTownSounds));
    else if (m_day.levelKind == 1)
        load(kMiniGameSounds, std::size(kMiniGameSounds));
}

bool GMLevelRun::LoadImage(GMImage*& image, const char* name, GMImageManager* manager, DisplayDevice* device)
{
    auto* fresh = new (std::nothrow) GMImage;
    if (!fresh)
        return false;
    if (fresh->LoadTemplate(name, manager, device) != 0) {
        fresh->Release();
        return false;
    }
    if (image)
        image->Release();
    image = fresh;
    return true;
}

int32_t GMLevelRun::LoadLevel(const char* fileName, GMImageManager* manager, DisplayDevice* device,
                              GMSoundSystem* sound, float* progress, LevelLoadNotes* notesIn)
{
    LevelLoadNotes scratch;
    LevelLoadNotes& notes = notesIn ? *notesIn : scratch;
    notes = LevelLoadNotes();
    Reset();
    if (!fileName)
        return kLoadNoFile;
    LevelReader in(fileName);
    if (!in.IsOpen()) {
        notes.failure = Format("cannot open \"%s\"", fileName);
        return kLoadNoFile;
    }
    long length = 1;
    if (progress) {
        length = in.Length();
        if (length <= 0)
            length = 1;
        *progress = 0.0f;
    }

    int32_t tagNumber = 0;
    auto refuse = [&](const std::string& what, const char* why) {
        notes.refused.push_back(Format("tag %d %s: %s", tagNumber, what.c_str(), why));
    };

    std::string tag;
    bool reading = in.Quoted(&tag);
    while (reading) {
        ++tagNumber;
        bool ok = true;  // false: a value could not be read (end of file)
        const std::string& t = tag;
        std::string s1, s2, s3, s4;
        int32_t i1 = 0, i2 = 0, i3 = 0, i4 = 0;
        float f1 = 0, f2 = 0, f3 = 0, f4 = 0;
        char c = 0;
        if (Is(t, "END")) {
            notes.reachedEnd = true;
            break;
        } else if (Is(t, "RN")) {
            ok = in.Quoted(&s1) && in.Int(&i1) && in.Int(&i2) && in.Int(&i3);
            if (ok) {
                const char* why = CreateRoadNode(s1.c_str(), i1, i2, i3, manager, device);
                if (why)
                    refuse(Format("RN \"%s\" %d %d %d", s1.c_str(), i1, i2, i3), why);
            }
        } else if (HasCurrentNode() && t.size() >= 3 && strncasecmp(t.c_str(), "RN", 2) == 0) {
            ok = in.Int(&i1) && in.Int(&i2) && in.Int(&i3);
            static const char kSides[] = "TLBR";
            const char* side = std::strchr(kSides, std::toupper(static_cast<unsigned char>(t[2])));
            if (ok && side && t[2] != 0) {
                const char* why = LinkCurrentNode(static_cast<int32_t>(side - kSides), i1, i2, i3);
                if (why)
                    refuse(Format("%s %d %d %d", t.c_str(), i1, i2, i3), why);
            }
        } else if (Is(t, "DEC")) {
            ok = in.Quoted(&s1) && in.Float(&f1) && in.Float(&f2) && in.Int(&i1);
            if (ok) {
                const char* why = CreateDecoration(s1.c_str(), f1, f2, i1, manager, device);
                if (why)
                    refuse(Format("DEC \"%s\" %g %g %d", s1.c_str(), f1, f2, i1), why);
            }
        } else if (Is(t, "TR")) {
            ok = in.Quoted(&s1) && in.Quoted(&s2) && in.Quoted(&s3) && in.Quoted(&s4) && in.Int(&i1) &&
                 in.Int(&i2) && in.Int(&i3) && in.Float(&f1) && in.Int(&i4) && in.Char(&c);
            if (ok) {
                const char* images[4] = {s1.c_str(), s2.c_str(), s3.c_str(), s4.c_str()};
                const char* why = SetUpVehicle(images, i1, i2, i3, f1 / 1000.0f, i4, c, manager, device);
                if (why)
                    refuse(Format("TR %d %d %d", i1, i2, i3), why);
            }
        } else if (Is(t, "PLC")) {
            ok = in.Quoted(&s1) && in.Quoted(&s2) && in.Quoted(&s3) && in.Quoted(&s4);
            if (ok) {
                const char* images[4] = {s1.c_str(), s2.c_str(), s3.c_str(), s4.c_str()};
                const char* why = SetUpPoliceCar(images, manager, device);
                if (why)
                    refuse("PLC", why);
            }
        } else if (Is(t, "ORX")) {
            if ((ok = in.Float(&f1)))
                m_grid.originX = ScreenCoord(f1);
        } else if (Is(t, "ORY")) {
            if ((ok = in.Float(&f1)))
                m_grid.originY = ScreenCoord(f1);
        } else if (Is(t, "CLW") || Is(t, "CLH")) {
            ok = in.Float(&f1);
            // Sizes far beyond the screen would only put the town at infinity.
            if (ok)
                (Is(t, "CLW") ? m_grid.cellWidth : m_grid.cellHeight) =
                    f1 <= 0.0f || f1 != f1 ? 4.0f : f1 > kMaxCellSize ? kMaxCellSize : f1;
        } else if (Is(t, "FLW")) {
            if ((ok = in.Int(&i1)))
                m_day.fieldWidth = Clamp(i1, 1, GMFieldGrid::kColumns);
        } else if (Is(t, "FLH")) {
            if ((ok = in.Int(&i1)))
                m_day.fieldHeight = Clamp(i1, 1, GMFieldGrid::kRows);
        } else if (Is(t, "FLL")) {
            if ((ok = in.Int(&i1)))
                m_day.fieldLayers = Clamp(i1, 1, GMFieldGrid::kLayers);
        } else if (Is(t, "SBT")) {
            if ((ok = in.Float(&f1)))
                m_day.policeStopTime = Seconds(f1);
        } else if (Is(t, "OBT")) {
            if ((ok = in.Float(&f1)))
                m_day.orderStopTime = Seconds(f1);
        } else if (Is(t, "PBT")) {
            if ((ok = in.Float(&f1)))
                m_day.keptTime = Seconds(f1);
        } else if (Is(t, "BSI") || Is(t, "FRI") || Is(t, "ASI") || Is(t, "GSI") || Is(t, "SBK") || Is(t, "SFI") ||
                   Is(t, "TFI") || Is(t, "TSM") || Is(t, "BAK") || Is(t, "SHB") || Is(t, "SHH") || Is(t, "OIT") ||
                   Is(t, "OHT")) {
            ok = in.Quoted(&s1);
            if (ok) {
                const char* why = SetInterfaceImage(t.c_str(), s1.c_str(), manager, device);
                if (why)
                    refuse(Format("%s \"%s\"", t.c_str(), s1.c_str()), why);
            }
        } else if (Is(t, "OSG")) {
            ok = in.Int(&m_day.maxActiveOrders);
        } else if (Is(t, "OMG")) {
            ok = in.Int(&m_day.resumeLevel);
        } else if (Is(t, "OTD")) {
            if ((ok = in.Float(&f1)))
                m_day.startDelay = Seconds(f1);
        } else if (Is(t, "OTM")) {
            if ((ok = in.Float(&f1)))
                m_day.minSpawnDelay = Seconds(f1);
        } else if (Is(t, "OTI")) {
            if ((ok = in.Float(&f1)))
                m_day.randomSpawnDelay = Seconds(f1);
        } else if (Is(t, "LTM")) {
            if ((ok = in.Float(&f1)))
                m_day.levelTime = Seconds(f1);
        } else if (Is(t, "LSC")) {
            ok = in.Float(&m_day.moneyTarget);
        } else if (Is(t, "LST")) {
            ok = in.Int(&m_day.ratingTarget);
        } else if (Is(t, "LOR")) {
            ok = in.Int(&i1);
            if (ok) {
                m_day.orders = i1;
                m_ordersLeft = i1;
                m_ordersTotal = i1;
            }
        } else if (Is(t, "COM")) {
            ok = in.Quoted(&s1);
        } else if (Is(t, "SHG")) {
            ok = in.Quoted(&s1) && in.Quoted(&s2) && in.Int(&i1) && in.Float(&f1) && in.Float(&f2) &&
                 in.Float(&f3) && in.Float(&f4);
            if (ok) {
                const char* why = CreateShopGoods(s1.c_str(), s2.c_str(), i1, f1, f2, f3, f4, manager, device);
                if (why)
                    refuse(Format("SHG \"%s\" goods %d", s1.c_str(), i1), why);
            }
        } else if (Is(t, "POL")) {
            ok = in.Quoted(&s1) && in.Quoted(&s2) && in.Float(&f1) && in.Float(&f2);
            if (ok) {
                const char* why = CreatePolice(s1.c_str(), s2.c_str(), f1, f2, manager, device);
                if (why)
                    refuse(Format("POL \"%s\" %g %g", s1.c_str(), f1, f2), why);
            }
        } else if (Is(t, "BUY")) {
            if ((ok = in.Int(&i1)))
                m_day.shopAfterDay = i1 != 0;
        } else if (Is(t, "BON")) {
            ok = in.Quoted(&s1) && in.Quoted(&s2) && in.Quoted(&s3) && in.Int(&i1) && in.Int(&i2) &&
                 in.Float(&f1) && in.Float(&f2) && in.Float(&f3) && in.Float(&f4);
            if (ok) {
                const char* why =
                    CreateBonus(s1.c_str(), s2.c_str(), s3.c_str(), i1, i2, Seconds(f1), f2, f3, f4, manager, device);
                if (why)
                    refuse(Format("BON \"%s\" kind %d", s1.c_str(), i1), why);
            }
        } else if (Is(t, "CUS")) {
            ok = in.Quoted(&s1) && in.Quoted(&s2) && in.Int(&i1) && in.Float(&f1) && in.Float(&f2) &&
                 in.Float(&f3) && in.Float(&f4);
            if (ok) {
                const char* why =
                    CreateCustomer(s1.c_str(), s2.c_str(), i1, Seconds(f1), f2, f3, f4, manager, device);
                if (why)
                    refuse(Format("CUS \"%s\" kind %d", s1.c_str(), i1), why);
            }
        } else if (Is(t, "BL")) {
            ok = in.Quoted(&s1) && in.Int(&i1) && in.Int(&i2) && in.Int(&i3) && in.Char(&c);
            if (ok) {
                const char* why = CreateBuilding(s1.c_str(), i1, i2, i3, c == 'Y' || c == 'y', manager, device);
                if (why)
                    refuse(Format("BL \"%s\" %d %d %d", s1.c_str(), i1, i2, i3), why);
            }
        } else if (Is(t, "LVL")) {
            ok = in.Quoted(&m_day.nextLevel);
        } else if (Is(t, "LVN")) {
            ok = in.Quoted(&m_day.title);
        } else if (Is(t, "STO")) {
            ok = in.Quoted(&m_day.story);
        } else if (Is(t, "LVT")) {
            ok = in.Int(&m_day.levelKind);
        } else if (Is(t, "CMB")) {
            int32_t v[6];
            ok = in.Int(&v[0]) && in.Int(&v[1]) && in.Int(&v[2]) && in.Int(&v[3]) && in.Int(&v[4]) && in.Int(&v[5]);
            if (ok)
                std::memcpy(m_day.combo, v, sizeof v);
        } else if (Is(t, "TUT")) {
            ok = in.Int(&i1) && in.Quoted(&s1) && in.Quoted(&s2);
            if (ok && i1 >= 1 && i1 <= 4) {
                m_day.tutorial = i1;
                SetTutorialImages(s1.c_str(), s2.c_str(), manager, device);
            }
        } else {
            // Not a tag of ours: its values are passed over up to the next quoted string.
        }
        if (!ok) {
            notes.cutTag = tag;
            break;
        }
        if (progress)
            *progress = 0.8f * static_cast<float>(in.Position()) / static_cast<float>(length);
        reading = in.Quoted(&tag);
    }
    BoundDayValues(m_day, notes.refused);
    m_ordersLeft = m_ordersTotal = m_day.orders;
    return FinishLoading(fileName, manager, device, sound, progress, notes);
}

std::string GMLevelRun::WhyDayCannotEnd() const
{
    if (m_day.levelKind != 0 && m_day.levelKind != 1)
        return Format("unknown level kind %d (\"LVT\" 0 is a working day, 1 the course)", m_day.levelKind);
    if (m_day.levelKind == 1)
        return std::isfinite(m_day.levelTime) ? "" : "the course never ends (\"LTM\" is too large)";
    if (m_day.orders <= 0)
        return "";
    int32_t goods = 0;
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_shopGoods.GetNext(c));)
        goods += static_cast<GMShopGoodsObj*>(o)->GetGoodsNumber() != kPoliceGoods;
    const char* missing = m_houseCount == 0 ? "no house that places orders (a house needs a road at its door)"
                          : m_customers.GetCount() == 0 ? "no customer (\"CUS\")"
                          : goods == 0                  ? "no goods to order (\"SHG\")"
                                                        : nullptr;
    return missing ? Format("%d orders (\"LOR\") but %s: the day could never end", m_day.orders, missing) : "";
}

int32_t GMLevelRun::FinishLoading(const char* fileName, GMImageManager* manager, DisplayDevice* device,
                                  GMSoundSystem* sound, float* progress, LevelLoadNotes& notes)
{
    auto setProgress = [&](float p) {
        if (progress)
            *progress = p;
    };
    bool success = true;
    std::string failure;
    auto fail = [&](const std::string& why) {
        if (success)
            failure = why;  // the first failure is the one reported
        success = false;
    };

    // 1. Sounds.
    setProgress(0.8f);
    if (sound)
        m_sound = sound;
    LoadDaySounds();
    // 2-5. Tutorial set-up, bonuses offered today, customers, capacity.
    PrepareObjects();
    // 6. A next level that does not exist is kept: the day is not the last
    // one, and whoever goes on to it is told that it is missing.
    if (!m_day.nextLevel.empty() && !FileExists(m_day.nextLevel.c_str()))
        notes.refused.push_back(Format("LVL \"%s\": the next day's file cannot be opened", m_day.nextLevel.c_str()));
    // 7. The report's and the shop's button.
    if (!CreateButton(m_diaryButton, "DiaryBtnI.img", "DiaryBtnH.img", manager, device))
        fail("cannot load \"DiaryBtnI.img\" / \"DiaryBtnH.img\"");
    // 8.
    setProgress(0.81f);
    if (m_day.combo[3] > 0)
        LoadImage(m_comboBack, "ComboBk.img", manager, device);
    LoadImage(m_endLevel, "EndLevelBk.img", manager, device);
    setProgress(0.82f);
    // 9-10. Entrances, police posts, road links; the vehicle's start.
    LinkTown();
    setProgress(0.85f);
    PlaceVehicles();
    setProgress(0.86f);
    // 11. The day's interface: its outcome replaces what was gathered so far.
    if (m_day.levelKind == 0 || m_day.levelKind == 1) {
        std::string why;
        success = PrepareInterface(manager, device, &why);
        failure = why;
    }
    // The UFOs of the bonus game, after the HUD's pictures; only a working
    // day can end in the bonus game. Their flight plan comes from a stream
    // seeded off the day's generator without advancing it, so a day's orders
    // (and every replay of it) stay the same whatever the UFOs draw.
    if (m_day.levelKind == 0 && success) {
        GameRandom peek = m_random;
        const uint32_t high = static_cast<uint32_t>(peek.Next());
        GameRandom ufoRandom((high << 15 ^ static_cast<uint32_t>(peek.Next())) ^ 0x55464Fu);
        if (!m_ufoGame.SetUp(manager, device, ufoRandom, m_day.tutorial))
            fail("cannot make the UFOs (\"UfoI.img\" / \"UfoH.img\")");
    }
    if (m_day.levelKind == 1 && m_miniGame.SetUp(*this, manager, device) != 0)
        fail("cannot load \"MGRangeBk.img\" / \"MGRange.img\"");
    // 12.
    if (!LoadImage(m_fontStd, "FontStd.img", manager, device))
        fail("cannot load \"FontStd.img\"");
    setProgress(0.87f);
    if (!LoadImage(m_fontBig, "FontBig.img", manager, device))
        fail("cannot load \"FontBig.img\"");
    LoadImage(m_congratulation, "CongratulationBk.img", manager, device);
    // 13.
    if (!CreateButton(m_menuButton, "Menu\\MainBtnI.img", "Menu\\MainBtnH.img", manager, device)) {
        fail("cannot load \"Menu\\MainBtnI.img\" / \"Menu\\MainBtnH.img\"");
    } else {
        m_menuButton->SetPosition(743.0f, 560.0f);
    }
    // A day cut short is damaged whatever its kind: playing what was read
    // would lose the rest of the day, and of the game after it.
    if (!notes.reachedEnd) {
        success = false;
        failure = notes.cutTag.empty()
                      ? "the file ends before \"END\""
                      : Format("the file ends in the middle of \"%s\" (no \"END\")", notes.cutTag.c_str());
    } else if (success) {
        std::string why = WhyDayCannotEnd();
        if (!why.empty()) {
            success = false;
            failure = why;
        }
    }
    // 14.
    if (!success) {
        notes.failure = Format("%s: %s", fileName, failure.c_str());
        Reset();
        return kLoadFailed;
    }
    // 15-17.
    setProgress(0.88f);
    PairShopPlates();
    setProgress(0.89f);
    ReleaseOutsideObjects();
    setProgress(0.94f);
    BuildDrawList();
    setProgress(0.96f);
    // 18.
    m_fileName = fileName;
    const char* digits = FindFirstDigit(BaseName(fileName));
    m_levelNumber = digits ? static_cast<int32_t>(std::strtol(digits, nullptr, 10)) : 0;
    SetRatingMaximum();
    if (m_day.levelKind == 1)
        m_miniGame.Start(*this);
    m_alpha = 255.0f;
    m_stateWord = kStateFadeIn;
    if (!m_day.story.empty()) {
        m_story.reset(new (std::nothrow) GMStoryLayout);
        if (m_story && m_story->Load(m_day.story.c_str(), manager, device) == 0) {
            m_stateWord |= kStateIntro;
            StartMusic("sfx\\mainmenu.ogg");
        } else {
            m_story.reset();
        }
    }
    if (!(m_stateWord & kStateIntro)) {
        StartMusic("sfx\\ingame.ogg");
        if (m_day.orders != 0) {
            if (!m_day.title.empty())
                ShowBigMessage(250.0f, 2700.0f, 250.0f, m_day.title.c_str(), 0xFFB600);
        } else {
            m_stateWord = kStateFadeOut | kStateShop;
            m_alpha = 255.0f;
            m_spawnDelay = m_day.startDelay;
            setProgress(1.0f);
            return kLoadOk;
        }
    }
    // 19-20.
    setProgress(0.98f);
    StartDay();
    m_spawnDelay = m_day.startDelay;
    setProgress(1.0f);
    return kLoadOk;
}
