#ifndef HOST_VIEWPORT_DISPLAYSTATUS_H
#define HOST_VIEWPORT_DISPLAYSTATUS_H

#include <maya/MDagPath.h>
#include <maya/MHWGeometryUtilities.h>
#include <maya/MSelectionList.h>

namespace host
{

// How a DAG path draws given the selection, the hilite list and the live
// object, checked in this order (a selected or hilited ancestor counts):
// kLive for the live object; for templated paths (template flag or a
// template drawing override, own, inherited or from a display layer)
// kActiveTemplate when selected, else kTemplate; kLead for the last selected
// object, kActive for other selected objects; kHilite for hilited objects;
// kDormant otherwise.
MHWRender::DisplayStatus displayStatusOf(const MDagPath& path, MStatus* status);

// The objects `hilite` has hilited and the one `makeLive` made live.
MSelectionList& hiliteList();
MSelectionList& liveList();

} // namespace host

#endif
