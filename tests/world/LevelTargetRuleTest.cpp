// The money target a day in town gets from what serving every order pays.
#include "world/LevelTargetRule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

LevelPayDay Day(int32_t orders)
{
    LevelPayDay day;
    day.orders = orders;
    day.goods = {{30.0, 1.0}, {25.0, 1.0}, {45.0, 0.7}};
    day.customers = {{0, 1.0, 1.0}, {0, 1.0, 1.0}};
    return day;
}

}  // namespace

TEST(LevelTargetRule, EachCustomerKindPaysItsLeast)
{
    LevelPayDay day = Day(10);
    // Ordinary, reporter, cafes and the load-clearing visitor pay the price.
    for (int32_t kind : {0, 2, 5, 6, 7})
        EXPECT_DOUBLE_EQ(LeastOrderPay({kind, 3.0, 3.0}, day), 25.0) << kind;
    // The mayor's pay factor applies to the cheapest goods, down as well as up.
    EXPECT_DOUBLE_EQ(LeastOrderPay({1, 2.0, 2.0}, day), 50.0);
    EXPECT_DOUBLE_EQ(LeastOrderPay({1, 0.5, 2.0}, day), 12.5);
    // A thief pays its catch pay (factor 1), whatever the goods cost.
    EXPECT_DOUBLE_EQ(LeastOrderPay({3, -25.0, 50.0}, day), 50.0);
    EXPECT_DOUBLE_EQ(LeastOrderPay({4, 0.25, 80.0}, day), 80.0);
    // Goods nobody orders do not count, even when cheaper.
    day.goods.push_back({5.0, 0.0});
    EXPECT_DOUBLE_EQ(LeastOrderPay({0, 1.0, 1.0}, day), 25.0);
    day.goods = {{5.0, 0.0}};
    EXPECT_DOUBLE_EQ(LeastOrderPay({0, 1.0, 1.0}, day), 0.0);
}

TEST(LevelTargetRule, TheTargetIsTheLeastPayOfEveryOrderRoundedDownToTens)
{
    LevelPayDay day = Day(13);
    EXPECT_DOUBLE_EQ(LeastDayPay(day), 325.0);
    EXPECT_EQ(RuleTarget(day), 320);
    // The least paying customer decides, weight or not: a thief who pays
    // little when caught lowers the day's target.
    day.customers.push_back({3, -25.0, 1.0});
    EXPECT_EQ(RuleTarget(day), 10);
    day.customers.back() = {3, -25.0, 50.0};
    EXPECT_EQ(RuleTarget(day), 320);
    day.customers.push_back({1, 0.5, 2.0});
    EXPECT_EQ(RuleTarget(day), 160);  // 13 x 12.5
    // Exact tens stay.
    EXPECT_EQ(RuleTarget(Day(8)), 200);
}

TEST(LevelTargetRule, DaysThatPayNothingOrTooMuchStayInRange)
{
    EXPECT_EQ(RuleTarget(Day(0)), 0);
    EXPECT_EQ(RuleTarget(Day(-5)), 0);
    LevelPayDay day = Day(10);
    day.customers.clear();
    EXPECT_EQ(RuleTarget(day), 0);
    day = Day(10);
    day.goods.clear();
    EXPECT_EQ(RuleTarget(day), 0);
    // A thief who costs money when caught cannot make the target negative.
    day = Day(10);
    day.customers.push_back({3, 1.0, -40.0});
    EXPECT_EQ(RuleTarget(day), 0);
    day.customers.back() = {3, 1.0, std::numeric_limits<double>::quiet_NaN()};
    EXPECT_EQ(RuleTarget(day), 250);  // a NaN pay never wins the minimum
    // Hostile prices and order counts stay inside the money's range.
    day = Day(2000000000);
    day.goods = {{1e30, 1.0}};
    EXPECT_GT(RuleTarget(day), 0);
    EXPECT_LE(RuleTarget(day), 1000000000);
}
