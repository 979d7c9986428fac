// Damaged and hostile picture files: headers that claim more than the file
// holds, reads past a short header, PNGs cut at their end, memory that runs out.
#include "gfx/Bitmap.h"
#include "gfx/BitmapTexture.h"
#include "gfx/BmpDecoder.h"
#include "gfx/GMImageSurface.h"
#include "gfx/GifDecoder.h"
#include "gfx/ImageFrameInfo.h"
#include "gfx/ImageResult.h"
#include "gfx/JpegDecoder.h"
#include "gfx/PngDecoder.h"
#include "platform/DeviceCaps.h"
#include "platform/DisplayDriver.h"
#include "platform/Texture.h"
#include "support/gfx/GfxTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <sstream>
#include <string>
#include <sys/resource.h>

namespace {

// Peak resident memory since the last reset, in MiB.
void ResetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}
long PeakMemoryMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6) / 1024;
    return 0;
}
long CurrentMemoryMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6) / 1024;
    return 0;
}
// Memory a call needed beyond what was resident before it.
template <class Fn>
long GrowthMiB(Fn&& fn)
{
    long before = CurrentMemoryMiB();
    ResetPeakMemory();
    fn();
    return PeakMemoryMiB() - before;
}

// Caps the address space of a forked death-test child at what it uses now
// plus `extraMiB`, the way a machine short of memory would.
void LimitAddressSpace(long extraMiB)
{
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlim_t limit = rlim_t(pages) * 4096u + rlim_t(extraMiB) * 1024u * 1024u;
    rlimit r{limit, limit};
    setrlimit(RLIMIT_AS, &r);
}

void Put16(std::string& s, uint32_t v)
{
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}
void PutBe32(std::string& s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + size_t(i)] = char((v >> (24 - 8 * i)) & 0xFF);
}

// A BMP of the given header size that claims w x h; a zeroed palette of
// `colors` entries and `pixelBytes` of data follow.
std::string BmpHeader(int32_t w, int32_t h, uint32_t bpp, uint32_t compression, uint32_t headerSize,
                      size_t pixelBytes, uint32_t colors = 0)
{
    std::string s = "BM";
    Put32(s, uint32_t(14 + headerSize + 4 * colors + pixelBytes));
    Put32(s, 0);
    Put32(s, 14 + headerSize + 4 * colors);
    Put32(s, headerSize);
    Put32(s, uint32_t(w));
    Put32(s, uint32_t(h));
    Put16(s, 1);
    Put16(s, bpp);
    Put32(s, compression);
    while (s.size() < 14 + headerSize + 4 * colors)
        s += '\0';
    s.append(pixelBytes, '\x55');
    return s;
}

// A two-colour GIF whose only image claims w x h, with one short data block.
std::string GifClaiming(uint16_t w, uint16_t h)
{
    std::string s = "GIF89a";
    Put16(s, w);
    Put16(s, h);
    s += std::string("\x80\x00\x00", 3);  // global colour table of two entries
    s += std::string("\0\0\0\xFF\xFF\xFF", 6);
    s += '\x2C';
    Put32(s, 0);                     // left, top
    Put16(s, w);
    Put16(s, h);
    s += '\0';
    s += std::string("\x02\x02\x44\x01\x00\x3B", 6);  // code size 2, clear + a pixel, end
    return s;
}

