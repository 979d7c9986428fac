#pragma once
#include "core/GameRandom.h"
#include "game/GMHud.h"
#include "game/GMMiniGame.h"
#include "game/GMOrderSigns.h"
#include "game/GMUfoGame.h"
#include "gfx/GMImage.h"
#include "world/GMFieldGrid.h"
#include "world/GMObjectArray.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class DisplayDevice;
class GMBonusObj;
class GMBuildingObj;
class GMCustomerObj;
class GMImageManager;
class GMImageTemplate;
class GMInteractiveObj;
class GMOrderObj;
class GMPoliceObj;
class GMQueryGoodsObj;
class GMRoadNodeObj;
class GMShopGoodsObj;
class GMTransportObj;
class GMMessage;
class GMProfile;
class GMSoundSystem;
class GMStoryLayout;
class SoundBuffer;

// Flags of the level run's state word; several may be set at once.
enum LevelState : uint32_t {
    kStateReportDone = 0x01,
    kStateReport = 0x02,
    kStateFadeIn = 0x04,
    kStateFadeOut = 0x08,
    kStateIntro = 0x10,
    kStateShop = 0x20,
    kStateShopSlideIn = 0x40,
    kStateUfoGame = 0x80,
    kStateMessage = 0x100,
};

// What a frame of the day tells the shell.
enum LevelResult : int32_t {
    kLevelGoOn = 0,
    kLevelNext = 1,    // the day is over: go on with the next level
    kLevelFailed = 2,  // the day was lost
    kLevelMenu = 3,    // the in-game menu button was clicked
};

// Results of LoadLevel.
enum LevelLoadResult : int32_t {
    kLoadOk = 0,
    kLoadNoFile = 1,
    kLoadFailed = 2,
};

// What the loader saw, for the level maker: every refused line with its reason
// and, for a failed load, the tag and value that failed.
struct LevelLoadNotes {
    std::vector<std::string> refused;
    std::string failure;
    std::string cutTag;  // the tag whose values the end of the file cut off
    bool reachedEnd = false;
};

// One working day: its parameters from the level file, the world objects of
// the town, money, rating, combos, the end of the day and the saving of the
// results into the player profile. The shell feeds it a frame at a time and
// acts on the result code.
class GMLevelRun {
    friend class GMHud;  // the HUD draws from the day's own values
    friend class GMMiniGame;  // so does the mini-game, which drives them

public:
    // Day parameters as the level file gives them (defaults set by Reset).
    struct DayParameters {
        int32_t maxActiveOrders = 5;       // OSG
        int32_t resumeLevel = 0;           // OMG
        float startDelay = 1000.0f;        // OTD, ms
        float minSpawnDelay = 2500.0f;     // OTM, ms
        float randomSpawnDelay = 2500.0f;  // OTI, ms
        float levelTime = 0.0f;            // LTM, ms
        float moneyTarget = 0.0f;          // LSC
        int32_t ratingTarget = 0;          // LST
        int32_t orders = 0;                // LOR
        int32_t combo[6] = {};             // CMB: money of levels 1-3, then their run lengths
        bool shopAfterDay = true;          // BUY
        std::string nextLevel;             // LVL
        std::string title;                 // LVN
        std::string story;                 // STO
        int32_t tutorial = 0;              // TUT
        float orderStopTime = 0.0f;        // OBT, ms
        float policeStopTime = 0.0f;       // SBT, ms
        float keptTime = 0.0f;             // PBT, ms
        int32_t levelKind = 0;             // LVT: 0 a working day, 1 the mini-game
        int32_t fieldWidth = 17;           // FLW
        int32_t fieldHeight = 17;          // FLH
        int32_t fieldLayers = 5;           // FLL
    };

    static constexpr int32_t kShopGoodsLimit = 12;  // goods numbers below this are the shops' own
    static constexpr int32_t kCapacityBonus = 7;    // the bonus kind of the extra cargo slot
    // Bounds a hostile level file meets: screen points, and how many objects
    // of a kind a day keeps (far more than any town needs).
    static constexpr float kMaxScreenCoord = 100000.0f;
    static constexpr int32_t kMaxObjects = 1000;
    static constexpr int32_t kMaxDecorations = 4096;
    static constexpr float kRatingHoldTime = 3000.0f;
    static constexpr float kRatingDecay = 0.000167f;
    static constexpr float kMoneyTextTime = 3000.0f;

