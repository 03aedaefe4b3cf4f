#ifndef HOST_VIEWPORT_PLAYBACKCACHE_H
#define HOST_VIEWPORT_PLAYBACKCACHE_H

// Cached playback for geometry overrides that support custom caching: the
// cache is filled by evaluating each frame of a range in a background context
// (configCache, then updateDG at that time), and frames in the range are then
// drawn from it: populateGeometry runs in the cached frame's context.

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTime.h>

namespace host
{

void setCachedPlayback(bool enabled);
bool cachedPlaybackEnabled();

// Fills the cache for every whole frame from start to end (inclusive). Fails
// with a message when cached playback is off or the range is empty or too long.
MStatus fillPlaybackCache(double startFrame, double endFrame, MString& error);
void clearPlaybackCache();
// Whether the cache holds `time` (cached playback on and the frame filled);
// `cachedTime` is the frame's time in the cache.
bool playbackCacheHolds(const MTime& time, MTime& cachedTime);
unsigned int playbackCacheFrameCount();

} // namespace host

#endif
