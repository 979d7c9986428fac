// A headless frame of sprites and marked-up text, compared with an image the
// test composes itself from the same pictures on the CPU.
#include "support/gfx/CairoFont.h"
#include "support/gfx/GfxTestSupport.h"
#include "gfx/GMImage.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

// What the CPU reference needs of one picture.
struct RefPicture {
    TestPicture texels;
    bool additive = false;
};

// A CPU compositor: a quad is a parallelogram given by its top-left corner and
// its two edge vectors; each pixel whose centre lies inside takes the nearest
// texel, modulated by the colour, and blends over (or adds onto) the target.
class Reference {
public:
    explicit Reference(uint32_t clear) : m_pixels(800u * 600u, clear) {}

    void Quad(const RefPicture& pic, float x0, float y0, float ax, float ay, float bx, float by, float u1, float v1,
              uint32_t color)
    {
        float det = ax * by - ay * bx;
        if (det == 0.0f)
            return;
        float minX = std::min({x0, x0 + ax, x0 + bx, x0 + ax + bx});
        float maxX = std::max({x0, x0 + ax, x0 + bx, x0 + ax + bx});
        float minY = std::min({y0, y0 + ay, y0 + by, y0 + ay + by});
        float maxY = std::max({y0, y0 + ay, y0 + by, y0 + ay + by});
        for (int py = std::max(0, int(std::floor(minY))); py < std::min(600, int(std::ceil(maxY))); ++py) {
            for (int px = std::max(0, int(std::floor(minX))); px < std::min(800, int(std::ceil(maxX))); ++px) {
                float dx = float(px) + 0.5f - x0, dy = float(py) + 0.5f - y0;
                float s = (dx * by - dy * bx) / det;  // along a, 0..1
                float t = (ax * dy - ay * dx) / det;  // along b, 0..1
                if (s < 0.0f || s >= 1.0f || t < 0.0f || t >= 1.0f)
                    continue;
                int tx = std::min(pic.texels.width - 1, int(s * u1 * float(pic.texels.width)));
                int ty = std::min(pic.texels.height - 1, int(t * v1 * float(pic.texels.height)));
                Blend(m_pixels[size_t(py) * 800 + size_t(px)], pic.texels.At(tx, ty), color, pic.additive);
            }
        }
    }
    void Rect(const RefPicture& pic, float x, float y, float w, float h, uint32_t color, float u1 = 1, float v1 = 1)
    {
        Quad(pic, x, y, w, 0, 0, h, u1, v1, color);
    }
    uint32_t At(int x, int y) const { return m_pixels[size_t(y) * 800 + size_t(x)]; }
    const std::vector<uint32_t>& Pixels() const { return m_pixels; }

private:
    static void Blend(uint32_t& dst, uint32_t texel, uint32_t color, bool additive)
    {
        auto ch = [](uint32_t c, int shift) { return int((c >> shift) & 0xFF); };
        int a = ch(texel, 24) * ch(color, 24) / 255;
        uint32_t out = 0xFF000000u;
        for (int shift : {0, 8, 16}) {
            int src = ch(texel, shift) * ch(color, shift) / 255;
            int d = ch(dst, shift);
            int v = additive ? std::min(255, d + src * a / 255) : (src * a + d * (255 - a)) / 255;
            out |= uint32_t(v) << shift;
        }
        dst = out;
    }
    std::vector<uint32_t> m_pixels;
};

class ScreenshotTest : public DeviceTest {
protected:
    void SetUp() override
    {
        m_outDir = std::filesystem::current_path() / "screenshots";
        DeviceTest::SetUp();
    }
    void Save(const std::vector<uint32_t>& pixels, const std::string& name)
    {
        std::filesystem::create_directories(m_outDir);
        TestPicture p(800, 600);
        p.pixels = pixels;
        WritePng((m_outDir / name).string(), p, PngKind::Rgb);
    }
    std::filesystem::path m_outDir;
};

