// The generator's building blocks: template files, picture writers, scrambled
// text, synthesis and encoding, and the help source checks.
#ifdef BRIMVALE_DATAGEN_DATA_DIR

#include "datagen/DataDir.h"
#include "datagen/ExeImages.h"
#include "datagen/Generator.h"
#include "datagen/PictureFiles.h"
#include "datagen/Synth.h"
#include "datagen/TemplateFile.h"

#include "core/TaggedFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<uint8_t> Pattern(int w, int h, bool flat)
{
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 4];
            if (flat) {
                bool left = x < w / 2;
                p[0] = left ? 200 : 30;
                p[1] = left ? 80 : 160;
                p[2] = y < h / 2 ? 40 : 220;
            } else {
                p[0] = static_cast<uint8_t>(x * 7);
                p[1] = static_cast<uint8_t>(y * 5);
                p[2] = static_cast<uint8_t>(x + y);
            }
            p[3] = static_cast<uint8_t>(x < w / 4 ? 0 : x < w / 2 ? 128 : 255);
        }
    return px;
}

} // namespace

TEST(DatagenParts, TemplateWithPerFrameSizesReadsBack)
{
    TempDir tmp;
    DataDir dir(tmp.Path(), tmp.Path());
    Canvas c(8, 4);
    c.Clear({0xFFFFFF});
    ASSERT_TRUE(dir.WritePicture("Pics\\a.png", c));
    TemplateSpec spec;
    for (int i = 0; i < 11; ++i)
        spec.frames.push_back("Pics\\a.png");
    spec.fps = 0.25;
    spec.loopStart = 2;
    spec.imw = 64;
    spec.imy = -12.5;
    spec.additive = true;
    spec.imf = "Pics\\sizes.imf";
    FrameSizes f8, f10;
    f8.frame = 8;  // "%i" reads a leading zero as octal: indices must be written plainly
    f8.imw = 9;
    f8.imh = 30;
    f10.frame = 10;
    f10.imx = -3;
    f10.siy = 4;
    spec.perFrame = {f8, f10};
    ASSERT_TRUE(dir.WriteTemplate("Pics\\t.img", spec));

    TemplateInfo t;
    ASSERT_TRUE(ReadTemplateFile(tmp.Path(), "Pics\\t.img", t));
    ASSERT_EQ(t.frames.size(), 11u);
    EXPECT_DOUBLE_EQ(t.fps, 0.25);
    EXPECT_EQ(t.loopStart, 2);
    EXPECT_TRUE(t.additive);
    EXPECT_TRUE(t.imfRead);
    EXPECT_EQ(t.frames[0].imageWidth, 64);
    EXPECT_EQ(t.frames[0].offsetY, -12.5);
    EXPECT_EQ(t.frames[8].imageWidth, 9);
    EXPECT_EQ(t.frames[8].imageHeight, 30);
    EXPECT_EQ(t.frames[10].offsetX, -3);
    EXPECT_EQ(t.frames[10].extraY, 4);
    EXPECT_EQ(t.height, 30);
    EXPECT_EQ(t.frames[9].imageHeight, 0) << "a frame the size file does not name keeps its own size";
}

TEST(DatagenParts, WriteSingleStatesTheCanvasSize)
{
    TempDir tmp;
    DataDir dir(tmp.Path(), tmp.Path());
    Canvas c(100, 30);
    ASSERT_TRUE(dir.WriteSingle("Menu\\Thing", c));
    TemplateInfo t;
    ASSERT_TRUE(ReadTemplateFile(tmp.Path(), "Menu\\Thing.img", t));
    EXPECT_EQ(t.frames[0].file, "Menu\\Thing.png");
    EXPECT_EQ(t.frames[0].imageWidth, 100);
    EXPECT_EQ(t.frames[0].imageHeight, 30);
    EXPECT_EQ(dir.Written().size(), 2u);
}

