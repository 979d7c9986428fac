// Damaged files found by fuzzing the picture and template readers, each fed
// the way the game reads it (tests/fuzz/found, see the README there).
#include "gfx/Bitmap.h"
#include "gfx/BitmapTexture.h"
#include "gfx/BmpDecoder.h"
#include "gfx/GMImageSurface.h"
#include "gfx/GMImageTemplate.h"
#include "gfx/ImageFrameInfo.h"
#include "gfx/ImageResult.h"
#include "platform/Texture.h"
#include "support/gfx/GfxTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <sys/resource.h>

namespace {

std::string Found(const char* name)
{
    std::ifstream in(std::string(BRIMVALE_FUZZ_FOUND_DIR) + "/" + name, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(bytes.empty()) << name << " is missing";
    return bytes;
}

long StatusMiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    size_t n = std::string(field).size();
    while (std::getline(status, line))
        if (line.compare(0, n, field) == 0)
            return std::atol(line.c_str() + n) / 1024;
    return 0;
}

// Resident memory a call needed beyond what was resident before it.
template <class Fn>
long GrowthMiB(Fn&& fn)
{
    long before = StatusMiB("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";
    fn();
    return StatusMiB("VmHWM:") - before;
}

#if !defined(__SANITIZE_ADDRESS__)
// Caps the address space of a forked death-test child (the sanitizer's
// reservations would not fit under the cap).
void LimitAddressSpace(long extraMiB)
{
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlim_t limit = rlim_t(pages) * 4096u + rlim_t(extraMiB) * 1024u * 1024u;
    rlimit r{limit, limit};
    setrlimit(RLIMIT_AS, &r);
}
#endif

class FoundByFuzzingTest : public DeviceTest {
protected:
    int32_t LoadPicture(const char* name, uint32_t* firstTexel = nullptr)
    {
        auto* s = new GMImageSurface;
        s->AddRef();
        int32_t r = s->Load(name, nullptr, m_device);
        if (r != 0) {
            EXPECT_EQ(s->GetTexture(), nullptr) << name;
        } else if (firstTexel) {
            *firstTexel = s->GetTexture()->GetPixels()[0];
        }
        s->Release();
        return r;
    }
};

}  // namespace

TEST_F(FoundByFuzzingTest, Bmp1MasksPastAShortHeaderAndTheBufferAreNotRead)
{
    std::string bytes = Found("bmp-1.bin");
    // Exactly the file's bytes on the heap, so a read past them is caught.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    Bitmap b;
    EXPECT_FALSE(DecodeBmp(exact.get(), bytes.size(), b));
    WriteText("bmp-1.bmp", bytes);
    EXPECT_NE(LoadPicture("bmp-1.bmp"), 0);
}

TEST_F(FoundByFuzzingTest, Bmp2Claiming32768SquareFailsWithoutTouchingGigabytes)
{
    std::string bytes = Found("bmp-2.bin");
    WriteText("bmp-2.bmp", bytes);
    WriteText("bmp-2.jpg", bytes);  // the bitmap path would crop it into a 4096 texture
    for (const char* name : {"bmp-2.bmp", "bmp-2.jpg"}) {
        int32_t r = 0;
        long grew = GrowthMiB([&] { r = LoadPicture(name); });
        EXPECT_NE(r, 0) << name;
        EXPECT_LT(grew, 64) << name;
    }
}

TEST_F(FoundByFuzzingTest, Bmp3RunLengthClaiming11007By2048From141BytesIsRefused)
{
    std::string bytes = Found("bmp-3.bin");
    ASSERT_EQ(bytes.size(), 259u);
    Bitmap b;
    EXPECT_FALSE(DecodeBmp(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), b));
    EXPECT_EQ(b.fault, PictureFault::Oversized);
    WriteText("bmp-3.bmp", bytes);
    int32_t r = 0;
    long grew = GrowthMiB([&] { r = LoadPicture("bmp-3.bmp"); });
    EXPECT_NE(r, 0);
    EXPECT_LT(grew, 16) << "90 MB of texture for a 259-byte file before";
}

TEST_F(FoundByFuzzingTest, Alpha1CompanionDeclaring19778By31482LeavesThePictureOpaque)
{
    std::string bytes = Found("alpha-1.bin");
    ASSERT_GE(bytes.size(), 2u);
    uint8_t b0 = uint8_t(bytes[0]), b1 = uint8_t(bytes[1]);
    int w = 1 + b0 + 256 * (b1 & 1), h = 1 + (b1 >> 1) * 4;
    ASSERT_TRUE(WriteBmp("m.jpg", TestPicture(w, h, 0xFF406080u), 24));
    WriteText("m_A.jpg", bytes.substr(2));
    int32_t r = -1;
    uint32_t texel = 0;
    long grew = GrowthMiB([&] { r = LoadPicture("m.jpg", &texel); });
    EXPECT_EQ(r, 0);
    EXPECT_EQ(texel, 0xFF406080u);  // the unusable alpha picture leaves it opaque
    EXPECT_LT(grew, 64);

    // Through the manager the damaged companion is named in the error log; a
    // picture without one is not.
    ASSERT_TRUE(WriteBmp("plain.jpg", TestPicture(4, 4, 0xFF406080u), 24));
    EXPECT_GE(m_manager->LoadSurface("plain.jpg", nullptr, m_device), 0);
    EXPECT_GE(m_manager->LoadSurface("m.jpg", nullptr, m_device), 0);
    std::string log = m_dir.Read("Error.log");
    EXPECT_NE(log.find(" -- Can't load alpha picture \"m_A.jpg\": its header claims more pixels than the file "
                       "holds; \"m.jpg\" stays opaque\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("plain"), std::string::npos) << log;
}

TEST_F(FoundByFuzzingTest, Template1FrameCountInTheHundredsOfMillionsReadsOnlyTheFramesThere)
{
    WriteText("t.img", Found("template-1.bin"));
    ASSERT_TRUE(WritePng("a.png", TestPicture(8, 4, 0xFFFF0000u)));
    ASSERT_TRUE(WritePng("b.png", TestPicture(6, 9, 0xFF00FF00u)));
    WriteText("two.img", "\"FR\" 77777777 \"a.png\" \"b.png\"");

    auto check = [&](GMImageManager& manager) {
        auto* none = new GMImageTemplate;
        bool noFrames = none->LoadFromFile("t.img", &manager, m_device) == kResultInvalidArg;
        none->Release();
        auto* two = new GMImageTemplate;
        bool twoFrames = two->LoadFromFile("two.img", &manager, m_device) == 0 && two->GetFrameCount() == 2 &&
                         two->GetWidth() == 8.0f && two->GetHeight() == 9.0f;
        two->Release();
        return noFrames && twoFrames;
    };
    EXPECT_TRUE(check(*m_manager));
#if !defined(__SANITIZE_ADDRESS__)
    // With little memory to spare, as on a small machine.
    EXPECT_EXIT(
        {
            LimitAddressSpace(64);
            GMImageManager manager;
            manager.SetErrorLogPath(nullptr);
            std::_Exit(check(manager) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
#endif
}
