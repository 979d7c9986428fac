// A sheet of orders and goods icons in each of their states, drawn headless
// into build/screenshots/ for people to look at. Labels, the overlay star and
// the UFO come from the generated data set; the bubble, portrait, goods and
// patience icons are drawn here, since the town's own pictures are not in the
// data set yet.
#ifdef BRIMVALE_WORLD_DATA_DIR

#include "gfx/GMImageManager.h"
#include "gfx/GMImageTemplate.h"
#include "support/gfx/GfxTestSupport.h"
#include "world/GMCustomerObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMOrderObj.h"
#include "world/GMQueryGoodsObj.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <sys/stat.h>

namespace {

// Draws a w x h picture with cairo and writes "<name>.png" and "<name>.img"
// (hit box = picture size) into the current directory.
bool Sketch(const std::string& name, int w, int h, const std::function<void(cairo_t*)>& draw)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(s);
    draw(cr);
    cairo_destroy(cr);
    cairo_surface_flush(s);
    TestPicture p(w, h, 0);
    const unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            uint32_t c = row[x], a = c >> 24;
            auto un = [&](int shift) { return a ? ((c >> shift & 0xFFu) * 255u + a / 2) / a : 0u; };
            p.At(x, y) = (a << 24) | (un(16) << 16) | (un(8) << 8) | un(0);
        }
    }
    cairo_surface_destroy(s);
    if (!WritePng(name + ".png", p, PngKind::Rgba))
        return false;
    FILE* f = std::fopen((name + ".img").c_str(), "wb");
    if (!f)
        return false;
    std::fprintf(f, "\"FR\" 1 \"%s.png\"\n\"IMW\" %d\n\"IMH\" %d\n", name.c_str(), w, h);
    return std::fclose(f) == 0;
}

