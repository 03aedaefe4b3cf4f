#pragma once
// attributeQuery: facts about one attribute of a node (-n) or of a node type
// (-typ): -ex (exists), -at (type), -nn/-ln/-sn (names), -min/-max and
// -smn/-smx with -mi/-mxe/-sme/-sxe (limits), -le (enum fields), -k, -h, -m,
// -r, -w, -s, -c, -uac (flags), -lc/-lp/-nc (children and parent).

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class AttributeQueryCommand : public MPxCommand
{
public:
    static void* creator() { return new AttributeQueryCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
