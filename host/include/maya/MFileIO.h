#ifndef MAYA_MFILEIO_H
#define MAYA_MFILEIO_H

#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

// What the scene file machinery is doing right now.
class MFileIO
{
public:
    static bool isOpeningFile();
    static bool isReadingFile();
    static bool isImportingFile();
    static bool isReferencingFile();
    static bool isNewingFile();
    static bool isWritingFile();
    static bool isSavingReference();
    static MString currentFile();
};

#endif
