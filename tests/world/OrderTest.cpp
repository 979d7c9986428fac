#include "gfx/GMImageManager.h"
#include "gfx/GMImageTemplate.h"
#include "support/gfx/GfxTestSupport.h"
#include "support/gfx/TemplateWriter.h"
#include "world/GMBuildingObj.h"
#include "world/GMCustomerObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMOrderObj.h"
#include "world/GMRoadNodeObj.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kBubble = 0xFF2040C0u;
constexpr uint32_t kBubbleLit = 0xFF4080FFu;
constexpr uint32_t kFace = 0xFFC02020u;
constexpr uint32_t kCake = 0xFF20A020u;
constexpr uint32_t kLit = 0xFFFFD000u;
constexpr uint32_t kUnlit = 0xFF606060u;
constexpr uint32_t kBlack = 0xFF000000u;

class OrderTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        // Bubble 96 x 64, portrait 32 x 32, goods 40 x 40, icons 12 x 12, overlay 8 x 8.
        WriteSolidTemplate("bubble", 1, 96, 64, kBubble, "\"IMW\" 96\n\"IMH\" 64\n");
        WriteSolidTemplate("bubbleH", 1, 96, 64, kBubbleLit, "\"IMW\" 96\n\"IMH\" 64\n");
        WriteSolidTemplate("face", 1, 32, 32, kFace, "\"IMW\" 32\n\"IMH\" 32\n");
        WriteSolidTemplate("faceH", 1, 32, 32, 0xFFFF6060u, "\"IMW\" 32\n\"IMH\" 32\n");
        WriteSolidTemplate("cake", 1, 40, 40, kCake, "\"IMW\" 40\n\"IMH\" 40\n");
        WriteSolidTemplate("lit", 1, 12, 12, kLit);
        WriteSolidTemplate("unlit", 1, 12, 12, kUnlit);
        WriteSolidTemplate("star", 1, 8, 8, 0xFFFFFFFFu);

        m_customerKind = new GMCustomerObj;
        m_customerKind->SetImage(1, "face.img", m_manager.get(), m_device);
        m_customerKind->SetImage(0, "faceH.img", m_manager.get(), m_device);
        m_customerKind->SetPatience(60000.0f);
        m_customerKind->SetCustomerKind(2);
        m_customerKind->SetFactor(0, 1.5f);
        m_customerKind->SetFactor(1, 0.5f);
        m_shopGoods = new GMShopGoodsObj;
        m_shopGoods->SetImage(1, "cake.img", m_manager.get(), m_device);
        m_shopGoods->SetImage(0, "cake.img", m_manager.get(), m_device);
        m_shopGoods->SetGoodsNumber(5);
        m_shopGoods->SetPrice(30.0f);
    }

    void TearDown() override
    {
        m_customerKind->Release();
        m_shopGoods->Release();
        DeviceTest::TearDown();
    }

    GMImageTemplate* Template(const char* name)
    {
        int32_t index = m_manager->LoadTemplate(name, m_device);
        return index < 0 ? nullptr : m_manager->GetTemplate(index);
    }

    // An open order (no transition) centred at (200, 150).
    GMOrderObj* NewOrder()
    {
        auto* order = new GMOrderObj;
        EXPECT_EQ(order->SetImage(1, "bubble.img", m_manager.get(), m_device), 0);
        EXPECT_EQ(order->SetImage(0, "bubbleH.img", m_manager.get(), m_device), 0);
        order->SetPosition(200.0f, 150.0f);
        order->SetCustomerFrom(m_customerKind);
        order->SetGoodsFrom(m_shopGoods);
        order->SetIconTemplates(Template("lit.img"), Template("unlit.img"));
        return order;
    }

    // Lit, unlit or empty for each of the six icon places under the bubble at (200, 150).
    std::vector<uint32_t> IconRow() const
    {
        std::vector<uint32_t> row;
        for (int i = 0; i < 6; ++i)
            row.push_back(Pixel(int(158.0f + 16.8f * float(i)), 188));
        return row;
    }

    GMCustomerObj* m_customerKind = nullptr;
    GMShopGoodsObj* m_shopGoods = nullptr;
};

}  // namespace

