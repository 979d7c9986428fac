#include "gfx/GMImageTemplate.h"
#include "support/gfx/GfxTestSupport.h"
#include "support/gfx/TemplateWriter.h"
#include "world/GMCustomerObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMQueryGoodsObj.h"

#include <gtest/gtest.h>

TEST(GMCustomerObj, PatienceRunsOutBelowZeroAndStaysOut)
{
    auto* c = new GMCustomerObj;
    EXPECT_EQ(c->GetKind(), kKindCustomer);
    EXPECT_FLOAT_EQ(c->GetPatience(), 10000.0f);
    EXPECT_FALSE(c->IsInUse());
    c->SetPatience(300.0f);
    EXPECT_EQ(c->Update(0.0f, 0.0f, 0, 200.0f), 0);
    EXPECT_EQ(c->Update(0.0f, 0.0f, 0, 100.0f), 0) << "landing exactly on 0 is not yet out";
    EXPECT_FLOAT_EQ(c->GetPatience(), 0.0f);
    EXPECT_EQ(c->Update(0.0f, 0.0f, 0, 10.0f), 1);
    EXPECT_FLOAT_EQ(c->GetPatience(), 0.0f) << "never below 0";
    EXPECT_EQ(c->Update(0.0f, 0.0f, 0, 10.0f), 1) << "an expired customer keeps reporting";
    c->Release();
}

TEST(GMCustomerObj, BadLevelValuesStoreZeroAndFactorsStayInRange)
{
    auto* c = new GMCustomerObj;
    c->SetPatience(-5000.0f);
    c->SetWeight(-2.0f);
    EXPECT_FLOAT_EQ(c->GetPatience(), 0.0f);
    EXPECT_FLOAT_EQ(c->GetWeight(), 0.0f);
    c->SetWeight(3.5f);
    EXPECT_FLOAT_EQ(c->GetWeight(), 3.5f);
    c->SetFactor(0, 2.0f);
    c->SetFactor(1, 0.25f);
    c->SetFactor(2, 9.0f);
    c->SetFactor(-1, 9.0f);
    EXPECT_FLOAT_EQ(c->GetFactor(0), 2.0f);
    EXPECT_FLOAT_EQ(c->GetFactor(1), 0.25f);
    EXPECT_FLOAT_EQ(c->GetFactor(2), 0.0f);
    EXPECT_FLOAT_EQ(c->GetFactor(-1), 0.0f);
    c->SetCustomerKind(3);
    c->SetInUse(true);
    EXPECT_EQ(c->GetCustomerKind(), 3);
    EXPECT_TRUE(c->IsInUse());
    c->Clear();
    EXPECT_EQ(c->GetKind(), kKindCustomer) << "clearing keeps the kind";
    EXPECT_FLOAT_EQ(c->GetPatience(), 10000.0f);
    EXPECT_FALSE(c->IsInUse());
    EXPECT_FLOAT_EQ(c->GetFactor(0), 1.0f);
    c->Release();
}

class GoodsTest : public DeviceTest {
protected:
    // A 32 x 32 icon with a 32 x 32 hit box.
    GMQueryGoodsObj* NewIcon(float x, float y)
    {
        WriteSolidTemplate("icon", 1, 32, 32, 0xFF40A040, "\"IMW\" 32\n\"IMH\" 32\n");
        WriteSolidTemplate("iconH", 1, 32, 32, 0xFF80F080, "\"IMW\" 32\n\"IMH\" 32\n");
        auto* icon = new GMQueryGoodsObj;
        EXPECT_EQ(icon->SetImage(1, "icon.img", m_manager.get(), m_device), 0);
        EXPECT_EQ(icon->SetImage(0, "iconH.img", m_manager.get(), m_device), 0);
        icon->SetPosition(x, y);
        icon->SetTarget(x, y);
        return icon;
    }
};

