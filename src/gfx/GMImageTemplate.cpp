#include "gfx/GMImageTemplate.h"

#include "gfx/GMImageManager.h"
#include "gfx/GMImageSurface.h"
#include "gfx/ImageResult.h"
#include "platform/DisplayDevice.h"

#include "core/FileSys.h"
#include "core/TaggedFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <strings.h>

namespace {

bool TagIs(const char* tag, const char* name)
{
    return ::strcasecmp(tag, name) == 0;
}

float Max(float a, float b)
{
    return a > b ? a : b;
}

constexpr int32_t kFirstFrameSlots = 16;

}  // namespace

GMImageTemplate::GMImageTemplate()
{
    m_type = kTypeImageTemplate;
    Reset();
    AddRef();
}

GMImageTemplate::~GMImageTemplate()
{
    FreeFrames();
}

void GMImageTemplate::Reset()
{
    m_surfaces = nullptr;
    m_frames = nullptr;
    m_frameCount = 0;
    m_frameCapacity = 0;
    m_speed = kDefaultSpeed;
    m_height = 0.0f;
    m_width = 0.0f;
    m_loopStart = 0;
    m_additive = false;
}

void GMImageTemplate::FreeFrames()
{
    if (m_surfaces) {
        // Slots past a shortened frameCount were never filled.
        for (int32_t i = 0; i < m_frameCount; ++i)
            SafeRelease(m_surfaces[i]);
    }
    std::free(m_surfaces);
    std::free(m_frames);
    m_surfaces = nullptr;
    m_frames = nullptr;
    m_frameCount = 0;
    m_frameCapacity = 0;
}

void GMImageTemplate::Clear()
{
    FreeFrames();
    Reset();
    GMNamedUnknown::Clear();
}

int32_t GMImageTemplate::AllocateFrames(int32_t capacity)
{
    FreeFrames();
    return GrowFrames(capacity);
}

// Both arrays to `capacity` slots, the new ones zeroed; on failure the arrays
// stay as they were.
int32_t GMImageTemplate::GrowFrames(int32_t capacity)
{
    if (capacity <= m_frameCapacity)
        return 0;
    size_t n = static_cast<size_t>(capacity), old = static_cast<size_t>(m_frameCapacity);
    auto* surfaces = static_cast<GMImageSurface**>(std::realloc(m_surfaces, n * sizeof(GMImageSurface*)));
    if (!surfaces)
        return kResultOutOfMemory;
    m_surfaces = surfaces;
    auto* frames = static_cast<ImageFrameInfo*>(std::realloc(m_frames, n * sizeof(ImageFrameInfo)));
    if (!frames)
        return kResultOutOfMemory;
    m_frames = frames;
    for (size_t i = old; i < n; ++i) {
        m_surfaces[i] = nullptr;
        m_frames[i] = ImageFrameInfo{};
    }
    m_frameCapacity = capacity;
    return 0;
}

int32_t GMImageTemplate::ClampIndex(int32_t index) const
{
    if (index >= m_frameCount)
        index = m_frameCount - 1;
    if (index < 0)
        index = 0;
    return index;
}

GMImageSurface* GMImageTemplate::GetFrameSurface(int32_t index) const
{
    if (m_frameCount <= 0 || !m_surfaces)
        return nullptr;
    return m_surfaces[ClampIndex(index)];
}

Texture* GMImageTemplate::GetFrameTexture(int32_t index, int32_t* clampedIndex) const
{
    int32_t i = ClampIndex(index);
    if (clampedIndex)
        *clampedIndex = i;
    GMImageSurface* s = GetFrameSurface(i);
    return s ? s->GetTexture() : nullptr;
}

ImageFrameInfo* GMImageTemplate::GetFrameInfo(int32_t index)
{
    int32_t i = ClampIndex(index);
    return GetFrameSurface(i) ? &m_frames[i] : nullptr;
}

