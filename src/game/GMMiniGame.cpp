#include "game/GMMiniGame.h"

#include "core/FileSys.h"
#include "core/TaggedFile.h"
#include "game/Arith.h"
#include "game/GMLevelRun.h"
#include "gfx/DisplayDevice.h"
#include "gfx/Filtering.h"
#include "gfx/GMImage.h"
#include "world/GMDecorateObj.h"
#include "world/GMInteractiveObj.h"
#include "world/GMTransportObj.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

template <class T>
void Let(T*& obj)
{
    if (obj) {
        obj->Release();
        obj = nullptr;
    }
}

float Random01(GameRandom& random)
{
    return static_cast<float>(random.Next()) / static_cast<float>(GameRandom::kMax);
}

}  // namespace

GMMiniGame::~GMMiniGame()
{
    Release();
}

void GMMiniGame::Release()
{
    for (GMInteractiveObj*& button : m_buttons)
        Let(button);
    m_buttons.clear();
    for (Car& car : m_cars)
        Let(car.obj);
    m_cars.clear();
    m_carList.clear();
    Let(m_rangeBack);
    Let(m_range);
    m_travelled = m_lane = m_chosen = m_row = 0.0f;
    m_vehicleWidth = m_vehicleHeight = 0.0f;
    m_crashed = m_finishing = m_finished = false;
}

int32_t GMMiniGame::LaneOf(const GMInteractiveObj* button)
{
    return button ? button->GetMark() : -1;
}

float GMMiniGame::LaneCentre(const GMLevelRun& run, float lane) const
{
    return (lane + 0.5f) * run.m_grid.cellWidth + run.m_grid.originX;
}

GMMiniGame::Box GMMiniGame::VehicleBox(const GMLevelRun& run) const
{
    Box box;
    box.left = LaneCentre(run, m_lane) - m_vehicleWidth / 2.0f;
    box.top = (m_row + 1.0f) * run.m_grid.cellHeight + run.m_grid.originY - m_vehicleHeight;
    box.width = m_vehicleWidth;
    box.height = m_vehicleHeight;
    return box;
}

GMMiniGame::Box GMMiniGame::CarBox(const GMDecorateObj* car)
{
    // The stated picture size (IMW x IMH) is the collision size, standing on the foot.
    Box box;
    box.width = car->GetHitWidth();
    box.height = car->GetHitHeight();
    box.left = car->GetX() - box.width / 2.0f;
    box.top = car->GetY() - box.height;
    return box;
}

float GMMiniGame::CourseLength(const GMLevelRun& run)
{
    const float course = run.m_day.levelTime;
    if (!(course > 0.0f))
        return 0.0f;  // NaN too
    return std::min(course, kMaxCourse);
}

bool GMMiniGame::FindLaneButton(int32_t lane, float* x, float* y) const
{
    for (const GMInteractiveObj* button : m_buttons) {
        if (LaneOf(button) == lane) {
            *x = button->GetX();
            *y = button->GetY();
            return true;
        }
    }
    return false;
}

