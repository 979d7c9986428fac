#pragma once
#include <functional>
#include <string>
#include <vector>

class DisplayDevice;
class GMImage;
class GMImageManager;

// A notice for the player in plain words ("progress cannot be saved", "a file
// was damaged"), shown over every screen for a few seconds: a dark panel at
// the top with the text wrapped to its width, fading out at the end.
class NoticeBanner {
public:
    static constexpr float kShowMs = 9000.0f;
    static constexpr float kFadeMs = 600.0f;
    static constexpr float kTextWidth = 700.0f;

    NoticeBanner() = default;
    ~NoticeBanner() { ReleaseFont(); }
    NoticeBanner(const NoticeBanner&) = delete;
    NoticeBanner& operator=(const NoticeBanner&) = delete;

    void Show(const std::string& text, float showMs = kShowMs);
    bool IsShowing() const { return m_leftMs > 0.0f; }
    const std::string& Text() const { return m_text; }
    void Update(float elapsedMs);
    // Loads "Font16.img" on first use; without it only the panel is drawn.
    void Draw(DisplayDevice* device, GMImageManager* images);
    // The font goes before the device does.
    void ReleaseFont();

    // Greedy word wrap: lines no wider than width by `measure`; a single word
    // wider than that stands on a line of its own.
    static std::vector<std::string> WrapWords(const std::string& text, float width,
                                              const std::function<float(const std::string&)>& measure);

private:
    std::string m_text;
    std::vector<std::string> m_lines;
    float m_leftMs = 0.0f;
    GMImage* m_font = nullptr;
    bool m_fontTried = false;
};