TEST_F(OrderTest, SixtySecondPatienceLosesAnIconEveryTenSeconds)
{
    auto* order = NewOrder();
    EXPECT_EQ(order->GetPatienceLevel(), 6);
    for (int second = 1; second <= 60; ++second) {
        ASSERT_EQ(order->Update(0.0f, 0.0f, 0, 1000.0f), 0) << "at " << second << " s";
        int expected = second <= 10 ? 6 : 6 - (second - 1) / 10;
        EXPECT_EQ(order->GetPatienceLevel(), expected) << "at " << second << " s";
    }
    EXPECT_EQ(order->GetPatienceLevel(), 1) << "1, never 0, once the patience is used up";
    EXPECT_EQ(order->Update(0.0f, 0.0f, 0, 16.0f), GMOrderObj::kPatienceOut) << "the first update after 60 s";
    EXPECT_EQ(order->Update(0.0f, 0.0f, 0, 16.0f), GMOrderObj::kPatienceOut);
    EXPECT_EQ(order->GetPatienceLevel(), 1);
    order->Release();
}

TEST_F(OrderTest, AClickInTheFrameThePatienceRunsOutIsAClick)
{
    auto* order = NewOrder();
    order->SetPatience(100.0f);
    EXPECT_FLOAT_EQ(order->GetPatienceLeft(), 100.0f);
    EXPECT_EQ(order->Update(200.0f, 150.0f, 1, 150.0f), GMOrderObj::kClicked);
    EXPECT_EQ(order->Update(200.0f, 150.0f, 0, 10.0f), GMOrderObj::kPatienceOut);
    EXPECT_EQ(order->Update(200.0f, 150.0f, 2, 10.0f), GMOrderObj::kPatienceOut) << "a right click is no click";
    order->Release();
}

TEST_F(OrderTest, ADisappearingOrderNeitherCountsDownNorTakesClicks)
{
    auto* order = NewOrder();
    order->Update(200.0f, 150.0f, 0, 10.0f);
    ASSERT_TRUE(order->IsHighlighted());
    float patience = order->GetPatienceLeft();
    order->SetTransitionTime(250.0f);
    order->StartTransition(false);
    EXPECT_EQ(order->GetColor(), 0xFFFFFFFFu);
    EXPECT_EQ(order->Update(200.0f, 150.0f, 1, 50.0f), GMOrderObj::kDisappearingNow);
    EXPECT_FLOAT_EQ(order->GetPatienceLeft(), patience);
    EXPECT_FALSE(order->IsHighlighted());
    EXPECT_FALSE(order->GetCustomer()->IsHighlighted()) << "the copies go dark with the bubble";
    EXPECT_FLOAT_EQ(order->GetScale(), 0.8f);
    EXPECT_EQ(order->GetColor() >> 24, 204u);
    order->StartTransition(false);  // already disappearing: not restarted
    EXPECT_EQ(order->Update(200.0f, 150.0f, 1, 150.0f), GMOrderObj::kDisappearingNow);
    EXPECT_NEAR(order->GetScale(), 0.2f, 1e-6f);
    EXPECT_EQ(order->Update(200.0f, 150.0f, 1, 50.0f), GMOrderObj::kGone);
    EXPECT_FLOAT_EQ(order->GetScale(), 0.0f);
    EXPECT_EQ(order->GetColor(), 0x00FFFFFFu);
    EXPECT_FLOAT_EQ(order->GetPatienceLeft(), patience);
    EXPECT_EQ(order->Update(order->GetX(), order->GetY(), 1, 50000.0f), 0) << "a hidden order does nothing";
    EXPECT_FLOAT_EQ(order->GetPatienceLeft(), patience);
    EXPECT_EQ(order->Draw(0.0f, 0.0f, m_device), 1);
    order->Release();
}