int32_t GMMiniGame::FindSafeLane(const GMLevelRun& run) const
{
    if (m_finishing || m_crashed || m_buttons.empty())
        return -1;
    if (run.m_tutorialStep != 0)
        return LaneOf(run.m_tutorialTarget);
    if (m_lane != m_chosen)
        return -1;  // still changing lanes
    // Looks a few seconds ahead: the traffic closes in at half the vehicle's
    // speed and a lane change takes a fixed time, so the future is known.
    // A plan is a lane change or none per change time; the first step of a
    // plan that survives the horizon is taken, staying put when it can.
    const GMTransportObj* vehicle = run.m_vehicle;
    float speed = vehicle ? vehicle->GetSpeed() : 0.0f;
    if (!(speed > 0.0f))
        speed = kDefaultSpeed;
    const float changeTime = 1.0f / (2.0f * speed);             // ms per lane
    const float closing = speed * run.m_grid.cellHeight / 2.0f;  // px per ms
    // Far enough to see a wall of cars forming well above the screen's top
    // (about two screens at the default speed): a lane free for a screen can
    // still end in a wall that only a lane change long before it gets round.
    constexpr int kSteps = 128;
    constexpr int kSamples = 6;
    const Box mine = VehicleBox(run);
    constexpr float kMargin = 3.0f;
    // A click moves the vehicle a frame or two later, and a plan's later
    // lane changes start later still (the driver looks again only once the
    // vehicle is in its lane, every other frame): the cars ahead are kept
    // that much further off, more for later steps than for this one, so that
    // a plan still holds when its next step comes late.
    const float aheadNow = kMargin + closing * 48.0f;
    const float ahead = kMargin + closing * 144.0f;
    const int32_t lanes = static_cast<int32_t>(m_buttons.size());
    auto laneOf = [&](int32_t i) { return static_cast<float>(LaneOf(m_buttons[static_cast<size_t>(i)])); };
    // The steps start `offset` ms from now. last[t][i]: the furthest step a
    // plan from lane i at step t gets to without a crash (kSteps: past the
    // horizon). When no plan clears the horizon, the one that lasts longest
    // still leaves room for what comes.
    using Table = std::vector<std::vector<int32_t>>;
    std::vector<std::vector<Box>> near(kSteps);
    auto plan = [&](float offset, Table& last, float late = 0.0f) {
        // The cars that can touch the vehicle during each step.
        for (int t = 0; t < kSteps; ++t) {
            std::vector<Box>& list = near[static_cast<size_t>(t)];
            list.clear();
            for (const Car& car : m_cars) {
                const Box box = CarBox(car.obj);
                const float from = box.top + closing * (offset + changeTime * static_cast<float>(t));
                const float to = from + closing * changeTime;
                if (to + box.height > mine.top - ahead && from < mine.top + mine.height + kMargin)
                    list.push_back(box);
            }
        }
        // Whether moving from lane index a to b during step t hits a car.
        auto clear = [&, offset, late](int32_t t, int32_t a, int32_t b) {
            for (int k = 0; k <= kSamples; ++k) {
                const float f = static_cast<float>(k) / kSamples;
                const float when = offset + (static_cast<float>(t) + f) * changeTime;
                Box van = mine;
                van.left = LaneCentre(run, laneOf(a) + (laneOf(b) - laneOf(a)) * f) - mine.width / 2.0f - kMargin;
                van.width += 2.0f * kMargin;
                const float front = (t == 0 && offset == 0.0f ? aheadNow : ahead) + late;
                van.top -= front;
                van.height += front + kMargin;
                for (Box box : near[static_cast<size_t>(t)]) {
                    box.top += closing * when;
                    if (box.Overlaps(van))
                        return false;
                }
            }
            return true;
        };
        last.assign(kSteps + 1, std::vector<int32_t>(static_cast<size_t>(lanes), kSteps));
        for (int32_t t = kSteps - 1; t >= 0; --t)
            for (int32_t i = 0; i < lanes; ++i) {
                int32_t best = t;
                for (int32_t d : {0, -1, 1}) {
                    const int32_t j = i + d;
                    if (j >= 0 && j < lanes && clear(t, i, j))
                        best = std::max(best, last[static_cast<size_t>(t + 1)][static_cast<size_t>(j)]);
                    if (best == kSteps)
                        break;
                }
                last[static_cast<size_t>(t)][static_cast<size_t>(i)] = best;
            }
        return clear;
    };
    Table last;
    int32_t current = 0;
    for (int32_t i = 0; i < lanes; ++i)
        if (laneOf(i) == m_chosen)
            current = i;
    int32_t choice = current, lasts = -1;
    bool stay = false;  // staying is clear for this step
    {
        auto clear = plan(0.0f, last);
        stay = clear(0, current, current);
        for (int32_t d : {0, -1, 1}) {  // staying wins a tie
            const int32_t j = current + d;
            if (j >= 0 && j < lanes && clear(0, current, j) && last[1][static_cast<size_t>(j)] > lasts) {
                lasts = last[1][static_cast<size_t>(j)];
                choice = j;
            }
        }
        // When the lane to the right lasts as long as the one to the left that
        // was taken (and staying less), the way that still holds when every
        // step comes a step late: a way back out of a closing lane holds on
        // paper, but not for a driver who looks a moment later.
        const int32_t right = current + 1;
        if (choice == current - 1 && right < lanes && clear(0, current, right) &&
            last[1][static_cast<size_t>(right)] == lasts) {
            Table late;
            plan(0.0f, late, closing * changeTime);
            if (late[1][static_cast<size_t>(right)] > late[1][static_cast<size_t>(choice)])
                choice = right;
        }
    }
    // Staying also keeps every plan that starts a little later: the driver
    // looks again within a fraction of a step, and a gap that opens just
    // after a step's start is missed by steps that start now.
    constexpr int kShifts = 4;
    for (int s = 1; s < kShifts && stay && choice != current && lasts < kSteps; ++s) {
        Table shifted;
        plan(changeTime * static_cast<float>(s) / kShifts, shifted);
        if (shifted[0][static_cast<size_t>(current)] > lasts) {
            choice = current;
            lasts = shifted[0][static_cast<size_t>(current)];
        }
    }
    return choice == current ? -1 : LaneOf(m_buttons[static_cast<size_t>(choice)]);
}

