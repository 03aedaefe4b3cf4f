#ifndef MAYA_MEVALUATIONMANAGER_H
#define MAYA_MEVALUATIONMANAGER_H

#include <maya/MStatus.h>
#include <maya/MDGContext.h>

class MEvaluationManager
{
public:
    static bool graphConstructionActive();
    static bool evaluationManagerActive(const MDGContext& context = MDGContext::current(), MStatus* ReturnStatus = NULL);
    static bool evaluationInExecution(const MDGContext& context = MDGContext::current(), MStatus* ReturnStatus = NULL);
};

#endif
