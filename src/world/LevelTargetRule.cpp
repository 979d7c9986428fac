#include "world/LevelTargetRule.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Far beyond any day; keeps hostile sources inside an int32_t target.
constexpr double kMostPay = 1e9;

}  // namespace

double LeastOrderPay(const LevelPayCustomer& customer, const LevelPayDay& day)
{
    if (customer.kind == 3 || customer.kind == 4)
        return customer.ratingFactor;  // the police catch pays factor 1, whatever was ordered
    double cheapest = std::numeric_limits<double>::infinity();
    for (const LevelPayGoods& g : day.goods) {
        if (g.weight > 0.0)
            cheapest = std::min(cheapest, g.price);
    }
    if (!std::isfinite(cheapest))
        return 0.0;
    return customer.kind == 1 ? cheapest * customer.payFactor : cheapest;
}

double LeastDayPay(const LevelPayDay& day)
{
    if (day.orders <= 0 || day.customers.empty())
        return 0.0;
    // Every customer counts, weight or not: when all the others are busy, any
    // free one may order, and the thief hint brings a thief first.
    double least = std::numeric_limits<double>::infinity();
    for (const LevelPayCustomer& c : day.customers)
        least = std::min(least, LeastOrderPay(c, day));
    if (!(least > 0.0))
        return 0.0;  // NaN too
    return std::min(least * day.orders, kMostPay);
}

int32_t RuleTarget(const LevelPayDay& day)
{
    return static_cast<int32_t>(std::floor(LeastDayPay(day) / 10.0) * 10.0);
}
