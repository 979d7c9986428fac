#pragma once
#include <cstdint>

class DisplayDevice;
class GMImage;
class Texture;

// The town's background, stretched over the 800 x 600 screen with linear
// filtering. Stretching a full-screen picture with filtering and blending is
// the dearest drawing there is on the software renderer, so a still
// background is stretched once into a screen-sized texture (filtered, laid over
// black) and then copied 1:1 without blending each frame. An animated
// background is stretched each frame as it is.
class GMBackdrop {
public:
    GMBackdrop() = default;
    ~GMBackdrop() { Release(); }
    GMBackdrop(const GMBackdrop&) = delete;
    GMBackdrop& operator=(const GMBackdrop&) = delete;

    void Draw(GMImage* background, DisplayDevice* device);
    // Lets the stretched copy go (a new day, a new picture).
    void Release();
    // How often a copy was made, for tests: one per picture, not per frame.
    uint32_t GetBuildCount() const { return m_builds; }

private:
    bool Build(Texture* source, float width, float height, DisplayDevice* device);

    Texture* m_copy = nullptr;
    const Texture* m_source = nullptr;  // the frame the copy was made from
    uint32_t m_sourceVersion = 0;
    uint32_t m_builds = 0;
};
