#ifndef HOST_VIEWPORT_DISPLAYSTATUS_H
#define HOST_VIEWPORT_DISPLAYSTATUS_H

#include <maya/MHWGeometryUtilities.h>

namespace host
{

// How a DAG path draws given the active selection: kLead for the last selected
// object, kActive for other selected objects (a selected ancestor counts),
// kTemplate for templated paths, kDormant otherwise.
MHWRender::DisplayStatus displayStatusOf(const MDagPath& path, MStatus* status);

} // namespace host

#endif