void Rgb(cairo_t* cr, uint32_t rgb, double a = 1.0)
{
    cairo_set_source_rgba(cr, (rgb >> 16 & 0xFF) / 255.0, (rgb >> 8 & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, a);
}

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// Speech bubble 96 x 64 with its tail pointing down to the house.
void Bubble(cairo_t* cr, bool lit)
{
    RoundRect(cr, 3, 3, 90, 48, 14);
    cairo_move_to(cr, 58, 50);
    cairo_line_to(cr, 66, 62);
    cairo_line_to(cr, 72, 50);
    Rgb(cr, lit ? 0xFFF6CC : 0xFFFFFF);
    cairo_fill_preserve(cr);
    Rgb(cr, lit ? 0xE0A000 : 0x3A3A4A);
    cairo_set_line_width(cr, lit ? 3.5 : 2.5);
    cairo_stroke(cr);
}

// A customer's round portrait, 44 x 44.
void Portrait(cairo_t* cr, bool lit)
{
    if (lit) {
        cairo_arc(cr, 22, 22, 21, 0, 2 * M_PI);
        Rgb(cr, 0xFFE070, 0.8);
        cairo_fill(cr);
    }
    cairo_arc(cr, 22, 23, 17, 0, 2 * M_PI);
    Rgb(cr, 0xF2C9A0);
    cairo_fill_preserve(cr);
    Rgb(cr, 0x5A3A2A);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_arc(cr, 22, 18, 17, M_PI * 1.05, M_PI * 1.95);  // hair
    Rgb(cr, 0x7A4A22);
    cairo_fill(cr);
    Rgb(cr, 0x2A2A2A);
    cairo_arc(cr, 16, 23, 2.2, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_arc(cr, 28, 23, 2.2, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_set_line_width(cr, 2);
    cairo_arc(cr, 22, 27, 6, M_PI * 0.2, M_PI * 0.8);
    cairo_stroke(cr);
}

// A loaf of bread, 48 x 48.
void Bread(cairo_t* cr, bool lit)
{
    if (lit) {
        cairo_arc(cr, 24, 24, 23, 0, 2 * M_PI);
        Rgb(cr, 0xFFF0A0, 0.7);
        cairo_fill(cr);
    }
    cairo_save(cr);
    cairo_translate(cr, 24, 26);
    cairo_scale(cr, 20, 13);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    Rgb(cr, 0xD08A3A);
    cairo_fill_preserve(cr);
    Rgb(cr, 0x6A3A12);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    Rgb(cr, 0xF5D7A0);
    cairo_set_line_width(cr, 2.5);
    for (int i = 0; i < 3; ++i) {
        cairo_move_to(cr, 14 + 9 * i, 20);
        cairo_line_to(cr, 20 + 9 * i, 30);
        cairo_stroke(cr);
    }
}

// An apple, 48 x 48.
void Apple(cairo_t* cr, bool lit)
{
    if (lit) {
        cairo_arc(cr, 24, 24, 23, 0, 2 * M_PI);
        Rgb(cr, 0xFFF0A0, 0.7);
        cairo_fill(cr);
    }
    cairo_arc(cr, 24, 28, 15, 0, 2 * M_PI);
    Rgb(cr, 0xD8282A);
    cairo_fill_preserve(cr);
    Rgb(cr, 0x6A1010);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_arc(cr, 18, 23, 4, 0, 2 * M_PI);
    Rgb(cr, 0xFFFFFF, 0.6);
    cairo_fill(cr);
    cairo_move_to(cr, 24, 14);
    cairo_curve_to(cr, 30, 4, 38, 8, 36, 12);
    cairo_curve_to(cr, 32, 15, 27, 15, 24, 14);
    Rgb(cr, 0x3C9A3C);
    cairo_fill(cr);
}

// A patience heart, 16 x 16.
void Heart(cairo_t* cr, bool lit)
{
    cairo_move_to(cr, 8, 14.5);
    cairo_curve_to(cr, -3, 7, 2, -1, 8, 4.5);
    cairo_curve_to(cr, 14, -1, 19, 7, 8, 14.5);
    Rgb(cr, lit ? 0xE8304A : 0x8A8A96);
    cairo_fill_preserve(cr);
    Rgb(cr, lit ? 0x7A1020 : 0x4A4A55);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
}

// The mouse pointer over a held icon, 16 x 24.
void Pointer(cairo_t* cr)
{
    cairo_move_to(cr, 1.5, 1.5);
    cairo_line_to(cr, 1.5, 19);
    cairo_line_to(cr, 6, 15);
    cairo_line_to(cr, 9.5, 22);
    cairo_line_to(cr, 12.5, 20.5);
    cairo_line_to(cr, 9, 13.5);
    cairo_line_to(cr, 14.5, 13.5);
    cairo_close_path(cr);
    Rgb(cr, 0xFFFFFF);
    cairo_fill_preserve(cr);
    Rgb(cr, 0x000000);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

std::string ShotPath(const std::string& name)
{
    std::string dir = BRIMVALE_SHOT_DIR;
    ::mkdir(dir.c_str(), 0755);
    return dir + "/" + name + ".png";
}

class OrderSheetTest : public DeviceTest {
protected:
    GMImageTemplate* Template(const char* name)
    {
        int32_t index = m_manager->LoadTemplate(name, m_device);
        return index < 0 ? nullptr : m_manager->GetTemplate(index);
    }

    GMOrderObj* NewOrder(float x, float y, const GMCustomerObj* customer, const GMGoodsObj* goods)
    {
        auto* order = new GMOrderObj;
        order->SetImage(1, "Bubble.img", m_manager.get(), m_device);
        order->SetImage(0, "BubbleH.img", m_manager.get(), m_device);
        order->SetPosition(x, y);
        order->SetCustomerFrom(customer);
        order->SetGoodsFrom(goods);
        order->SetIconTemplates(Template("Heart.img"), Template("HeartOff.img"));
        return order;
    }

    GMQueryGoodsObj* NewIcon(float x, float y, const GMGoodsObj* goods)
    {
        auto* icon = new GMQueryGoodsObj;
        icon->CopyFrom(goods);
        icon->SetPosition(x, y);
        icon->SetTarget(x, y);
        return icon;
    }

    // The mean brightness of the pixels in a box.
    int Brightness(int x0, int y0, int x1, int y1) const
    {
        long sum = 0, n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x, ++n)
                sum += Red(Pixel(x, y)) + Green(Pixel(x, y)) + Blue(Pixel(x, y));
        return n ? int(sum / (3 * n)) : 0;
    }
};

}  // namespace

TEST_F(OrderSheetTest, OrdersAndGoodsIconsInEachState)
{
    // The data set's pictures, loaded from its own directory.
    GMImage font;
    {
        ScopedChdir data(BRIMVALE_WORLD_DATA_DIR);
        ASSERT_EQ(font.LoadTemplate("FontStd.img", m_manager.get(), m_device), 0);
        for (const char* name : {"FlashStar.img", "UfoI.img", "UfoH.img"})
            ASSERT_GE(m_manager->LoadTemplate(name, m_device), 0) << name;
    }
    ASSERT_TRUE(Sketch("Bubble", 96, 64, [](cairo_t* cr) { Bubble(cr, false); }));
    ASSERT_TRUE(Sketch("BubbleH", 96, 64, [](cairo_t* cr) { Bubble(cr, true); }));
    ASSERT_TRUE(Sketch("Face", 44, 44, [](cairo_t* cr) { Portrait(cr, false); }));
    ASSERT_TRUE(Sketch("FaceH", 44, 44, [](cairo_t* cr) { Portrait(cr, true); }));
    ASSERT_TRUE(Sketch("Bread", 48, 48, [](cairo_t* cr) { Bread(cr, false); }));
    ASSERT_TRUE(Sketch("BreadH", 48, 48, [](cairo_t* cr) { Bread(cr, true); }));
    ASSERT_TRUE(Sketch("Apple", 48, 48, [](cairo_t* cr) { Apple(cr, false); }));
    ASSERT_TRUE(Sketch("AppleH", 48, 48, [](cairo_t* cr) { Apple(cr, true); }));
    ASSERT_TRUE(Sketch("Heart", 16, 16, [](cairo_t* cr) { Heart(cr, true); }));
    ASSERT_TRUE(Sketch("HeartOff", 16, 16, [](cairo_t* cr) { Heart(cr, false); }));
    ASSERT_TRUE(Sketch("Pointer", 16, 24, Pointer));

    auto* customer = new GMCustomerObj;
    customer->SetImage(1, "Face.img", m_manager.get(), m_device);
    customer->SetImage(0, "FaceH.img", m_manager.get(), m_device);
    customer->SetPatience(60000.0f);
    GMShopGoodsObj* goods[2] = {new GMShopGoodsObj, new GMShopGoodsObj};
    goods[0]->SetImage(1, "Bread.img", m_manager.get(), m_device);
    goods[0]->SetImage(0, "BreadH.img", m_manager.get(), m_device);
    goods[0]->SetGoodsNumber(1);
    goods[1]->SetImage(1, "Apple.img", m_manager.get(), m_device);
    goods[1]->SetImage(0, "AppleH.img", m_manager.get(), m_device);
    goods[1]->SetGoodsNumber(2);

    // Orders, row at y 110: appearing, waiting with 6 and with 2, highlighted, overlay flash.
    const float orderY = 120.0f;
    const float orderX[5] = {120.0f, 275.0f, 430.0f, 585.0f, 735.0f};
    GMOrderObj* orders[5];
    for (int i = 0; i < 5; ++i)
        orders[i] = NewOrder(orderX[i], orderY, customer, goods[i % 2]);
    orders[0]->SetTransitionTime(500.0f);
    orders[0]->StartTransition(true);
    EXPECT_EQ(orders[0]->Update(0.0f, 0.0f, 0, 250.0f), 0);
    EXPECT_EQ(orders[2]->Update(0.0f, 0.0f, 0, 45000.0f), 0);
    EXPECT_EQ(orders[2]->GetPatienceLevel(), 2);
    EXPECT_EQ(orders[3]->Update(orderX[3], orderY, 0, 16.0f), 0);
    EXPECT_TRUE(orders[3]->IsHighlighted());
    orders[3]->Update(orderX[3], orderY, 0, 25000.0f);
    orders[4]->Update(0.0f, 0.0f, 0, 15000.0f);
    orders[4]->SetOverlay(Template("FlashStar.img"), 0xC0FFFFFFu);

    // Goods icons, row at y 330: at rest, hovered, held (at the pointer, away
    // from home), flying home, shrinking.
    const float iconY = 330.0f;
    GMQueryGoodsObj* icons[5];
    for (int i = 0; i < 5; ++i)
        icons[i] = NewIcon(90.0f + 150.0f * float(i), iconY, goods[i % 2]);
    icons[1]->Update(icons[1]->GetX(), iconY, 0, 16.0f);
    EXPECT_TRUE(icons[1]->IsHighlighted());
    icons[2]->StartDrag();
    EXPECT_EQ(icons[2]->Update(icons[2]->GetX() + 30.0f, iconY + 26.0f, 1, 16.0f), 0);
    icons[3]->SetPosition(icons[3]->GetX() + 60.0f, iconY + 20.0f);
    icons[3]->ReturnToTarget();
    icons[3]->Update(0.0f, 0.0f, 0, 10.0f);
    icons[4]->SetTransitionTime(150.0f);
    icons[4]->StartTransition(false);
    icons[4]->Update(0.0f, 0.0f, 0, 75.0f);
    EXPECT_FLOAT_EQ(icons[4]->GetScale(), 0.5f);

    // UFOs of the bonus game, the same class with the data set's pictures: at rest, hovered, shrinking.
    GMQueryGoodsObj* ufos[3];
    for (int i = 0; i < 3; ++i) {
        ufos[i] = new GMQueryGoodsObj;
        ufos[i]->SetImageTemplate(1, Template("UfoI.img"));
        ufos[i]->SetImageTemplate(0, Template("UfoH.img"));
        ufos[i]->SetPosition(160.0f + 240.0f * float(i), 500.0f);
        ufos[i]->SetTarget(ufos[i]->GetX(), ufos[i]->GetY());
    }
    ufos[1]->Update(ufos[1]->GetX(), 500.0f, 0, 16.0f);
    ufos[2]->SetTransitionTime(300.0f);
    ufos[2]->StartTransition(false);
    ufos[2]->Update(0.0f, 0.0f, 0, 150.0f);

    BeginFrame(0xFFB9D6A4u);
    FillRect(0.0f, 0.0f, 800.0f, 36.0f, 0xFF3E5A34u, m_device);
    FillRect(0.0f, 232.0f, 800.0f, 2.0f, 0xFF6F8F60u, m_device);
    FillRect(0.0f, 412.0f, 800.0f, 2.0f, 0xFF6F8F60u, m_device);
    font.DrawTextLines(400.0f, 18.0f, 0.0f, 1.0f, 0xFFFFF4D0u, "Orders and goods icons", m_device, 0.0f);
    const uint32_t ink = 0xFF20301Cu;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(orders[i]->Draw(0.0f, 0.0f, m_device), 0);
    const char* orderLabels[5] = {"appearing", "waiting, 6", "waiting, 2", "highlighted", "overlay flash"};
    for (int i = 0; i < 5; ++i)
        font.DrawTextLines(orderX[i] - 12.0f, orderY + 86.0f, 0.0f, 0.8f, ink, orderLabels[i], m_device, 0.0f);

    // A held icon leaves a faded copy at its home spot, as the town shows it.
    GMImage& homeCopy = icons[2]->GetImage(1);
    homeCopy.DrawColored(icons[2]->GetTarget().x - 24.0f, iconY - 24.0f, 0xC0B0B0B0u, m_device);
    for (GMQueryGoodsObj* icon : icons)
        EXPECT_EQ(icon->Draw(0.0f, 0.0f, m_device), 0);
    GMImage pointer;
    ASSERT_EQ(pointer.LoadTemplate("Pointer.img", m_manager.get(), m_device), 0);
    pointer.Draw(icons[2]->GetX(), icons[2]->GetY(), m_device);
    const char* iconLabels[5] = {"at rest", "hovered", "held", "flying home", "shrinking"};
    for (int i = 0; i < 5; ++i)
        font.DrawTextLines(90.0f + 150.0f * float(i), iconY + 52.0f, 0.0f, 0.8f, ink, iconLabels[i], m_device, 0.0f);

    for (GMQueryGoodsObj* ufo : ufos)
        EXPECT_EQ(ufo->Draw(0.0f, 0.0f, m_device), 0);
    const char* ufoLabels[3] = {"UFO at rest", "UFO hovered", "UFO shrinking"};
    for (int i = 0; i < 3; ++i)
        font.DrawTextLines(160.0f + 240.0f * float(i), 566.0f, 0.0f, 0.8f, ink, ufoLabels[i], m_device, 0.0f);
    EndFrame();

    TestPicture shot(800, 600);
    shot.pixels = m_pixels;
    ASSERT_TRUE(WritePng(ShotPath("orders_and_goods"), shot, PngKind::Rgb));

    // The patience rows: 6 lit hearts, then 2 lit and 4 grey (hearts 16 px wide
    // from the bubble's bottom-left corner, (96 - 16) / 5 px apart).
    auto heart = [&](int order, int i) {
        return Pixel(int(orderX[order] - 48.0f + 16.0f * float(i) + 8.0f), int(orderY + 32.0f + 8.0f));
    };
    for (int i = 0; i < 6; ++i) {
        EXPECT_GT(Red(heart(1, i)), 200) << i;
        EXPECT_LT(Green(heart(1, i)), 80) << i;
        EXPECT_EQ(Red(heart(2, i)) > 200, i < 2) << i;
    }
    // The flash brightens the hearts under it; the appearing order is half see-through.
    EXPECT_GT(Green(heart(4, 0)), Green(heart(1, 0)) + 60);
    uint32_t half = Pixel(int(orderX[0] + 15.0f), int(orderY - 8.0f));
    EXPECT_GT(Red(half), 0xB9 + 10);
    EXPECT_LT(Red(half), 0xF8) << "bubble white half over the lawn";
    // The held icon sits at the pointer; the shrinking one covers a quarter of the space.
    EXPECT_NE(Pixel(int(icons[2]->GetX()) - 8, int(icons[2]->GetY())), 0xFFB9D6A4u);
    EXPECT_EQ(Pixel(int(icons[4]->GetX()) + 14, int(iconY)), 0xFFB9D6A4u);
    EXPECT_GT(Brightness(0, 0, 800, 36), 0) << "the title is drawn";

    for (GMOrderObj* order : orders)
        order->Release();
    for (GMQueryGoodsObj* icon : icons)
        icon->Release();
    for (GMQueryGoodsObj* ufo : ufos)
        ufo->Release();
    goods[0]->Release();
    goods[1]->Release();
    customer->Release();
}

#endif
