#include "commands/mel/MelInterpreter.h"

#include "commands/mel/MelEvaluator.h"

namespace host {

MStatus MelInterpreter::run(const MString& script, const Options& options, MelValue* lastResult)
{
    int length = 0;
    const char* text = script.asChar(length);
    MelEvaluator evaluator(options);
    return evaluator.runScript(text, static_cast<size_t>(length), lastResult);
}

void MelInterpreter::setLoopIterationLimit(uint64_t limit)
{
    MelEvaluator::setLoopIterationLimit(limit);
}

MStatus MelInterpreter::run(const MString& script, MelValue* lastResult)
{
    return run(script, Options(), lastResult);
}

} // namespace host
