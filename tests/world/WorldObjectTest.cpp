#include "support/gfx/GfxTestSupport.h"
#include "support/gfx/TemplateWriter.h"
#include "world/GMDecorateObj.h"
#include "world/GMFieldGrid.h"
#include "world/GMInteractiveObj.h"
#include "world/GMMessage.h"
#include "world/GMObjectArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

int s_destroyed = 0;
struct Probe : GMObject {
    ~Probe() override { ++s_destroyed; }
};

}  // namespace

TEST(GMObject, ReferenceCountingAndReplacementOrder)
{
    s_destroyed = 0;
    auto* a = new Probe;
    EXPECT_EQ(a->GetRefCount(), 1) << "created with the creator's reference";
    EXPECT_EQ(a->AddRef(), 2);
    EXPECT_EQ(a->Release(), 1);
    EXPECT_EQ(a->Release(), 0);
    EXPECT_EQ(s_destroyed, 1);

    auto* b = new Probe;
    auto* c = new Probe;
    GMObject* field = nullptr;
    ReplaceObject<GMObject>(field, b);
    EXPECT_EQ(b->GetRefCount(), 2);
    ReplaceObject<GMObject>(field, b);
    EXPECT_EQ(b->GetRefCount(), 2) << "storing the same object again changes nothing";
    ReplaceObject<GMObject>(field, c);
    EXPECT_EQ(b->GetRefCount(), 1);
    EXPECT_EQ(c->GetRefCount(), 2);
    ReplaceObject<GMObject>(field, static_cast<GMObject*>(nullptr));
    b->Release();
    c->Release();
    EXPECT_EQ(s_destroyed, 3);
}

TEST(GMObject, ReleaseAtCountZeroDoesNothing)
{
    // An object that nobody holds any more (its count already 0) must survive
    // a stray Release: it is not destroyed a second time.
    struct Orphan : Probe {
        Orphan() { m_refCount = 0; }
    };
    s_destroyed = 0;
    Orphan orphan;  // on the stack: destroying it through Release would be fatal
    EXPECT_EQ(orphan.Release(), 0);
    EXPECT_EQ(orphan.GetRefCount(), 0);
    EXPECT_EQ(s_destroyed, 0);
}

TEST(GMObjectArray, ListsOwnTheFirstReference)
{
    s_destroyed = 0;
    {
        GMObjectArray list;
        list.Reserve(2);
        auto* p = new Probe;
        list.Add(p, false);
        EXPECT_EQ(p->GetRefCount(), 1);
        p->AddRef();  // a second holder
        list.RemoveAndShift(0);
        EXPECT_EQ(s_destroyed, 0);
        EXPECT_EQ(p->Release(), 0);
        EXPECT_EQ(s_destroyed, 1);
        list.Add(new Probe, false);
    }
    EXPECT_EQ(s_destroyed, 2) << "the list releases what it still holds";
}

TEST(GMMessage, RisesAndFadesOverItsLife)
{
    GMMessage zero;
    zero.SetText("$5");
    zero.SetLifetime(0.0f);
    EXPECT_EQ(zero.Update(0.0f), 1) << "a message with lifetime 0 expires on its first update";

    GMMessage m;
    m.SetText(" COMBO!");
    m.SetPosition(100.0f, 200.0f);
    m.SetColor(0x12FFAA00);
    m.SetLifetime(1000.0f);
    EXPECT_EQ(m.GetDrawColor(), 0xFFFFAA00u) << "opaque at first, the alpha taken from the time left";
    EXPECT_EQ(m.Update(500.0f), 0);
    EXPECT_FLOAT_EQ(m.GetY(), 187.5f);
    EXPECT_EQ(m.GetDrawColor() >> 24, 127u);
    EXPECT_EQ(m.Update(500.0f), 1);
    EXPECT_FLOAT_EQ(m.GetY(), 175.0f) << "25 pixels a second";
    EXPECT_EQ(m.GetDrawColor() >> 24, 0u) << "fully transparent at the end";
    EXPECT_FLOAT_EQ(m.GetTimeLeft(), 0.0f);

    GMMessage negative;
    negative.SetLifetime(-5.0f);
    EXPECT_EQ(negative.Update(1.0f), 1);
    negative.Draw(nullptr, false, nullptr);  // no font, no text: nothing happens
}

