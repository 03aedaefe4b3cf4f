#pragma once
// Setters behind the MFileIO state queries, for the scene file machinery.

#include <maya/MString.h>

namespace host {

enum class FileFlag { kOpening, kReading, kImporting, kReferencing, kNewing, kWriting, kSavingReference };

void setFileFlag(FileFlag flag, bool state);
bool fileFlag(FileFlag flag);

inline void setOpeningFile(bool state) { setFileFlag(FileFlag::kOpening, state); }
inline void setReadingFile(bool state) { setFileFlag(FileFlag::kReading, state); }
inline void setImportingFile(bool state) { setFileFlag(FileFlag::kImporting, state); }
inline void setReferencingFile(bool state) { setFileFlag(FileFlag::kReferencing, state); }
inline void setNewingFile(bool state) { setFileFlag(FileFlag::kNewing, state); }
inline void setWritingFile(bool state) { setFileFlag(FileFlag::kWriting, state); }
inline void setSavingReference(bool state) { setFileFlag(FileFlag::kSavingReference, state); }

// The scene file name MFileIO::currentFile reports (set by open, rename, save).
void setCurrentFile(const MString& path);
const MString& currentFilePath();

// Raises a flag for the lifetime of the scope and then restores its previous
// value, so that an early return cannot leave a file "still opening".
class FileStateScope
{
public:
    explicit FileStateScope(FileFlag flag);
    ~FileStateScope();
    FileStateScope(const FileStateScope&) = delete;
    FileStateScope& operator=(const FileStateScope&) = delete;

private:
    FileFlag fFlag;
    bool fPrevious;
};

} // namespace host