// A soft ball: a shaded disc whose edge fades out.
TestPicture Ball(int size)
{
    TestPicture p(size, size, 0);
    float r = float(size) / 2.0f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float dx = float(x) + 0.5f - r, dy = float(y) + 0.5f - r;
            float d = std::sqrt(dx * dx + dy * dy) / r;
            if (d >= 1.0f)
                continue;
            int alpha = d < 0.8f ? 255 : int(255.0f * (1.0f - d) / 0.2f);
            float light = 1.0f - 0.6f * std::sqrt((dx + r / 3) * (dx + r / 3) + (dy + r / 3) * (dy + r / 3)) / r;
            int red = std::clamp(int(255 * light + 60), 0, 255);
            int green = std::clamp(int(150 * light + 30), 0, 255);
            int blue = std::clamp(int(40 * light), 0, 255);
            p.At(x, y) = uint32_t(alpha) << 24 | uint32_t(red) << 16 | uint32_t(green) << 8 | uint32_t(blue);
        }
    }
    return p;
}

// A crate: planks with a dark frame, opaque.
TestPicture Crate(int size)
{
    TestPicture p(size, size, 0xFF8A5A2Bu);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            bool frame = x < 4 || y < 4 || x >= size - 4 || y >= size - 4;
            bool diagonal = std::abs(x - y) < 3 || std::abs(x + y - size) < 3;
            bool seam = (y % 10) == 0;
            if (frame || diagonal)
                p.At(x, y) = 0xFF4A2E12u;
            else if (seam)
                p.At(x, y) = 0xFF6E4520u;
        }
    }
    return p;
}

}  // namespace

