#include "DisplayStatus.h"

#include <maya/MDagPath.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

namespace host
{

namespace
{

// The last DAG path of the list: the lead object.
bool leadPath(const MSelectionList& list, MDagPath& lead)
{
    for (unsigned int i = list.length(); i > 0; --i)
        if (list.getDagPath(i - 1, lead) == MStatus::kSuccess) return true;
    return false;
}

} // namespace

MHWRender::DisplayStatus displayStatusOf(const MDagPath& path, MStatus* status)
{
    if (status) *status = MStatus::kSuccess;
    if (!path.isValid()) {
        if (status) *status = MStatus::kInvalidParameter;
        return MHWRender::kNoStatus;
    }
    MSelectionList active;
    MStatus s = MGlobal::getActiveSelectionList(active);
    if (!s) {
        if (status) *status = s;
        return MHWRender::kNoStatus;
    }
    MDagPath lead;
    bool hasLead = leadPath(active, lead);
    for (MDagPath p(path); p.length() > 0; p.pop()) {
        if (active.hasItem(p)) return hasLead && p == lead ? MHWRender::kLead : MHWRender::kActive;
    }
    return path.isTemplated() ? MHWRender::kTemplate : MHWRender::kDormant;
}

} // namespace host
