#include <maya/MUserData.h>

// Data made with the 2022 constructor is kept by the renderer and handed back to the override
// on its next prepare, until the override goes.
MUserData::MUserData() : fDeleteAfterUse(false) {}

MUserData::MUserData(bool deleteAfterUse) : fDeleteAfterUse(deleteAfterUse) {}

MUserData::~MUserData() = default;

bool MUserData::deleteAfterUse()
{
    return fDeleteAfterUse;
}

void MUserData::setDeleteAfterUse(bool shouldDelete)
{
    fDeleteAfterUse = shouldDelete;
}

const char* MUserData::className()
{
    return "MUserData";
}
