#include "support/gfx/GfxTestSupport.h"
#include "support/gfx/TemplateWriter.h"
#include "world/GMBonusObj.h"
#include "world/GMBuildingObj.h"
#include "world/GMDecorateObj.h"
#include "world/GMFieldGrid.h"
#include "world/GMPoliceObj.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlack = 0xFF000000;

}  // namespace

class ButtonObjectTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        WriteSolidTemplate("idle", 1, 32, 32, kBlue, "\"IMW\" 32\n\"IMH\" 32\n");
        WriteSolidTemplate("lit", 1, 32, 32, kRed, "\"IMW\" 32\n\"IMH\" 32\n");
        WriteSolidTemplate("icon", 1, 16, 16, kGreen);
    }
    template <class T>
    T* Make(float x, float y)
    {
        auto* obj = new T;
        EXPECT_EQ(obj->SetImage(1, "idle.img", m_manager.get(), m_device), 0);
        EXPECT_EQ(obj->SetImage(0, "lit.img", m_manager.get(), m_device), 0);
        obj->SetPosition(x, y);
        return obj;
    }
    uint32_t DrawnAt(GMObject* obj, int px, int py, float dx = 0, float dy = 0)
    {
        BeginFrame();
        obj->Draw(dx, dy, m_device);
        EndFrame();
        return Pixel(px, py);
    }
};

TEST_F(ButtonObjectTest, ARunningBonusShowsItsHighlightAndIgnoresClicks)
{
    auto* bonus = Make<GMBonusObj>(100, 100);
    EXPECT_EQ(bonus->GetKind(), kKindBonus);
    bonus->SetDuration(15000.0f);
    EXPECT_FALSE(bonus->IsRunning());
    EXPECT_EQ(bonus->Update(100, 100, 1, 16.0f), 1) << "idle: a click uses it";
    bonus->Activate(true);
    EXPECT_FLOAT_EQ(bonus->GetTimeLeft(), 15000.0f);
    for (int second = 1; second < 15; ++second) {
        EXPECT_EQ(bonus->Update(100, 100, 1, 1000.0f), 0) << second << " s: running, the click is ignored";
        EXPECT_TRUE(bonus->IsRunning());
    }
    EXPECT_EQ(bonus->Update(400, 400, 0, 500.0f), 0);
    EXPECT_FALSE(bonus->IsHighlighted());
    EXPECT_EQ(DrawnAt(bonus, 100, 100), kRed) << "running: the highlight picture, pointer or not";
    EXPECT_EQ(bonus->Update(100, 100, 1, 499.0f), 0);
    EXPECT_EQ(bonus->Update(100, 100, 1, 1.0f), 1) << "run out at 15 s: usable again";
    EXPECT_FLOAT_EQ(bonus->GetTimeLeft(), 0.0f);
    bonus->Update(400, 400, 0, 100.0f);
    EXPECT_FLOAT_EQ(bonus->GetTimeLeft(), 0.0f) << "never below 0";
    EXPECT_EQ(DrawnAt(bonus, 100, 100), kBlue) << "idle and not hovered: the normal picture";
    bonus->Update(100, 100, 0, 16.0f);
    EXPECT_EQ(DrawnAt(bonus, 100, 100), kRed) << "hovered";
    EXPECT_EQ(bonus->Update(100, 100, 2, 16.0f), 0) << "a right click is no use";
    EXPECT_EQ(bonus->Update(400, 400, 1, 16.0f), 0) << "nor a click elsewhere";

    bonus->Activate(true);
    bonus->Activate(false);
    EXPECT_FALSE(bonus->IsRunning());
    bonus->Release();
}

TEST_F(ButtonObjectTest, BonusValuesAndDurationCut)
{
    auto* bonus = Make<GMBonusObj>(100, 100);
    bonus->SetDuration(10000.0f);
    bonus->Activate(true);
    bonus->Update(400, 400, 0, 2000.0f);
    ASSERT_FLOAT_EQ(bonus->GetTimeLeft(), 8000.0f);
    bonus->SetDuration(5000.0f);
    EXPECT_FLOAT_EQ(bonus->GetTimeLeft(), 5000.0f) << "cut to the new duration";
    EXPECT_FLOAT_EQ(bonus->GetDuration(), 5000.0f);
    bonus->SetDuration(9000.0f);
    EXPECT_FLOAT_EQ(bonus->GetTimeLeft(), 5000.0f) << "a longer duration leaves the running use";
    bonus->SetDuration(-3.0f);
    EXPECT_FLOAT_EQ(bonus->GetDuration(), 0.0f);
    EXPECT_FALSE(bonus->IsRunning());

    bonus->SetPrice(-5);
    bonus->SetCount(-2);
    EXPECT_EQ(bonus->GetPrice() + bonus->GetCount(), 0) << "negative prices and counts are stored as 0";
    bonus->SetCount(3);
    bonus->SetBonusKind(GMBonusObj::kExtraSlot);

    // Cleared: every value back to its default, pictures gone.
    bonus->SetIconImage("icon.img", m_manager.get(), m_device);
    bonus->Clear();
    EXPECT_EQ(bonus->GetKind(), kKindBonus);
    EXPECT_EQ(bonus->GetCount() + bonus->GetPrice() + bonus->GetBonusKind(), 0);
    EXPECT_EQ(bonus->GetIconImage().PeekTemplate(), nullptr);
    EXPECT_EQ(DrawnAt(bonus, 100, 100), kBlack);
    bonus->Release();
}