uint32_t Crc32(const std::string& bytes, size_t from, size_t count)
{
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = from; i < from + count; ++i) {
        c ^= uint8_t(bytes[i]);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

// A real PNG whose header is rewritten to claim w x h (with a valid CRC).
std::string PngClaiming(const std::string& png, uint32_t w, uint32_t h)
{
    std::string s = png;
    PutBe32(s, 16, w);  // IHDR data starts after signature (8), length (4), type (4)
    PutBe32(s, 20, h);
    PutBe32(s, 29, Crc32(s, 12, 17));
    return s;
}

// Patches the first start-of-frame marker of a JPEG to claim w x h.
std::string JpegClaiming(const std::string& jpeg, uint16_t w, uint16_t h)
{
    std::string s = jpeg;
    size_t at = s.find("\xFF\xC0");
    if (at == std::string::npos)
        return std::string();
    s[at + 5] = char(h >> 8);
    s[at + 6] = char(h & 0xFF);
    s[at + 7] = char(w >> 8);
    s[at + 8] = char(w & 0xFF);
    return s;
}

// Decodes into a fresh bitmap with out's side limit.
bool DecodeFile(const std::string& path, Bitmap& out)
{
    int32_t maxSide = out.maxSide;
    out = Bitmap{};
    out.maxSide = maxSide;
    return LoadBitmapFile(path.c_str(), out);
}

// Decodes a PNG file into plain memory.
class MemoryTarget : public PngTarget {
public:
    uint8_t* Begin(uint32_t width, uint32_t height, Format, int32_t* pitch, int32_t*) override
    {
        w = width;
        h = height;
        memory.assign(size_t(width) * height, 0u);
        *pitch = int32_t(width * 4);
        return reinterpret_cast<uint8_t*>(memory.data());
    }
    void End() override { ++ended; }
    uint32_t w = 0, h = 0;
    std::vector<uint32_t> memory;
    int ended = 0;
    int began() const { return w ? 1 : 0; }
};

int32_t DecodePngBytes(const std::string& bytes, MemoryTarget& target)
{
    FILE* f = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    if (!f)
        return -100;
    uint8_t sig[8] = {};
    size_t got = std::fread(sig, 1, 8, f);
    int32_t r = IsPngSignature(sig, int(got)) ? DecodePng(f, target) : -200;
    std::fclose(f);
    return r;
}

class DamagedPictureTest : public DeviceTest {
protected:
    GMImageSurface* NewSurface()
    {
        auto* s = new GMImageSurface;
        s->AddRef();
        return s;
    }
    // Loads a picture through a fresh surface; the surface's texture is
    // checked to be absent after a failure.
    int32_t LoadPicture(const char* name, ImageFrameInfo* info = nullptr)
    {
        GMImageSurface* s = NewSurface();
        int32_t r = s->Load(name, info, m_device);
        if (r != 0) {
            EXPECT_EQ(s->GetTexture(), nullptr) << name;
        }
        s->Release();
        return r;
    }
    std::string Read(const char* name) const { return m_dir.Read(name); }
};

TestPicture Solid(int w, int h, uint32_t color)
{
    return TestPicture(w, h, color);
}

}  // namespace

TEST_F(DamagedPictureTest, HeadersClaimingMoreThanTheFileHoldsFailBeforeAnythingIsAllocated)
{
    // 62-byte BMPs: 16000 x 16000 (within the largest texture) and 32768 x 32768.
    WriteText("claim.bmp", BmpHeader(16000, 16000, 32, 0, 40, 8));
    WriteText("huge.bmp", BmpHeader(32768, 32768, 32, 0, 40, 8));
    WriteText("claim.gif", GifClaiming(16000, 16000));
    WriteText("huge.gif", GifClaiming(32768, 32768));
    ASSERT_TRUE(WriteJpeg("small.jpg", Solid(16, 16, 0xFF808080u)));
    std::string jpeg = JpegClaiming(Read("small.jpg"), 16000, 16000);
    ASSERT_FALSE(jpeg.empty());
    WriteText("claim.jpg", jpeg);
    WriteText("huge.jpg", JpegClaiming(Read("small.jpg"), 32768, 32768));

    for (const char* name : {"claim.bmp", "huge.bmp", "claim.gif", "huge.gif", "claim.jpg", "huge.jpg"}) {
        Bitmap b;
        long grew = GrowthMiB([&] { EXPECT_FALSE(DecodeFile(name, b)) << name; });
        EXPECT_EQ(b.fault, PictureFault::Oversized) << name;
        EXPECT_LT(grew, 64) << name << " needed memory for pixels it does not have";
        // Through a surface, on the path each extension takes, the same.
        EXPECT_NE(LoadPicture(name), 0) << name;
    }
    // A file that does hold its pixels but is wider than the largest texture.
    Bitmap wide;
    wide.maxSide = 64;
    WriteText("wide.bmp", BmpHeader(65, 1, 8, 0, 40, 68, 256));
    EXPECT_FALSE(DecodeFile("wide.bmp", wide));
    EXPECT_EQ(wide.fault, PictureFault::TooLarge);
    wide.maxSide = 65;
    EXPECT_TRUE(DecodeFile("wide.bmp", wide));
}

