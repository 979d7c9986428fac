#include "platform/Cursor.h"

#include "platform/ResourcePictures.h"
#include "platform/SdlBackend.h"

#include <cstring>
#include <map>
#include <memory>

// Our own pointer pictures, as text: 'X' outline, '.' fill, 'o' shade, ' ' clear.
namespace {
const char* const kArrow[] = {
    "X           ", "XX          ", "X.X         ", "X..X        ", "X...X       ", "X....X      ",
    "X.....X     ", "X......X    ", "X.......X   ", "X........X  ", "X.........X ", "X......XXXXX",
    "X...X..X    ", "X..XX..X    ", "X.X  X..X   ", "XX   X..X   ", "X     X..X  ", "      X..X  ",
    "       XX   ",
};
const char* const kWait[] = {
    "XXXXXXXXXXXXX", "X...........X", " XXXXXXXXXXX ", " X.........X ", " X.ooooooo.X ", "  X.ooooo.X  ",
    "   X.ooo.X   ", "    X.o.X    ", "     X.X     ", "    X...X    ", "   X..o..X   ", "  X...o...X  ",
    " X...ooo...X ", " X..ooooo..X ", " XXXXXXXXXXX ", "X...........X", "XXXXXXXXXXXXX",
};
const char* const kHand[] = {
    "     XX         ", "    X..X        ", "    X..X        ", "    X..X        ", "    X..XXX      ",
    "    X..X..XXX   ", "    X..X..X..XX ", "XXX X..X..X..X.X", "X..XX........X.X", "X...X..........X",
    " X.............X", "  X............X", "  X...........X ", "   X..........X ", "   X.........X  ",
    "    X........X  ", "    X........X  ", "    XXXXXXXXXX  ",
};

struct Picture {
    const char* const* rows;
    int count;
    uint32_t outline, fill, shade;
    int hotX, hotY;
};

Picture PictureFor(int32_t id)
{
    switch (id) {
    case IDC_ARROW: return {kArrow, 19, 0xFF000000u, 0xFFFFFFFFu, 0xFFC0C0C0u, 0, 0};
    case IDC_WAIT: return {kWait, 17, 0xFF000000u, 0xFFFFFFFFu, 0xFFE0A020u, 6, 8};
    case IDC_GAME_CURSOR: return {kArrow, 19, 0xFF5A2E0Au, 0xFFFFD040u, 0xFFE0A020u, 0, 0};
    case IDC_SECOND_CURSOR: return {kHand, 18, 0xFF5A2E0Au, 0xFFFFE0B0u, 0xFFE0A020u, 5, 0};
    default: return {nullptr, 0, 0, 0, 0, 0, 0};
    }
}

std::map<int32_t, std::unique_ptr<Cursor>>& Loaded()
{
    static std::map<int32_t, std::unique_ptr<Cursor>> loaded;
    return loaded;
}
Cursor* s_current = nullptr;
}  // namespace

Cursor* Cursor::Load(int32_t resourceId)
{
    auto& loaded = Loaded();
    auto it = loaded.find(resourceId);
    if (it != loaded.end())
        return it->second.get();
    Picture pic = PictureFor(resourceId);
    if (!pic.rows)
        return nullptr;
    auto* backend = new CursorBackend;
    backend->pixels.assign(32 * 32, 0);
    ResourcePicture drawn;
    if (FindResourcePicture(resourceId, &drawn) && drawn.width == 32 && drawn.height == 32) {
        ResourcePictureToArgb(drawn, backend->pixels.data());
        pic.hotX = drawn.hotX;
        pic.hotY = drawn.hotY;
    } else {
        for (int y = 0; y < pic.count && y < 32; ++y) {
            int len = static_cast<int>(std::strlen(pic.rows[y]));
            for (int x = 0; x < len && x < 32; ++x) {
                char c = pic.rows[y][x];
                uint32_t p = c == 'X' ? pic.outline : c == '.' ? pic.fill : c == 'o' ? pic.shade : 0;
                backend->pixels[y * 32 + x] = p;
            }
        }
    }
    backend->hotX = pic.hotX;
    backend->hotY = pic.hotY;
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(backend->pixels.data(), 32, 32, 32, 32 * 4,
                                                            SDL_PIXELFORMAT_ARGB8888);
        if (s) {
            backend->sdl = SDL_CreateColorCursor(s, pic.hotX, pic.hotY);  // null where the driver has no cursors
            SDL_FreeSurface(s);
        }
    }
    auto* cursor = new Cursor;
    cursor->m_id = resourceId;
    cursor->m_backend = backend;
    loaded[resourceId].reset(cursor);
    return cursor;
}

Cursor::~Cursor()
{
    if (s_current == this)
        s_current = nullptr;
    if (m_backend->sdl && SDL_WasInit(SDL_INIT_VIDEO))
        SDL_FreeCursor(m_backend->sdl);
    delete m_backend;
}

void Cursor::FreeAll() { Loaded().clear(); }

const uint32_t* Cursor::GetPixels() const { return m_backend->pixels.data(); }
int32_t Cursor::GetHotX() const { return m_backend->hotX; }
int32_t Cursor::GetHotY() const { return m_backend->hotY; }

Cursor* SetCursor(Cursor* cursor)
{
    Cursor* previous = s_current;
    s_current = cursor;
    if (cursor && cursor->GetBackend()->sdl)
        SDL_SetCursor(cursor->GetBackend()->sdl);
    return previous;
}

Cursor* GetCurrentCursor() { return s_current; }
