#include <maya/MFileIO.h>

#include "commands/FileState.h"

namespace {

bool queryFlag(host::FileFlag flag, MStatus* ReturnStatus = nullptr)
{
    if (ReturnStatus)
        *ReturnStatus = MS::kSuccess;
    return host::fileFlag(flag);
}

} // namespace

bool MFileIO::isOpeningFile() { return queryFlag(host::FileFlag::kOpening); }
bool MFileIO::isReadingFile() { return queryFlag(host::FileFlag::kReading); }
bool MFileIO::isImportingFile() { return queryFlag(host::FileFlag::kImporting); }
bool MFileIO::isReferencingFile() { return queryFlag(host::FileFlag::kReferencing); }
bool MFileIO::isNewingFile() { return queryFlag(host::FileFlag::kNewing); }
bool MFileIO::isWritingFile() { return queryFlag(host::FileFlag::kWriting); }
bool MFileIO::isSavingReference() { return queryFlag(host::FileFlag::kSavingReference, nullptr); }

MString MFileIO::currentFile()
{
    return host::currentFilePath();
}
