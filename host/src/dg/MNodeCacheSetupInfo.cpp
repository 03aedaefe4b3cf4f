#include <maya/MNodeCacheSetupInfo.h>

MNodeCacheSetupInfo::MNodeCacheSetupInfo() : mPreferences{false}, mRequirements{false} {}

void MNodeCacheSetupInfo::setPreference(PreferenceFlag flag, bool value)
{
    if (flag >= 0 && flag < kLastPreference)
        mPreferences[flag] = value;
}

bool MNodeCacheSetupInfo::getPreference(PreferenceFlag flag) const
{
    return flag >= 0 && flag < kLastPreference && mPreferences[flag];
}

void MNodeCacheSetupInfo::setRequirement(RequirementFlag flag, bool value)
{
    if (flag >= 0 && flag < kLastRequirement)
        mRequirements[flag] = value;
}

bool MNodeCacheSetupInfo::getRequirement(RequirementFlag flag) const
{
    return flag >= 0 && flag < kLastRequirement && mRequirements[flag];
}
