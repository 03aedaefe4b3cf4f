#include "PlaybackCache.h"

#include "OverrideInstances.h"
#include "RendererAccess.h"

#include "dg/Node.h"
#include "dg/Object.h"
#include "dg/Registry.h"
#include "dg/Scene.h"

#include <maya/MDGContext.h>
#include <maya/MDGContextGuard.h>
#include <maya/MDagPath.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <set>

namespace host
{

namespace
{

const double kMaxFrames = 100000;

struct CacheState
{
    std::atomic<bool> enabled{false};
    std::set<double> frames;
};

CacheState& cache()
{
    static CacheState c;
    return c;
}

} // namespace

void setCachedPlayback(bool enabled)
{
    cache().enabled = enabled;
    if (!enabled) clearPlaybackCache();
}

bool cachedPlaybackEnabled()
{
    return cache().enabled;
}

void clearPlaybackCache()
{
    cache().frames.clear();
    for (auto& instance : overrideInstances()) instance->dirty = true;
}

unsigned int playbackCacheFrameCount()
{
    return static_cast<unsigned int>(cache().frames.size());
}

MStatus fillPlaybackCache(double startFrame, double endFrame, MString& error)
{
    CacheState& c = cache();
    if (!c.enabled) {
        error = "Cached playback is off.";
        return MStatus::kFailure;
    }
    if (!std::isfinite(startFrame) || !std::isfinite(endFrame) || endFrame < startFrame) {
        error = "The cache range is empty.";
        return MStatus::kInvalidParameter;
    }
    if (endFrame - startFrame + 1 > kMaxFrames) {
        error = "The cache range is too long.";
        return MStatus::kInvalidParameter;
    }
    // Overrides exist for every node that would draw, even before a first view.
    std::vector<OverrideInstance*> caching;
    for (Node* node : sceneNodes()) {
        if (!node->isDag || !node->inScene || !node->type || node->type->isTransform) continue;
        MObject object = ObjectAccess::make(node);
        MDagPath path;
        if (!MDagPath::getAPathTo(object, path)) continue;
        OverrideInstance* inst = instanceFor(node, path, true);
        if (!inst || !inst->geometry) continue;
        recordVp2(node, "supportsVP2CustomCaching");
        if (!inst->geometry->supportsVP2CustomCaching()) continue;
        if (!inst->cacheConfigured) {
            std::unique_ptr<MCacheSchema> schema(RendererAccess::newCacheSchema());
            recordVp2(node, "configCache");
            inst->geometry->configCache(RendererAccess::evaluationNode(object), *schema);
            inst->cacheConfigured = true;
        }
        caching.push_back(inst);
    }
    for (double frame = std::floor(startFrame); frame <= endFrame; frame += 1.0) {
        MDGContext context{MTime(frame)};
        MDGContextGuard guard(context);
        for (OverrideInstance* inst : caching) {
            recordVp2(inst->raw, "updateDG");
            inst->geometry->updateDG();
        }
        c.frames.insert(frame);
    }
    return MStatus::kSuccess;
}

bool playbackCacheHolds(const MTime& time, MTime& cachedTime)
{
    CacheState& c = cache();
    if (!c.enabled || c.frames.empty()) return false;
    double frame = time.as(MTime::uiUnit());
    if (c.frames.count(frame) == 0) return false;
    cachedTime = MTime(frame);
    return true;
}

} // namespace host