TEST_F(GoodsTest, CopyTakesNumberPriceAndBothPictures)
{
    WriteSolidTemplate("cake", 1, 32, 32, 0xFFFF8000);
    WriteSolidTemplate("cakeH", 1, 32, 32, 0xFFFFC000);
    auto* shop = new GMShopGoodsObj;
    EXPECT_EQ(shop->GetKind(), kKindShopGoods);
    shop->SetImage(1, "cake.img", m_manager.get(), m_device);
    shop->SetImage(0, "cakeH.img", m_manager.get(), m_device);
    shop->SetGoodsNumber(7);
    shop->SetPrice(-12.0f);
    EXPECT_FLOAT_EQ(shop->GetPrice(), 0.0f) << "negative prices store 0";
    shop->SetPrice(40.0f);
    shop->SetWeight(-1.0f);
    EXPECT_FLOAT_EQ(shop->GetWeight(), 0.0f) << "negative weights store 0";

    auto* copy = new GMGoodsObj;
    EXPECT_EQ(copy->GetKind(), kKindGoods);
    copy->CopyFrom(shop);
    EXPECT_EQ(copy->GetGoodsNumber(), 7);
    EXPECT_FLOAT_EQ(copy->GetPrice(), 40.0f);
    EXPECT_STREQ(copy->GetImageName(1), "cake.img");
    EXPECT_STREQ(copy->GetImageName(0), "cakeH.img");
    copy->CopyFrom(nullptr);
    EXPECT_EQ(copy->GetGoodsNumber(), 7) << "a null goods changes nothing";

    // Goods without pictures leave the copy without pictures, not with stale ones.
    auto* bare = new GMGoodsObj;
    bare->SetGoodsNumber(12);
    copy->CopyFrom(bare);
    EXPECT_EQ(copy->GetGoodsNumber(), 12);
    EXPECT_EQ(copy->GetImage(1).PeekTemplate(), nullptr);
    EXPECT_EQ(copy->GetImage(0).PeekTemplate(), nullptr);
    bare->Release();
    copy->Release();
    shop->Release();
}

TEST_F(GoodsTest, ShopGoodsReportOnlyALeftClickWhileHovered)
{
    WriteSolidTemplate("g", 1, 20, 20, 0xFFFFFFFF, "\"IMW\" 20\n\"IMH\" 20\n");
    auto* shop = new GMShopGoodsObj;
    shop->SetImage(1, "g.img", m_manager.get(), m_device);
    shop->SetImage(0, "g.img", m_manager.get(), m_device);
    shop->SetPosition(100.0f, 100.0f);
    EXPECT_EQ(shop->Update(100.0f, 100.0f, 1, 10.0f), 1);
    EXPECT_EQ(shop->Update(100.0f, 100.0f, 0, 10.0f), 0);
    EXPECT_EQ(shop->Update(100.0f, 100.0f, 2, 10.0f), 0) << "a right click is no pick";
    EXPECT_EQ(shop->Update(111.0f, 100.0f, 1, 10.0f), 0) << "a click beside it";
    shop->Release();
}

TEST_F(GoodsTest, FlyingHundredPixelsAtHalfAPixelPerMsTakes200Ms)
{
    auto* icon = NewIcon(300.0f, 200.0f);
    EXPECT_TRUE(icon->IsAtRest());
    icon->SetPosition(200.0f, 200.0f);
    icon->SetFlySpeed(0.5f);
    icon->ReturnToTarget();
    EXPECT_EQ(icon->GetMotion(), GMQueryGoodsObj::kFlying);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(icon->Update(0.0f, 0.0f, 0, 20.0f), 0);
    EXPECT_FALSE(icon->IsAtRest()) << "still 10 px short after 180 ms";
    EXPECT_NEAR(icon->GetX(), 290.0f, 1e-3f);
    icon->Update(0.0f, 0.0f, 0, 20.0f);
    EXPECT_TRUE(icon->IsAtRest()) << "arrived after 200 ms";
    EXPECT_EQ(icon->GetX(), 300.0f) << "exactly at home";
    icon->Update(0.0f, 0.0f, 0, 20.0f);
    EXPECT_EQ(icon->GetX(), 300.0f) << "and rests there";

    // Diagonally: 3-4-5, 5 px per frame, along the straight line.
    icon->SetPosition(0.0f, 0.0f);
    icon->SetTarget(30.0f, 40.0f);
    icon->Update(-100.0f, -100.0f, 0, 10.0f);
    EXPECT_NEAR(icon->GetX(), 3.0f, 1e-4f);
    EXPECT_NEAR(icon->GetY(), 4.0f, 1e-4f);
    icon->SetTarget(3.0f, 4.0f);
    EXPECT_TRUE(icon->IsAtRest()) << "a target where it already is means no flight";
    icon->SetFlySpeed(-1.0f);
    EXPECT_FLOAT_EQ(icon->GetFlySpeed(), 0.0f) << "never flies away from home";
    icon->Release();
}

