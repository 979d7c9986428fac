#pragma once
#include "world/GMInteractiveObj.h"

class GMBuildingObj;
class GMCustomerObj;
class GMGoodsObj;

// An order's speech bubble over the house that placed it: the customer's
// portrait left of it, the wanted goods inside it at 0.65 and a row of six
// patience icons under it. Holds private copies of the customer kind (whose
// patience counts down) and of the goods.
class GMOrderObj : public GMInteractiveObj {
public:
    static constexpr float kGoodsScale = 0.65f;
    static constexpr float kPortraitGap = 5.0f;  // pixels between portrait centre and bubble edge
    static constexpr int32_t kPatienceIcons = 6;

    enum Transition : uint8_t { kNoTransition = 0, kAppearing = 1, kDisappearing = 2 };
    // Update results.
    enum Result : int32_t { kClicked = 1, kPatienceOut = 2, kDisappearingNow = 3, kGone = 4 };

    GMOrderObj() { GMOrderObj::Reset(); }

    void Reset() override;
    // Lets go of the copies, the pictures and the house (which becomes free).
    void Clear() override;
    int32_t Update(float mouseX, float mouseY, int32_t clickFlags, float dt) override;
    // Nothing at scale 0, with result 1 unless appearing.
    int32_t Draw(float x, float y, DisplayDevice* device) override;

    // The copies follow the bubble: the goods at its centre, the portrait left of it.
    void SetPosition(float x, float y) override;
    void SetColor(uint32_t argb) override;
    // Bubble and portrait take the scale; the goods keep theirs.
    void SetScale(float scale) override;
    bool SetHighlight(bool highlighted) override;

    // Copies kind, full patience, factors and portrait; null changes nothing.
    void SetCustomerFrom(const GMCustomerObj* customerKind);
    // Copies number, price and pictures; null changes nothing.
    void SetGoodsFrom(const GMGoodsObj* goods);
    // Ties the order to the building (occupied); a building tied before is freed.
    void SetHouse(GMBuildingObj* building);
    GMBuildingObj* GetHouse() const { return m_house; }
    // Restarts the patience at a new full patience (negative counts as 0).
    void SetPatience(float ms);

    // Null templates take the icons (or the overlay) away.
    void SetIconTemplates(GMImageTemplate* lit, GMImageTemplate* unlit);
    void SetOverlay(GMImageTemplate* overlay, uint32_t argb);
    uint32_t GetOverlayColor() const { return m_overlayColor; }

    // Negative times count as 0.
    void SetTransitionTime(float ms);
    // Nothing when already in that state; else starts from transparent (appear)
    // or opaque (disappear).
    void StartTransition(bool appear);
    int32_t GetTransition() const { return m_transition; }

    // 1..6 icons lit; 0 without a customer.
    int32_t GetPatienceLevel() const;
    int32_t GetCustomerKind() const;
    int32_t GetGoodsNumber() const;
    float GetPrice() const;
    float GetPatienceLeft() const;
    float GetFactor(int32_t index) const;
    void SetTaken(bool taken) { m_taken = taken; }
    bool IsTaken() const { return m_taken; }

    // The bottom edge of the patience row under the bubble (screen y).
    float GetPatienceRowBottom() const;

    // The private copies (null until set), for drawing and inspection.
    GMCustomerObj* GetCustomer() const { return m_customer; }
    GMGoodsObj* GetGoods() const { return m_goods; }

protected:
    ~GMOrderObj() override;

private:
    void DrawIcons(DisplayDevice* device);

    GMCustomerObj* m_customer = nullptr;
    GMGoodsObj* m_goods = nullptr;
    GMBuildingObj* m_house = nullptr;
    float m_patienceStep = 0.0f;
    GMImage m_overlayImage;
    uint32_t m_overlayColor = 0xFFFFFFFF;
    GMImage m_litIcon;
    GMImage m_unlitIcon;
    float m_transitionTime = 0.0f;
    float m_transitionLeft = 0.0f;
    uint8_t m_transition = kNoTransition;
    bool m_taken = false;
};
