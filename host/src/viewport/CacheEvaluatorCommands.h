#ifndef HOST_VIEWPORT_CACHEEVALUATORCOMMANDS_H
#define HOST_VIEWPORT_CACHEEVALUATORCOMMANDS_H

// MEL control of cached playback, in Maya's forms:
//   evaluator -name "cache" -enable true|false      turns cached playback on or off
//   evaluator -name "cache" -q -enable              whether it is on
//   cacheEvaluator -cacheFillMode "syncOnly"        turns it on (any of Maya's fill modes)
//   cacheEvaluator -q -cacheFillMode                "syncOnly" when on, "none" when off
//   cacheEvaluator -waitForCache SECONDS            fills the playback range now
//   cacheEvaluator -flushCache "destroy"            drops what is cached
//   cacheEvaluator -q -cachedFrames                 the cached frames

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host
{

class EvaluatorCommand : public MPxCommand
{
public:
    static void* creator() { return new EvaluatorCommand; }
    MStatus doIt(const MArgList& args) override;
};

class CacheEvaluatorCommand : public MPxCommand
{
public:
    static void* creator() { return new CacheEvaluatorCommand; }
    MStatus doIt(const MArgList& args) override;
};

void registerViewportCommands();

} // namespace host

#endif
