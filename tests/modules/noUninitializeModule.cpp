// Has MApiVersion and initializePlugin but no uninitializePlugin: the host
// must refuse it before running any of its code.

#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>

MStatus initializePlugin(MObject)
{
    MGlobal::displayInfo("noUninitializeModule: initializePlugin ran");
    return MS::kSuccess;
}
