#pragma once
#include <cstdint>
#include <string>
#include <vector>

class DisplayDevice;
class GMDecorateObj;
class GMImage;
class GMImageManager;
class GMInteractiveObj;
class GMLevelRun;

// The driving mini-game of a level of kind 1: the day's vehicle drives up a
// road of several lanes past slower traffic; lane buttons at the bottom
// switch lanes. It lives inside the level run, which keeps its state
// machine, messages, report and saving; the course's progress is the run's
// rating value (course length at the finish, -1 after a crash).
class GMMiniGame {
public:
    // Used when the level gives the vehicle no speed: 0.004 rows per ms,
    // 180 px a second on 45 px cells.
    static constexpr float kDefaultSpeed = 0.004f;
    static constexpr float kButtonY = 560.0f;
    static constexpr float kScreenHeight = 600.0f;
    static constexpr uint32_t kLaneShade = 0x20FFFFFFu;
    // A longer course is driven as this long: over an hour and a half at the
    // default speed, with traffic bounded by the cars' limit.
    static constexpr float kMaxCourse = 1.0e6f;
    static constexpr size_t kMaxCars = 4096;
    static constexpr int32_t kMaxRows = 4 * static_cast<int32_t>(kMaxCars);

    struct Car {
        GMDecorateObj* obj = nullptr;  // held
        bool onScreen = false;
        int32_t row = 0;  // the traffic row it was generated in
        int32_t lane = 0;
    };
    struct Box {
        float left = 0.0f, top = 0.0f, width = 0.0f, height = 0.0f;
        bool Overlaps(const Box& o) const
        {
            return left < o.left + o.width && o.left < left + width && top < o.top + o.height &&
                   o.top < top + height;
        }
    };

    GMMiniGame() = default;
    ~GMMiniGame();
    GMMiniGame(const GMMiniGame&) = delete;
    GMMiniGame& operator=(const GMMiniGame&) = delete;

    // Gives back every picture, button and car.
    void Release();
    // Builds the course from the loaded level: 0, or 1 when the progress-bar
    // pictures cannot be loaded.
    int32_t SetUp(GMLevelRun& run, GMImageManager* manager, DisplayDevice* device);
    // Sets the progress and the orders left once the loader has set the
    // rating up; a course of length 0 is finished here.
    void Start(GMLevelRun& run);
    // Replaces the play frame of a working day.
    void Frame(GMLevelRun& run, float x, float y, uint32_t buttons, float dt);
    // Replaces the town and HUD drawing of a working day.
    void Draw(GMLevelRun& run, DisplayDevice* device);

    // Won unless a car was hit.
    bool IsCrashed() const { return m_crashed; }
    bool IsFinishing() const { return m_finishing; }
    float GetTravelled() const { return m_travelled; }
    float GetLanePosition() const { return m_lane; }
    float GetChosenLane() const { return m_chosen; }
    float GetVehicleRow() const { return m_row; }
    float GetVehicleWidth() const { return m_vehicleWidth; }
    float GetVehicleHeight() const { return m_vehicleHeight; }
    const std::vector<GMInteractiveObj*>& LaneButtons() const { return m_buttons; }
    const std::vector<Car>& Cars() const { return m_cars; }
    const std::vector<std::string>& CarList() const { return m_carList; }
    // The lane of a lane button (its mark), -1 for none.
    static int32_t LaneOf(const GMInteractiveObj* button);
    float LaneCentre(const GMLevelRun& run, float lane) const;
    // The level's course length in px, bounded (0 for none).
    static float CourseLength(const GMLevelRun& run);
    Box VehicleBox(const GMLevelRun& run) const;
    static Box CarBox(const GMDecorateObj* car);
    // Where the button of a lane is, for scripts; false when it has none.
    bool FindLaneButton(int32_t lane, float* x, float* y) const;
    // The lane a careful driver would click now (the hinted one while the
    // hint shows), or -1 to keep the chosen lane.
    int32_t FindSafeLane(const GMLevelRun& run) const;

private:
    bool ReadCarList();
    GMDecorateObj* MakeCar(GMLevelRun& run, float lane, float y, GMImageManager* manager, DisplayDevice* device);
    // `freeLane`: the lane button whose lane the free way starts in.
    void Generate(GMLevelRun& run, GMImageManager* manager, DisplayDevice* device, int32_t freeLane);
    void UpdateButtons(GMLevelRun& run, float x, float y, uint32_t buttons, float dt);

    std::vector<GMInteractiveObj*> m_buttons;  // held, in column order
    std::vector<Car> m_cars;
    std::vector<std::string> m_carList;
    GMImage* m_rangeBack = nullptr;  // MGRangeBk
    GMImage* m_range = nullptr;      // MGRange
    float m_travelled = 0.0f;  // px, negative going up
    float m_lane = 0.0f;
    float m_chosen = 0.0f;
    float m_row = 0.0f;
    float m_vehicleWidth = 0.0f;
    float m_vehicleHeight = 0.0f;
    bool m_crashed = false;
    bool m_finishing = false;
    bool m_finished = false;
};