TEST_F(GoodsTest, RestingAndFlyingIconsReportClicks)
{
    auto* icon = NewIcon(100.0f, 100.0f);
    EXPECT_EQ(icon->Update(100.0f, 100.0f, 1, 10.0f), GMQueryGoodsObj::kClicked);
    EXPECT_EQ(icon->Update(100.0f, 100.0f, 2, 10.0f), 0);
    icon->SetPosition(400.0f, 100.0f);
    icon->ReturnToTarget();
    EXPECT_EQ(icon->Update(400.0f, 100.0f, 1, 10.0f), GMQueryGoodsObj::kClicked) << "caught in flight";
    icon->Release();
}

TEST_F(GoodsTest, AHeldIconFollowsThePointerAndNeverReportsAClick)
{
    auto* icon = NewIcon(100.0f, 100.0f);
    icon->SetPosition(160.0f, 100.0f);
    icon->ReturnToTarget();
    icon->Update(0.0f, 0.0f, 0, 10.0f);  // on its way home
    GMPoint before{icon->GetX(), icon->GetY()};
    icon->StartDrag();
    EXPECT_TRUE(icon->IsDragged());
    EXPECT_FLOAT_EQ(icon->GetTarget().x, 100.0f) << "picked up in flight, its home stays at the shop";
    EXPECT_NE(before.x, 100.0f);

    for (auto [mx, my] : {std::pair{250.0f, 300.0f}, {251.0f, 300.0f}, {400.0f, 20.0f}}) {
        EXPECT_EQ(icon->Update(mx, my, 1, 16.0f), 0);
        EXPECT_FALSE(icon->IsHighlighted()) << "the pointer right on it does not light it";
        EXPECT_FLOAT_EQ(icon->GetX(), mx);
        EXPECT_FLOAT_EQ(icon->GetY(), my);
    }
    // Let go: it flies home at 3.5 px per ms by default.
    icon->ReturnToTarget();
    EXPECT_EQ(icon->GetMotion(), GMQueryGoodsObj::kFlying);
    for (int i = 0; i < 100 && !icon->IsAtRest(); ++i)
        icon->Update(0.0f, 0.0f, 0, 10.0f);
    EXPECT_TRUE(icon->IsAtRest());
    EXPECT_FLOAT_EQ(icon->GetX(), 100.0f);
    EXPECT_FLOAT_EQ(icon->GetY(), 100.0f);
    icon->StartDrag();
    icon->StopMotion();
    EXPECT_TRUE(icon->IsAtRest());
    icon->Release();
}

