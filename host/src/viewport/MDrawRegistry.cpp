#include <maya/MDrawRegistry.h>

#include "DrawRegistryState.h"

#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <atomic>
#include <mutex>

namespace
{

using host::DrawOverrideEntry;

struct DrawRegistryTable
{
    std::mutex mutex;
    std::atomic<unsigned int> generation{0};
    std::vector<DrawOverrideEntry> entries;
};

DrawRegistryTable& table()
{
    static DrawRegistryTable t;
    return t;
}

bool hasGeometryPrefix(const MString& classification)
{
    static const char prefix[] = "drawdb/geometry";
    return classification.length() >= sizeof(prefix) - 1 &&
           classification.substring(0, static_cast<int>(sizeof(prefix)) - 2) == prefix;
}

std::vector<DrawOverrideEntry>::iterator find(std::vector<DrawOverrideEntry>& entries, DrawOverrideEntry::Kind kind,
                                              const MString& classification, const MString& registrantId)
{
    for (auto it = entries.begin(); it != entries.end(); ++it)
        if (it->kind == kind && it->classification == classification && it->registrantId == registrantId) return it;
    return entries.end();
}

const char* kindName(DrawOverrideEntry::Kind kind)
{
    return kind == DrawOverrideEntry::kDrawOverride ? "draw override" : "geometry override";
}

MStatus registerEntry(const DrawOverrideEntry& entry)
{
    if (!hasGeometryPrefix(entry.classification)) {
        MGlobal::displayError(MString("Cannot register ") + kindName(entry.kind) + " for classification \"" +
                              entry.classification + "\": it must begin with \"drawdb/geometry\".");
        return MStatus::kInvalidParameter;
    }
    if (entry.drawCreator == nullptr && entry.geometryCreator == nullptr) {
        MGlobal::displayError(MString("Cannot register ") + kindName(entry.kind) + " for \"" + entry.classification +
                              "\": no creator given.");
        return MStatus::kInvalidParameter;
    }
    DrawRegistryTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (find(t.entries, entry.kind, entry.classification, entry.registrantId) != t.entries.end()) {
        MGlobal::displayError(MString("A ") + kindName(entry.kind) + " for \"" + entry.classification +
                              "\" is already registered by \"" + entry.registrantId + "\".");
        return MStatus::kFailure;
    }
    t.entries.push_back(entry);
    ++t.generation;
    return MStatus::kSuccess;
}

MStatus deregisterEntry(DrawOverrideEntry::Kind kind, const MString& classification, const MString& registrantId)
{
    DrawRegistryTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = find(t.entries, kind, classification, registrantId);
    if (it == t.entries.end()) {
        MGlobal::displayError(MString("No ") + kindName(kind) + " for \"" + classification +
                              "\" is registered by \"" + registrantId + "\".");
        return MStatus::kNotFound;
    }
    t.entries.erase(it);
    ++t.generation;
    return MStatus::kSuccess;
}

} // namespace

namespace MHWRender
{

MStatus MDrawRegistry::registerDrawOverrideCreator(const MString& drawClassification, const MString& registrantId,
                                                   DrawOverrideCreator creator)
{
    return registerEntry(
        {DrawOverrideEntry::kDrawOverride, drawClassification, registrantId, creator, nullptr});
}

MStatus MDrawRegistry::deregisterDrawOverrideCreator(const MString& drawClassification, const MString& registrantId)
{
    return deregisterEntry(DrawOverrideEntry::kDrawOverride, drawClassification, registrantId);
}

MStatus MDrawRegistry::registerGeometryOverrideCreator(const MString& drawClassification,
                                                       const MString& registrantId, GeometryOverrideCreator creator)
{
    return registerEntry(
        {DrawOverrideEntry::kGeometryOverride, drawClassification, registrantId, nullptr, creator});
}

MStatus MDrawRegistry::deregisterGeometryOverrideCreator(const MString& drawClassification,
                                                         const MString& registrantId)
{
    return deregisterEntry(DrawOverrideEntry::kGeometryOverride, drawClassification, registrantId);
}

} // namespace MHWRender

namespace host
{

std::vector<DrawOverrideEntry> drawRegistryEntries()
{
    DrawRegistryTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    return t.entries;
}

bool findDrawOverrideFor(const MString& nodeClassification, DrawOverrideEntry& found)
{
    MStringArray parts;
    nodeClassification.split(':', parts);
    DrawRegistryTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    for (unsigned int i = 0; i < parts.length(); ++i)
        for (const DrawOverrideEntry& entry : t.entries)
            if (entry.classification == parts[i]) {
                found = entry;
                return true;
            }
    return false;
}

void clearDrawRegistry()
{
    DrawRegistryTable& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    t.entries.clear();
    ++t.generation;
}

unsigned int drawRegistryGeneration()
{
    return table().generation.load();
}

} // namespace host