const ImageFrameInfo* GMImageTemplate::GetFrameInfo(int32_t index) const
{
    int32_t i = ClampIndex(index);
    return GetFrameSurface(i) ? &m_frames[i] : nullptr;
}

int32_t GMImageTemplate::LoadFromFile(const char* fileName, GMImageManager* manager, DisplayDevice* device)
{
    if (!fileName || !*fileName || !device || !manager)
        return kResultInvalidParameter;
    Clear();
    if (SetName(fileName) <= 0) {
        Clear();
        return kResultOutOfMemory;
    }
    FILE* f = OpenFile(fileName, "rb");
    if (!f) {
        Clear();
        return kResultNotFound;
    }

    float imw = 0.0f, imh = 0.0f, imx = 0.0f, imy = 0.0f, six = 0.0f, siy = 0.0f;
    bool hasImx = false, hasImy = false, hasSix = false, hasSiy = false;
    float maxTexW = 0.0f, maxTexH = 0.0f;
    char sizeFile[kValueBufferSize] = {};
    char tag[kValueBufferSize];

    bool reading = true;
    while (reading && ReadQuoted(f, '"', '"', tag, nullptr) >= 0) {
        if (TagIs(tag, "FR")) {
            int32_t count = 0;
            if (!ReadPlainInt(f, &count))
                break;
            if (count < 1)
                count = 1;
            // The count is the file's word only: the arrays start small and grow
            // with the names actually read.
            if (AllocateFrames(count < kFirstFrameSlots ? count : kFirstFrameSlots) != 0) {
                std::fclose(f);
                Clear();
                return kResultOutOfMemory;
            }
            for (int32_t i = 0; i < count; ++i) {
                char name[kValueBufferSize];
                bool named = ReadQuoted(f, '"', '"', name, nullptr) >= 0;
                if (named && i == m_frameCapacity &&
                    GrowFrames(i <= count / 2 ? 2 * i : count) != 0) {
                    std::fclose(f);
                    Clear();
                    return kResultOutOfMemory;
                }
                GMImageSurface* surface =
                    named ? manager->GetSurface(manager->LoadSurface(name, &m_frames[i], device)) : nullptr;
                if (!surface) {
                    // A missing name or picture shortens the template to the frames before it.
                    ReportFrameFailure(manager, i, named ? name : nullptr);
                    reading = false;
                    break;
                }
                surface->AddRef();
                m_surfaces[i] = surface;
                m_frameCount = i + 1;
                maxTexW = Max(maxTexW, m_frames[i].textureWidth);
                maxTexH = Max(maxTexH, m_frames[i].textureHeight);
                if (!(imh > 0.0f))
                    m_height = Max(m_height, m_frames[i].textureHeight);
                if (!(imw > 0.0f))
                    m_width = Max(m_width, m_frames[i].textureWidth);
            }
        } else if (TagIs(tag, "SP")) {
            float fps;
            if (!ReadPlainFloat(f, &fps))
                break;
            m_speed = (fps < 0.0f ? -fps : fps) / 1000.0f;
        } else if (TagIs(tag, "FF")) {
            int32_t first;
            if (!ReadPlainInt(f, &first))
                break;
            SetLoopStart(first);
        } else if (TagIs(tag, "IMW")) {
            if (!ReadPlainFloat(f, &imw))
                break;
            if (imw > 0.0f)
                m_width = imw;
        } else if (TagIs(tag, "IMH")) {
            if (!ReadPlainFloat(f, &imh))
                break;
            if (imh > 0.0f)
                m_height = imh;
        } else if (TagIs(tag, "IMX")) {
            if (!ReadPlainFloat(f, &imx))
                break;
            hasImx = true;
        } else if (TagIs(tag, "IMY")) {
            if (!ReadPlainFloat(f, &imy))
                break;
            hasImy = true;
        } else if (TagIs(tag, "SIX")) {
            if (!ReadPlainFloat(f, &six))
                break;
            hasSix = true;
        } else if (TagIs(tag, "SIY")) {
            if (!ReadPlainFloat(f, &siy))
                break;
            hasSiy = true;
        } else if (TagIs(tag, "IMF")) {
            if (ReadQuoted(f, '"', '"', sizeFile, nullptr) < 0)
                break;
        } else if (TagIs(tag, "INT")) {
            m_additive = true;
        }
    }
    std::fclose(f);

    if (m_frameCount <= 0) {
        Clear();
        return kResultInvalidArg;
    }

    if (imw > 0.0f || imh > 0.0f || hasImx || hasImy || hasSix || hasSiy) {
        for (int32_t i = 0; i < m_frameCount; ++i) {
            if (!m_surfaces[i])
                continue;
            ImageFrameInfo& fi = m_frames[i];
            if (imw > 0.0f)
                fi.imageWidth = imw;
            if (imh > 0.0f)
                fi.imageHeight = imh;
            if (hasImx)
                fi.offsetX = imx;
            if (hasImy)
                fi.offsetY = imy;
            if (hasSix)
                fi.extraX = six;
            if (hasSiy)
                fi.extraY = siy;
        }
    }

    if (sizeFile[0])
        ReadFrameSizeFile(sizeFile, imw, imh, maxTexW, maxTexH);
    return 0;
}

