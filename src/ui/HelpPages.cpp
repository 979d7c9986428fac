#include "ui/HelpPages.h"

#include "gfx/Filtering.h"
#include "gfx/GMImage.h"
#include "ui/LayoutFile.h"

#include <new>

void HelpPages::Clear()
{
    for (Picture& p : m_pictures)
        p.image->Release();
    m_pictures.clear();
    m_texts.clear();
    SetFont(nullptr);
    m_currentPage = 0;
    m_pageCount = 0;
}

void HelpPages::CountPage(int32_t page)
{
    if (page >= m_pageCount)
        m_pageCount = page + 1;
}

int32_t HelpPages::AddPicture(const char* templateFile, float x, float y, float scale, int32_t page,
                              GMImageManager* manager, DisplayDevice* device)
{
    if (page > kMaxHelpPage)
        return -1;
    scale = LimitDrawScale(scale);
    auto* image = new (std::nothrow) GMImage;
    if (!image)
        return -1;
    if (image->LoadTemplate(templateFile, manager, device) != 0) {
        image->Release();
        return -1;
    }
    m_pictures.push_back({image, x, y, page, scale});
    CountPage(page);
    return static_cast<int32_t>(m_pictures.size()) - 1;
}

int32_t HelpPages::AddText(const char* text, float x, float y, float scale, int32_t page)
{
    if (!text || page > kMaxHelpPage)
        return -1;
    scale = LimitDrawScale(scale);
    m_texts.push_back({text, x, y, page, scale});
    CountPage(page);
    return static_cast<int32_t>(m_texts.size()) - 1;
}

void HelpPages::SetFont(GMImage* font)
{
    if (font == m_font)
        return;
    if (m_font)
        m_font->Release();
    m_font = font;
    if (m_font)
        m_font->AddRef();
}

int32_t HelpPages::SetPage(int32_t page)
{
    if (page > m_pageCount - 1)
        page = m_pageCount - 1;
    if (page < 0)
        page = 0;
    m_currentPage = page;
    return page;
}

void HelpPages::Advance(float dt)
{
    for (Picture& p : m_pictures)
        p.image->Advance(dt);
}

void HelpPages::Draw(float x, float y, DisplayDevice* device)
{
    for (Picture& p : m_pictures) {
        if (!Shows(p.page))
            continue;
        if (p.scale == 1.0f) {
            p.image->Draw(p.x + x, p.y + y, device);
            continue;
        }
        SetLinearFiltering(device, true);
        p.image->DrawSized(p.x + x, p.y + y, p.image->GetTextureWidth() * p.scale,
                           p.image->GetTextureHeight() * p.scale, device);
        SetLinearFiltering(device, false);
    }
    if (!m_font)
        return;
    for (Text& t : m_texts) {
        if (!Shows(t.page))
            continue;
        bool scaled = t.scale != 1.0f;
        if (scaled)
            SetLinearFiltering(device, true);
        m_font->DrawText(t.x + x, t.y + y, 0.0f, t.scale, 0xFFFFFFFF, t.text.c_str(), device);
        if (scaled)
            SetLinearFiltering(device, false);
    }
}

int32_t HelpPages::LoadFromFile(const char* fileName, GMImageManager* manager, DisplayDevice* device)
{
    Clear();
    std::vector<HelpEntry> entries;
    if (ReadHelpFile(fileName, &entries) != 0)
        return 1;
    for (const HelpEntry& e : entries) {
        if (e.isPicture)
            AddPicture(e.value.c_str(), e.x, e.y, e.scale, e.page, manager, device);
        else
            AddText(e.value.c_str(), e.x, e.y, e.scale, e.page);
    }
    return 0;
}
