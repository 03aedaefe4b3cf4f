#ifndef MAYA_MFILEIO_H
#define MAYA_MFILEIO_H

#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

// What the scene file machinery is doing right now.
class MFileIO
{
public:
    static bool isOpeningFile(MStatus* ReturnStatus = NULL);
    static bool isReadingFile(MStatus* ReturnStatus = NULL);
    static bool isImportingFile(MStatus* ReturnStatus = NULL);
    static bool isReferencingFile(MStatus* ReturnStatus = NULL);
    static bool isNewingFile(MStatus* ReturnStatus = NULL);
    static bool isWritingFile(MStatus* ReturnStatus = NULL);
    static bool isSavingReference(MStatus* ReturnStatus = NULL);
    static MString currentFile();
};

#endif
