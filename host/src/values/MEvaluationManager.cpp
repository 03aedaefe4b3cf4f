#include <maya/MDGContext.h>
#include <maya/MEvaluationManager.h>

// The host evaluates in plain dependency-graph mode: there is no evaluation
// manager graph to build or execute.

bool MEvaluationManager::graphConstructionActive()
{
    return false;
}

bool MEvaluationManager::evaluationManagerActive(const MDGContext&)
{
    return false;
}

bool MEvaluationManager::evaluationInExecution(const MDGContext&)
{
    return false;
}
