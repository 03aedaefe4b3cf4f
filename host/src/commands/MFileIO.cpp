#include <maya/MFileIO.h>

#include "commands/FileState.h"

namespace {

bool queryFlag(host::FileFlag flag, MStatus* ReturnStatus)
{
    if (ReturnStatus)
        *ReturnStatus = MS::kSuccess;
    return host::fileFlag(flag);
}

} // namespace

bool MFileIO::isOpeningFile(MStatus* ReturnStatus) { return queryFlag(host::FileFlag::kOpening, ReturnStatus); }
bool MFileIO::isReadingFile(MStatus* ReturnStatus) { return queryFlag(host::FileFlag::kReading, ReturnStatus); }
bool MFileIO::isImportingFile(MStatus* ReturnStatus) { return queryFlag(host::FileFlag::kImporting, ReturnStatus); }
bool MFileIO::isReferencingFile(MStatus* ReturnStatus) { return queryFlag(host::FileFlag::kReferencing, ReturnStatus); }
bool MFileIO::isNewingFile(MStatus* ReturnStatus) { return queryFlag(host::FileFlag::kNewing, ReturnStatus); }
bool MFileIO::isWritingFile(MStatus* ReturnStatus) { return queryFlag(host::FileFlag::kWriting, ReturnStatus); }
bool MFileIO::isSavingReference(MStatus* ReturnStatus) { return queryFlag(host::FileFlag::kSavingReference, ReturnStatus); }

MString MFileIO::currentFile()
{
    return host::currentFilePath();
}