TEST_F(DamagedPictureTest, LargeButWellCompressedPicturesStillLoad)
{
    // A flat 2048 x 2048 picture packs far tighter than any damaged claim;
    // the bounds on what a file holds must let it through in every format.
    TestPicture flat = Solid(2048, 2048, 0xFF336699u);
    ASSERT_TRUE(WritePng("flat.png", flat, PngKind::Rgb));
    ASSERT_TRUE(WriteGif("flat.gif", flat));
    ASSERT_TRUE(WriteJpeg("flat.jpg", flat, 75));
    WriteText("flat.bmp", BmpHeader(2048, 2048, 8, 0, 40, 2048u * 2048u, 256));
    for (const char* name : {"flat.png", "flat.gif", "flat.jpg", "flat.bmp"}) {
        ImageFrameInfo info;
        EXPECT_EQ(LoadPicture(name, &info), 0) << name;
        EXPECT_EQ(info.imageWidth, 2048.0f) << name;
        EXPECT_EQ(info.imageHeight, 2048.0f) << name;
    }
    // A run-length BMP that ends at once leaves the picture at index 0: fine
    // for a short picture; a tall one needs more codes than its 2 bytes (a
    // jump covers at most 255 rows per 4 bytes).
    WriteText("short.bmp", BmpHeader(64, 64, 8, 1, 40, 0, 256) + std::string("\x00\x01", 2));
    WriteText("tall.bmp", BmpHeader(64, 16000, 8, 1, 40, 0, 256) + std::string("\x00\x01", 2));
    Bitmap b;
    EXPECT_TRUE(DecodeFile("short.bmp", b));
    EXPECT_FALSE(DecodeFile("tall.bmp", b));
    EXPECT_EQ(b.fault, PictureFault::Oversized);
}

TEST_F(DamagedPictureTest, TruncatedPngClaiming16384SquareFailsBeforeItsTextureIsMade)
{
    ASSERT_TRUE(WritePng("small.png", Solid(4, 4, 0xFF102030u), PngKind::Rgba));
    std::string png = PngClaiming(Read("small.png"), 16384, 16384);
    WriteText("cut.png", png.substr(0, png.size() - 20));  // cut inside the data
    int32_t r = 0;
    long grew = GrowthMiB([&] { r = LoadPicture("cut.png"); });
    EXPECT_NE(r, 0);
    EXPECT_LT(grew, 64) << "a texture was made for pixels the file does not have";
    MemoryTarget target;
    EXPECT_EQ(DecodePngBytes(png, target), -1);
    EXPECT_EQ(target.began(), 0);
}

TEST_F(DamagedPictureTest, PicturesLargerThanTheLargestTextureFailToLoad)
{
    struct SmallTextures {
        SmallTextures()
        {
            SetDeviceCapsFilter([](DeviceDesc& d) {
                d.maxTextureWidth = 256;
                d.maxTextureHeight = 128;
            });
        }
        ~SmallTextures() { SetDeviceCapsFilter(nullptr); }
    };
    auto small = std::make_unique<SmallTextures>();
    ASSERT_TRUE(WritePng("wide.png", Solid(300, 10, 0xFF0000FFu)));
    ASSERT_TRUE(WritePng("tall.png", Solid(10, 200, 0xFF0000FFu)));
    ASSERT_TRUE(WriteBmp("wide.bmp", Solid(300, 10, 0xFF0000FFu), 24));
    ASSERT_TRUE(WriteGif("wide.gif", Solid(300, 10, 0xFF0000FFu)));
    ASSERT_TRUE(WritePng("fits.png", Solid(256, 128, 0xFF0000FFu)));
    EXPECT_NE(LoadPicture("wide.png"), 0);
    EXPECT_NE(LoadPicture("tall.png"), 0);
    EXPECT_NE(LoadPicture("wide.bmp"), 0);
    EXPECT_NE(LoadPicture("wide.gif"), 0);
    EXPECT_EQ(LoadPicture("fits.png"), 0);
    small.reset();
    EXPECT_EQ(LoadPicture("wide.png"), 0);
}

#if defined(__SANITIZE_ADDRESS__)
#define SKIP_UNDER_ASAN() GTEST_SKIP() << "the sanitizer reserves more address space than the limit allows"
#else
#define SKIP_UNDER_ASAN() (void)0
#endif