TEST(GMFieldGrid, LookupBoundsAreTheGridsOwn)
{
    GMFieldGrid grid;
    int32_t in = -1;
    EXPECT_EQ(grid.Lookup(24, 19, 4, &in), nullptr);
    EXPECT_EQ(in, 1) << "inside the grid, an empty cell";
    for (auto [x, y, l] : {std::tuple{25, 0, 0}, {0, 20, 0}, {0, 0, 5}, {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}}) {
        in = -1;
        EXPECT_EQ(grid.Lookup(x, y, l, &in), nullptr);
        EXPECT_EQ(in, 0) << x << "," << y << "," << l;
    }
    EXPECT_EQ(GMFieldGrid::Index(3, 5, 1), (3 * 20 + 5) * 5 + 1);

    auto* field = new GMFieldObj;
    EXPECT_TRUE(grid.Place(3, 5, 1, field));
    EXPECT_EQ(field->GetRefCount(), 2);
    EXPECT_EQ(grid.Lookup(3, 5, 1), field);
    EXPECT_EQ(field->GetCellX(), 3);
    EXPECT_FALSE(grid.Place(30, 5, 1, field));
    grid.Clear();
    EXPECT_EQ(field->GetRefCount(), 1);
    field->Release();

    grid.originX = 10.0f;
    grid.originY = 20.0f;
    grid.cellWidth = 32.0f;
    grid.cellHeight = 16.0f;
    EXPECT_FLOAT_EQ(grid.FootX(3.0f), 3.5f * 32.0f + 10.0f);
    EXPECT_FLOAT_EQ(grid.FootY(5.0f), 6.0f * 16.0f + 20.0f);
}

TEST(GMFieldGrid, PaintersOrderIsLayerRowColumn)
{
    // A vehicle at (layer 1, row 5, column 3) comes after all of layer 0, after
    // layer 1 rows 0-4 and row 5 columns 0-3, and before row 5 column 4.
    DrawOrderKey vehicle{1, 5, 3};
    EXPECT_TRUE((DrawOrderKey{0, 19, 24}) < vehicle);
    EXPECT_TRUE((DrawOrderKey{1, 4, 24}) < vehicle);
    EXPECT_TRUE((DrawOrderKey{1, 5, 2}) < vehicle);
    EXPECT_FALSE(vehicle < (DrawOrderKey{1, 5, 3}));
    EXPECT_TRUE(vehicle < (DrawOrderKey{1, 5, 4}));
    EXPECT_TRUE(vehicle < (DrawOrderKey{1, 6, 0}));
    EXPECT_TRUE(vehicle < (DrawOrderKey{2, 0, 0}));

    std::vector<DrawOrderKey> keys{{2, 0, 0}, {0, 3, 1}, {0, 1, 7}, {1, 0, 0}, {0, 1, 2}};
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys[0].cellX, 2);
    EXPECT_EQ(keys[1].cellX, 7);
    EXPECT_EQ(keys[2].cellY, 3);
    EXPECT_EQ(keys[3].layer, 1);
}

class InteractiveTest : public DeviceTest {};

TEST_F(InteractiveTest, HitBoxEdgesAreInsideAndScaleWithTheObject)
{
    WriteSolidTemplate("btn", 1, 64, 32, 0xFF3060A0, "\"IMW\" 40\n\"IMH\" 20\n\"IMX\" 4\n\"SIY\" -2\n");
    auto* b = new GMInteractiveObj;
    ASSERT_EQ(b->SetImage(1, "btn.img", m_manager.get(), m_device), 0);
    ASSERT_EQ(b->SetImage(0, "btn.img", m_manager.get(), m_device), 0);
    b->SetPosition(100.0f, 100.0f);
    // Centre (104, 98), half extents 20 x 10.
    float cx = 0.0f, cy = 0.0f;
    b->GetHitCentre(&cx, &cy);
    EXPECT_FLOAT_EQ(cx, 104.0f) << "where a click lands: the picture's offset moves it";
    EXPECT_FLOAT_EQ(cy, 98.0f);
    EXPECT_TRUE(b->HitTest(124.0f, 98.0f)) << "the right edge counts";
    EXPECT_TRUE(b->HitTest(84.0f, 108.0f)) << "the bottom-left corner counts";
    EXPECT_FALSE(b->HitTest(124.5f, 98.0f));
    EXPECT_FALSE(b->HitTest(104.0f, 108.5f));
    b->SetScale(2.0f);
    EXPECT_TRUE(b->HitTest(144.0f, 118.0f));
    EXPECT_FLOAT_EQ(b->GetScaledWidth(), 80.0f);
    EXPECT_FLOAT_EQ(b->GetScaledFrameHeight(), 64.0f);

    auto* other = new GMInteractiveObj;
    other->SetImage(1, "btn.img", m_manager.get(), m_device);
    // Boxes 80 and 40 wide: 120 + 40 meets 180 - 20.
    other->SetPosition(180.0f, 100.0f);
    b->SetPosition(120.0f, 100.0f);
    EXPECT_TRUE(b->Overlaps(other)) << "boxes that only touch overlap";
    other->SetPosition(181.0f, 100.0f);
    EXPECT_FALSE(b->Overlaps(other));
    EXPECT_FALSE(b->Overlaps(nullptr));
    other->Release();
    b->Release();
}

