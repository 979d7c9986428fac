#include "ui/LayoutFile.h"

#include "core/FileSys.h"
#include "core/TaggedFile.h"

#include <strings.h>

namespace {

// One open scrambled layout file with its running key.
class LayoutReader {
public:
    explicit LayoutReader(const char* fileName) : m_key(fileName), m_file(OpenFile(fileName, "rb")) {}
    ~LayoutReader()
    {
        if (m_file)
            std::fclose(m_file);
    }
    bool IsOpen() const { return m_file != nullptr; }

    bool Quoted(std::string* out)
    {
        char buf[kValueBufferSize];
        if (ReadQuoted(m_file, '"', '"', buf, &m_key) < 0)
            return false;
        *out = buf;
        return true;
    }
    bool Float(float* out) { return ReadTokenFloat(m_file, &m_key, out); }
    // A tag that is not ours is skipped with the token after it.
    bool SkipToken()
    {
        char buf[kValueBufferSize];
        return ReadToken(m_file, buf, 0, &m_key) >= 0;
    }
    bool Int(int32_t* out) { return ReadTokenInt(m_file, &m_key, out); }

private:
    FileKey m_key;
    FILE* m_file;
};

}  // namespace

int32_t ReadHelpFile(const char* fileName, std::vector<HelpEntry>* entries)
{
    LayoutReader in(fileName);
    if (!in.IsOpen())
        return 1;
    std::string tag;
    while (in.Quoted(&tag)) {
        HelpEntry e;
        if (!strcasecmp(tag.c_str(), "IMG"))
            e.isPicture = true;
        else if (strcasecmp(tag.c_str(), "TXT")) {
            if (!in.SkipToken())
                break;
            continue;
        }
        if (!in.Float(&e.x) || !in.Float(&e.y) || !in.Int(&e.page) || !in.Float(&e.scale) || !in.Quoted(&e.value))
            break;
        entries->push_back(std::move(e));
    }
    return 0;
}

int32_t ReadStoryFile(const char* fileName, std::vector<StoryEntry>* entries)
{
    LayoutReader in(fileName);
    if (!in.IsOpen())
        return 1;
    std::string tag;
    while (in.Quoted(&tag)) {
        StoryEntry e;
        bool ok;
        const char* t = tag.c_str();
        if (!strcasecmp(t, "BKI")) {
            e.tag = kStoryBackground;
            ok = in.Quoted(&e.name);
        } else if (!strcasecmp(t, "IMG")) {
            e.tag = kStoryPicture;
            ok = in.Quoted(&e.name) && in.Float(&e.x) && in.Float(&e.y);
        } else if (!strcasecmp(t, "TXT")) {
            e.tag = kStoryText;
            ok = in.Quoted(&e.name);
        } else if (!strcasecmp(t, "TOX")) {
            e.tag = kStoryTextX;
            ok = in.Float(&e.x);
        } else if (!strcasecmp(t, "TOY")) {
            e.tag = kStoryTextY;
            ok = in.Float(&e.y);
        } else if (!strcasecmp(t, "BTN")) {
            e.tag = kStoryButton;
            ok = in.Quoted(&e.name) && in.Quoted(&e.name2) && in.Float(&e.x) && in.Float(&e.y);
        } else {
            if (!in.SkipToken())
                break;
            continue;
        }
        if (!ok)
            break;
        entries->push_back(std::move(e));
    }
    return 0;
}
