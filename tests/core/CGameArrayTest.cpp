#include "core/CGameArray.h"
#include "core/GMUnknown.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

void* P(intptr_t v) { return reinterpret_cast<void*>(v); }

// Five items a..e at 0..4 in an array of capacity 5.
struct FiveItems : ::testing::Test {
    CGameArray a;
    void SetUp() override
    {
        ASSERT_EQ(a.Reserve(5), 5);
        for (int i = 0; i < 5; ++i)
            ASSERT_EQ(a.Add(P(i + 1), false), i);
    }
};

}  // namespace

TEST_F(FiveItems, AddReusesTheFirstHoleOnlyWhenAsked)
{
    a.RemoveAt(2);
    EXPECT_EQ(a.GetCount(), 4);
    EXPECT_EQ(a.Add(P(10), true), 2);
    a.RemoveAt(2);
    EXPECT_EQ(a.Add(P(11), false), 5);
    EXPECT_EQ(a.GetCapacity(), 6) << "an append into a full array grows by exactly one slot";
    EXPECT_EQ(a.GetLastIndex(), 5);
    EXPECT_EQ(a.GetAt(2), nullptr);
}

TEST_F(FiveItems, RemovingTheLastItemMovesLastPastHoles)
{
    a.RemoveAt(3);
    a.RemoveAt(2);
    EXPECT_EQ(a.GetLastIndex(), 4);
    a.RemoveAt(1);
    EXPECT_EQ(a.GetLastIndex(), 4) << "a middle removal leaves last alone";
    EXPECT_EQ(a.RemoveAt(4), P(5));
    EXPECT_EQ(a.GetLastIndex(), 0);
    EXPECT_EQ(a.GetCount(), 1);
    a.RemoveAt(0);
    EXPECT_EQ(a.GetLastIndex(), -1);
    EXPECT_EQ(a.GetCount(), 0);
}

TEST_F(FiveItems, RemoveAndShiftKeepsTheArrayDense)
{
    EXPECT_EQ(a.RemoveAndShift(1), P(2));
    EXPECT_EQ(a.GetCount(), 4);
    EXPECT_EQ(a.GetLastIndex(), 3);
    EXPECT_EQ(a.GetAt(1), P(3));
    EXPECT_EQ(a.GetAt(3), P(5));
    EXPECT_EQ(a.GetAt(4), nullptr);
    EXPECT_EQ(a.RemoveAndShift(3), P(5));
    EXPECT_EQ(a.GetLastIndex(), 2);
    EXPECT_EQ(a.RemoveAndShift(7), nullptr);
    EXPECT_EQ(a.GetCount(), 3);
}

TEST_F(FiveItems, RemoveAndShiftOverAHoleClosesIt)
{
    a.RemoveAt(1);
    EXPECT_EQ(a.RemoveAndShift(1), nullptr);
    EXPECT_EQ(a.GetCount(), 4);
    EXPECT_EQ(a.GetLastIndex(), 3);
    EXPECT_EQ(a.GetAt(1), P(3));
}

TEST_F(FiveItems, ReserveNeverDropsItems)
{
    a.RemoveAt(4);
    EXPECT_EQ(a.Reserve(1), 4) << "a request below last + 1 gives last + 1";
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(a.GetAt(i), P(i + 1));
    EXPECT_EQ(a.Reserve(100), 100);
    EXPECT_EQ(a.GetAt(3), P(4));
    EXPECT_EQ(a.IndexOf(nullptr), 4);
    for (int i = 4; i < 100; ++i)
        EXPECT_EQ(a.SetAt(P(1000 + i), i), i);
    EXPECT_EQ(a.GetCount(), 100);
}

TEST(CGameArray, IndexOfNullIsTheFirstHoleOrTheNextFreeSlot)
{
    CGameArray a;
    EXPECT_EQ(a.IndexOf(nullptr), -1) << "no capacity, no free slot";
    a.Reserve(3);
    EXPECT_EQ(a.IndexOf(nullptr), 0);
    a.SetAt(P(1), 0);
    a.SetAt(P(2), 2);
    EXPECT_EQ(a.IndexOf(nullptr), 1);
    a.SetAt(P(3), 1);
    EXPECT_EQ(a.IndexOf(nullptr), -1) << "full: last + 1 is not below the capacity";
    EXPECT_EQ(a.IndexOf(P(2)), 2);
    EXPECT_EQ(a.IndexOf(P(9)), -1);
}