TEST_F(OrderTest, AnOrderAppearingOver500MsIsHalfGrownAndHalfOpaqueAfter250)
{
    auto* order = NewOrder();
    order->SetTransitionTime(500.0f);
    order->StartTransition(true);
    EXPECT_EQ(order->GetColor(), 0x00FFFFFFu);
    EXPECT_EQ(order->Draw(0.0f, 0.0f, m_device), 0) << "nothing to draw yet, but it is coming";
    EXPECT_EQ(order->Update(0.0f, 0.0f, 0, 250.0f), 0);
    EXPECT_FLOAT_EQ(order->GetScale(), 0.5f);
    EXPECT_EQ(order->GetColor(), 0x7FFFFFFFu);
    EXPECT_EQ(order->GetCustomer()->GetColor(), 0x7FFFFFFFu);
    EXPECT_EQ(order->GetGoods()->GetColor(), 0x7FFFFFFFu);
    EXPECT_FLOAT_EQ(order->GetCustomer()->GetScale(), 0.5f);
    EXPECT_FLOAT_EQ(order->GetGoods()->GetScale(), 0.65f) << "the goods keep their own scale";
    EXPECT_FLOAT_EQ(order->GetCustomer()->GetX(), 200.0f - 24.0f - 5.0f) << "the portrait follows the smaller bubble";
    order->StartTransition(true);  // already appearing: not restarted
    EXPECT_EQ(order->Update(0.0f, 0.0f, 0, 250.0f), 0);
    EXPECT_EQ(order->GetTransition(), 0);
    EXPECT_FLOAT_EQ(order->GetScale(), 1.0f);
    EXPECT_EQ(order->GetColor(), 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(order->GetPatienceLeft(), 59500.0f) << "the patience runs while it appears";
    order->Release();
}

TEST_F(OrderTest, PrivateCopiesFollowTheBubble)
{
    auto* order = NewOrder();
    GMCustomerObj* customer = order->GetCustomer();
    GMGoodsObj* goods = order->GetGoods();
    ASSERT_NE(customer, m_customerKind);
    ASSERT_NE(goods, static_cast<GMGoodsObj*>(m_shopGoods));
    EXPECT_EQ(order->GetCustomerKind(), 2);
    EXPECT_EQ(order->GetGoodsNumber(), 5);
    EXPECT_FLOAT_EQ(order->GetPrice(), 30.0f);
    EXPECT_FLOAT_EQ(order->GetFactor(0), 1.5f);
    EXPECT_FLOAT_EQ(order->GetFactor(1), 0.5f);
    EXPECT_FLOAT_EQ(order->GetFactor(7), 0.0f);
    EXPECT_STREQ(customer->GetImageName(1), "face.img");

    // The order counts its own copy down; the level's customer kind keeps its patience.
    order->Update(0.0f, 0.0f, 0, 5000.0f);
    EXPECT_FLOAT_EQ(m_customerKind->GetPatience(), 60000.0f);
    m_shopGoods->SetPrice(99.0f);
    EXPECT_FLOAT_EQ(order->GetPrice(), 30.0f);

    EXPECT_FLOAT_EQ(goods->GetX(), 200.0f);
    EXPECT_FLOAT_EQ(goods->GetScale(), 0.65f);
    EXPECT_FLOAT_EQ(customer->GetX(), 200.0f - 48.0f - 5.0f) << "5 px left of the bubble's left edge";
    EXPECT_FLOAT_EQ(customer->GetY(), 150.0f);
    order->SetPosition(300.0f, 400.0f);
    EXPECT_FLOAT_EQ(goods->GetY(), 400.0f);
    EXPECT_FLOAT_EQ(customer->GetX(), 247.0f);
    order->SetScale(2.0f);
    EXPECT_FLOAT_EQ(customer->GetScale(), 2.0f);
    EXPECT_FLOAT_EQ(goods->GetScale(), 0.65f);
    EXPECT_FLOAT_EQ(customer->GetX(), 300.0f - 96.0f - 5.0f);

    // Switching the goods (a TV reporter's order does that) keeps the same copy.
    auto* other = new GMGoodsObj;
    other->SetGoodsNumber(9);
    order->SetGoodsFrom(other);
    EXPECT_EQ(order->GetGoods(), goods);
    EXPECT_EQ(order->GetGoodsNumber(), 9);
    order->SetGoodsFrom(nullptr);
    order->SetCustomerFrom(nullptr);
    EXPECT_EQ(order->GetGoodsNumber(), 9);
    other->Release();
    order->Release();
}

TEST_F(OrderTest, HoverLightsTheBubbleAndItsCopiesTogether)
{
    auto* order = NewOrder();
    GMCustomerObj* customer = order->GetCustomer();
    order->Update(240.0f, 175.0f, 0, 10.0f);  // a corner of the bubble, far from the copies
    EXPECT_TRUE(order->IsHighlighted());
    EXPECT_TRUE(customer->IsHighlighted());
    EXPECT_TRUE(order->GetGoods()->IsHighlighted());
    // On the portrait but outside the bubble: neither lights, and a click there is nothing.
    EXPECT_EQ(order->Update(135.0f, 150.0f, 1, 10.0f), 0);
    EXPECT_FALSE(order->IsHighlighted());
    EXPECT_FALSE(customer->IsHighlighted());
    EXPECT_FALSE(order->GetGoods()->IsHighlighted());
    order->SetEnabled(false);
    EXPECT_EQ(order->Update(200.0f, 150.0f, 1, 10.0f), 0) << "a disabled order takes no clicks";
    EXPECT_FALSE(customer->IsHighlighted());
    order->Release();
}

TEST_F(OrderTest, TheHouseIsOccupiedWhileTheOrderLives)
{
    auto* node = new GMRoadNodeObj;
    auto* house = new GMBuildingObj;
    auto* second = new GMBuildingObj;
    house->SetHouse(true);
    house->SetEntrance(node);
    second->SetHouse(true);
    second->SetEntrance(node);
    ASSERT_TRUE(house->CanPlaceOrder());

    auto* order = NewOrder();
    order->SetHouse(house);
    EXPECT_EQ(order->GetHouse(), house);
    EXPECT_EQ(house->GetRefCount(), 2);
    EXPECT_FALSE(house->IsFree());
    order->SetHouse(house);
    EXPECT_EQ(house->GetRefCount(), 2) << "tying it twice holds one reference";

    order->SetHouse(second);
    EXPECT_TRUE(house->IsFree()) << "the house left behind is free again";
    EXPECT_EQ(house->GetRefCount(), 1);
    EXPECT_FALSE(second->IsFree());

    order->Release();
    EXPECT_TRUE(second->IsFree()) << "the order gone, its house is free";
    EXPECT_FLOAT_EQ(second->GetCooldown(), GMBuildingObj::kCooldownMs);
    EXPECT_FALSE(second->CanPlaceOrder()) << "but waits before the next order";
    EXPECT_EQ(second->GetRefCount(), 1);
    second->Release();
    house->Release();
    node->Release();
}

TEST_F(OrderTest, BadValuesNeverDivideByZero)
{
    // A customer kind with negative patience stores 0: the order is at its last icon
    // and runs out on its first update.
    m_customerKind->SetPatience(-3000.0f);
    auto* order = NewOrder();
    EXPECT_FLOAT_EQ(order->GetPatienceLeft(), 0.0f);
    EXPECT_EQ(order->GetPatienceLevel(), 1);
    EXPECT_EQ(order->Update(0.0f, 0.0f, 0, 16.0f), GMOrderObj::kPatienceOut);
    order->SetPatience(-1.0f);
    EXPECT_EQ(order->GetPatienceLevel(), 1);

    // Without copies: level 0, never out of patience, nothing of them drawn.
    auto* bare = new GMOrderObj;
    bare->SetImage(1, "bubble.img", m_manager.get(), m_device);
    bare->SetPosition(200.0f, 150.0f);
    EXPECT_EQ(bare->GetPatienceLevel(), 0);
    EXPECT_EQ(bare->Update(0.0f, 0.0f, 0, 1e6f), 0);
    EXPECT_EQ(bare->GetGoodsNumber(), 0);
    EXPECT_FLOAT_EQ(bare->GetPrice(), 0.0f);
    EXPECT_FLOAT_EQ(bare->GetFactor(0), 0.0f);
    EXPECT_EQ(bare->GetCustomerKind(), 0);
    bare->SetTransitionTime(-50.0f);
    bare->StartTransition(false);
    EXPECT_EQ(bare->Update(0.0f, 0.0f, 0, 0.0f), GMOrderObj::kGone) << "a negative fading time ends at once";
    bare->SetScale(1.0f);
    bare->SetColor(0xFFFFFFFFu);
    BeginFrame();
    EXPECT_EQ(bare->Draw(0.0f, 0.0f, m_device), 0);
    EndFrame();
    EXPECT_EQ(Pixel(200, 150), kBubble) << "an empty bubble";
    bare->Release();
    order->Release();
}

TEST_F(OrderTest, DrawsBubbleGoodsPortraitAndThePatienceRow)
{
    auto* order = NewOrder();
    BeginFrame();
    order->Draw(0.0f, 0.0f, m_device);
    EndFrame();
    EXPECT_EQ(Pixel(230, 125), kBubble);
    EXPECT_EQ(Pixel(200, 150), kCake) << "the goods at the bubble's centre";
    EXPECT_EQ(Pixel(187, 137), kCake) << "26 x 26 at 0.65";
    EXPECT_EQ(Pixel(186, 150), kBubble);
    EXPECT_EQ(Pixel(140, 150), kFace) << "the portrait left of the bubble";
    EXPECT_EQ(Pixel(160, 150), kFace) << "drawn over the bubble's edge";
    EXPECT_EQ(IconRow(), std::vector<uint32_t>(6, kLit));
    EXPECT_EQ(Pixel(152, 182), kLit) << "the row starts at the bubble's bottom-left corner";
    EXPECT_EQ(Pixel(247, 193), kLit) << "and ends at its right edge";
    EXPECT_EQ(Pixel(152, 194), kBlack);

    // 45 s of 60 used: two icons lit.
    order->Update(0.0f, 0.0f, 0, 45000.0f);
    ASSERT_EQ(order->GetPatienceLevel(), 2);
    BeginFrame();
    order->Draw(0.0f, 0.0f, m_device);
    EndFrame();
    EXPECT_EQ(IconRow(), (std::vector<uint32_t>{kLit, kLit, kUnlit, kUnlit, kUnlit, kUnlit}));

    // Without an unlit picture only the lit icons show.
    order->SetIconTemplates(Template("lit.img"), nullptr);
    BeginFrame();
    order->Draw(0.0f, 0.0f, m_device);
    EndFrame();
    EXPECT_EQ(IconRow(), (std::vector<uint32_t>{kLit, kLit, kBlack, kBlack, kBlack, kBlack}));

    // The overlay adds onto each icon, centred on it.
    order->SetIconTemplates(Template("lit.img"), Template("unlit.img"));
    order->SetOverlay(Template("star.img"), 0xFF000080u);
    BeginFrame();
    order->Draw(0.0f, 0.0f, m_device);
    EndFrame();
    EXPECT_EQ(Pixel(158, 188), 0xFFFFD080u) << "lit icon plus the overlay";
    EXPECT_EQ(Pixel(242, 188), 0xFF6060E0u) << "unlit icon plus the overlay";
    EXPECT_EQ(Pixel(153, 183), kLit) << "the icon's corner is outside the 8 x 8 overlay";
    uint32_t blend = 0;
    m_device->GetRenderState(D3DRENDERSTATE_DESTBLEND, &blend);
    EXPECT_EQ(blend, uint32_t(D3DBLEND_INVSRCALPHA)) << "blending is back to normal afterwards";
    order->Release();
}

TEST_F(OrderTest, AHalfGrownOrderDrawsEverythingAtHalfSize)
{
    auto* order = NewOrder();
    order->SetTransitionTime(500.0f);
    order->StartTransition(true);
    order->Update(0.0f, 0.0f, 0, 250.0f);
    order->SetColor(0xFFFFFFFFu);  // opaque, to read the colours back exactly
    BeginFrame();
    order->Draw(0.0f, 0.0f, m_device);
    EndFrame();
    // Bubble 48 x 32 around (200, 150); goods 13 x 13; portrait 16 x 16 at x 171.
    EXPECT_EQ(Pixel(222, 135), kBubble);
    EXPECT_EQ(Pixel(226, 150), kBlack);
    EXPECT_EQ(Pixel(200, 150), kCake);
    EXPECT_EQ(Pixel(171, 150), kFace);
    EXPECT_EQ(Pixel(162, 150), kBlack);
    // Icons 6 x 6 from (176, 166), 8.4 px apart.
    EXPECT_EQ(Pixel(178, 168), kLit);
    EXPECT_EQ(Pixel(220, 168), kLit);
    EXPECT_EQ(Pixel(178, 173), kBlack);
    order->Release();
}

TEST_F(OrderTest, ClearingGivesEverythingBack)
{
    GMImageTemplate* lit = Template("lit.img");
    GMImageTemplate* star = Template("star.img");
    int32_t litRefs = lit->GetRefCount(), starRefs = star->GetRefCount();
    auto* order = NewOrder();
    order->SetOverlay(star, 0x80FFFFFFu);
    order->SetTaken(true);
    EXPECT_EQ(lit->GetRefCount(), litRefs + 1);
    EXPECT_EQ(star->GetRefCount(), starRefs + 1);
    order->Clear();
    EXPECT_EQ(lit->GetRefCount(), litRefs);
    EXPECT_EQ(star->GetRefCount(), starRefs);
    EXPECT_EQ(order->GetCustomer(), nullptr);
    EXPECT_EQ(order->GetGoods(), nullptr);
    EXPECT_FALSE(order->IsTaken());
    EXPECT_EQ(order->GetKind(), kKindOrder);
    EXPECT_EQ(order->GetOverlayColor(), 0xFFFFFFFFu);
    order->Clear();  // twice is harmless
    order->Release();
}
