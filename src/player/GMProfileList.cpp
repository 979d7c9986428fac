#include "player/GMProfileList.h"

#include "core/FileSys.h"
#include "gfx/GMImage.h"
#include "platform/System.h"
#include "player/GMProfile.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <strings.h>

namespace {

constexpr uint32_t kNameColour = 0xFFFFD800;
constexpr uint32_t kSelectedColour = 0xFFFF2020;

// A new image holding the template, or null when it does not load. False only
// when the image object itself cannot be made.
bool LoadNewImage(const char* file, GMImageManager* manager, DisplayDevice* device, GMImage** out)
{
    *out = nullptr;
    auto* image = new (std::nothrow) GMImage;
    if (!image)
        return false;
    if (image->LoadTemplate(file, manager, device) != 0) {
        image->Release();
        return true;
    }
    *out = image;
    return true;
}

bool IsNameCharacter(int32_t key)
{
    return key == ' ' || (key >= 'a' && key <= 'z') || (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
}

}  // namespace

GMProfileList::Cell* GMProfileList::GetCell(int32_t index) const
{
    if (index < 0)
        return nullptr;
    return static_cast<Cell*>(CGameList::GetAt(m_names.FindIndex(index)));
}

const char* GMProfileList::GetName(int32_t index) const
{
    Cell* cell = GetCell(index);
    return (cell && !cell->name.empty()) ? cell->name.c_str() : nullptr;
}

std::string GMProfileList::GetPath(int32_t index) const
{
    const char* name = GetName(index);
    return name ? m_directory + name + ".prf" : std::string();
}

void GMProfileList::ClearList()
{
    while (m_names.GetCount() > 0)
        delete static_cast<Cell*>(m_names.RemoveHead());
    m_selected = -1;
    m_firstVisible = 0;
    m_visibleRows = 5;
    m_textX = m_textY = 0.0f;
    m_stepX = 0.0f;
    m_stepY = 32.0f;
    m_barX1 = m_barY1 = m_barX2 = m_barY2 = 0.0f;
    SafeRelease(m_font);
    SafeRelease(m_thumb);
}

GMProfileList::Cell* GMProfileList::AddBlankEntry(bool select)
{
    auto* cell = new (std::nothrow) Cell;
    if (!cell)
        return nullptr;
    if (!m_names.AddTail(cell)) {
        delete cell;
        return nullptr;
    }
    if (select)
        Select(m_names.GetCount() - 1);
    return cell;
}

int32_t GMProfileList::FillProfileList(const char* currentFile, const char* thumbPicture, GMImageManager* manager,
                                       DisplayDevice* device)
{
    ClearList();
    int32_t remembered = -1;
    std::string pattern = m_directory + "*.prf";
    for (const std::string& found : FindFiles(pattern.c_str())) {
        Cell* cell = AddBlankEntry(false);
        if (!cell)
            return kListNoCell;
        GMProfile temp;
        if (temp.OpenProfile(found.c_str()) != GMProfile::kProfileOk) {
            delete static_cast<Cell*>(m_names.RemoveTail());
            continue;
        }
        if (temp.GetDisplayName())
            cell->name = temp.GetDisplayName();
        if (currentFile && strcasecmp(currentFile, found.c_str()) == 0)
            remembered = m_names.GetCount() - 1;
    }
    Select(remembered);
    ScrollTo(m_selected - m_visibleRows / 2);

    if (thumbPicture && !LoadNewImage(thumbPicture, manager, device, &m_thumb))
        return kListNoImage;
    if (!LoadNewImage("FontStd.img", manager, device, &m_font))
        return kListNoImage;
    return kListOk;
}

int32_t GMProfileList::LoadSelectedProfile(GMProfile* profile) const
{
    const char* name = GetName(m_selected);
    if (!profile || !name)
        return 1;
    std::string path = GetPath(m_selected);
    int32_t r = profile->OpenProfile(path.c_str());
    if (r != GMProfile::kProfileOk && GetCell(m_selected)->unsaved) {
        // Its file could not be written: the player still plays under the
        // chosen name, and every later save tries again.
        profile->ClearProfile();
        profile->SetDisplayName(name);
        profile->SetFileName(path.c_str());
        return GMProfile::kProfileOk;
    }
    return r;
}

int32_t GMProfileList::CreateProfileFile(int32_t index)
{
    Cell* cell = GetCell(index);
    if (!cell)
        return 1;
    if (cell->name.empty())
        return 2;
    std::string path = GetPath(index);
    // An existing profile of that name keeps its progress.
    GMProfile temp;
    temp.OpenProfile(path.c_str());
    temp.SetDisplayName(cell->name.c_str());
    cell->unsaved = temp.SaveProfile(path.c_str()) != GMProfile::kProfileOk;
    return 0;
}

int32_t GMProfileList::DeleteProfileEntry(int32_t index, bool deleteFile)
{
    int32_t count = m_names.GetCount();
    if (count == 0)
        return 0;
    if (index >= count)
        index = count - 1;
    else if (index < 0)
        index = 0;
    GamePosition pos = m_names.FindIndex(index);
    auto* cell = static_cast<Cell*>(m_names.RemoveAt(pos));
    if (cell) {
        if (deleteFile && !cell->name.empty())
            DeleteFile((m_directory + cell->name + ".prf").c_str());
        delete cell;
    }
    Select(m_selected);
    ScrollTo(m_firstVisible);
    return 0;
}

void GMProfileList::SetSelectedName(const char* name)
{
    if (Cell* cell = GetCell(m_selected)) {
        cell->name = TrimName(name);
        cell->unsaved = false;
    }
}

std::string GMProfileList::TrimName(const char* name)
{
    std::string s = name ? name : "";
    size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

int32_t GMProfileList::FindName(const char* nameIn) const
{
    std::string trimmed = TrimName(nameIn);
    const char* name = trimmed.c_str();
    if (!*name)
        return -1;
    int32_t i = 0;
    GamePosition pos = m_names.GetHeadPosition();
    while (pos) {
        auto* cell = static_cast<Cell*>(CGameList::GetNext(pos));
        if (cell && strcasecmp(TrimName(cell->name.c_str()).c_str(), name) == 0)
            return i;
        ++i;
    }
    return -1;
}

void GMProfileList::Select(int32_t index)
{
    int32_t count = m_names.GetCount();
    if (count == 0)
        m_selected = -1;
    else if (index >= count)
        m_selected = count - 1;
    else
        m_selected = index < 0 ? -1 : index;
}

void GMProfileList::ScrollTo(int32_t first)
{
    int32_t limit = m_names.GetCount() - m_visibleRows;
    if (first > limit)
        first = limit;
    m_firstVisible = first < 0 ? 0 : first;
}

void GMProfileList::SetTextLayout(float x, float y, float stepX, float stepY)
{
    m_textX = x;
    m_textY = y;
    m_stepX = stepX;
    m_stepY = stepY;
}

void GMProfileList::SetScrollBar(float x1, float y1, float x2, float y2)
{
    m_barX1 = x1;
    m_barY1 = y1;
    m_barX2 = x2;
    m_barY2 = y2;
}

void GMProfileList::GetThumbCentre(float* x, float* y) const
{
    int32_t range = m_names.GetCount() - m_visibleRows;
    float f = range > 0 ? static_cast<float>(m_firstVisible) / static_cast<float>(range)
                        : static_cast<float>(m_firstVisible);
    if (x)
        *x = m_barX1 + f * (m_barX2 - m_barX1);
    if (y)
        *y = m_barY1 + f * (m_barY2 - m_barY1);
}

void GMProfileList::DrawProfileList(DisplayDevice* device)
{
    if (m_font) {
        int32_t index = 0;
        int32_t row = 0;
        GamePosition pos = m_names.GetHeadPosition();
        while (pos && row < m_visibleRows) {
            auto* cell = static_cast<Cell*>(CGameList::GetNext(pos));
            if (index++ < m_firstVisible)
                continue;
            if (cell && !cell->name.empty()) {
                float x = m_textX + m_stepX * static_cast<float>(row);
                float y = m_textY + m_stepY * static_cast<float>(row);
                uint32_t colour = (index - 1 == m_selected) ? kSelectedColour : kNameColour;
                m_font->DrawText(x, y, 0.0f, 1.0f, colour, cell->name.c_str(), device);
            }
            ++row;
        }
    }
    if (m_thumb) {
        float cx = 0.0f, cy = 0.0f;
        GetThumbCentre(&cx, &cy);
        m_thumb->Draw(cx - m_thumb->GetTextureWidth() / 2, cy - m_thumb->GetTextureHeight() / 2, device);
    }
}

bool GMProfileList::HandleScrollBar(float x, float y, int32_t clickFlags)
{
    int32_t range = m_names.GetCount() - m_visibleRows;
    if (clickFlags != 1 || range <= 0)
        return false;
    float halfWidth = m_thumb ? m_thumb->GetTextureWidth() / 2 : 8.0f;
    float halfHeight = m_thumb ? m_thumb->GetTextureHeight() / 2 : 8.0f;
    float dx = m_barX2 - m_barX1;
    float dy = m_barY2 - m_barY1;
    float length2 = dx * dx + dy * dy;
    if (length2 <= 0.0f)
        return false;
    // Position along the track (0 at its start, 1 at its end) and distance across it.
    float t = ((x - m_barX1) * dx + (y - m_barY1) * dy) / length2;
    float px = m_barX1 + t * dx - x;
    float py = m_barY1 + t * dy - y;
    float across = px * px + py * py;
    float reach = halfWidth > halfHeight ? halfWidth : halfHeight;
    float along = halfHeight / std::max(1.0f, static_cast<float>(std::sqrt(length2)));
    if (across > reach * reach || t < -along || t > 1.0f + along)
        return false;
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    ScrollTo(static_cast<int32_t>(t * static_cast<float>(range) + 0.5f));
    return true;
}

bool GMProfileList::EditName(int32_t key, std::string& name)
{
    if (key == 8) {
        if (name.empty())
            return false;
        name.pop_back();
        return true;
    }
    if (!IsNameCharacter(key) || static_cast<int32_t>(name.size()) >= kMaxNameLength)
        return false;
    name.push_back(static_cast<char>(key));
    return true;
}