    GMLevelRun();
    ~GMLevelRun();
    GMLevelRun(const GMLevelRun&) = delete;
    GMLevelRun& operator=(const GMLevelRun&) = delete;

    // Gives back everything of the day and returns to the defaults.
    void Reset();
    // Seeds the day's random numbers from the UTC clock (hour + minute + second),
    // unless a fixed seed was given.
    void Initialise();
    // Fixes the seed for this and every later Initialise (tests, replays).
    void FixSeed(uint32_t seed);
    GameRandom& Random() { return m_random; }

    // Reads a level file (path relative to the data directory). 0 loaded, 1 the
    // file cannot be opened, 2 the load failed (the run is reset). notes may be null.
    int32_t LoadLevel(const char* fileName, GMImageManager* manager, DisplayDevice* device, GMSoundSystem* sound,
                      float* progress, LevelLoadNotes* notes = nullptr);

    // Reads the story screen's layout again (F5, for whoever is writing it).
    void ReloadStory(GMImageManager* manager, DisplayDevice* device);

    // One frame: pointer, click flags (1 left, 2 right), elapsed ms.
    int32_t Frame(float x, float y, uint32_t buttons, float dt);
    void Draw(DisplayDevice* device);

    // Money and rating rules.
    void AddRating(float delta);
    void AddMoney(int32_t pay, int32_t extra, int32_t ratingDelta);
    // 1 when rating counts and is used up; 2 when a target is missed; else 0.
    int32_t TargetCheck(bool considerRating) const;
    void ComputeTotals();
    void SaveToProfile(bool failed);
    // For the game shutting down: saves a day the screen has shown as won
    // (its bonus game, report or shop) and not saved yet, as its continue or
    // done button would. True when the profile was written.
    bool SaveShownDay();
    bool IsDaySaved() const { return m_daySaved; }
    void ShowBigMessage(float fadeIn, float hold, float fadeOut, const char* text, uint32_t rgb);
    void AddFloatingText(const char* text, float x, float y, float lifetime, uint32_t rgb, bool centreX,
                         bool centreY, uint8_t style);
    // Ends the day as won (the developer code): money, no orders left, every
    // open order delivered.
    void EndTheDay();
    // The profile's score as last read plus the day's receipts (saturating,
    // as every money sum does).
    int32_t Score() const;

    void SetProfile(GMProfile* profile) { m_profile = profile; }
    GMProfile* GetProfile() const { return m_profile; }
    uint32_t GetStateWord() const { return m_stateWord; }
    const DayParameters& Day() const { return m_day; }
    DayParameters& DayForLoading() { return m_day; }
    const std::string& GetNextLevel() const { return m_day.nextLevel; }
    void SetNextLevel(const char* name) { m_day.nextLevel = name ? name : ""; }
    const std::string& GetFileName() const { return m_fileName; }
    int32_t GetLevelNumber() const { return m_levelNumber; }

    int32_t GetReceipts() const { return m_receipts; }
    int32_t GetExtraPay() const { return m_extraPay; }
    int32_t GetRatingPoints() const { return m_ratingPoints; }
    int32_t GetDelivered() const { return m_delivered; }
    int32_t GetOrdersLeft() const { return m_ordersLeft; }
    int32_t GetOrdersTotal() const { return m_ordersTotal; }
    float GetRatingValue() const { return m_ratingValue; }
    float GetRatingMaximum() const { return m_ratingMax; }
    float GetRatingRatio() const { return m_ratingRatio; }
    float GetElapsed() const { return m_elapsed; }
    float GetAlpha() const { return m_alpha; }
    int32_t GetComboRun() const { return m_comboRun; }
    int32_t GetComboGoods() const { return m_comboGoods; }
    int32_t GetTotalScore() const { return m_totalScore; }
    int32_t GetTotalRatingPoints() const { return m_totalRatingPoints; }
    int32_t GetShopCash() const { return m_shopCash; }
    const std::string& GetBigMessageText() const { return m_message.text; }
    bool IsBigMessageShowing() const { return (m_stateWord & kStateMessage) != 0; }
    int32_t GetReportLines() const { return m_reportLines; }
    float GetReportZoom() const { return m_reportZoom; }
    size_t GetFloatingTextCount() const { return m_texts.size(); }
    const GMMessage* GetFloatingText(size_t i) const { return i < m_texts.size() ? m_texts[i].get() : nullptr; }
    GMInteractiveObj* GetMenuButton() const { return m_menuButton; }
    GMInteractiveObj* GetDiaryButton() const { return m_diaryButton; }
    GMFieldGrid& Grid() { return m_grid; }
    GMHud& Hud() { return m_hud; }
    const GMFieldGrid& Grid() const { return m_grid; }

