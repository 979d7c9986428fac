#pragma once
#include "core/CGameArray.h"

#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>

class DisplayDevice;
class GMImageSurface;
class GMImageTemplate;
struct ImageFrameInfo;

// The program's one cache of templates and picture surfaces, keyed by file
// name without regard to case, so each file is read once and shared. A day
// names hundreds of files: they are found through a hashed index of the
// lower-case names, not by comparing each.
class GMImageManager {
public:
    GMImageManager();
    virtual ~GMImageManager();
    GMImageManager(const GMImageManager&) = delete;
    GMImageManager& operator=(const GMImageManager&) = delete;

    virtual void Init();
    virtual void ReleaseAll();

    // Index of the (possibly just loaded) template, or -1.
    int32_t LoadTemplate(const char* fileName, DisplayDevice* device);
    int32_t FindTemplate(const char* name) const;
    GMImageTemplate* GetTemplate(int32_t index) const;

    // Index of the (possibly just loaded) surface, or -1; info receives the
    // load's size record (for a cached surface: its texture size).
    int32_t LoadSurface(const char* fileName, ImageFrameInfo* info, DisplayDevice* device);
    int32_t FindSurface(const char* name, ImageFrameInfo* info) const;
    GMImageSurface* GetSurface(int32_t index) const;

    void RemoveTemplate(int32_t index);
    void RemoveTemplate(GMImageTemplate* imageTemplate);

    // Refills every surface after the display device lost its textures.
    void RestoreAll(DisplayDevice* device);
    // The same in the shape of the display's restore hook
    // (SetRestoreImagesHandler(&GMImageManager::RestoreImages, &manager)).
    static void RestoreImages(DisplayDevice* device, void* manager);

    // Where pictures, templates and template frames that fail to load are
    // named, once per file ("..\\Error.log" beside the data directory);
    // null or empty logs nothing.
    void SetErrorLogPath(const char* path) { m_errorLog = path ? path : ""; }
    // Writes text to the error log unless a failure of this kind ("picture",
    // "frame", "template") was logged for this file already.
    void ReportLoadFailure(const char* kind, const char* fileName, const char* text);

    int32_t GetTemplateCount() const { return m_templates.GetCount(); }
    int32_t GetSurfaceCount() const { return m_surfaces.GetCount(); }

private:
    using NameIndex = std::unordered_map<std::string, int32_t>;
    static std::string Key(const char* name);
    static int32_t Lookup(const NameIndex& index, const GMUnknownArray& items, const char* name);
    void RebuildTemplateIndex();

    GMUnknownArray m_templates;
    GMUnknownArray m_surfaces;
    NameIndex m_templateIndex;
    NameIndex m_surfaceIndex;
    std::string m_errorLog = "..\\Error.log";
    std::set<std::string> m_reported;  // kind and file name, lower case
};
