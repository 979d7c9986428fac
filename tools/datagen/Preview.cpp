#include "datagen/Preview.h"

#include <algorithm>
#include <cctype>
#include <cmath>

Preview::Preview(std::string dataRoot, int width, int height)
    : m_root(std::move(dataRoot)), m_screen(width, height)
{
    m_screen.Clear({0x000000});
}

Preview::Loaded& Preview::Load(const std::string& tpl)
{
    auto& slot = m_cache[tpl];
    if (slot)
        return *slot;
    slot = std::make_unique<Loaded>();
    if (!ReadTemplateFile(m_root, tpl, slot->info))
        return *slot;
    slot->ok = true;
    for (auto& fr : slot->info.frames) {
        Picture p;
        if (!ReadPictureFile(DataFilePath(m_root, fr.file), p)) {
            slot->ok = false;
            break;
        }
        if (fr.imageWidth <= 0)
            fr.imageWidth = p.width;
        if (fr.imageHeight <= 0)
            fr.imageHeight = p.height;
        slot->pictures.push_back(std::move(p));
    }
    return *slot;
}

void Preview::Blit(const Picture& pic, double x, double y, uint32_t argb, double scale, double scaleY,
                   bool additive)
{
    // Texture colour times the vertex colour, as the game's drawing does.
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pic.width, pic.height);
    cairo_surface_flush(s);
    uint8_t* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    uint32_t ca = argb >> 24, cr = (argb >> 16) & 255, cg = (argb >> 8) & 255, cb = argb & 255;
    for (int yy = 0; yy < pic.height; ++yy) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(yy) * stride);
        for (int xx = 0; xx < pic.width; ++xx) {
            const uint8_t* p = &pic.rgba[(static_cast<size_t>(yy) * pic.width + xx) * 4];
            uint32_t a = p[3] * ca / 255;
            uint32_t r = p[0] * cr / 255 * a / 255, g = p[1] * cg / 255 * a / 255, b = p[2] * cb / 255 * a / 255;
            row[xx] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(s);
    cairo_t* c = m_screen.Cr();
    cairo_save(c);
    cairo_translate(c, x, y);
    cairo_scale(c, scale, scaleY > 0 ? scaleY : scale);
    cairo_set_source_surface(c, s, 0, 0);
    if (additive)
        cairo_set_operator(c, CAIRO_OPERATOR_ADD);
    cairo_paint(c);
    cairo_restore(c);
    cairo_surface_destroy(s);
}

bool Preview::DrawAllFrames(const std::string& tpl, double x, double y)
{
    Loaded& l = Load(tpl);
    if (!l.ok)
        return false;
    for (int i = static_cast<int>(l.pictures.size()) - 1; i >= 0; --i)
        Blit(l.pictures[i], x + l.info.frames[i].offsetX, y + l.info.frames[i].offsetY, 0xFFFFFFFF, 1);
    return true;
}

bool Preview::Draw(const std::string& tpl, int frame, double x, double y, double alpha, double scale)
{
    Loaded& l = Load(tpl);
    if (!l.ok || frame >= static_cast<int>(l.pictures.size()))
        return false;
    uint32_t a = static_cast<uint32_t>(std::lround(alpha * 255));
    Blit(l.pictures[frame], x + l.info.frames[frame].offsetX * scale, y + l.info.frames[frame].offsetY * scale,
         (a << 24) | 0xFFFFFF, scale);
    return true;
}

bool Preview::DrawEx(const std::string& tpl, int frame, double x, double y, double w, double h, uint32_t argb,
                     bool additive, double scale)
{
    Loaded& l = Load(tpl);
    if (!l.ok || frame >= static_cast<int>(l.pictures.size()))
        return false;
    const Picture& pic = l.pictures[frame];
    double sx = w > 0 ? w / pic.width : scale, sy = h > 0 ? h / pic.height : scale;
    Blit(pic, x, y, argb, sx, sy, additive);
    return true;
}

bool Preview::DrawFoot(const std::string& tpl, int frame, double footX, double footY, bool additive)
{
    Loaded& l = Load(tpl);
    if (!l.ok || l.pictures.empty())
        return false;
    const Picture& pic = l.pictures[frame % l.pictures.size()];
    Blit(pic, footX - pic.width / 2.0, footY - pic.height, 0xFFFFFFFF, 1, 0, additive);
    return true;
}