bool GMMiniGame::ReadCarList()
{
    FILE* f = OpenFile("cars.lst", "rt");
    if (!f)
        return false;
    char name[kValueBufferSize];
    while (ReadQuoted(f, '"', '"', name, nullptr) >= 0 && m_carList.size() < kMaxCars)
        m_carList.emplace_back(name);
    std::fclose(f);
    return true;
}

GMDecorateObj* GMMiniGame::MakeCar(GMLevelRun& run, float lane, float y, GMImageManager* manager,
                                   DisplayDevice* device)
{
    if (m_carList.empty() || m_cars.size() >= kMaxCars)
        return nullptr;
    const size_t pick = static_cast<size_t>(run.m_random.Next()) % m_carList.size();
    auto* car = new (std::nothrow) GMDecorateObj;
    if (!car)
        return nullptr;
    if (car->SetImage(m_carList[pick].c_str(), manager, device) != 0) {
        // A car whose picture is missing stays off the road, and is not
        // tried again: a list of missing pictures makes no traffic.
        car->Release();
        const std::string missing = m_carList[pick];
        std::erase(m_carList, missing);
        return nullptr;
    }
    car->SetPosition(LaneCentre(run, lane), y);
    return car;
}

int32_t GMMiniGame::SetUp(GMLevelRun& run, GMImageManager* manager, DisplayDevice* device)
{
    Release();
    if (!run.LoadImage(m_rangeBack, "MGRangeBk.img", manager, device) ||
        !run.LoadImage(m_range, "MGRange.img", manager, device))
        return 1;

    // 1. The start is where the level put the vehicle; its stated size is its
    // size on the road and its collision size.
    const GMFieldGrid& grid = run.m_grid;
    int32_t column = 0;
    float row = static_cast<float>(run.m_day.fieldHeight - 1);
    if (GMTransportObj* vehicle = run.m_vehicle) {
        float vx = 0.0f, vy = 0.0f;
        if (vehicle->GetPosition(&vx, &vy)) {
            column = static_cast<int32_t>(std::floor(vx));
            row = std::floor(vy);
        }
        GMImage& image = vehicle->GetImage(vehicle->GetFacing());
        m_vehicleWidth = image.GetImageWidth();
        m_vehicleHeight = image.GetImageHeight();
    }
    m_lane = m_chosen = static_cast<float>(column);
    m_row = row;

    // 2. One lane button per road cell of the vehicle's row.
    const int32_t cellRow = static_cast<int32_t>(row);
    int32_t vehicleButton = -1;
    for (int32_t c = 0; c < run.m_day.fieldWidth; ++c) {
        bool road = false;
        for (int32_t layer = 0; layer < run.m_day.fieldLayers && !road; ++layer) {
            GMFieldObj* field = run.m_grid.Lookup(c, cellRow, layer);
            road = field && field->GetKind() == kKindRoadNode;
        }
        if (!road)
            continue;
        auto* button = new (std::nothrow) GMInteractiveObj;
        if (!button)
            continue;
        button->SetImage(1, "RoadLineBtnI.img", manager, device);
        button->SetImage(0, "RoadLineBtnH.img", manager, device);
        button->SetPosition(LaneCentre(run, static_cast<float>(c)), kButtonY);
        button->SetMark(c);
        if (c == column)
            vehicleButton = static_cast<int32_t>(m_buttons.size());
        m_buttons.push_back(button);
    }

    // 3. Traffic pictures; without any the course is an empty road.
    const int32_t hint = run.m_tutorialKind;
    if (hint == 3)
        run.m_tutorialKind = 0;
    if (!ReadCarList() || m_carList.empty())
        return 0;

    // 4. The lane hint: a car straight ahead and the pointer on the lane next to it.
    const float foot = (row + 1.0f) * grid.cellHeight + grid.originY;
    const float vehicleHeight = m_vehicleHeight > 0.0f ? m_vehicleHeight : grid.cellHeight;
    int32_t hinted = -1;  // the free way starts in the lane the hint leads to
    if (hint == 3 && vehicleButton >= 0 && m_buttons.size() > 1) {
        if (GMDecorateObj* car = MakeCar(run, m_lane, foot - 1.5f * vehicleHeight, manager, device))
            m_cars.push_back({car, false, -1, column});
        const size_t count = m_buttons.size();
        const size_t next = static_cast<size_t>(vehicleButton) < count / 2 ? vehicleButton + 1 : vehicleButton - 1;
        run.PointTutorialAt(4, m_buttons[next]);
        hinted = static_cast<int32_t>(next);
    }
    Generate(run, manager, device, hinted >= 0 ? hinted : std::max(vehicleButton, 0));
    for (Car& car : m_cars)
        car.onScreen = car.obj->GetY() >= 0.0f && car.obj->GetY() < kScreenHeight;
    return 0;
}