TEST_F(InteractiveTest, HoverHandsTheAnimationClockOver)
{
    // Normal picture: 6 frames at 10 frames a second; hover picture: 4 frames.
    WriteSolidTemplate("idle", 6, 16, 16, 0xFF000000, "\"SP\" 10\n\"IMW\" 16\n\"IMH\" 16\n", true);
    WriteSolidTemplate("hover", 4, 16, 16, 0xFF0000FF, "\"SP\" 10\n\"IMW\" 16\n\"IMH\" 16\n", true);
    auto* b = new GMInteractiveObj;
    ASSERT_EQ(b->SetImage(1, "idle.img", m_manager.get(), m_device), 0);
    ASSERT_EQ(b->SetImage(0, "hover.img", m_manager.get(), m_device), 0);
    b->SetPosition(50.0f, 50.0f);
    b->Update(500.0f, 500.0f, 0, 250.0f);  // far away: the normal picture runs to 2.5
    EXPECT_FALSE(b->IsHighlighted());
    EXPECT_FLOAT_EQ(b->GetImage(1).GetFramePosition(), 2.5f);
    b->Update(50.0f, 50.0f, 0, 100.0f);
    EXPECT_TRUE(b->IsHighlighted());
    EXPECT_FLOAT_EQ(b->GetImage(0).GetFramePosition(), 3.5f) << "the hover picture continues from 2.5";
    b->Update(500.0f, 500.0f, 0, 0.0f);
    EXPECT_FLOAT_EQ(b->GetImage(1).GetFramePosition(), 3.5f) << "and hands the clock back";
    b->Release();
}

TEST_F(InteractiveTest, ADisabledObjectNeverHighlights)
{
    WriteSolidTemplate("w", 1, 32, 32, 0xFFFFFFFF, "\"IMW\" 32\n\"IMH\" 32\n");
    auto* b = new GMInteractiveObj;
    b->SetImage(1, "w.img", m_manager.get(), m_device);
    b->SetImage(0, "w.img", m_manager.get(), m_device);
    b->SetPosition(10.0f, 10.0f);
    b->Update(10.0f, 10.0f, 1, 16.0f);
    EXPECT_TRUE(b->IsHighlighted());
    b->SetEnabled(false);
    EXPECT_FALSE(b->IsHighlighted()) << "disabling clears the highlight at once";
    EXPECT_FALSE(b->SetHighlight(true));
    b->Update(10.0f, 10.0f, 1, 16.0f);
    EXPECT_FALSE(b->IsHighlighted());
    b->SetEnabled(true);
    EXPECT_TRUE(b->SetHighlight(true));
    b->Release();
}

TEST_F(InteractiveTest, ImagesStandOnTheirFoot)
{
    WriteSolidTemplate("tree", 1, 32, 64, 0xFF00FF00, "\"IMW\" 20\n\"IMH\" 50\n");
    auto* deco = new GMDecorateObj;
    ASSERT_EQ(deco->SetImage("tree.img", m_manager.get(), m_device), 0);
    deco->SetPosition(200.0f, 300.0f);
    BeginFrame();
    deco->Draw(0.0f, 0.0f, m_device);  // the arguments are not used
    EndFrame();
    EXPECT_EQ(Pixel(184, 236), 0xFF00FF00u) << "top-left of the picture";
    EXPECT_EQ(Pixel(215, 299), 0xFF00FF00u) << "bottom-right, just above the foot";
    EXPECT_EQ(Pixel(200, 300), 0xFF000000u);
    EXPECT_EQ(Pixel(183, 260), 0xFF000000u);
    EXPECT_TRUE(deco->ContainsPoint(210.0f, 250.0f)) << "the hit box stands on the foot";
    EXPECT_FALSE(deco->ContainsPoint(211.0f, 250.0f));
    EXPECT_FALSE(deco->ContainsPoint(200.0f, 301.0f));
    EXPECT_FALSE(deco->ContainsPoint(200.0f, 249.0f));
    EXPECT_EQ(deco->GetKind(), kKindDecorate);
    deco->Release();
}
