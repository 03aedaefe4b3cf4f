#pragma once
// listAttr: the attributes of nodes (or of one attribute and its children
// with "node.attr"), filtered by -ud (user-defined), -k (keyable), -m (multi),
// -s (scalar), -r/-w (readable/writable), -v (visible), -cb, -l/-u (locked),
// -c (connectable), -a (array), -lf (leaf) and -st name patterns; -sn gives short names.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class ListAttrCommand : public MPxCommand
{
public:
    static void* creator() { return new ListAttrCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