TEST(CGameArray, AddingNullReservesAnIndexWithoutTakingIt)
{
    CGameArray a;
    a.Reserve(2);
    a.Add(P(1), false);
    int32_t index = a.Add(nullptr, true);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(a.GetCount(), 1);
    EXPECT_EQ(a.SetAt(P(2), index), 1);
    EXPECT_EQ(a.Add(nullptr, false), 2);
    EXPECT_EQ(a.GetCapacity(), 3);
    EXPECT_EQ(a.GetCount(), 2);
}

TEST(CGameArray, SetAtChecksTheCapacityAndOverwritesWithoutCounting)
{
    CGameArray a;
    a.Reserve(4);
    EXPECT_EQ(a.SetAt(P(1), 4), -1);
    EXPECT_EQ(a.SetAt(P(1), -1), -1);
    EXPECT_EQ(a.SetAt(P(1), 3), 3);
    EXPECT_EQ(a.SetAt(P(2), 3), 3);
    EXPECT_EQ(a.GetCount(), 1);
    EXPECT_EQ(a.GetLastIndex(), 3);
    EXPECT_EQ(a.SetAt(nullptr, 3), 3) << "null means remove";
    EXPECT_EQ(a.GetCount(), 0);
    EXPECT_EQ(a.GetLastIndex(), -1);
    EXPECT_EQ(a.GetAt(5), nullptr);
}

TEST(CGameArray, CursorIterationSkipsHolesAndToleratesRemoval)
{
    CGameArray a;
    a.Reserve(8);
    a.SetAt(P(1), 1);
    a.SetAt(P(3), 3);
    a.SetAt(P(6), 6);
    int32_t cursor = -1;
    EXPECT_EQ(a.GetNext(cursor), P(1));
    EXPECT_EQ(cursor, 1);
    EXPECT_EQ(a.GetNext(cursor), P(3));
    a.RemoveAt(cursor);  // removing the current item keeps the walk going
    EXPECT_EQ(a.GetNext(cursor), P(6));
    EXPECT_EQ(cursor, 6);
    EXPECT_EQ(a.GetNext(cursor), nullptr);

    EXPECT_EQ(a.GetLast(cursor), P(6));
    EXPECT_EQ(a.GetPrev(cursor), P(1));
    EXPECT_EQ(a.GetPrev(cursor), nullptr);
    cursor = 100;
    EXPECT_EQ(a.GetPrev(cursor), P(6)) << "a cursor above last starts at last";

    CGameArray one;
    one.Reserve(4);
    one.SetAt(P(7), 2);
    cursor = -5;
    EXPECT_EQ(one.GetNext(cursor), P(7));
    EXPECT_EQ(cursor, 2);
    CGameArray none;
    cursor = 3;
    cursor = -1;
    EXPECT_EQ(none.GetNext(cursor), nullptr);
    EXPECT_EQ(cursor, -1);
}

TEST(CGameArray, ReserveZeroOnAnEmptyArrayFreesTheSlots)
{
    CGameArray a;
    a.Reserve(10);
    EXPECT_EQ(a.Reserve(0), 0);
    EXPECT_EQ(a.GetCapacity(), 0);
    EXPECT_EQ(a.Add(P(1), true), 0);
    EXPECT_EQ(a.GetCapacity(), 1);
}

TEST(CGameStringArray, OwnsCopiesAndFreesEachOnce)
{
    // Run under the sanitizers, a double free or leak here fails the build.
    CGameStringArray s;
    s.Reserve(3);
    char text[] = "alpha";
    EXPECT_EQ(s.AddString(text, false), 0);
    text[0] = 'X';
    EXPECT_STREQ(s.GetString(0), "alpha");
    s.AddString("beta", false);
    s.AddString("gamma", false);
    EXPECT_EQ(s.RemoveAndShift(1), nullptr) << "the removed string is freed, not returned";
    EXPECT_EQ(s.GetCount(), 2);
    EXPECT_EQ(s.GetLastIndex(), 1);
    EXPECT_STREQ(s.GetString(1), "gamma");
    EXPECT_EQ(s.AddString(nullptr, false), -1);
}

