#include "game/GMUfoGame.h"

#include "world/GMQueryGoodsObj.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

constexpr float kScreenWidth = 800.0f;
constexpr float kScreenHeight = 600.0f;
constexpr float kRandomMax = static_cast<float>(GameRandom::kMax);

float Draw01(GameRandom& random)
{
    return static_cast<float>(random.Next()) / kRandomMax;
}

// Room to bob at height y without leaving the band.
float Room(float y)
{
    return std::min(y - GMUfoGame::kBandTop, GMUfoGame::kBandBottom - y);
}

}  // namespace

void GMUfoGame::Release()
{
    for (Ufo& ufo : m_ufos) {
        if (ufo.obj)
            ufo.obj->Release();
    }
    m_ufos.clear();
    m_pattern = 0;
}

bool GMUfoGame::SetUp(GMImageManager* manager, DisplayDevice* device, GameRandom& random, int32_t tutorialKind)
{
    Release();
    m_ufos.reserve(kUfoCount);
    // Patterns: 0 level flight, 1 diagonal, 2/3 the same with a gentle bob,
    // 4/5 with a strong one. The first tutorial day keeps them simple.
    m_pattern = random.Next() % 6;
    if (tutorialKind == 1)
        m_pattern = 0;
    const bool diagonal = (m_pattern & 1) != 0;
    float offset = 0.0f;  // how much further off-screen each next UFO starts
    for (int32_t i = 0; i < kUfoCount; ++i) {
        auto* obj = new (std::nothrow) GMQueryGoodsObj;
        if (!obj)
            continue;
        const bool pictures = obj->SetImage(1, "UfoI.img", manager, device) == 0 &&
                              obj->SetImage(0, "UfoH.img", manager, device) == 0;
        if (!pictures && m_ufos.empty()) {
            obj->Release();
            Release();
            return false;
        }
        const float w = obj->GetImage(1).GetTextureWidth();
        const float h = obj->GetImage(1).GetTextureHeight();

        Ufo ufo;
        ufo.obj = obj;
        ufo.fromLeft = (random.Next() & 1) != 0;
        if (ufo.fromLeft) {
            ufo.startX = -offset - w;
            ufo.targetX = w + 805.0f;
        } else {
            ufo.startX = offset + kScreenWidth + w;
            ufo.targetX = -w - 5.0f;
        }
        const float y0 = Draw01(random) * (400.0f - h) + h / 2.0f + kBandTop;
        float y1 = y0;
        ufo.startY = y0;
        if (diagonal) {
            // The other half of the band.
            y1 = Draw01(random) * (200.0f - h) + h / 2.0f + (y0 >= 264.0f ? kBandTop : 264.0f);
            // The flight line is laid so that it crosses the screen edge at
            // y1, however far off-screen the UFO starts: every UFO enters
            // inside the band where it can be clicked, rather than from above
            // the top of the screen.
            const float edge = ufo.fromLeft ? -w : w + kScreenWidth;
            const float k = (ufo.startX - ufo.targetX) / (edge - ufo.targetX);
            ufo.startY = y0 + k * (y1 - y0);
        }
        ufo.targetY = y0;
        if (m_pattern >= 2) {
            const float room = (Room(y0) + Room(y1)) / 2.0f;
            const float base = m_pattern <= 3 ? 0.25f : 0.5f;
            ufo.amplitude = (base + Draw01(random) * 0.5f) * 1000.0f * room;
        }
        ufo.phase = static_cast<float>(random.Next() % static_cast<int32_t>(kBobPeriod));
        offset += 160.0f + Draw01(random) * 160.0f;

        obj->SetFlySpeed(kSpeed);
        obj->SetPosition(ufo.startX, ufo.startY);
        obj->SetTarget(ufo.targetX, ufo.targetY);
        m_ufos.push_back(ufo);
    }
    return !m_ufos.empty();
}

bool GMUfoGame::IsDone(const Ufo& ufo)
{
    return ufo.hit && !ufo.moving && ufo.obj->GetTransition() == GMQueryGoodsObj::kNoTransition &&
           ufo.obj->IsScaleZero();
}

void GMUfoGame::Remove(size_t index)
{
    if (m_ufos[index].obj)
        m_ufos[index].obj->Release();
    m_ufos.erase(m_ufos.begin() + static_cast<std::ptrdiff_t>(index));
}

GMUfoGame::FrameReport GMUfoGame::Frame(float mouseX, float mouseY, uint32_t buttons, float dt)
{
    FrameReport report;
    const int32_t click = static_cast<int32_t>(buttons & 1);
    for (size_t i = 0; i < m_ufos.size();) {
        Ufo& ufo = m_ufos[i];
        GMQueryGoodsObj* obj = ufo.obj;
        if (ufo.moving) {
            // The bob rides on the flight line: the old offset comes off, the
            // new one goes on, and the target moves with it so that the
            // flight keeps the line's direction.
            ufo.phase += dt;
            const float offset = ufo.amplitude / 1000.0f * std::sin(ufo.phase * 3.1415f / kBobPeriod);
            obj->SetPosition(obj->GetX(), obj->GetY() - ufo.offset + offset);
            obj->SetTarget(ufo.targetX, ufo.targetY + offset);
            ufo.offset = offset;
        }
        // A hit UFO no longer answers the pointer while it vanishes.
        const int32_t r = ufo.hit ? obj->Update(-kScreenWidth, -kScreenHeight, 0, dt)
                                  : obj->Update(mouseX, mouseY, click, dt);
        if (ufo.moving) {
            const float x = obj->GetX();
            if (ufo.fromLeft ? x >= ufo.targetX : x <= ufo.targetX) {
                ++report.escaped;
                Remove(i);
                continue;
            }
            if (r == GMQueryGoodsObj::kClicked) {
                ufo.hit = true;
                ufo.moving = false;
                ufo.fade = kFadeTime;
                obj->StopMotion();
                obj->SetTransitionTime(kFadeTime);
                obj->StartTransition(false);
                report.hits.push_back(Point{x, obj->GetY()});
            }
        } else if (ufo.hit) {
            ufo.fade = std::max(0.0f, ufo.fade - dt);
            // It shrinks (the goods icon's way of vanishing) and fades with it.
            const float s = obj->GetScale();
            obj->SetColor((static_cast<uint32_t>(std::clamp(s, 0.0f, 1.0f) * 255.0f) << 24) | 0xFFFFFFu);
        }
        ++i;
    }
    report.over = Left() - DoneCount() < 1;
    return report;
}

void GMUfoGame::Draw(DisplayDevice* device)
{
    for (Ufo& ufo : m_ufos) {
        if (!IsDone(ufo))
            ufo.obj->Draw(0.0f, 0.0f, device);
    }
}

bool GMUfoGame::Find(int32_t n, float* x, float* y) const
{
    int32_t k = 0;
    for (const Ufo& ufo : m_ufos) {
        if (!ufo.moving || ufo.hit)
            continue;
        const float ux = ufo.obj->GetX(), uy = ufo.obj->GetY();
        if (ux < 0.0f || ux >= kScreenWidth || uy < 0.0f || uy >= kScreenHeight)
            continue;
        if (++k == n) {
            *x = ux;
            *y = uy;
            return true;
        }
    }
    return false;
}

int32_t GMUfoGame::HitCount() const
{
    return static_cast<int32_t>(std::count_if(m_ufos.begin(), m_ufos.end(), [](const Ufo& u) { return u.hit; }));
}

int32_t GMUfoGame::DoneCount() const
{
    return static_cast<int32_t>(std::count_if(m_ufos.begin(), m_ufos.end(), IsDone));
}
