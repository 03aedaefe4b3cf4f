#ifndef MAYA_MNODECACHESETUPINFO_H
#define MAYA_MNODECACHESETUPINFO_H

// What a node asks of Cached Playback.
class MNodeCacheSetupInfo
{
public:
    enum PreferenceFlag { kWantToCacheByDefault, kLastPreference };
    enum RequirementFlag { kSimulationSupport, kLastRequirement };

    MNodeCacheSetupInfo();
    void setPreference(PreferenceFlag flag, bool value);
    bool getPreference(PreferenceFlag flag) const;
    void setRequirement(RequirementFlag flag, bool value);
    bool getRequirement(RequirementFlag flag) const;

private:
    bool mPreferences[kLastPreference];
    bool mRequirements[kLastRequirement];
};

#endif