TEST_F(ScreenshotTest, SpritesAndMarkedUpTextMatchTheComposedImage)
{
    const TestPicture ball = Ball(64);
    const TestPicture crate = Crate(48);
    ASSERT_TRUE(WritePng("ball.png", ball));
    ASSERT_TRUE(WriteGif("crate.gif", crate));
    WriteText("ball.img", "\"FR\" 1 \"ball.png\"");
    WriteText("glow.img", "\"FR\" 1 \"BALL.PNG\" \"INT\"");
    WriteText("crate.img", "\"FR\" 1 \"crate.gif\" \"IMX\" -24 \"IMY\" -48");
    CairoFont font, digits;
    ASSERT_TRUE(font.Write("Font", 20.0));
    ASSERT_TRUE(digits.WriteDigits("Digits", 28.0));
    GMImage ballImage, glowImage, crateImage, fontImage, digitImage;
    ASSERT_EQ(ballImage.LoadTemplate("ball.img", m_manager.get(), m_device), 0);
    ASSERT_EQ(glowImage.LoadTemplate("glow.img", m_manager.get(), m_device), 0);
    ASSERT_EQ(crateImage.LoadTemplate("crate.img", m_manager.get(), m_device), 0);
    ASSERT_EQ(fontImage.LoadTemplate("Font.img", m_manager.get(), m_device), 0);
    ASSERT_EQ(digitImage.LoadTemplate("Digits.img", m_manager.get(), m_device), 0);

    const uint32_t background = 0xFF23384Bu;
    const float angle = float(M_PI / 6);
    const char* heading = "D%75zAILY%100z R%75zEPORT";
    const char* paragraph = "Deliver the %4294927872Cgoods%R before the clock runs out.\n"
                            "Combos pay %4285587519Cdouble%R, a full day 100%% more.\n"
                            "%20xIndented after a move, %150zbig%100z and small again.";
    BeginFrame(background);
    ballImage.Draw(30.0f, 30.0f, m_device);
    ballImage.DrawScaled(110.0f, 20.0f, 1.5f, 1.5f, m_device);
    ballImage.DrawCropped(220.0f, 30.0f, 40.4f, 29.6f, m_device);
    ballImage.DrawColored(280.0f, 30.0f, 0xFF40A0FFu, m_device);
    ballImage.DrawColored(350.0f, 30.0f, 0x80FFFFFFu, m_device);
    crateImage.Draw(460.0f, 100.0f, m_device);
    crateImage.DrawRotated(560.0f, 100.0f, angle, 0xFFFFFFFFu, m_device);
    glowImage.DrawColored(620.0f, 30.0f, 0xC0FFFFFFu, m_device);
    glowImage.DrawColored(650.0f, 50.0f, 0xC0FFFFFFu, m_device);
    FillRect(20.0f, 140.0f, 760.0f, 2.0f, 0xFFE0C060u, m_device);
    fontImage.DrawText(30.0f, 190.0f, 0.0f, 2.0f, 0xFFFFE080u, heading, m_device);
    fontImage.DrawText(30.0f, 240.0f, 0.0f, 1.0f, 0xFFFFFFFFu, paragraph, m_device);
    fontImage.DrawTextLines(400.0f, 420.0f, 0.0f, 1.0f, 0xFFB0E0FFu, "W%75zELL%100z D%75zONE%100z!\nCentred lines", m_device,
                            6.0f);
    digitImage.DrawNumber(30.0f, 560.0f, 0xFFFFFFFFu, "$1250", m_device);
    digitImage.DrawNumber(250.0f, 560.0f, 0xFFFF8080u, "-35", m_device);
    digitImage.DrawNumber(340.0f, 560.0f, 0xFF80FF80u, "x3", m_device);
    digitImage.DrawNumber(420.0f, 560.0f, 0xFFFFFFFFu, "12:05", m_device);
    EndFrame();
    Save(m_pixels, "gfx_scene.png");

    // The same frame composed on the CPU from the pictures and the font metrics.
    Reference ref(background);
    RefPicture ballPic{ball, false}, glowPic{ball, true}, cratePic{crate, false};
    cratePic.texels = TestPicture(64, 64, 0);  // the GIF's power-of-two texture
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            cratePic.texels.At(x, y) = crate.At(x, y);
    ref.Rect(ballPic, 30, 30, 64, 64, 0xFFFFFFFFu);
    ref.Rect(ballPic, 110, 20, 96, 96, 0xFFFFFFFFu);
    ref.Rect(ballPic, 220, 30, 40, 30, 0xFFFFFFFFu, 40.0f / 64, 30.0f / 64);
    ref.Rect(ballPic, 280, 30, 64, 64, 0xFF40A0FFu);
    ref.Rect(ballPic, 350, 30, 64, 64, 0x80FFFFFFu);
    ref.Rect(cratePic, 436, 52, 64, 64, 0xFFFFFFFFu);
    float s = std::sin(angle), c = std::cos(angle);
    ref.Quad(cratePic, 536, 52, 64 * c, 64 * s, -64 * s, 64 * c, 1, 1, 0xFFFFFFFFu);
    ref.Rect(glowPic, 620, 30, 64, 64, 0xC0FFFFFFu);
    ref.Rect(glowPic, 650, 50, 64, 64, 0xC0FFFFFFu);
    RefPicture white{TestPicture(1, 1, 0xFFFFFFFFu), false};
    ref.Rect(white, 20, 140, 760, 2, 0xFFE0C060u);

    // Text: glyph by glyph along the baseline, as the markup above asks.
    std::vector<RefPicture> glyphs;
    for (const TestPicture& g : font.glyphs)
        glyphs.push_back(RefPicture{g, false});
    auto text = [&](float& penX, float baseline, const std::string& chars, float scale, uint32_t color) {
        for (char ch : chars) {
            const RefPicture& g = glyphs[size_t(ch - 32)];
            float left = penX - float(font.pad) * scale, top = baseline - float(font.ascent) * scale;
            ref.Rect(g, left, top, float(g.texels.width) * scale, float(g.texels.height) * scale, color);
            penX += float(font.advance[size_t(ch - 32)]) * scale;
        }
    };
    float pen = 30;
    text(pen, 190, "D", 2.0f, 0xFFFFE080u);
    text(pen, 190, "AILY", 1.5f, 0xFFFFE080u);
    text(pen, 190, " R", 2.0f, 0xFFFFE080u);
    text(pen, 190, "EPORT", 1.5f, 0xFFFFE080u);
    float line = float(font.ascent) + 1.0f;  // the template height is the tallest IMH
    pen = 30;
    text(pen, 240, "Deliver the ", 1, 0xFFFFFFFFu);
    text(pen, 240, "goods", 1, 0xFFFF6600u);
    text(pen, 240, " before the clock runs out.", 1, 0xFFFFFFFFu);
    pen = 30;
    text(pen, 240 + line, "Combos pay ", 1, 0xFFFFFFFFu);
    text(pen, 240 + line, "double", 1, 0xFF70E03Fu);
    text(pen, 240 + line, ", a full day 100% more.", 1, 0xFFFFFFFFu);
    pen = 50;
    text(pen, 240 + 2 * line, "Indented after a move, ", 1, 0xFFFFFFFFu);
    text(pen, 240 + 2 * line, "big", 1.5f, 0xFFFFFFFFu);
    text(pen, 240 + 2 * line, " and small again.", 1, 0xFFFFFFFFu);

    auto width = [&](const std::string& chars, float scale) {
        float w = 0;
        for (char ch : chars)
            w += float(font.advance[size_t(ch - 32)]) * scale;
        return w;
    };
    // Centred lines: heights are the ascent; the block is centred on y 420.
    float total = 2.0f * float(font.ascent);
    float y = 420.0f - (6.0f + total) / 2.0f + float(font.ascent);
    float w1 = width("W", 1) + width("ELL", 0.75f) + width(" D", 1) + width("ONE", 0.75f) + width("!", 1);
    pen = 400.0f - w1 / 2.0f;
    text(pen, y, "W", 1, 0xFFB0E0FFu);
    text(pen, y, "ELL", 0.75f, 0xFFB0E0FFu);
    text(pen, y, " D", 1, 0xFFB0E0FFu);
    text(pen, y, "ONE", 0.75f, 0xFFB0E0FFu);
    text(pen, y, "!", 1, 0xFFB0E0FFu);
    y += 6.0f + float(font.ascent);
    pen = 400.0f - width("Centred lines", 1) / 2.0f;
    text(pen, y, "Centred lines", 1, 0xFFB0E0FFu);

    auto number = [&](float x, const std::string& chars, uint32_t color) {
        for (char ch : chars) {
            int frame = ch == '-' ? 10 : ch == '$' ? 11 : ch == 'x' ? 12 : ch == ':' ? 13 : ch - '0';
            frame = std::clamp(frame, 0, 13);
            const TestPicture& g = digits.glyphs[size_t(frame)];
            ref.Rect(RefPicture{g, false}, x, 560.0f - float(g.height), float(g.width), float(g.height), color);
            x += float(g.width);
        }
    };
    number(30, "$1250", 0xFFFFFFFFu);
    number(250, "-35", 0xFFFF8080u);
    number(340, "x3", 0xFF80FF80u);
    number(420, "12:05", 0xFFFFFFFFu);
    Save(ref.Pixels(), "gfx_scene_expected.png");

    // Texel-exact drawings must match within rounding. Stretched and turned ones
    // may pick neighbouring texels, so there 8 x 8 blocks are compared by their
    // mean colour.
    struct Box {
        int x0, y0, x1, y1;
        bool Has(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
    };
    const Box stretched[] = {{104, 16, 208, 120}, {504, 40, 592, 128}, {24, 144, 304, 200},
                             {312, 248, 384, 296}, {328, 392, 472, 424}};
    auto inStretched = [&](int x, int y) {
        for (const Box& b : stretched)
            if (b.Has(x, y))
                return true;
        return false;
    };
    int off = 0;
    std::vector<uint32_t> diff(800u * 600u, 0xFF000000u);
    for (int yy = 0; yy < 600; ++yy) {
        for (int xx = 0; xx < 800; ++xx) {
            uint32_t a = Pixel(xx, yy), b = ref.At(xx, yy);
            int d = std::max({std::abs(Red(a) - Red(b)), std::abs(Green(a) - Green(b)), std::abs(Blue(a) - Blue(b))});
            if (d > 3) {
                diff[size_t(yy) * 800 + size_t(xx)] = inStretched(xx, yy) ? 0xFF808080u : 0xFFFFFFFFu;
                if (!inStretched(xx, yy))
                    ++off;
            }
        }
    }
    Save(diff, "gfx_scene_diff.png");
    EXPECT_LE(off, 40) << "texel-exact pixels differ; see " << (m_outDir / "gfx_scene_diff.png");
    for (const Box& box : stretched) {
        for (int by = box.y0; by < box.y1; by += 8) {
            for (int bx = box.x0; bx < box.x1; bx += 8) {
                int sumA[3] = {}, sumB[3] = {};
                for (int yy = by; yy < by + 8; ++yy) {
                    for (int xx = bx; xx < bx + 8; ++xx) {
                        uint32_t a = Pixel(xx, yy), b = ref.At(xx, yy);
                        sumA[0] += Red(a), sumA[1] += Green(a), sumA[2] += Blue(a);
                        sumB[0] += Red(b), sumB[1] += Green(b), sumB[2] += Blue(b);
                    }
                }
                for (int k = 0; k < 3; ++k)
                    EXPECT_LE(std::abs(sumA[k] - sumB[k]) / 64, 32) << "block at " << bx << "," << by;
            }
        }
    }
}
