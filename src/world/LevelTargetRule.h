#pragma once
#include <cstdint>
#include <vector>

// The money target of a day in town, set by one rule instead of by playing:
// the least the day pays a player who delivers every order. A player who
// serves everybody never misses it, however the orders fall; one who lets
// orders run out pays for each miss twice (the pay not earned and the
// failure's cost) and falls short. data-src/levels/README.md states the rule
// for level makers.
struct LevelPayGoods {
    double price = 0.0;
    double weight = 0.0;  // 0: never ordered
};

struct LevelPayCustomer {
    int32_t kind = 0;  // 0 ordinary, 1 mayor, 2 reporter, 3/4 thief, 5/7 cafe, 6 load-clearing visitor
    double payFactor = 1.0;     // factor 0
    double ratingFactor = 1.0;  // factor 1: a thief's catch pay
};

struct LevelPayDay {
    int32_t orders = 0;
    std::vector<LevelPayGoods> goods;
    std::vector<LevelPayCustomer> customers;
};

// What one order of that customer pays at least when it is delivered in time
// (tips and combos not counted): the cheapest goods ordered, times the
// mayor's factor; a thief's catch pay.
double LeastOrderPay(const LevelPayCustomer& customer, const LevelPayDay& day);

// The least a day pays when every order is delivered: each order may come
// from its least paying customer with its cheapest goods. 0 for a day with
// no orders, goods or customers.
double LeastDayPay(const LevelPayDay& day);

// The target the rule gives: the least day pay, rounded down to whole $10.
int32_t RuleTarget(const LevelPayDay& day);
