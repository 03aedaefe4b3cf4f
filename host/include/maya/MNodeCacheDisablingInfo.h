#ifndef MAYA_MNODECACHEDISABLINGINFO_H
#define MAYA_MNODECACHEDISABLINGINFO_H

#include <maya/MString.h>

// Lets a node refuse Cached Playback, with a reason.
class MNodeCacheDisablingInfo
{
public:
    MNodeCacheDisablingInfo();
    void setCacheDisabled(bool disabled);
    bool getCacheDisabled() const;
    void setReason(const MString& reason);
    MString getReason() const;
    void setMitigation(const MString& mitigation);
    MString getMitigation() const;

private:
    bool mDisabled;
    MString mReason;
    MString mMitigation;
};

#endif