    // A named value of the running day for scripts and tools ("cash", "rating",
    // "state", ...); false for a name it does not know.
    bool QueryValue(const std::string& name, double* value) const;

    // Test hooks: set the day's counters directly.
    void SetRating(float value);
    void SetOrdersForTest(int32_t ordersLeft, int32_t ordersTotal);
    void SetStateWord(uint32_t state) { m_stateWord = state; }

private:
    struct BigMessage {
        float fadeIn = 0.0f, hold = 0.0f, fadeOut = 0.0f;
        float fadeInStart = 0.0f, holdStart = 0.0f, fadeOutStart = 0.0f;
        std::string text;
        uint32_t rgb = 0;
    };

    void ReleaseWorld();
    void StartDay();
    void SetRatingMaximum();
    int32_t FrameSteps(float x, float y, uint32_t buttons, float dt);
    int32_t MessageStep(uint32_t buttons, float dt);
    int32_t IntroStep(float x, float y, uint32_t buttons, float dt);
    int32_t ShopSlideInStep(float dt);
    int32_t ShopStep(float x, float y, uint32_t buttons, float dt);
    int32_t ReportStep(uint32_t buttons, float dt);
    int32_t ReportDoneStep(float x, float y, uint32_t buttons, float dt);
    int32_t PlayAndAfter(float x, float y, uint32_t buttons, float dt);
    void PlayFrame(float x, float y, uint32_t buttons, float dt);
    void RatingUpkeep(float dt, float orderStep);
    // What the day's pictures count down (the rating bar's flash, sleep marks,
    // the time-reset flash, floating texts) runs in every state that draws them.
    void AdvanceShownPictures(float dt);
    void TestEndOfDay();
    void StartUfoGame();
    void StartReport();
    bool HasBonusKinds() const;
    bool UpdateButton(GMInteractiveObj* button, float x, float y, uint32_t buttons, float dt);

    // Sounds of the day, by name; missing ones stay silent.
    SoundBuffer* Sound(const char* name) const;
    void PlaySound(const char* name);
    void LoopSound(const char* name, bool on);
    void StartMusic(const char* name);
    void StopLoopingSounds();

