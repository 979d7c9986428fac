#include "ui/GMStoryLayout.h"

#include "ui/LayoutFile.h"
#include "world/GMDecorateObj.h"
#include "world/GMInteractiveObj.h"

#include <new>
#include <vector>

GMStoryLayout::GMStoryLayout()
{
    m_pictures.Reserve(8);
    m_lines.Reserve(16);
}

GMStoryLayout::~GMStoryLayout()
{
    Clear();
}

void GMStoryLayout::Clear()
{
    if (m_background) {
        m_background->Release();
        m_background = nullptr;
    }
    m_pictures.ReleaseItems();
    m_lines.RemoveAll();
    m_textX = m_textY = 0.0f;
    if (m_button) {
        m_button->Release();
        m_button = nullptr;
    }
}

int32_t GMStoryLayout::Load(const char* fileName, GMImageManager* manager, DisplayDevice* device)
{
    Clear();
    std::vector<StoryEntry> entries;
    if (ReadStoryFile(fileName, &entries) != 0)
        return 1;
    m_standardFont.LoadTemplate("FontStd.img", manager, device);
    for (const StoryEntry& e : entries) {
        switch (e.tag) {
        case kStoryBackground:
            if (!m_background)
                m_background = new (std::nothrow) GMImage;
            if (m_background && m_background->LoadTemplate(e.name.c_str(), manager, device) != 0) {
                m_background->Release();
                m_background = nullptr;
            }
            break;
        case kStoryPicture: {
            auto* deco = new (std::nothrow) GMDecorateObj;
            if (!deco)
                break;
            if (deco->SetImage(e.name.c_str(), manager, device) != 0 || m_pictures.Add(deco, false) < 0) {
                deco->Release();
                break;
            }
            deco->SetPosition(e.x, e.y);
            break;
        }
        case kStoryText:
            m_lines.AddString(e.name.c_str(), false);
            break;
        case kStoryTextX:
            m_textX = e.x;
            break;
        case kStoryTextY:
            m_textY = e.y;
            break;
        case kStoryButton:
            if (!m_button)
                m_button = new (std::nothrow) GMInteractiveObj;
            if (!m_button)
                return 2;
            if (m_button->SetImage(0, e.name2.c_str(), manager, device) != 0 ||
                m_button->SetImage(1, e.name.c_str(), manager, device) != 0) {
                m_button->Release();
                m_button = nullptr;
                return 2;
            }
            m_button->SetPosition(e.x, e.y);
            break;
        }
    }
    return m_button ? 0 : 2;
}

void GMStoryLayout::Draw(GMImage* panelFont, DisplayDevice* device)
{
    if (m_background)
        m_background->DrawAllFrames(0.0f, 0.0f, device);
    for (int32_t cursor = -1; GMObject* obj = static_cast<GMObject*>(m_pictures.GetNext(cursor));)
        obj->Draw(0.0f, 0.0f, device);
    float x = m_textX, y = m_textY;
    for (int32_t cursor = -1; const char* line = static_cast<const char*>(m_lines.GetNext(cursor));) {
        GMImage* font = panelFont;
        if (line[0] == '@') {
            font = &m_standardFont;
            ++line;
        }
        float height = 0.0f;
        if (font)
            font->DrawText(x, y, 0.0f, 1.0f, 0xFF000000, line, device, nullptr, &height);
        y += height + 1.0f;
    }
    if (m_button)
        m_button->Draw(0.0f, 0.0f, device);
}
