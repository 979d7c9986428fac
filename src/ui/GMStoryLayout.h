#pragma once
#include "core/CGameArray.h"
#include "gfx/GMImage.h"
#include "world/GMObjectArray.h"

#include <cstdint>

class DisplayDevice;
class GMImageManager;
class GMInteractiveObj;

// The story screen a level may show before its day: background, pictures,
// text lines and a continue button. The level run owns one.
class GMStoryLayout {
public:
    GMStoryLayout();
    GMStoryLayout(const GMStoryLayout&) = delete;
    GMStoryLayout& operator=(const GMStoryLayout&) = delete;
    ~GMStoryLayout();

    void Clear();
    // 0 with a continue button; 1 when the file cannot be opened; 2 when the
    // button's pictures fail to load or the file gives no button.
    int32_t Load(const char* fileName, GMImageManager* manager, DisplayDevice* device);
    // Lines starting with "@" are drawn without it in the standard font, the
    // others in the level's panel font.
    void Draw(GMImage* panelFont, DisplayDevice* device);

    GMInteractiveObj* GetButton() const { return m_button; }
    GMImage* GetBackground() const { return m_background; }
    const GMObjectArray& GetPictures() const { return m_pictures; }
    const CGameStringArray& GetLines() const { return m_lines; }
    float GetTextX() const { return m_textX; }
    float GetTextY() const { return m_textY; }

private:
    GMImage* m_background = nullptr;
    GMObjectArray m_pictures;
    CGameStringArray m_lines;
    float m_textX = 0.0f;
    float m_textY = 0.0f;
    GMInteractiveObj* m_button = nullptr;
    GMImage m_standardFont;
};
