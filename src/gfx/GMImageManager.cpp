#include "gfx/GMImageManager.h"

#include "gfx/GMImageSurface.h"
#include "gfx/GMImageTemplate.h"
#include "gfx/ImageResult.h"

#include "core/Log.h"

#include <cctype>
#include <new>
#include <string>
#include <strings.h>

namespace {

bool SameName(const char* a, const char* b)
{
    return a && b && ::strcasecmp(a, b) == 0;
}

const char* TemplateFailure(int32_t result)
{
    switch (result) {
    case kResultNotFound: return "file not found";
    case kResultInvalidArg: return "no frame loaded";
    case kResultOutOfMemory: return "out of memory";
    case kResultInvalidParameter: return "no display device";
    default: return "it does not read";
    }
}

}  // namespace

GMImageManager::GMImageManager()
{
    Init();
}

GMImageManager::~GMImageManager()
{
    ReleaseAll();
}

void GMImageManager::Init()
{
    m_templates.Reserve(10);
    m_surfaces.Reserve(30);
}

void GMImageManager::ReleaseAll()
{
    // Templates first: they hold references to the surfaces.
    m_templates.ReleaseItems();
    m_surfaces.ReleaseItems();
    m_templateIndex.clear();
    m_surfaceIndex.clear();
}

std::string GMImageManager::Key(const char* name)
{
    std::string key(name);
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

int32_t GMImageManager::Lookup(const NameIndex& index, const GMUnknownArray& items, const char* name)
{
    if (!name || !*name)
        return -1;
    auto found = index.find(Key(name));
    if (found == index.end())
        return -1;
    // The index follows every add and removal; the name check keeps a stale
    // entry from ever handing out another picture.
    auto* item = static_cast<GMNamedUnknown*>(items.GetItem(found->second));
    return item && SameName(item->GetName(), name) ? found->second : -1;
}

void GMImageManager::RebuildTemplateIndex()
{
    m_templateIndex.clear();
    for (int32_t i = 0; i <= m_templates.GetLastIndex(); ++i)
        if (auto* t = static_cast<GMImageTemplate*>(m_templates.GetItem(i)); t && t->GetName())
            m_templateIndex.emplace(Key(t->GetName()), i);
}

int32_t GMImageManager::FindTemplate(const char* name) const
{
    return Lookup(m_templateIndex, m_templates, name);
}

GMImageTemplate* GMImageManager::GetTemplate(int32_t index) const
{
    return static_cast<GMImageTemplate*>(m_templates.GetItem(index));
}

int32_t GMImageManager::LoadTemplate(const char* fileName, DisplayDevice* device)
{
    int32_t index = FindTemplate(fileName);
    if (index >= 0)
        return index;
    auto* t = new (std::nothrow) GMImageTemplate;
    if (!t)
        return -1;
    int32_t result = t->LoadFromFile(fileName, this, device);
    if (result != 0) {
        t->Release();
        if (fileName && *fileName) {
            std::string text = std::string("Can't load template \"") + fileName + "\": " + TemplateFailure(result);
            ReportLoadFailure("template", fileName, text.c_str());
        }
        return -1;
    }
    index = m_templates.Add(t, false);
    if (index >= 0)
        m_templateIndex[Key(fileName)] = index;
    // The array now holds the template; drop the constructor's reference.
    t->Release();
    return index;
}

int32_t GMImageManager::FindSurface(const char* name, ImageFrameInfo* info) const
{
    int32_t i = Lookup(m_surfaceIndex, m_surfaces, name);
    if (i >= 0 && info)
        static_cast<GMImageSurface*>(m_surfaces.GetItem(i))->GetFrameInfo(info);
    return i;
}

GMImageSurface* GMImageManager::GetSurface(int32_t index) const
{
    return static_cast<GMImageSurface*>(m_surfaces.GetItem(index));
}

int32_t GMImageManager::LoadSurface(const char* fileName, ImageFrameInfo* info, DisplayDevice* device)
{
    int32_t index = FindSurface(fileName, info);
    if (index >= 0)
        return index;
    auto* s = new (std::nothrow) GMImageSurface;
    if (!s)
        return -1;
    if (s->Load(fileName, info, device) != 0) {
        if (fileName && *fileName) {
            std::string text =
                std::string("Can't load picture \"") + fileName + "\": " + DescribePictureFault(s->GetLoadFault());
            ReportLoadFailure("picture", fileName, text.c_str());
        }
        s->Release();
        return -1;
    }
    if (s->GetAlphaFault() != PictureFault::None) {
        std::string text = "Can't load alpha picture \"" + s->GetAlphaName() +
                           "\": " + DescribePictureFault(s->GetAlphaFault()) + "; \"" + fileName +
                           "\" stays opaque";
        ReportLoadFailure("picture", s->GetAlphaName().c_str(), text.c_str());
    }
    index = m_surfaces.Add(s, false);
    if (index < 0)
        s->Release();
    else
        m_surfaceIndex[Key(fileName)] = index;
    return index;
}

void GMImageManager::RemoveTemplate(int32_t index)
{
    m_templates.RemoveAt(index);
    RebuildTemplateIndex();
}

void GMImageManager::RemoveTemplate(GMImageTemplate* imageTemplate)
{
    if (!imageTemplate)
        return;
    int32_t index = m_templates.IndexOf(imageTemplate);
    if (index >= 0)
        RemoveTemplate(index);
}

void GMImageManager::RestoreAll(DisplayDevice* device)
{
    for (int32_t i = 0; i <= m_surfaces.GetLastIndex(); ++i) {
        auto* s = static_cast<GMImageSurface*>(m_surfaces.GetItem(i));
        if (s && s->Restore(device) != 0 && s->GetName()) {
            std::string text = std::string("Can't reload picture \"") + s->GetName() +
                               "\": " + DescribePictureFault(s->GetLoadFault());
            ReportLoadFailure("picture", s->GetName(), text.c_str());
        }
    }
}

void GMImageManager::RestoreImages(DisplayDevice* device, void* manager)
{
    if (manager)
        static_cast<GMImageManager*>(manager)->RestoreAll(device);
}

void GMImageManager::ReportLoadFailure(const char* kind, const char* fileName, const char* text)
{
    if (m_errorLog.empty() || !kind || !fileName || !text)
        return;
    std::string key = std::string(kind) + ":" + fileName;
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!m_reported.insert(key).second)
        return;
    AppendErrorLog(m_errorLog.c_str(), text);
}