TEST_F(GoodsTest, GrowingAndShrinkingScaleTheIcon)
{
    auto* icon = NewIcon(100.0f, 100.0f);
    icon->SetTransitionTime(150.0f);
    icon->StartTransition(true);
    EXPECT_EQ(icon->GetTransition(), GMQueryGoodsObj::kGrowing);
    EXPECT_TRUE(icon->IsScaleZero()) << "not drawn full size before its first update";
    EXPECT_EQ(icon->Draw(0.0f, 0.0f, m_device), 0) << "hidden while growing is no report";
    EXPECT_EQ(icon->Update(0.0f, 0.0f, 0, 75.0f), 0);
    EXPECT_FLOAT_EQ(icon->GetScale(), 0.5f);
    EXPECT_EQ(icon->Update(100.0f, 100.0f, 1, 75.0f), GMQueryGoodsObj::kClicked) << "grown, and clicked in the same frame";
    EXPECT_FLOAT_EQ(icon->GetScale(), 1.0f);
    EXPECT_EQ(icon->GetTransition(), 0);

    // Shrinking at rest: no report, and a vanishing icon is not picked up.
    icon->StartTransition(false);
    EXPECT_EQ(icon->Update(100.0f, 100.0f, 1, 50.0f), 0);
    EXPECT_NEAR(icon->GetScale(), 2.0f / 3.0f, 1e-6f);
    // Held while shrinking: 3 every frame, never highlighted.
    icon->StartDrag();
    EXPECT_EQ(icon->Update(100.0f, 100.0f, 1, 50.0f), GMQueryGoodsObj::kShrinkingAway);
    EXPECT_FALSE(icon->IsHighlighted());
    EXPECT_EQ(icon->Update(100.0f, 100.0f, 0, 50.0f), GMQueryGoodsObj::kGone);
    EXPECT_TRUE(icon->IsScaleZero());
    EXPECT_EQ(icon->Draw(0.0f, 0.0f, m_device), 1);
    // Gone without removal: the empty box at its centre takes no clicks.
    icon->StopMotion();
    EXPECT_EQ(icon->Update(icon->GetX(), icon->GetY(), 1, 10.0f), 0);
    EXPECT_FALSE(icon->IsHighlighted());

    icon->SetRemoveWhenGone(true);
    EXPECT_EQ(icon->Update(0.0f, 0.0f, 0, 10.0f), GMQueryGoodsObj::kGoneRemove)
        << "reported every frame while at scale 0 with the flag";
    icon->Release();
}

TEST_F(GoodsTest, FlyingShrinkReportsThreeThenFive)
{
    auto* icon = NewIcon(100.0f, 100.0f);
    icon->SetPosition(100.0f, 400.0f);
    icon->ReturnToTarget();
    icon->SetRemoveWhenGone(true);
    icon->SetTransitionTime(100.0f);
    icon->StartTransition(false);
    EXPECT_EQ(icon->Update(100.0f, 400.0f, 1, 40.0f), GMQueryGoodsObj::kShrinkingAway) << "no click while flying away";
    EXPECT_FALSE(icon->IsHighlighted());
    icon->SetTransitionTime(30.0f);
    EXPECT_FLOAT_EQ(icon->GetTransitionLeft(), 30.0f) << "a shorter time cuts what is left";
    EXPECT_EQ(icon->Update(0.0f, 0.0f, 0, 30.0f), GMQueryGoodsObj::kGoneRemove);

    // A negative time ends the transition on the next update, without a division by zero.
    auto* other = NewIcon(50.0f, 50.0f);
    other->SetTransitionTime(-10.0f);
    other->StartTransition(false);
    EXPECT_EQ(other->Update(0.0f, 0.0f, 0, 0.0f), GMQueryGoodsObj::kGone);
    other->Release();
    icon->Release();
}

TEST_F(GoodsTest, ClearingGivesThePicturesBack)
{
    auto* icon = NewIcon(10.0f, 20.0f);
    GMImageTemplate* t = icon->GetImageTemplate(1);  // a reference of our own
    ASSERT_NE(t, nullptr);
    int32_t held = t->GetRefCount();
    icon->SetSlotNumber(4);
    icon->Clear();
    EXPECT_EQ(icon->GetImage(1).PeekTemplate(), nullptr);
    EXPECT_EQ(t->GetRefCount(), held - 1) << "the icon's reference is gone";
    EXPECT_EQ(icon->GetKind(), kKindQueryGoods);
    EXPECT_EQ(icon->GetSlotNumber(), 0);
    EXPECT_FLOAT_EQ(icon->GetTarget().x, 0.0f);
    icon->Clear();  // twice is harmless
    icon->Release();
    t->Release();
}