TEST(DatagenParts, PicturesRoundTripThroughEveryFormat)
{
    TempDir tmp;
    const int w = 40, h = 20;
    auto px = Pattern(w, h, false);
    Picture p;

    ASSERT_TRUE(WritePngFile(tmp.File("a.png"), px, w, h));
    ASSERT_TRUE(ReadPictureFile(tmp.File("a.png"), p));
    EXPECT_EQ(p.width, w);
    EXPECT_EQ(p.rgba, px);

    ASSERT_TRUE(WriteBmpFile(tmp.File("a.bmp"), px, w, h));
    ASSERT_TRUE(ReadPictureFile(tmp.File("a.bmp"), p));
    ASSERT_EQ(p.height, h);
    for (size_t i = 0; i < px.size(); i += 4) {
        EXPECT_EQ(p.rgba[i], px[i]);
        EXPECT_EQ(p.rgba[i + 2], px[i + 2]);
        EXPECT_EQ(p.rgba[i + 3], 255) << "a BMP is opaque";
    }

    auto flat = Pattern(w, h, true);
    ASSERT_TRUE(WriteGifFile(tmp.File("a.gif"), flat, w, h));
    ASSERT_TRUE(ReadPictureFile(tmp.File("a.gif"), p));
    for (size_t i = 0; i < flat.size(); i += 4) {
        EXPECT_NEAR(p.rgba[i], flat[i], 8);
        EXPECT_NEAR(p.rgba[i + 2], flat[i + 2], 8);
        EXPECT_EQ(p.rgba[i + 3], 255) << "a GIF without companion is opaque";
    }

    ASSERT_TRUE(WriteJpegFile(tmp.File("a.jpg"), flat, w, h, 95));
    ASSERT_TRUE(WriteJpegAlphaFile(tmp.File("a_A.jpg"), flat, w, h, 95));
    ASSERT_TRUE(ReadPictureFile(tmp.File("a.jpg"), p));
    EXPECT_NEAR(p.rgba[(10 * w + 2) * 4 + 3], 0, 12) << "alpha comes from the companion";
    EXPECT_NEAR(p.rgba[(10 * w + 15) * 4 + 3], 128, 12);
    EXPECT_NEAR(p.rgba[(10 * w + 35) * 4 + 3], 255, 12);
    EXPECT_NEAR(p.rgba[(15 * w + 35) * 4 + 2], 220, 12);

    EXPECT_FALSE(ReadPictureFile(tmp.File("missing.png"), p));
    tmp.Write("text.png", "not a picture at all");
    EXPECT_FALSE(ReadPictureFile(tmp.File("text.png"), p));
}

TEST(DatagenParts, ScrambledTextReadsBackUnderItsOwnNameOnly)
{
    TempDir tmp;
    DataDir dir(tmp.Path(), tmp.Path());
    const std::string text = "\"TXT\" 1 2 0 1 \"Hello\"\n";
    ASSERT_TRUE(dir.WriteScrambled("Stories\\intro.txt", text));
    std::string raw = ReadAll(tmp.File("Stories/intro.txt"));
    ASSERT_EQ(raw.size(), text.size());
    EXPECT_NE(raw, text);
    auto decode = [&](const char* name) {
        std::string out = raw;
        FileKey key(name);
        for (auto& ch : out)
            ch = static_cast<char>(static_cast<uint8_t>(ch) - key.Next());
        return out;
    };
    EXPECT_EQ(decode("INTRO.TXT"), text);
    EXPECT_EQ(decode("Other\\intro.txt"), text) << "only the base name keys the file";
    EXPECT_NE(decode("outro.txt"), text);
}

TEST(DatagenParts, LoopingSignalsWrapAndCrossfadeJoinsSmoothly)
{
    Signal loop(0.01, 1000, true);
    loop.Add(12, 1.0f);
    loop.Add(-1, 0.5f);
    EXPECT_FLOAT_EQ(loop.Data()[2], 1.0f);
    EXPECT_FLOAT_EQ(loop.Data()[9], 0.5f);
    Signal once(0.01, 1000, false);
    once.Add(12, 1.0f);
    for (size_t i = 0; i < once.Size(); ++i)
        EXPECT_EQ(once.Data()[i], 0.0f);

    // A tone that does not fit the loop length jumps at the end unless cross-faded.
    Signal tone(1.1, 8000, false);
    tone.Note(0, 1.2, 333.3, 333.3, 0.5, Wave::Sine, Env{0.0, 0.0, 1.0, 0.0});
    Signal joined = tone.CrossfadeLoop(1.0);
    ASSERT_EQ(joined.Size(), 8000u);
    ASSERT_TRUE(joined.Loops());
    double largest = 0;
    for (size_t i = 1; i < joined.Size(); ++i)
        largest = std::max(largest, static_cast<double>(std::fabs(joined.Data()[i] - joined.Data()[i - 1])));
    double jump = std::fabs(joined.Data()[0] - joined.Data()[joined.Size() - 1]);
    EXPECT_LE(jump, largest * 1.05);
    double rawJump = std::fabs(tone.Data()[0] - tone.Data()[7999]);
    EXPECT_GT(rawJump, largest * 1.5) << "the test tone should not fit the loop by itself";
}

