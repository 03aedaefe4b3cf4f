// Has both entry points but no MApiVersion: the host must refuse it.

#define MNoVersionString
#include <maya/MFnPlugin.h>

MStatus initializePlugin(MObject)
{
    return MS::kSuccess;
}

MStatus uninitializePlugin(MObject)
{
    return MS::kSuccess;
}
