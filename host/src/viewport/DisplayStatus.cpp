#include "DisplayStatus.h"

#include <maya/MDagPath.h>
#include <maya/MGlobal.h>

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

// The path or its nearest ancestor that the list holds.
bool listedOnPath(const MSelectionList& list, const MDagPath& path, MDagPath& found)
{
    for (MDagPath p(path); p.length() > 0; p.pop()) {
        if (list.hasItem(p)) {
            found = p;
            return true;
        }
    }
    return false;
}

} // namespace

MSelectionList& hiliteList()
{
    static MSelectionList list;
    return list;
}

MSelectionList& liveList()
{
    static MSelectionList list;
    return list;
}

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
    MDagPath found;
    if (listedOnPath(liveList(), path, found)) return MHWRender::kLive;
    const bool selected = listedOnPath(active, path, found);
    if (path.isTemplated()) return selected ? MHWRender::kActiveTemplate : MHWRender::kTemplate;
    if (selected) {
        MDagPath lead;
        return leadPath(active, lead) && found == lead ? MHWRender::kLead : MHWRender::kActive;
    }
    if (listedOnPath(hiliteList(), path, found)) return MHWRender::kHilite;
    return MHWRender::kDormant;
}

} // namespace host
