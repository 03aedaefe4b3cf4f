#ifndef MAYA_MUSERDATA_H
#define MAYA_MUSERDATA_H

#include <maya/MApiNamespace.h>

// Base class of per-object data that draw and geometry overrides hand to the renderer.
class MUserData
{
public:
    MUserData();
    MUserData(bool deleteAfterUse);
    virtual ~MUserData();

    bool deleteAfterUse();
    void setDeleteAfterUse(bool shouldDelete);

    static const char* className();

private:
    bool fDeleteAfterUse;
};

#endif
