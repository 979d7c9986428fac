#include "app/NoticeBanner.h"

#include "gfx/GMImage.h"
#include "gfx/GMImageManager.h"

#include <new>
#include <sstream>

namespace {

constexpr float kPanelLeft = 40.0f;
constexpr float kPanelTop = 14.0f;
constexpr float kPadding = 14.0f;
constexpr float kLineGap = 6.0f;

// Text markup reads "%": a notice shows it as it is.
std::string Literal(const std::string& text)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '%')
            out += '%';
    }
    return out;
}

uint32_t WithAlpha(uint32_t colour, float fraction)
{
    auto a = static_cast<uint32_t>(static_cast<float>(colour >> 24) * fraction + 0.5f);
    return (colour & 0x00FFFFFFu) | (a << 24);
}

}  // namespace

std::vector<std::string> NoticeBanner::WrapWords(const std::string& text, float width,
                                                 const std::function<float(const std::string&)>& measure)
{
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string line;
    for (std::string word; words >> word;) {
        std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && measure(longer) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

void NoticeBanner::Show(const std::string& text, float showMs)
{
    m_text = text;
    m_lines.clear();  // wrapped with the font when first drawn
    m_leftMs = showMs;
}

void NoticeBanner::Update(float elapsedMs)
{
    if (m_leftMs > 0.0f)
        m_leftMs -= elapsedMs;
}

void NoticeBanner::ReleaseFont()
{
    SafeRelease(m_font);
    m_fontTried = false;
}

void NoticeBanner::Draw(DisplayDevice* device, GMImageManager* images)
{
    if (!IsShowing() || !device)
        return;
    if (!m_fontTried) {
        m_fontTried = true;
        auto* font = new (std::nothrow) GMImage;
        if (font && font->LoadTemplate("Font16.img", images, device) == 0)
            m_font = font;
        else if (font)
            font->Release();
    }
    float lineHeight = m_font ? m_font->GetTemplateHeight() : 16.0f;
    if (m_lines.empty()) {
        m_lines = WrapWords(m_text, kTextWidth, [this](const std::string& s) {
            float w = static_cast<float>(s.size()) * 9.0f;
            if (m_font)
                m_font->DrawText(0.0f, 0.0f, 0.0f, 1.0f, 0, Literal(s).c_str(), nullptr, &w);
            return w;
        });
    }
    float fraction = m_leftMs < kFadeMs ? m_leftMs / kFadeMs : 1.0f;
    float height = 2.0f * kPadding + static_cast<float>(m_lines.size()) * (lineHeight + kLineGap) - kLineGap;
    float width = 800.0f - 2.0f * kPanelLeft;
    FillRect(kPanelLeft, kPanelTop, width, height, WithAlpha(0xF0101820u, fraction), device);
    FillRect(kPanelLeft, kPanelTop, width, 2.0f, WithAlpha(0xFFFFD800u, fraction), device);
    FillRect(kPanelLeft, kPanelTop + height - 2.0f, width, 2.0f, WithAlpha(0xFFFFD800u, fraction), device);
    if (!m_font)
        return;
    // Text stands on its baseline.
    float y = kPanelTop + kPadding + lineHeight * 0.8f;
    for (const std::string& line : m_lines) {
        float w = 0.0f;
        std::string text = Literal(line);
        m_font->DrawText(0.0f, 0.0f, 0.0f, 1.0f, 0, text.c_str(), nullptr, &w);
        m_font->DrawText(400.0f - w / 2.0f, y, 0.0f, 1.0f, WithAlpha(0xFFFFFFFFu, fraction), text.c_str(), device);
        y += lineHeight + kLineGap;
    }
}
