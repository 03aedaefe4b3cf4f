#include "commands/FileState.h"

namespace host {

namespace {

constexpr int kFlagCount = static_cast<int>(FileFlag::kSavingReference) + 1;
bool gFlags[kFlagCount] = {};

MString& currentFileName()
{
    static MString name;
    return name;
}

} // namespace

void setFileFlag(FileFlag flag, bool state)
{
    gFlags[static_cast<int>(flag)] = state;
}

bool fileFlag(FileFlag flag)
{
    return gFlags[static_cast<int>(flag)];
}

void setCurrentFile(const MString& path)
{
    currentFileName() = path;
}

FileStateScope::FileStateScope(FileFlag flag) : fFlag(flag), fPrevious(fileFlag(flag))
{
    setFileFlag(flag, true);
}

FileStateScope::~FileStateScope()
{
    setFileFlag(fFlag, fPrevious);
}

const MString& currentFilePath()
{
    return currentFileName();
}

} // namespace host
