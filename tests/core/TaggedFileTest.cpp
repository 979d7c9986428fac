#include "core/FileSys.h"
#include "core/TaggedFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// A stream over bytes, read back through the reader; scrambled with `keyName`
// when one is given, so every case runs through both storage forms.
class Stream {
public:
    explicit Stream(const std::string& plain, const char* keyName = nullptr)
    {
        m_file = std::tmpfile();
        if (keyName) {
            FileKey w(keyName);
            WriteBytes(m_file, plain.data(), static_cast<int>(plain.size()), &w);
            m_key.Set(keyName);
        } else {
            std::fwrite(plain.data(), 1, plain.size(), m_file);
        }
        std::rewind(m_file);
    }
    ~Stream() { std::fclose(m_file); }
    FILE* f() { return m_file; }
    FileKey* key() { return m_key.length ? &m_key : nullptr; }

private:
    FILE* m_file;
    FileKey m_key;
};

class BothForms : public ::testing::TestWithParam<const char*> {};

}  // namespace

INSTANTIATE_TEST_SUITE_P(TaggedFile, BothForms, ::testing::Values(nullptr, "LEVEL1.LVL"),
                         [](const auto& info) { return std::string(info.param ? "Scrambled" : "Plain"); });

TEST_P(BothForms, QuotedStringsWithEscapes)
{
    Stream s("junk \"A#34B\" \"#65#66\" \"#65x\"\n\"two\nlines #35\" \"#0300\"", GetParam());
    char buf[kValueBufferSize];
    ASSERT_EQ(ReadQuoted(s.f(), '"', '"', buf, s.key()), 3);
    EXPECT_STREQ(buf, "A\"B");
    ASSERT_EQ(ReadQuoted(s.f(), '"', '"', buf, s.key()), 2);
    EXPECT_STREQ(buf, "AB");
    ASSERT_EQ(ReadQuoted(s.f(), '"', '"', buf, s.key()), 2);
    EXPECT_STREQ(buf, "Ax");
    ASSERT_EQ(ReadQuoted(s.f(), '"', '"', buf, s.key()), 11);
    EXPECT_STREQ(buf, "two\nlines #");
    ASSERT_EQ(ReadQuoted(s.f(), '"', '"', buf, s.key()), 1) << "the escape value is taken modulo 256";
    EXPECT_EQ(static_cast<unsigned char>(buf[0]), 300 % 256);
    EXPECT_EQ(ReadQuoted(s.f(), '"', '"', buf, s.key()), -1) << "no further opening quote";
}

TEST_P(BothForms, EndOfFileInsideAStringOrEscapeFails)
{
    char buf[kValueBufferSize];
    Stream a("\"abc#", GetParam());
    EXPECT_EQ(ReadQuoted(a.f(), '"', '"', buf, a.key()), -1);
    Stream b("\"abc#12", GetParam());
    EXPECT_EQ(ReadQuoted(b.f(), '"', '"', buf, b.key()), -1);
    Stream c("\"abc", GetParam());
    EXPECT_EQ(ReadQuoted(c.f(), '"', '"', buf, c.key()), -1);
}

TEST_P(BothForms, OverlongStringsAreCutAndTheReaderStaysInStep)
{
    std::string longText(600, 'x');
    Stream s("\"" + longText + "\" \"next\"", GetParam());
    char buf[kValueBufferSize + 16];
    std::memset(buf, '!', sizeof buf);
    ASSERT_EQ(ReadQuoted(s.f(), '"', '"', buf, s.key()), kValueBufferSize - 1);
    EXPECT_EQ(buf[kValueBufferSize - 1], 0);
    EXPECT_EQ(buf[kValueBufferSize], '!') << "nothing written past the buffer";
    ASSERT_EQ(ReadQuoted(s.f(), '"', '"', buf, s.key()), 4);
    EXPECT_STREQ(buf, "next");

    Stream t(longText + " 42", GetParam());
    ASSERT_EQ(ReadToken(t.f(), buf, 0, t.key()), kValueBufferSize - 1);
    EXPECT_EQ(buf[kValueBufferSize], '!');
    ASSERT_EQ(ReadToken(t.f(), buf, 0, t.key()), 2);
    EXPECT_STREQ(buf, "42");
}

