#include "core/CGameList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {
void* P(intptr_t v) { return reinterpret_cast<void*>(v); }

std::vector<intptr_t> Items(const CGameList& l)
{
    std::vector<intptr_t> out;
    for (GamePosition p = l.GetHeadPosition(); p;)
        out.push_back(reinterpret_cast<intptr_t>(CGameList::GetNext(p)));
    return out;
}
}  // namespace

TEST(CGameList, InsertionsAtBothEndsAndBesidePositions)
{
    CGameList l;
    EXPECT_EQ(l.AddTail(nullptr), nullptr) << "null data adds nothing";
    GamePosition two = l.AddTail(P(2));
    l.AddHead(P(1));
    l.AddTail(P(4));
    l.InsertAfter(two, P(3));
    l.InsertBefore(l.GetHeadPosition(), P(100));
    l.InsertAfter(l.GetTailPosition(), P(5));
    l.InsertBefore(nullptr, P(-1));
    l.InsertAfter(nullptr, P(6));
    EXPECT_EQ(Items(l), (std::vector<intptr_t>{-1, 100, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(l.GetCount(), 8);
    EXPECT_EQ(l.GetHead(), P(-1));
    EXPECT_EQ(l.GetTail(), P(6));
}

TEST(CGameList, RemovalKeepsLinksAndEnds)
{
    CGameList l;
    for (int i = 1; i <= 4; ++i)
        l.AddTail(P(i));
    EXPECT_EQ(l.RemoveAt(l.FindIndex(1)), P(2));
    EXPECT_EQ(l.RemoveHead(), P(1));
    EXPECT_EQ(l.RemoveTail(), P(4));
    EXPECT_EQ(Items(l), (std::vector<intptr_t>{3}));
    EXPECT_EQ(l.GetHeadPosition(), l.GetTailPosition());
    EXPECT_EQ(l.RemoveTail(), P(3));
    EXPECT_EQ(l.RemoveHead(), nullptr);
    EXPECT_EQ(l.GetCount(), 0);
    EXPECT_EQ(l.GetHead(), nullptr);
}

TEST(CGameList, WalkBackwardsAndSearch)
{
    CGameList l;
    for (int i = 1; i <= 3; ++i)
        l.AddTail(P(i));
    l.AddTail(P(2));
    std::vector<intptr_t> back;
    for (GamePosition p = l.GetTailPosition(); p;)
        back.push_back(reinterpret_cast<intptr_t>(CGameList::GetPrev(p)));
    EXPECT_EQ(back, (std::vector<intptr_t>{2, 3, 2, 1}));
    EXPECT_EQ(l.IndexOf(P(2)), 1);
    EXPECT_EQ(l.IndexOf(P(9)), -1);
    GamePosition first = l.Find(P(2));
    EXPECT_EQ(first, l.FindIndex(1));
    EXPECT_EQ(l.Find(P(2), first->next), l.FindIndex(3)) << "searching on from a later start";
    EXPECT_EQ(l.FindIndex(4), nullptr);
    EXPECT_EQ(l.FindIndex(1, l.FindIndex(2)), l.FindIndex(3));
    EXPECT_EQ(CGameList::GetAt(l.FindIndex(2)), P(3));
}

TEST(CGameList, CopyReplacesOrAppends)
{
    CGameList a, b;
    a.AddTail(P(1));
    b.AddTail(P(7));
    b.AddTail(P(8));
    a.Copy(b, true);
    EXPECT_EQ(Items(a), (std::vector<intptr_t>{1, 7, 8}));
    a.Copy(b, false);
    EXPECT_EQ(Items(a), (std::vector<intptr_t>{7, 8}));
    a.Copy(a, true);
    EXPECT_EQ(a.GetCount(), 2) << "copying a list onto itself leaves it alone";
}
