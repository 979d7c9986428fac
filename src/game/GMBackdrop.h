#pragma once
#include <cstdint>

class DisplayDevice;
class GMImage;
class Texture;

// The town's background, stretched over the 800 x 600 screen with linear
// filtering. Stretching a full-screen picture with filtering and blending is
// the dearest drawing there is on the software renderer, so a still
// background is stretched once into a screen-sized texture (filtered, laid over
// black) and then copied 1:1 without blending each frame. The copy stays with
// its picture in the image cache, so the next day on the same background (or
// the same day tried again) draws it at once. An animated background is
// stretched each frame as it is.
class GMBackdrop {
public:
    void Draw(GMImage* background, DisplayDevice* device);
    // How often this backdrop made a copy, for tests: one per picture, not
    // per frame or per day.
    uint32_t GetBuildCount() const { return m_builds; }

private:
    static Texture* Build(Texture* source, float width, float height, DisplayDevice* device);

    uint32_t m_builds = 0;
};
