#include <maya/MEvaluationManager.h>

// The host evaluates in plain dependency-graph mode: there is no evaluation
// manager graph to build or execute.

bool MEvaluationManager::graphConstructionActive()
{
    return false;
}

bool MEvaluationManager::evaluationManagerActive(const MDGContext&, MStatus* ReturnStatus)
{
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return false;
}

bool MEvaluationManager::evaluationInExecution(const MDGContext&, MStatus* ReturnStatus)
{
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return false;
}