TEST_P(BothForms, TokensSkipControlBytesButNotHighBytes)
{
    Stream s("\t\r\n  12abc\n-7 \xe9t\xe9 9", GetParam());
    char buf[kValueBufferSize];
    ASSERT_EQ(ReadToken(s.f(), buf, 0, s.key()), 5);
    EXPECT_EQ(TokenToInt(buf), 12);
    ASSERT_EQ(ReadToken(s.f(), buf, 0, s.key()), 2);
    EXPECT_EQ(TokenToInt(buf), -7);
    ASSERT_EQ(ReadToken(s.f(), buf, 0, s.key()), 3);
    EXPECT_STREQ(buf, "\xe9t\xe9");
    ASSERT_EQ(ReadToken(s.f(), buf, 2, s.key()), 1);
    EXPECT_EQ(ReadToken(s.f(), buf, 0, s.key()), -1);
}

TEST_P(BothForms, ACallersMaximumStopsTheToken)
{
    Stream s("abcdef", GetParam());
    char buf[kValueBufferSize];
    ASSERT_EQ(ReadToken(s.f(), buf, 3, s.key()), 3);
    EXPECT_STREQ(buf, "abc");
    ASSERT_EQ(ReadToken(s.f(), buf, 0, s.key()), 3);
    EXPECT_STREQ(buf, "def");
}

TEST_P(BothForms, EscapeNumberHandsBackItsTerminator)
{
    Stream s("123x45", GetParam());
    int term = 0;
    EXPECT_EQ(ReadEscapeNumber(s.f(), &term, s.key()), 123);
    EXPECT_EQ(term, 'x');
    EXPECT_EQ(ReadEscapeNumber(s.f(), &term, s.key()), 45);
    EXPECT_EQ(term, EOF);
    EXPECT_EQ(ReadEscapeNumber(s.f(), &term, s.key()), 0);
}

TEST(TaggedFile, TokenConversionsOfScrambledFiles)
{
    EXPECT_EQ(TokenToInt("12abc"), 12);
    EXPECT_EQ(TokenToInt("010"), 10) << "scrambled files are always decimal";
    EXPECT_EQ(TokenToInt("+5"), 5);
    EXPECT_EQ(TokenToInt("abc"), 0);
    EXPECT_EQ(TokenToInt(""), 0);
    EXPECT_EQ(TokenToInt("99999999999"), 2147483647);
    EXPECT_FLOAT_EQ(TokenToFloat("1.5s"), 1.5f);
    EXPECT_FLOAT_EQ(TokenToFloat("-2.25e1x"), -22.5f);
    EXPECT_FLOAT_EQ(TokenToFloat("3e"), 3.0f);
    EXPECT_FLOAT_EQ(TokenToFloat(".5"), 0.5f);
    EXPECT_FLOAT_EQ(TokenToFloat("inf"), 0.0f);
    EXPECT_FLOAT_EQ(TokenToFloat("0x10"), 0.0f);
}

TEST(TaggedFile, PlainNumbersUseFormattedInput)
{
    Stream s(" 010 0x1F -3 2.5 word");
    int32_t v = -1;
    ASSERT_TRUE(ReadPlainInt(s.f(), &v));
    EXPECT_EQ(v, 8) << "a leading 0 means octal in plain files";
    ASSERT_TRUE(ReadPlainInt(s.f(), &v));
    EXPECT_EQ(v, 31);
    ASSERT_TRUE(ReadPlainInt(s.f(), &v));
    EXPECT_EQ(v, -3);
    float f = 0;
    ASSERT_TRUE(ReadPlainFloat(s.f(), &f));
    EXPECT_FLOAT_EQ(f, 2.5f);
    v = 77;
    EXPECT_FALSE(ReadPlainInt(s.f(), &v));
    EXPECT_EQ(v, 77) << "a failed conversion leaves the target unchanged";
}