TEST_F(DamagedPictureTest, ATextureTooLargeForTheMemoryLeftFailsInsteadOfAborting)
{
    SKIP_UNDER_ASAN();
    // A legitimate 4096 x 4096 grey picture packs into a few kilobytes but
    // needs a 64 MiB texture.
    ASSERT_TRUE(WritePng("big.png", Solid(4096, 4096, 0xFF000000u), PngKind::Gray));
    EXPECT_EXIT(
        {
            LimitAddressSpace(32);
            Texture* t = nullptr;
            bool refused = m_device->CreateTexture(16384, 16384, &t) == DDERR_OUTOFMEMORY && !t;
            GMImageSurface* s = NewSurface();
            bool failed = s->Load("big.png", nullptr, m_device) != 0 && !s->GetTexture();
            std::_Exit(refused && failed ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(DamagedPictureTest, BitFieldMasksAfterAShortInfoHeaderAreReadOnlyFromTheFile)
{
    // Info headers of 41 to 51 bytes with bit fields: the masks would lie past
    // the header, and in a short file past its end. Whatever follows the file
    // in memory must not change the result.
    for (uint32_t headerSize = 41; headerSize <= 51; ++headerSize) {
        std::string file = BmpHeader(1, 1, 16, 3, headerSize, 4);
        bool ok[2];
        uint32_t color[2] = {0, 0};
        for (int tail = 0; tail < 2; ++tail) {
            std::string memory = file + std::string(32, tail ? '\xFF' : '\x00');
            Bitmap b;
            ok[tail] = DecodeBmp(reinterpret_cast<const uint8_t*>(memory.data()), file.size(), b);
            if (ok[tail])
                color[tail] = b.ColorAt(0, 0);
        }
        EXPECT_EQ(ok[0], ok[1]) << headerSize;
        EXPECT_EQ(color[0], color[1]) << headerSize;
    }
    // A full 52-byte header carries its masks: 5-6-5 reads as such.
    std::string full = BmpHeader(1, 1, 16, 3, 52, 4);
    size_t masks = 14 + 40;
    std::string m;
    Put32(m, 0xF800);
    Put32(m, 0x07E0);
    Put32(m, 0x001F);
    full.replace(masks, 12, m);
    full[14 + 52] = char(0xE0);  // pixel 0x07E0: pure green
    full[14 + 53] = char(0x07);
    Bitmap b;
    ASSERT_TRUE(DecodeBmp(reinterpret_cast<const uint8_t*>(full.data()), full.size(), b));
    EXPECT_EQ(b.ColorAt(0, 0), 0xFF00FF00u);
}

TEST_F(DamagedPictureTest, APngWithoutItsEndChunkLoadsWhenItsImageDataIsWhole)
{
    TestPicture p(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            p.At(x, y) = 0xFF000000u | uint32_t(x * 50) << 16 | uint32_t(y * 100);
    ASSERT_TRUE(WritePng("whole.png", p, PngKind::Rgba));
    std::string png = Read("whole.png");
    ASSERT_EQ(png.compare(png.size() - 8, 4, "IEND"), 0);
    // Without the end chunk, with it cut after its length, and cut in its CRC.
    for (size_t cut : {12u, 8u, 2u}) {
        MemoryTarget t;
        ASSERT_EQ(DecodePngBytes(png.substr(0, png.size() - cut), t), 0) << cut;
        EXPECT_EQ(t.ended, 1);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(t.memory[size_t(y) * 5 + size_t(x)], p.At(x, y)) << cut << " " << x << "," << y;
    }
    WriteText("noend.png", png.substr(0, png.size() - 12));
    EXPECT_EQ(LoadPicture("noend.png"), 0);
    // Image data that stops short still fails.
    MemoryTarget t;
    EXPECT_EQ(DecodePngBytes(png.substr(0, png.size() - 12 - 6), t), -1);
}

TEST_F(DamagedPictureTest, EveryAllocationTheReaderMakesCanFailWithoutLeaking)
{
    ASSERT_TRUE(WritePng("a.png", Solid(6, 4, 0xFF00FF00u), PngKind::RgbaInterlaced));
    std::string png = Read("a.png");
    size_t heldBefore = mallinfo2().uordblks;
    int completed = 0;
    for (int allowed = 0; allowed < 64; ++allowed) {
        MemoryTarget t;
        LimitPngAllocationsForTest(allowed);
        int32_t r = DecodePngBytes(png, t);
        LimitPngAllocationsForTest(-1);
        EXPECT_EQ(t.ended, t.began()) << allowed;
        if (r == 0) {
            ++completed;
            EXPECT_EQ(t.memory[0], 0xFF00FF00u);
        }
    }
    EXPECT_GT(completed, 0);
    // A start that fails at the very first allocation, many times over.
    for (int i = 0; i < 2000; ++i) {
        MemoryTarget t;
        LimitPngAllocationsForTest(0);
        EXPECT_EQ(DecodePngBytes(png, t), -1);
        LimitPngAllocationsForTest(1);
        EXPECT_EQ(DecodePngBytes(png, t), -1);
        LimitPngAllocationsForTest(-1);
    }
    // Under the sanitizer mallinfo2 counts nothing and the leak checker watches.
    EXPECT_LT(mallinfo2().uordblks, heldBefore + 4096);
}