    // Loader pieces. The creation operations return null on success, else
    // why the object was refused.
    int32_t FinishLoading(const char* fileName, GMImageManager* manager, DisplayDevice* device,
                          GMSoundSystem* sound, float* progress, LevelLoadNotes& notes);
    bool PrepareInterface(GMImageManager* manager, DisplayDevice* device, std::string* why);
    // Why the loaded day could never end (an unknown kind, a course without
    // end, orders nobody can place); empty when it can.
    std::string WhyDayCannotEnd() const;
    bool LoadImage(GMImage*& image, const char* name, GMImageManager* manager, DisplayDevice* device);
    bool CreateButton(GMInteractiveObj*& button, const char* normal, const char* highlight, GMImageManager* manager,
                      DisplayDevice* device);
    void LoadDaySounds();
    bool HasCurrentNode() const { return m_currentNode != nullptr; }
    void ForgetCurrentNodeAt(int32_t x, int32_t y, int32_t layer);
    const char* CreateRoadNode(const char* image, int32_t x, int32_t y, int32_t layer, GMImageManager* manager,
                               DisplayDevice* device);
    const char* LinkCurrentNode(int32_t side, int32_t x, int32_t y, int32_t layer);
    const char* CreateBuilding(const char* image, int32_t x, int32_t y, int32_t layer, bool house,
                               GMImageManager* manager, DisplayDevice* device);
    const char* CreateDecoration(const char* image, float x, float y, int32_t layer, GMImageManager* manager,
                                 DisplayDevice* device);
    const char* SetUpVehicle(const char* const images[4], int32_t x, int32_t y, int32_t layer, float speed,
                             int32_t capacity, char facing, GMImageManager* manager, DisplayDevice* device);
    const char* SetUpPoliceCar(const char* const images[4], GMImageManager* manager, DisplayDevice* device);
    const char* SetInterfaceImage(const char* tag, const char* image, GMImageManager* manager,
                                  DisplayDevice* device);
    const char* CreateShopGoods(const char* normal, const char* highlight, int32_t goods, float price, float weight,
                                float x, float y, GMImageManager* manager, DisplayDevice* device);
    const char* CreatePolice(const char* normal, const char* highlight, float x, float y, GMImageManager* manager,
                             DisplayDevice* device);
    const char* CreateBonus(const char* normal, const char* highlight, const char* icon, int32_t kind,
                            int32_t price, float duration, float value, float x, float y, GMImageManager* manager,
                            DisplayDevice* device);
    const char* CreateCustomer(const char* normal, const char* highlight, int32_t kind, float patience,
                               float weight, float payFactor, float ratingFactor, GMImageManager* manager,
                               DisplayDevice* device);
    void SetTutorialImages(const char* first, const char* second, GMImageManager* manager, DisplayDevice* device);
    void PrepareObjects();
    void LinkTown();
    void PlaceVehicles();
    void PairShopPlates();
    void ReleaseOutsideObjects();
    void BuildDrawList();

    // Play.
    struct Job {
        GMOrderObj* order;  // holds a reference
        int32_t goods;
    };
    void ReleaseWorldObjects();
    void ResetPlay();
    void DrawTown(DisplayDevice* device);
    void DrawDayState(DisplayDevice* device);
    void AfterPlay(float x, float y, uint32_t buttons, float dt);
    void FinishDayCommon();
    void LetGoHeldIcon();
    int32_t ActiveOrderCount() const;
    int32_t JobCount() const { return static_cast<int32_t>(m_jobs.size()); }
    int32_t HeldGoods() const;
    void UpdateIcons(float x, float y, uint32_t& buttons, float dt);
    void WorkJobQueue();
    void WorkPoliceQueue();
    void UpdateOrders(float x, float y, uint32_t buttons, float orderStep, std::vector<GMOrderObj*>& candidates);
    void AssignHeldGoods(float x, float y, uint32_t buttons, const std::vector<GMOrderObj*>& candidates);
    void HandleRightClick();
    void SpawnOrders(float orderStep);
    bool PlaceOrder(GMBuildingObj* house);
    void ReplenishIcons();
    GMQueryGoodsObj* CreateIcon(GMShopGoodsObj* shop, float growTime);
    void UseUpHeldIcon();
    void DropFromQueues(GMOrderObj* order);
    void RemoveJob(size_t index);
    // The van carries the goods of its first jobs, as many kinds as it has slots.
    void RefreshCargo();
    // The load-clearing visitor takes the van's load: the other jobs for those
    // goods are dropped and the goods fly back to their shops.
    void TakeLoadOut(const GMOrderObj* visitor);
    void DeleteOrder(int32_t index);
    GMRoadNodeObj* Destination(GMOrderObj* order) const;
    void UpdateTutorial(float dt);
    void PointTutorialAt(int32_t step, GMInteractiveObj* target);

public:
    // Completing an order: 1 when it failed, 2 when a thief order was offered
    // a completion without a vehicle (it stays), else 0.
    int32_t CompleteOrder(GMOrderObj* order, GMTransportObj* vehicle, bool success);

