#include "world/GMGoodsObj.h"

#include "gfx/GMImageTemplate.h"

void GMGoodsObj::Reset()
{
    GMInteractiveObj::Reset();
    m_kind = kKindGoods;
    m_price = 0.0f;
    m_goodsNumber = kNoGoods;
}

void GMGoodsObj::CopyFrom(const GMGoodsObj* other)
{
    if (!other || other == this)
        return;
    m_goodsNumber = other->m_goodsNumber;
    m_price = other->m_price;
    for (int32_t index = 0; index < 2; ++index) {
        // Goods without a picture leave this one without that picture too.
        if (GMImageTemplate* t = other->GetImageTemplate(index)) {
            SetImageTemplate(index, t);
            t->Release();
        } else {
            GetImage(index).Clear();
        }
    }
}

void GMShopGoodsObj::Reset()
{
    GMGoodsObj::Reset();
    m_kind = kKindShopGoods;
    m_weight = 0.0f;
}

int32_t GMShopGoodsObj::Update(float mouseX, float mouseY, int32_t clickFlags, float dt)
{
    GMInteractiveObj::Update(mouseX, mouseY, clickFlags, dt);
    return IsHighlighted() && clickFlags == 1 ? 1 : 0;
}
