#ifndef MAYA_MEVALUATIONMANAGER_H
#define MAYA_MEVALUATIONMANAGER_H

#include <maya/MStatus.h>

class MDGContext;

class MEvaluationManager
{
public:
    static bool graphConstructionActive();
    static bool evaluationManagerActive(const MDGContext& context);
    static bool evaluationInExecution(const MDGContext& context);
};

#endif