    // Where things are on screen, for scripts that click by what they click.
    bool FindGoodsIcon(int32_t goods, float* x, float* y) const;
    bool FindOpenOrder(int32_t n, float* x, float* y) const;
    // Where an order of the house stands: its bubble over the roof, the first
    // row of its picture with kRoofPixels texels at least kRoofAlpha opaque.
    void FindOrderSpot(GMBuildingObj* house, float* x, float* y) const;
    static constexpr uint8_t kRoofAlpha = 0xC0;
    static constexpr int32_t kRoofPixels = 20;
    // Where a careful player clicks next: the goods the oldest untaken order
    // wants while the vehicle is free, then that order; false when nothing to do.
    bool FindServeTarget(float* x, float* y) const;
    bool FindPolicePost(float* x, float* y) const;
    bool FindBonusButton(int32_t kind, float* x, float* y) const;
    bool FindButton(const char* which, float* x, float* y) const;
    // Where the hint arrow points (the object it waits for); false when no hint shows.
    bool FindHintTarget(float* x, float* y) const;
    // An order delivered, failed or fading away: no longer one to serve.
    static bool IsOrderFinished(const GMOrderObj* order);
    bool FindLaneButton(int32_t lane, float* x, float* y) const { return m_miniGame.FindLaneButton(lane, x, y); }
    const GMMiniGame& MiniGame() const { return m_miniGame; }

    // The day's objects, for tests and the data tool.
    GMTransportObj* GetVehicle() const { return m_vehicle; }
    GMTransportObj* GetPoliceCar() const { return m_policeCar; }
    GMQueryGoodsObj* GetHeldIcon() const { return m_heldIcon; }
    int32_t GetRemainingAssignments() const { return m_remaining; }
    const GMObjectArray& Orders() const { return m_orders; }
    const GMObjectArray& Icons() const { return m_icons; }
    const GMObjectArray& ShopGoods() const { return m_shopGoods; }
    const GMObjectArray& Customers() const { return m_customers; }
    const GMObjectArray& Buildings() const { return m_buildings; }
    const GMObjectArray& PolicePosts() const { return m_police; }
    const GMObjectArray& Bonuses() const { return m_bonuses; }
    const GMObjectArray& Decorations(int32_t layer) const { return m_decorations[layer < 0 ? 0 : layer > 4 ? 4 : layer]; }
    const GMObjectArray& DrawList() const { return m_drawList; }
    const GMImage* GetOrderImage() const { return m_orderNormal; }  // OIT: the order bubble
    const std::vector<Job>& Jobs() const { return m_jobs; }
    const std::vector<GMOrderObj*>& PoliceQueue() const { return m_policeQueue; }
    int32_t GetOrderHouseCount() const { return m_houseCount; }
    float GetGoodsWeight() const { return m_goodsWeight; }
    float GetCustomerWeight() const { return m_customerWeightNow; }
    float GetSpawnDelay() const { return m_spawnDelay; }
    bool IsSpawnPaused() const { return m_paused; }
    int32_t GetTutorialKind() const { return m_tutorialKind; }
    int32_t GetTutorialStep() const { return m_tutorialStep; }
    // The story screen (null without one), the font it writes in, the big font.
    const GMStoryLayout* GetStory() const { return m_story.get(); }
    GMImage* GetPanelFont() const { return m_panelImages[3]; }
    GMImage* GetBigFont() const { return m_fontBig; }

    // ---- Bonuses in play and the bonus shop (GMLevelBonus.cpp) --------------------------
public:
    static constexpr int32_t kShopRows = 5;               // more bonus kinds reuse the fifth row
    static constexpr float kShopButtonX = 231.0f;
    static constexpr float kSleepMarkPeriod = 1200.0f;
    static constexpr int32_t kBonusHintStep = 5;          // the tutorial step that points at a bonus
    // The shop's texts and the most units of a kind a player may own.
    static const char* BonusName(int32_t kind);
    static const char* BonusDescription(int32_t kind);  // null when the kind has none
    static int32_t BonusLimit(int32_t kind);
    static float ShopRowY(int32_t row);

