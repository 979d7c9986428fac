#pragma once
#include "core/CGameList.h"

#include <cstdint>
#include <string>

class DisplayDevice;
class GMImage;
class GMImageManager;
class GMProfile;

// The names behind the profile screens: one entry per profile file, a
// selection, a scroll window of visible rows and a scroll bar thumb.
class GMProfileList {
public:
    // One entry; an empty name means the entry has none. `unsaved`: the
    // profile was created but its file could not be written.
    struct Cell {
        std::string name;
        bool unsaved = false;
    };

    GMProfileList() { ClearList(); }
    ~GMProfileList() { ClearList(); }
    GMProfileList(const GMProfileList&) = delete;
    GMProfileList& operator=(const GMProfileList&) = delete;

    enum : int32_t { kListOk = 0, kListNoCell = 1, kListNoImage = 3 };

    // Lists every "*.prf" file that opens, selecting the one named currentFile.
    int32_t FillProfileList(const char* currentFile, const char* thumbPicture, GMImageManager* manager,
                            DisplayDevice* device);
    // 1 when nothing usable is selected, else the result of OpenProfile. A
    // profile created in a folder that cannot be written is played unsaved.
    int32_t LoadSelectedProfile(GMProfile* profile) const;
    // 1 without such an entry, 2 when its name is empty, else 0 (also when the
    // file could not be written: the entry then stays, marked unsaved).
    int32_t CreateProfileFile(int32_t index);
    int32_t DeleteProfileEntry(int32_t index, bool deleteFile);
    Cell* AddBlankEntry(bool select);
    // The selected entry's name becomes name without leading and trailing spaces.
    void SetSelectedName(const char* name);
    // Names are compared without regard to case and to surrounding spaces.
    int32_t FindName(const char* name) const;
    static std::string TrimName(const char* name);
    void Select(int32_t index);
    void SelectRow(int32_t row) { Select(m_firstVisible + row); }
    void ScrollTo(int32_t first);
    void SetTextLayout(float x, float y, float stepX, float stepY);
    void SetScrollBar(float x1, float y1, float x2, float y2);
    void ClearList();
    void DrawProfileList(DisplayDevice* device);
    // A left click on the scroll bar's track scrolls to that point; true when it did.
    bool HandleScrollBar(float x, float y, int32_t clickFlags);

    int32_t GetCount() const { return m_names.GetCount(); }
    int32_t GetSelected() const { return m_selected; }
    int32_t GetFirstVisible() const { return m_firstVisible; }
    int32_t GetVisibleRows() const { return m_visibleRows; }
    // The entry's name, or null for an entry without one or no such entry.
    const char* GetName(int32_t index) const;
    std::string GetPath(int32_t index) const;  // directory + name + ".prf"
    GMImage* GetFont() const { return m_font; }
    GMImage* GetThumb() const { return m_thumb; }
    // Where the thumb is drawn centred; false without entries to scroll.
    void GetThumbCentre(float* x, float* y) const;

    // Name entry of the new-profile dialog, one translated key at a time.
    // Letters, digits and space are taken up to 10 characters; backspace (8)
    // removes the last one. An empty name is no name. True when name changed.
    static bool EditName(int32_t key, std::string& name);
    static constexpr int32_t kMaxNameLength = 10;

private:
    Cell* GetCell(int32_t index) const;

    CGameList m_names;
    int32_t m_selected = -1;
    GMImage* m_font = nullptr;
    GMImage* m_thumb = nullptr;
    int32_t m_firstVisible = 0;
    int32_t m_visibleRows = 5;
    float m_textX = 0.0f, m_textY = 0.0f;
    float m_stepX = 0.0f, m_stepY = 32.0f;
    std::string m_directory;
    float m_barX1 = 0.0f, m_barY1 = 0.0f, m_barX2 = 0.0f, m_barY2 = 0.0f;
};
