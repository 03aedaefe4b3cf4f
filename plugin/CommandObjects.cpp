#include "plugin/CommandObjects.h"

#include <maya/MArgDatabase.h>
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

namespace {

// Whether two selection items are the same DAG path, or the same node when not DAG objects.
bool sameItem(const MSelectionList& a, unsigned i, const MSelectionList& b, unsigned k)
{
    MDagPath pathA;
    MDagPath pathB;
    if (a.getDagPath(i, pathA) && b.getDagPath(k, pathB))
        return pathA == pathB;
    MObject nodeA;
    MObject nodeB;
    return a.getDependNode(i, nodeA) && b.getDependNode(k, nodeB) && nodeA == nodeB;
}

} // namespace

MString objectName(const MSelectionList& objects, unsigned index)
{
    MStringArray names;
    if (!objects.getSelectionStrings(index, names) || names.length() == 0)
        return MString();
    return names[0];
}

bool firstObjectNamedAgain(const MArgDatabase& args, const MSelectionList& objects)
{
    MStringArray named;
    if (objects.length() == 0 || !args.getObjects(named))
        return false;
    for (unsigned i = 1; i < named.length(); ++i) {
        MSelectionList one;
        if (!one.add(named[i]))
            continue;
        for (unsigned k = 0; k < one.length(); ++k) {
            if (sameItem(one, k, objects, 0))
                return true;
        }
    }
    return false;
}