TEST(DatagenParts, OggEncodingIsRepeatableAndKeepsItsSerial)
{
    TempDir tmp;
    Signal s(0.3, 22050, false);
    s.Bell(0, 880, 0.5, 0.1);
    ASSERT_TRUE(EncodeOgg(tmp.File("a.ogg").c_str(), s, nullptr, 0.4f, 0x1234ABCD));
    ASSERT_TRUE(EncodeOgg(tmp.File("b.ogg").c_str(), s, nullptr, 0.4f, 0x1234ABCD));
    std::string a = ReadAll(tmp.File("a.ogg")), b = ReadAll(tmp.File("b.ogg"));
    ASSERT_GT(a.size(), 28u);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.substr(0, 4), "OggS");
    uint32_t serial = 0;
    for (int i = 0; i < 4; ++i)
        serial |= static_cast<uint32_t>(static_cast<uint8_t>(a[14 + i])) << (8 * i);
    EXPECT_EQ(serial, 0x1234ABCDu);
    EXPECT_FALSE(EncodeOgg((tmp.Path() + "/no/such/dir/c.ogg").c_str(), s, nullptr, 0.4f, 1));
}

TEST(DatagenParts, HelpSourceIsCheckedBeforeItIsScrambled)
{
    TempDir src, out;
    src.Write("Help.txt", "\"IMG\" 40 110 0 1 \"Help\\Nowhere.img\"\n");
    DataDir missing(out.Path(), src.Path());
    EXPECT_FALSE(GenerateHelp(missing));
    EXPECT_NE(missing.Error().find("Help\\Nowhere.img"), std::string::npos) << missing.Error();

    src.Write("Help.txt", "\"TXT\" 40 110 0 1 \"" + std::string(300, 'a') + "\"\n");
    DataDir tooLong(out.Path(), src.Path());
    EXPECT_FALSE(GenerateHelp(tooLong));
    EXPECT_NE(tooLong.Error().find("259"), std::string::npos) << tooLong.Error();

    src.Write("Help.txt", "\"IMG\" 40 110 0 1 \"Help\\Van.img\"\n\"TXT\" 1 2 0 1 \"ok\"\n");
    DataDir good(out.Path(), src.Path());
    EXPECT_TRUE(GenerateHelp(good)) << good.Error();
    EXPECT_TRUE(FileExists((out.Path() + "/Help.txt").c_str()));
}

TEST(DatagenParts, ExecutablePicturesAreWrittenAsSourceAndPictures)
{
    TempDir tmp;
    ASSERT_TRUE(WriteExeImages(tmp.Path()));
    std::string src = ReadAll(tmp.File("ExeImages.cpp"));
    for (const char* id : {"{108, 32, 32,", "{110, 16, 16,", "{111, 32, 32, 2, 2,", "{116, 32, 32, 16, 16,"})
        EXPECT_NE(src.find(id), std::string::npos) << id;
    EXPECT_NE(ReadAll(tmp.File("ExeImages.h")).find("FindExeImage"), std::string::npos);
    // The cursor's hot spot sits on its drawn tip, and the picture has see-through parts.
    Picture arrow;
    ASSERT_TRUE(ReadPictureFile(tmp.File("CursorGame.png"), arrow));
    EXPECT_GT(arrow.rgba[(2 * 32 + 2) * 4 + 3], 100);
    EXPECT_EQ(arrow.rgba[(31 * 32 + 31) * 4 + 3], 0);
    EXPECT_FALSE(WriteExeImages("/proc/no-such-place/here"));
}

#endif
