#pragma once
// listHistory: the nodes upstream of an object (its construction history and
// deformer chain, depth first, the object first), or downstream with -f.
// A transform stands for its shapes (-lf, on by default); -pdo neither lists
// nor walks through DAG objects; -lv limits the depth; -il keeps nodes whose
// "isHistoricallyInteresting" is at least its value.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class ListHistoryCommand : public MPxCommand
{
public:
    static void* creator() { return new ListHistoryCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