TEST(TaggedFile, KeyIsTheUpperCaseFileName)
{
    char key[kValueBufferSize];
    MakeFileKey("data\\levels\\level1.lvl", key);
    EXPECT_STREQ(key, "LEVEL1.LVL");
    MakeFileKey("plain", key);
    EXPECT_STREQ(key, "PLAIN");
    EXPECT_STREQ(BaseName("a\\b\\c.img"), "c.img");
    EXPECT_STREQ(BaseName("a/b/c.img"), "c.img");
    EXPECT_STREQ(FindExtension("sfx\\a.b.ogg"), ".ogg");
    EXPECT_EQ(FindExtension("noext"), nullptr);
    EXPECT_STREQ(FindFirstDigit("level12.lvl"), "12.lvl");
    EXPECT_STREQ(FindFirstDigit("none"), "");
}

TEST(TaggedFile, ScramblingIsKeyedByNameWithoutRegardToCase)
{
    const std::string text = "\"NAME\" \"Mia\"\n\"LEVEL\" 3\n";
    FileKey w("LEVEL1.LVL");
    FILE* f = std::tmpfile();
    WriteText(f, text.c_str(), &w);
    std::rewind(f);
    std::string raw(text.size(), 0);
    ASSERT_EQ(std::fread(raw.data(), 1, raw.size(), f), raw.size());
    EXPECT_NE(raw, text);
    EXPECT_EQ(static_cast<unsigned char>(raw[0]), static_cast<unsigned char>('"' + 'L'));

    auto readAs = [&](const char* name) {
        std::rewind(f);
        FileKey r(name);
        std::string out(text.size(), 0);
        ReadBytes(out.data(), static_cast<int>(out.size()), f, &r);
        return out;
    };
    EXPECT_EQ(readAs("level1.lvl"), text);
    EXPECT_EQ(readAs("dir\\Level1.Lvl"), text);
    EXPECT_NE(readAs("level2.lvl"), text);
    std::fclose(f);
}

TEST(TaggedFile, BlocksKeepTheirLengthPlainAndRunTheKeyOn)
{
    FILE* f = std::tmpfile();
    const uint8_t fixed[] = {7, 1, 250};
    FileKey w;
    w.SetRaw(fixed, 3);
    const char first[] = "hello";
    const uint8_t second[] = {0, 255, 128, 1};
    ASSERT_EQ(WriteBlock(f, &w, first, 5), 5);
    ASSERT_EQ(WriteBlock(f, &w, second, 4), 4);
    std::rewind(f);
    uint8_t len[4];
    ASSERT_EQ(std::fread(len, 1, 4, f), 4u);
    EXPECT_EQ(len[0], 5);
    EXPECT_EQ(len[1] | len[2] | len[3], 0);
    std::rewind(f);

    FileKey r;
    r.SetRaw(fixed, 3);
    char a[8] = {};
    uint8_t b[2] = {};
    EXPECT_EQ(ReadBlock(f, &r, a, sizeof a), 5);
    EXPECT_STREQ(a, "hello");
    EXPECT_EQ(ReadBlock(f, &r, b, sizeof b), 2) << "only what fits is stored";
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(b[1], 255);
    EXPECT_EQ(ReadBlock(f, &r, b, sizeof b), 0) << "end of file";
    std::fclose(f);
}

TEST(TaggedFile, RemarksBetweenEntriesAreSkippedByTheTagSearch)
{
    Stream s("\"FR\" 2\nthis is a remark, with (punctuation)!\n\"SP\" 12.5\n");
    char tag[kValueBufferSize];
    ASSERT_EQ(ReadQuoted(s.f(), '"', '"', tag, nullptr), 2);
    int32_t frames = 0;
    ASSERT_TRUE(ReadPlainInt(s.f(), &frames));
    EXPECT_EQ(frames, 2);
    ASSERT_EQ(ReadQuoted(s.f(), '"', '"', tag, nullptr), 2);
    EXPECT_STREQ(tag, "SP");
}
