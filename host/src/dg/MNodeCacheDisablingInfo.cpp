#include <maya/MNodeCacheDisablingInfo.h>

MNodeCacheDisablingInfo::MNodeCacheDisablingInfo() : mDisabled(false) {}

void MNodeCacheDisablingInfo::setCacheDisabled(bool disabled) { mDisabled = disabled; }
bool MNodeCacheDisablingInfo::getCacheDisabled() const { return mDisabled; }
void MNodeCacheDisablingInfo::setReason(const MString& reason) { mReason = reason; }
MString MNodeCacheDisablingInfo::getReason() const { return mReason; }
void MNodeCacheDisablingInfo::setMitigation(const MString& mitigation) { mMitigation = mitigation; }
MString MNodeCacheDisablingInfo::getMitigation() const { return mMitigation; }