    // End of a day: raises the shop cash for the bonus hint, writes the counts
    // back to the profile and places a buy button for each bonus kind.
    void LayOutShop();
    // Units of the bonus the player owns: the profile's count (the day's without a profile).
    int32_t OwnedCount(const GMBonusObj* bonus) const;
    // The price fits the shop cash and the limit is not reached.
    bool CanBuy(const GMBonusObj* bonus) const;
    GMBonusObj* GetBonus(int32_t index) const;
    int32_t GetBuyButtonCount() const { return static_cast<int32_t>(m_buyButtons.size()); }
    GMInteractiveObj* GetBuyButton(int32_t index) const;
    // The bonus the pointer is over in the shop, or null.
    GMBonusObj* GetShopPointed() const;
    float GetVehicleBaseSpeed() const { return m_vehicleBaseSpeed; }
    // The order time step after the running Time Delay bonuses.
    float BonusOrderStep(float step) const;

private:
    void ResetBonuses();
    void ReleaseShop();
    void UpdateBonuses(float x, float y, uint32_t buttons, float dt);
    void StartBonusEffect(GMBonusObj* bonus);
    void ApplyBonusEffect(GMBonusObj* bonus);
    void EndBonusEffect(GMBonusObj* bonus, bool endSound);
    // Ends every running bonus, effect and loop, without the end sound.
    void EndRunningBonuses();
    // Time Reset and Supply All on one waiting order; true when it was supplied.
    bool ApplyOrderBonuses(GMOrderObj* order);
    bool BonusRunning(int32_t kind) const;
    // Show orders and Who is next: the glow under the orders, the rest over the icons.
    void DrawOrderSigns(bool underOrders, DisplayDevice* device);
    void ShopFrame(float x, float y, uint32_t buttons, float dt);
    void EndBonusHint();

    GMOrderSigns m_signs;
    std::vector<GMInteractiveObj*> m_buyButtons;  // each holds a reference
    std::vector<uint8_t> m_bonusApplied;          // per bonus: its effect applied last frame
    GMBonusObj* m_hintedBonus = nullptr;          // the shop's hinted bonus (in m_bonuses)
    float m_vehicleBaseSpeed = 0.0f;
    float m_sleepCycle = 0.0f;
    bool m_timeResetOn = false;
    bool m_supplyAllOn = false;
    float m_shopMouseX = -1000.0f;
    float m_shopMouseY = -1000.0f;
    // ---- end of the bonus block ---------------------------------------------------------
    // ---- Special visitors and the UFO bonus game ---------------------------------------
public:
    static constexpr int32_t kGameCursor = 111;  // cursor resources of the executable
    static constexpr int32_t kUfoCursor = 116;

    // Completes every open order but `except` (only those of its goods when
    // sameGoods) successfully without the vehicle and drops it from the
    // queues, as Supply All (no exception) and the cafes do; thief orders
    // refuse and stay. Returns how many were completed.
    int32_t SupplyOrders(const GMOrderObj* except = nullptr, bool sameGoods = false);
    // Completes one order without the vehicle; false for a thief's.
    bool SupplyOrder(GMOrderObj* order);
    // The n-th (from 1) UFO still flying, not hit and on the screen.
    bool FindUfo(int32_t n, float* x, float* y) const;
    const GMUfoGame& UfoGame() const { return m_ufoGame; }
    // The cursor the day wants over the window: 111, or 116 in the UFO game.
    int32_t GetCursorId() const { return m_cursorId; }

private:
    int32_t UfoStep(float x, float y, uint32_t buttons, float dt);
    void EndUfoGame();

    GMUfoGame m_ufoGame;
    int32_t m_cursorId = kGameCursor;
    bool m_ufoSoundOn = false;
    // ---- end of the special visitors and the UFO bonus game ---------------------------

private:

    DayParameters m_day;
    uint32_t m_stateWord = 0;
    bool m_daySaved = false;  // the day's result is in the profile: never twice
    float m_alpha = 0.0f;

    // Day counters.
    float m_elapsed = 0.0f;
    int32_t m_receipts = 0;
    int32_t m_extraPay = 0;
    int32_t m_ratingPoints = 0;
    int32_t m_delivered = 0;
    int32_t m_ordersLeft = 0;
    int32_t m_ordersTotal = 0;

    // Rating.
    float m_ratingMax = 0.0f;
    float m_ratingValue = 0.0f;
    float m_ratingRatio = 0.0f;
    float m_previousRatio = 0.0f;
    float m_holdTime = kRatingHoldTime;
    float m_decayRate = kRatingDecay;
    float m_holdLeft = 0.0f;
    float m_lowRatingTime = 0.0f;
    float m_highRatingTime = 0.0f;
    float m_ratingRise = 0.0f;

    // Combo: goods number of the run (0 none) and its length.
    int32_t m_comboGoods = 0;
    int32_t m_comboRun = 0;