TEST_F(ButtonObjectTest, BonusPilesIconsAndColour)
{
    auto* bonus = Make<GMBonusObj>(100, 100);
    ASSERT_EQ(bonus->SetIconImage("icon.img", m_manager.get(), m_device), 0);
    bonus->SetScale(2.0f);

    // The offset moves the whole picture; the scale is not applied.
    BeginFrame();
    bonus->Draw(10.0f, 20.0f, m_device);
    EndFrame();
    EXPECT_EQ(Pixel(94, 104), kBlue) << "top-left of 32 x 32 centred on (110, 120)";
    EXPECT_EQ(Pixel(125, 135), kBlue);
    EXPECT_EQ(Pixel(93, 120), kBlack);
    EXPECT_EQ(Pixel(126, 120), kBlack);

    bonus->SetColor(0xFF808080);
    BeginFrame();
    bonus->DrawIcon(300.0f, 300.0f, m_device);
    bonus->DrawNormal(500.0f, 300.0f, m_device);
    EndFrame();
    EXPECT_EQ(Pixel(292, 292), 0xFF008000u) << "the icon, 16 x 16, centred, in the button's colour";
    EXPECT_EQ(Pixel(291, 300), kBlack);
    EXPECT_EQ(Pixel(308, 300), kBlack);
    EXPECT_EQ(Pixel(484, 284), 0xFF000080u) << "the normal picture, unscaled";
    EXPECT_EQ(Pixel(483, 300), kBlack);
    bonus->Release();
}

TEST_F(ButtonObjectTest, PolicePostAnswersClicksAndHoldsItsBuilding)
{
    auto* post = Make<GMPoliceObj>(200, 200);
    EXPECT_EQ(post->GetKind(), kKindPolice);
    EXPECT_EQ(post->Update(200, 200, 0, 16.0f), 0) << "hover alone";
    EXPECT_EQ(post->Update(200, 200, 1, 16.0f), 1);
    EXPECT_EQ(post->Update(200, 200, 2, 16.0f), 0);
    EXPECT_EQ(post->Update(300, 200, 1, 16.0f), 0) << "a click elsewhere";
    post->SetEnabled(false);
    EXPECT_EQ(post->Update(200, 200, 1, 16.0f), 0) << "a disabled post never highlights";

    auto* house = new GMBuildingObj;
    post->SetBuilding(house);
    post->SetBuilding(house);
    EXPECT_EQ(house->GetRefCount(), 2);
    EXPECT_EQ(post->GetBuilding(), house);
    post->Release();
    EXPECT_EQ(house->GetRefCount(), 1) << "the post lets its building go";
    house->Release();
}

TEST_F(ButtonObjectTest, PolicePostMeetsTheBuildingsDrawnPicture)
{
    // Cells of 40 x 30 from (10, 20); the house picture's hit box is 40 x 50.
    WriteSolidTemplate("house", 1, 48, 64, kGreen, "\"IMW\" 40\n\"IMH\" 50\n");
    GMFieldGrid grid;
    grid.originX = 10.0f;
    grid.originY = 20.0f;
    grid.cellWidth = 40.0f;
    grid.cellHeight = 30.0f;
    auto* house = new GMBuildingObj;
    ASSERT_EQ(house->SetImage("house.img", m_manager.get(), m_device), 0);
    grid.Place(2, 3, 0, house);
    // Foot at (110, 140): box x 90..130, y 90..140. The post's box is 32 x 32.
    auto* post = Make<GMPoliceObj>(0, 0);
    for (auto [x, y, meets] : {std::tuple{146.0f, 120.0f, true}, {146.5f, 120.0f, false}, {74.0f, 120.0f, true},
                               {73.0f, 120.0f, false}, {110.0f, 156.0f, true}, {110.0f, 157.0f, false},
                               {110.0f, 74.0f, true}, {110.0f, 73.5f, false}, {146.0f, 156.0f, true}}) {
        post->SetPosition(x, y);
        EXPECT_EQ(post->OverlapsBuilding(house, grid), meets) << x << "," << y;
    }
    post->SetScale(0.5f);
    post->SetPosition(146.0f, 120.0f);
    EXPECT_FALSE(post->OverlapsBuilding(house, grid)) << "the post's box is scaled";
    EXPECT_FALSE(post->OverlapsBuilding(nullptr, grid));
    post->Release();
    house->Release();
}

TEST_F(ButtonObjectTest, DecorationBoxStandsOnItsFoot)
{
    WriteSolidTemplate("tree", 1, 32, 64, kGreen, "\"IMW\" 20\n\"IMH\" 50\n");
    auto* tree = new GMDecorateObj;
    ASSERT_EQ(tree->SetImage("tree.img", m_manager.get(), m_device), 0);
    tree->SetPosition(200.0f, 300.0f);
    EXPECT_TRUE(tree->ContainsPoint(200.0f, 300.0f)) << "exactly at the foot";
    EXPECT_TRUE(tree->ContainsPoint(200.0f, 250.0f)) << "exactly IMH above it";
    EXPECT_FALSE(tree->ContainsPoint(200.0f, 301.0f)) << "one pixel below the foot";
    EXPECT_FALSE(tree->ContainsPoint(200.0f, 249.0f));
    EXPECT_TRUE(tree->ContainsPoint(190.0f, 300.0f));
    EXPECT_TRUE(tree->ContainsPoint(210.0f, 250.0f)) << "the corners count";
    EXPECT_FALSE(tree->ContainsPoint(189.0f, 280.0f));
    tree->Release();
}