TEST(CGameStringArray, FindStringCaseRules)
{
    CGameStringArray s;
    s.Reserve(4);
    s.AddString("Level1.lvl", false);
    s.AddString("sfx\\Click.ogg", false);
    EXPECT_EQ(s.FindString("SFX\\CLICK.OGG", true), 1);
    EXPECT_EQ(s.FindString("SFX\\CLICK.OGG", false), -1);
    EXPECT_EQ(s.FindString("sfx\\Click.ogg", false), 1);
    EXPECT_EQ(s.FindString(nullptr, false), 2);
}

TEST(CGameStringArray, SetStringOnlyBelowTheCount)
{
    CGameStringArray s;
    s.Reserve(10);
    s.AddString("a", false);
    s.AddString("b", false);
    EXPECT_EQ(s.SetString("x", 2), -1) << "slot 2 lies below the capacity but not below the count";
    EXPECT_EQ(s.SetString("x", 1), 1);
    EXPECT_STREQ(s.GetString(1), "x");
    EXPECT_EQ(s.SetString(nullptr, 0), 0);
    EXPECT_EQ(s.GetString(0), nullptr);
    EXPECT_EQ(s.GetCount(), 1);
    s.RemoveAll();
    EXPECT_EQ(s.GetCount(), 0);
    EXPECT_EQ(s.GetCapacity(), 10);
}

namespace {
struct Counted : GMUnknown {
    static int destroyed;
    ~Counted() override { ++destroyed; }
};
int Counted::destroyed = 0;
}  // namespace

TEST(GMUnknownArray, HoldsOneReferencePerItemAtEveryIndex)
{
    Counted::destroyed = 0;
    auto* x = new Counted;
    x->AddRef();  // the test's own reference
    {
        GMUnknownArray a;
        a.Reserve(2);
        EXPECT_EQ(a.Add(x, false), 0);
        EXPECT_EQ(x->GetRefCount(), 2) << "index 0 takes a reference like any other";
        EXPECT_EQ(a.SetAt(x, 5), -1);
        EXPECT_EQ(x->GetRefCount(), 2) << "a failed store takes none";
        EXPECT_EQ(a.RemoveAt(0), x);
        EXPECT_EQ(x->GetRefCount(), 1);
        a.Add(x, false);
        a.Add(new Counted, false);
        a.ReleaseItems();
        EXPECT_EQ(a.GetCount(), 0);
        EXPECT_EQ(a.GetLastIndex(), -1);
        EXPECT_EQ(a.GetCapacity(), 2);
        EXPECT_EQ(Counted::destroyed, 1);
        a.Add(x, false);
    }
    EXPECT_EQ(x->GetRefCount(), 1) << "the array's destructor lets its references go";
    EXPECT_EQ(x->Release(), 0);
    EXPECT_EQ(Counted::destroyed, 2);
}

TEST(GMUnknown, ReleaseDestroysAtOneOrZero)
{
    Counted::destroyed = 0;
    auto* a = new Counted;
    a->AddRef();
    a->AddRef();
    EXPECT_EQ(a->AddRef(), 3);
    EXPECT_EQ(a->Release(), 2);
    EXPECT_EQ(a->Release(), 1);
    EXPECT_EQ(a->Release(), 0);
    EXPECT_EQ(Counted::destroyed, 1);
    auto* b = new Counted;  // count 0: the creator's Release still destroys it
    EXPECT_EQ(b->Release(), 0);
    EXPECT_EQ(Counted::destroyed, 2);
}

TEST(GMNamedUnknown, NameIsACopyAndClearDropsIt)
{
    auto* n = new GMNamedUnknown;
    EXPECT_EQ(n->GetType(), kTypeNamedUnknown);
    char name[] = "Font.img";
    EXPECT_EQ(n->SetName(name), 8);
    name[0] = 'X';
    EXPECT_STREQ(n->GetName(), "Font.img");
    EXPECT_EQ(n->SetName(nullptr), 0);
    EXPECT_EQ(n->GetName(), nullptr);
    n->SetName("again");
    n->Clear();
    EXPECT_EQ(n->GetName(), nullptr);
    n->SetName("kept until destruction");
    n->Release();
}
