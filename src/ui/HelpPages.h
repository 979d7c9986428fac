#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ui/LayoutFile.h"

class DisplayDevice;
class GMImage;
class GMImageManager;

// The paged help panel: pictures and texts, each on one page or on every page
// (-1). An entry on a page beyond kMaxHelpPage is refused (-1) and its scale is
// held by LimitDrawScale.
class HelpPages {
public:
    HelpPages() = default;
    HelpPages(const HelpPages&) = delete;
    HelpPages& operator=(const HelpPages&) = delete;
    ~HelpPages() { Clear(); }

    void Clear();
    int32_t AddPicture(const char* templateFile, float x, float y, float scale, int32_t page, GMImageManager* manager,
                       DisplayDevice* device);
    int32_t AddText(const char* text, float x, float y, float scale, int32_t page);
    void SetFont(GMImage* font);
    int32_t SetPage(int32_t page);
    int32_t GetPage() const { return m_currentPage; }
    int32_t GetPageCount() const { return m_pageCount; }
    void Advance(float dt);
    void Draw(float x, float y, DisplayDevice* device);
    // 0, or 1 when the file cannot be opened.
    int32_t LoadFromFile(const char* fileName, GMImageManager* manager, DisplayDevice* device);

    struct Picture {
        GMImage* image;
        float x, y;
        int32_t page;
        float scale;
    };
    struct Text {
        std::string text;
        float x, y;
        int32_t page;
        float scale;
    };
    const std::vector<Picture>& Pictures() const { return m_pictures; }
    const std::vector<Text>& Texts() const { return m_texts; }

private:
    void CountPage(int32_t page);
    bool Shows(int32_t page) const { return page == m_currentPage || page == -1; }

    std::vector<Picture> m_pictures;
    std::vector<Text> m_texts;
    int32_t m_currentPage = 0;
    int32_t m_pageCount = 0;
    GMImage* m_font = nullptr;
};