    // End of the day and between days.
    float m_shopPanel = -523.0f;
    float m_reportZoom = 200.0f;
    float m_reportOffsetX = 0.0f;
    float m_reportOffsetY = 400.0f;
    float m_reportLineTimer = 150.0f;
    int32_t m_reportLines = 0;
    int32_t m_totalScore = 0;
    int32_t m_totalRatingPoints = 0;
    int32_t m_shopCash = 0;
    int32_t m_profileScore = 0;
    int32_t m_profileRatingPoints = 0;
    int32_t m_profileMoney = 0;

    BigMessage m_message;
    std::vector<std::unique_ptr<GMMessage>> m_texts;

    // The town.
    GMFieldGrid m_grid;
    GMObjectArray m_drawList;
    GMObjectArray m_decorations[5];
    GMObjectArray m_bonuses;
    GMObjectArray m_buildings;
    GMObjectArray m_shopGoods;
    GMObjectArray m_icons;
    GMObjectArray m_customers;
    GMObjectArray m_orders;
    GMObjectArray m_police;
    GMRoadNodeObj* m_currentNode = nullptr;  // the node the link tags refer to (not held)
    GMTransportObj* m_vehicle = nullptr;
    GMTransportObj* m_policeCar = nullptr;
    GMQueryGoodsObj* m_heldIcon = nullptr;
    GMOrderObj* m_candidate = nullptr;  // held: the order the held goods were last offered to
    int32_t m_remaining = 0;
    std::vector<Job> m_jobs;
    std::vector<GMOrderObj*> m_policeQueue;  // each holds a reference

    // Spawning.
    float m_spawnDelay = 0.0f;
    int32_t m_chosenHouse = -1;
    GMCustomerObj* m_chosenCustomer = nullptr;
    GMShopGoodsObj* m_chosenGoods = nullptr;
    int32_t m_houseCount = 0;
    bool m_paused = false;
    float m_goodsWeight = 0.0f;
    float m_customerWeight = 0.0f;
    float m_customerWeightNow = 0.0f;
    int32_t m_waitingThieves = 0;
    int32_t m_policeIcons = 0;
    bool m_warningOn = false;

    // Tutorial hints.
    int32_t m_tutorialKind = 0;
    int32_t m_tutorialStep = 0;
    GMInteractiveObj* m_tutorialTarget = nullptr;  // held
    GMOrderObj* m_tutorialOrder = nullptr;         // held
    GMImage* m_tutorialImages[2] = {};
    float m_tutorialX = 0.0f;
    float m_tutorialY = 0.0f;
    bool m_tutorialBelow = false;  // the arrow under its object, pointing up
    int32_t m_ordersPlaced = 0;

    // Interface of the day.
    GMImage* m_background = nullptr;  // BAK
    GMImage* m_frameImage = nullptr;  // FRI
    GMImage* m_fontStd = nullptr;
    GMImage* m_fontBig = nullptr;
    GMImage* m_congratulation = nullptr;
    GMImage* m_endLevel = nullptr;
    GMImage* m_comboBack = nullptr;
    GMImage* m_orderNormal = nullptr;     // OIT
    GMImage* m_orderHighlight = nullptr;  // OHT
    GMImage* m_litIcon = nullptr;         // ASI
    GMImage* m_unlitIcon = nullptr;       // GSI
    GMImage* m_plateNormal = nullptr;     // SHB
    GMImage* m_plateHighlight = nullptr;  // SHH
    GMImage* m_queueMark = nullptr;       // TSM
    GMImage* m_pathMarker = nullptr;
    GMImage* m_flashStar = nullptr;
    GMImage* m_panelImages[4] = {};      // BSI, SBK, SFI, TFI
    std::vector<GMImage*> m_hudImages;  // the other pictures the HUD keeps
    GMInteractiveObj* m_menuButton = nullptr;
    GMInteractiveObj* m_diaryButton = nullptr;
    std::unique_ptr<GMStoryLayout> m_story;
    GMHud m_hud;
    GMMiniGame m_miniGame;  // level kind 1 only

    std::string m_fileName;
    int32_t m_levelNumber = 0;
    GMProfile* m_profile = nullptr;     // borrowed from the application
    GMSoundSystem* m_sound = nullptr;   // borrowed
    GameRandom m_random;
    bool m_seedFixed = false;
    uint32_t m_fixedSeed = 1;
};