void GMImageTemplate::ReportFrameFailure(GMImageManager* manager, int32_t index, const char* pictureName) const
{
    const char* name = GetName() ? GetName() : "";
    std::string text = "Can't load frame " + std::to_string(index) + " of template \"" + name + "\": ";
    if (pictureName)
        text += std::string("picture \"") + pictureName + "\" did not load";
    else
        text += "the file names no picture for it";
    manager->ReportLoadFailure("frame", name, text.c_str());
}

void GMImageTemplate::ReadFrameSizeFile(const char* path, float imw, float imh, float maxTexW, float maxTexH)
{
    FILE* f = OpenFile(path, "rb");
    if (!f)
        return;
    m_width = 0.0f;
    m_height = 0.0f;
    char tag[kValueBufferSize];
    while (ReadQuoted(f, '"', '"', tag, nullptr) >= 0) {
        int index = 0;
        float value = 0.0f;
        if (std::fscanf(f, "%i %f", &index, &value) != 2)
            break;
        if (index < 0 || index >= m_frameCount || !m_surfaces[index])
            continue;
        ImageFrameInfo& fi = m_frames[index];
        if (TagIs(tag, "IMW")) {
            if (value > 0.0f) {
                fi.imageWidth = value;
                m_width = Max(m_width, value);
            }
        } else if (TagIs(tag, "IMH")) {
            if (value > 0.0f) {
                fi.imageHeight = value;
                m_height = Max(m_height, value);
            }
        } else if (TagIs(tag, "IMX")) {
            fi.offsetX = value;
        } else if (TagIs(tag, "IMY")) {
            fi.offsetY = value;
        } else if (TagIs(tag, "SIX")) {
            fi.extraX = value;
        } else if (TagIs(tag, "SIY")) {
            fi.extraY = value;
        }
    }
    if (!(m_height > 0.0f))
        m_height = imh > 0.0f ? imh : maxTexH;
    if (!(m_width > 0.0f))
        m_width = imw > 0.0f ? imw : maxTexW;
    std::fclose(f);
}

void GMImageTemplate::DrawQuad(Texture* texture, const TLVertex* vertices, DisplayDevice* device) const
{
    if (!device)
        return;
    device->SetTexture(0, texture);
    if (!m_additive) {
        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kTLVertexFormat, vertices, 4, 0);
        return;
    }
    uint32_t oldBlend = 0;
    bool known = !DisplayFailed(device->GetRenderState(D3DRENDERSTATE_DESTBLEND, &oldBlend));
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kTLVertexFormat, vertices, 4, 0);
    if (known)
        device->SetRenderState(D3DRENDERSTATE_DESTBLEND, oldBlend);
}
