#pragma once
#include "world/GMInteractiveObj.h"

// Goods numbers identify goods everywhere; 0 is none, 100 the police service.
constexpr int32_t kNoGoods = 0;
constexpr int32_t kPoliceGoods = 100;

// A goods with its pictures, price and number.
class GMGoodsObj : public GMInteractiveObj {
public:
    GMGoodsObj() { GMGoodsObj::Reset(); }

    void Reset() override;

    void SetPrice(float price) { m_price = price > 0.0f ? price : 0.0f; }
    float GetPrice() const { return m_price; }
    void SetGoodsNumber(int32_t number) { m_goodsNumber = number; }
    int32_t GetGoodsNumber() const { return m_goodsNumber; }
    // Takes the other goods' number, price and both pictures; a null goods changes nothing.
    void CopyFrom(const GMGoodsObj* other);

protected:
    float m_price = 0.0f;
    int32_t m_goodsNumber = kNoGoods;
};

// A goods that a shop offers (the level file's SHG line): its own position is
// where the level run puts the clickable goods icons made from it.
class GMShopGoodsObj : public GMGoodsObj {
public:
    GMShopGoodsObj() { GMShopGoodsObj::Reset(); }

    void Reset() override;
    // 1 when clicked (highlighted and a left click).
    int32_t Update(float mouseX, float mouseY, int32_t clickFlags, float dt) override;

    void SetWeight(float weight) { m_weight = weight > 0.0f ? weight : 0.0f; }
    float GetWeight() const { return m_weight; }

private:
    float m_weight = 0.0f;
};
