#pragma once
// ls: lists nodes by name pattern, type and the selection, in creation order.
// -dag lists the named objects with their DAG descendants (all DAG nodes
// without names); -ni leaves out intermediate objects; -uuid lists node UUIDs,
// and a UUID given as a name lists its node. A wildcard matches names in the
// namespace the pattern names ("*" the root, "ns:*" ns), or in every
// namespace with -r.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class LsCommand : public MPxCommand
{
public:
    static void* creator() { return new LsCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