// Rows of traffic up to half the course ahead: the cars drive at half the
// vehicle's speed, so the vehicle meets the last of them at the finish. One
// lane, the free way, never gets a car; now and then it moves to a
// neighbouring lane, and then both stay free over the stretch the vehicle
// needs to change lanes, so no run of rows can close every lane. A lane
// gets no second car closer than the vehicle's length behind the one before
// it. Linear in the rows, and it ends whatever fails: the course length is
// bounded and a car picture that does not load is dropped from the list.
void GMMiniGame::Generate(GMLevelRun& run, GMImageManager* manager, DisplayDevice* device, int32_t freeLane)
{
    const double course = CourseLength(run);
    const int32_t lanes = static_cast<int32_t>(m_buttons.size());
    if (!(course > 0.0) || lanes < 2)
        return;
    const GMFieldGrid& grid = run.m_grid;
    const float vehicleHeight = m_vehicleHeight > 0.0f ? m_vehicleHeight : grid.cellHeight;
    const float foot = (m_row + 1.0f) * grid.cellHeight + grid.originY;
    // Distances ahead of the vehicle's foot along the traffic. Changing one
    // lane takes a quarter cell of the traffic closing in; the vehicle's
    // body covers both lanes meanwhile, and the way stays open a vehicle's
    // length longer, so a driver who sees it late still gets through.
    constexpr double kMargin = 4.0;
    const double change = grid.cellHeight / 4.0;
    const double crossing = 2.0 * vehicleHeight + change + 2.0 * kMargin;
    std::vector<double> lastTop(static_cast<size_t>(lanes), -1e30);
    for (const Car& car : m_cars) {  // the hint's car
        for (int32_t i = 0; i < lanes; ++i) {
            if (LaneOf(m_buttons[static_cast<size_t>(i)]) == car.lane)
                lastTop[static_cast<size_t>(i)] = std::max(lastTop[static_cast<size_t>(i)],
                                                           static_cast<double>(foot - CarBox(car.obj).top));
        }
    }
    int32_t way = std::clamp(freeLane, 0, lanes - 1);
    int32_t left = -1;        // the lane the free way left
    double leftUntil = 0.0;   // it stays free up to here
    double ahead = 3.5 * vehicleHeight;
    for (int32_t rows = 0; ahead <= course * 0.5 && m_cars.size() < kMaxCars && rows < kMaxRows; ++rows) {
        GMDecorateObj* car = nullptr;
        if (run.m_random.Next() % 6 > 1) {
            for (int32_t tries = 0; !car && !m_carList.empty() && tries < 8; ++tries)
                car = MakeCar(run, 0.0f, static_cast<float>(foot - ahead), manager, device);
            if (m_carList.empty())
                break;  // no car picture loads: the rest of the road is empty
        }
        if (car) {
            const double height = CarBox(car).height;
            auto allowed = [&](int32_t i) {
                return i != way && !(i == left && ahead < leftUntil + kMargin) &&
                       lastTop[static_cast<size_t>(i)] + vehicleHeight <= ahead;
            };
            int32_t pick = run.m_random.Next() % lanes;
            int32_t tries = 0;
            while (tries < lanes && !allowed(pick)) {
                pick = (pick + 1) % lanes;
                ++tries;
            }
            if (tries == lanes) {
                car->Release();
            } else {
                const int32_t lane = LaneOf(m_buttons[static_cast<size_t>(pick)]);
                car->SetPosition(LaneCentre(run, static_cast<float>(lane)), static_cast<float>(foot - ahead));
                m_cars.push_back({car, false, rows, lane});
                lastTop[static_cast<size_t>(pick)] = ahead + height;
                ahead += height;
            }
        }
        // The free way moves one lane over once the last move is behind it.
        if (ahead >= leftUntil + kMargin && run.m_random.Next() % 3 == 0) {
            int32_t next = way + (run.m_random.Next() % 2 ? 1 : -1);
            if (next < 0 || next >= lanes)
                next = way - (next - way);
            const double from = std::max(ahead, lastTop[static_cast<size_t>(next)] + kMargin);
            left = way;
            leftUntil = from + crossing;
            way = next;
        }
        ahead += (Random01(run.m_random) + 0.75) * vehicleHeight;
    }
}