int Preview::PictureWidth(const std::string& tpl, int frame)
{
    Loaded& l = Load(tpl);
    return l.ok && frame < static_cast<int>(l.pictures.size()) ? l.pictures[frame].width : 0;
}

int Preview::PictureHeight(const std::string& tpl, int frame)
{
    Loaded& l = Load(tpl);
    return l.ok && frame < static_cast<int>(l.pictures.size()) ? l.pictures[frame].height : 0;
}

int Preview::FrameCount(const std::string& tpl)
{
    Loaded& l = Load(tpl);
    return l.ok ? static_cast<int>(l.pictures.size()) : 0;
}

bool Preview::DrawCentred(const std::string& tpl, double x, double y, int frame)
{
    Loaded& l = Load(tpl);
    if (!l.ok || frame >= static_cast<int>(l.pictures.size()))
        return false;
    const TemplateFrame& fr = l.info.frames[frame];
    Blit(l.pictures[frame], x - fr.imageWidth / 2 + fr.offsetX, y - fr.imageHeight / 2 + fr.offsetY, 0xFFFFFFFF, 1);
    return true;
}

double Preview::FrameWidth(const std::string& tpl, int frame)
{
    Loaded& l = Load(tpl);
    if (!l.ok || frame >= static_cast<int>(l.pictures.size()))
        return 0;
    return l.info.frames[frame].imageWidth;
}

const TemplateFrame* Preview::Frame(const std::string& tpl, int frame)
{
    Loaded& l = Load(tpl);
    if (!l.ok || frame >= static_cast<int>(l.pictures.size()))
        return nullptr;
    return &l.info.frames[frame];
}

double Preview::LineHeight(const std::string& font)
{
    Loaded& l = Load(font);
    return l.ok ? l.info.height : 0;
}

double Preview::Text(const std::string& font, double x, double y, double scale, uint32_t argb,
                     const std::string& text, bool draw)
{
    Loaded& l = Load(font);
    if (!l.ok)
        return 0;
    double penX = x, penY = y, base = scale, widest = 0;
    uint32_t colour = argb;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char ch = static_cast<unsigned char>(text[i]);
        if (ch == '\n') {
            widest = std::max(widest, penX - x);
            penY += l.info.height * scale + 1;
            penX = x;
            continue;
        }
        if (ch == '%' && i + 1 < text.size()) {
            if (text[i + 1] == '%') {
                ++i;
            } else {
                size_t j = i + 1;
                bool neg = false;
                if (text[j] == '-')
                    neg = true, ++j;
                long long n = 0;
                while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])))
                    n = n * 10 + (text[j++] - '0');
                if (neg)
                    n = -n;
                char cmd = j < text.size() ? text[j] : 0;
                if (cmd == 'z')
                    scale = base * n / 100.0;
                else if (cmd == 'x')
                    penX += n * scale;
                else if (cmd == 'y')
                    penY += n * scale;
                else if (cmd == 'C')
                    colour = static_cast<uint32_t>(n);
                else if (cmd == 'R')
                    colour = argb;
                i = j;
                continue;
            }
        }
        int frame = std::clamp(static_cast<int>(ch) - 32, 0, static_cast<int>(l.pictures.size()) - 1);
        const TemplateFrame& fr = l.info.frames[frame];
        if (draw)
            Blit(l.pictures[frame], penX + fr.offsetX * scale, penY - fr.imageHeight * scale + fr.offsetY * scale,
                 colour, scale);
        penX += fr.imageWidth * scale;
    }
    return std::max(widest, penX - x);
}

double Preview::TextWidth(const std::string& font, double scale, const std::string& text)
{
    return Text(font, 0, 0, scale, 0xFFFFFFFF, text, false);
}

void Preview::Number(const std::string& digits, double x, double y, uint32_t argb, const std::string& text)
{
    Loaded& l = Load(digits);
    if (!l.ok)
        return;
    for (char ch : text) {
        int frame = ch == '$' ? 11 : ch == '-' ? 10 : ch == 'x' ? 12 : ch == ':' ? 13 : ch - '0';
        frame = std::clamp(frame, 0, static_cast<int>(l.pictures.size()) - 1);
        const TemplateFrame& fr = l.info.frames[frame];
        Blit(l.pictures[frame], x, y - fr.imageHeight, argb, 1);
        x += fr.imageWidth;
    }
}

bool Preview::Save(const std::string& path)
{
    return WritePngFile(path, m_screen.Rgba(), m_screen.Width(), m_screen.Height());
}