void GMMiniGame::Start(GMLevelRun& run)
{
    const float course = CourseLength(run);
    run.m_ordersLeft = 1;  // the day goes on until the course is over
    run.m_ratingValue = course;
    run.m_ratingRatio = 0.0f;
    if (!(course > 0.0f)) {
        // Nothing to drive: delivered at once.
        m_finishing = m_finished = true;
        run.m_ratingValue = 0.0f;
        run.m_ratingRatio = 1.0f;
        run.m_receipts = ToInt32(run.m_day.moneyTarget);
        run.m_ratingPoints = run.m_day.ratingTarget;
        run.m_ordersLeft = 0;
    }
}

void GMMiniGame::UpdateButtons(GMLevelRun& run, float x, float y, uint32_t buttons, float dt)
{
    for (GMInteractiveObj* button : m_buttons) {
        const bool was = button->IsHighlighted();
        button->Update(x, y, static_cast<int32_t>(buttons), dt);
        const bool now = button->IsHighlighted();
        if (now && !was)
            run.PlaySound("sfx\\MGBtnHover.ogg");
        if (!now || !(buttons & 1))
            continue;
        const int32_t lane = LaneOf(button);
        if (lane == static_cast<int32_t>(m_lane))
            continue;
        if (run.m_tutorialStep != 0 && button != run.m_tutorialTarget)
            continue;
        m_chosen = static_cast<float>(lane);
        run.PlaySound("sfx\\MGTurn.ogg");
        if (run.m_tutorialStep != 0)
            run.PointTutorialAt(0, nullptr);
    }
}

void GMMiniGame::Frame(GMLevelRun& run, float x, float y, uint32_t buttons, float dt)
{
    const GMFieldGrid& grid = run.m_grid;
    // 1.
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(run.m_drawList.GetNext(c));)
        o->Update(x, y, 0, dt);
    GMTransportObj* vehicle = run.m_vehicle;
    if (vehicle)
        vehicle->Update(x, y, 0, dt);
    const bool waiting = run.m_elapsed < run.m_day.startDelay || run.m_tutorialStep != 0;
    const float s = waiting ? 0.0f : dt;
    // 2.
    float speed = vehicle ? vehicle->GetSpeed() : 0.0f;
    if (!(speed > 0.0f))
        speed = kDefaultSpeed;
    const float step = speed * s;
    if (m_lane < m_chosen)
        m_lane = std::fmin(m_lane + 2.0f * step, m_chosen);
    else if (m_lane > m_chosen)
        m_lane = std::fmax(m_lane - 2.0f * step, m_chosen);
    // The road goes on scrolling while the vehicle drives off the top.
    m_travelled -= step * grid.cellHeight;
    // 3.
    if (!m_finishing)
        UpdateButtons(run, x, y, buttons, dt);
    // 4. - 5. Once the end is reached the order is delivered: the cars go on
    // but can no longer spoil it.
    const Box mine = VehicleBox(run);
    for (Car& car : m_cars) {
        car.obj->SetPosition(car.obj->GetX(), car.obj->GetY() + step * grid.cellHeight / 2.0f);
        car.obj->Update(x, y, 0, dt);
        car.onScreen = car.obj->GetY() >= 0.0f && car.obj->GetY() < kScreenHeight;
        if (!m_finishing && !m_crashed && mine.width > 0.0f && CarBox(car.obj).Overlaps(mine)) {
            m_crashed = true;
            run.m_ratingValue = -1.0f;
        }
    }
    // 6.
    if (m_crashed || m_finished)
        return;
    const float course = CourseLength(run);
    // 7.
    if (std::fabs(m_travelled) >= course) {
        m_finishing = true;
        run.m_ratingValue = course;
        run.m_ratingRatio = 1.0f;
        if (m_row > -1.0f) {
            m_row = std::fmax(m_row - 5.0f * step, -1.0f);
            return;
        }
        m_finished = true;
        run.m_receipts = ToInt32(run.m_day.moneyTarget);
        run.m_ratingPoints = run.m_day.ratingTarget;
        run.m_ordersLeft = 0;
        return;
    }
    // 8.
    run.m_ratingValue = std::fabs(m_travelled);
    run.m_ratingRatio = std::fabs(m_travelled) / course;
}

void GMMiniGame::Draw(GMLevelRun& run, DisplayDevice* device)
{
    const GMFieldGrid& grid = run.m_grid;
    // 1. The road scrolls down as the vehicle drives up; two copies cover the screen.
    const float scroll = std::fmod(-m_travelled, kScreenHeight);
    if (GMImage* road = run.m_background) {
        SetLinearFiltering(device, true);
        road->DrawSized(0.0f, scroll, 800.0f, kScreenHeight, device);
        road->DrawSized(0.0f, scroll - kScreenHeight, 800.0f, kScreenHeight, device);
        SetLinearFiltering(device, false);
    }
    // 2. The chosen lane: its whole column, cell by cell, moving with the road.
    if (grid.cellHeight > 1.0f) {
        const float left = m_chosen * grid.cellWidth + grid.originX;
        const float h = grid.cellHeight;
        // Whole pixels, so the cells meet without a seam.
        for (float top = std::floor(std::fmod(scroll, h)) - h; top < kScreenHeight; top += h)
            FillRect(left, top, grid.cellWidth, h, kLaneShade, device);
    }
    // 3.
    for (const Car& car : m_cars) {
        if (car.onScreen)
            car.obj->Draw(0.0f, 0.0f, device);
    }
    if (run.m_vehicle)
        run.m_vehicle->Draw(LaneCentre(run, m_lane), (m_row + 1.0f) * grid.cellHeight + grid.originY, device);
    // 4.
    for (GMInteractiveObj* button : m_buttons)
        button->Draw(0.0f, 0.0f, device);
    // 5.
    if (m_rangeBack)
        m_rangeBack->Draw(100.0f, 6.0f, device);
    if (m_range) {
        float ratio = run.m_ratingRatio < 0.0f ? 0.0f : run.m_ratingRatio > 1.0f ? 1.0f : run.m_ratingRatio;
        m_range->DrawCropped(99.5f, 5.5f, m_range->GetTextureWidth() * ratio, m_range->GetTextureHeight(), device);
    }
    // 6. Menu button, message, report, tutorial pointer; the fade is the run's.
    if (run.m_menuButton)
        run.m_menuButton->Draw(0.0f, 0.0f, device);
    run.m_hud.DrawPanels(run, device);
}
