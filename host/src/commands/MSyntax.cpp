#include <maya/MSyntax.h>

#include "commands/SyntaxData.h"

#include <cstring>

namespace host {

int SyntaxData::findFlag(const char* name) const
{
    if (!name)
        return -1;
    for (size_t i = 0; i < flags.size(); ++i)
        if (flags[i].shortName == name || flags[i].longName == name)
            return static_cast<int>(i);
    return -1;
}

} // namespace host

namespace {

bool isFlagName(const char* name)
{
    return name && name[0] == '-' && name[1] != '\0';
}

bool isValidArgType(MSyntax::MArgType type)
{
    return type > MSyntax::kNoArg && type < MSyntax::kLastArgType;
}

} // namespace

MSyntax::MSyntax() : fData(new host::SyntaxData) {}

MSyntax::MSyntax(const MSyntax& other) : fData(new host::SyntaxData(*other.fData)) {}

MSyntax& MSyntax::operator=(const MSyntax& other)
{
    if (this != &other)
        *fData = *other.fData;
    return *this;
}

MSyntax::~MSyntax() = default;

MStatus MSyntax::addFlag(const char* shortName, const char* longName, MArgType argType1, MArgType argType2,
                         MArgType argType3, MArgType argType4, MArgType argType5, MArgType argType6)
{
    if (!isFlagName(shortName) || !isFlagName(longName))
        return MS::kInvalidParameter;
    // "-q"/"-e" belong to query and edit mode; no name may be taken twice.
    for (const char* reserved : {"-q", "-query", "-e", "-edit"})
        if (std::strcmp(shortName, reserved) == 0 || std::strcmp(longName, reserved) == 0)
            return MS::kInvalidParameter;
    if (fData->findFlag(shortName) >= 0 || fData->findFlag(longName) >= 0)
        return MS::kInvalidParameter;

    host::FlagSpec flag;
    flag.shortName = shortName;
    flag.longName = longName;
    // Argument types run until the first kNoArg; a real type after it is a mistake.
    const MArgType types[] = {argType1, argType2, argType3, argType4, argType5, argType6};
    bool ended = false;
    for (MArgType type : types) {
        if (type == kNoArg) {
            ended = true;
            continue;
        }
        if (ended || !isValidArgType(type))
            return MS::kInvalidParameter;
        flag.argTypes.push_back(type);
    }
    fData->flags.push_back(flag);
    return MS::kSuccess;
}

MStatus MSyntax::makeFlagMultiUse(const char* flagName)
{
    int index = fData->findFlag(flagName);
    if (index < 0)
        return MS::kInvalidParameter;
    fData->flags[index].multiUse = true;
    return MS::kSuccess;
}

MStatus MSyntax::makeFlagQueryWithFullArgs(const char* flagName, bool treatAsQuery)
{
    int index = fData->findFlag(flagName);
    if (index < 0)
        return MS::kInvalidParameter;
    fData->flags[index].queryWithFullArgs = treatAsQuery;
    return MS::kSuccess;
}

MStatus MSyntax::addArg(MArgType arg)
{
    if (!isValidArgType(arg))
        return MS::kInvalidParameter;
    fData->commandArgs.push_back(arg);
    return MS::kSuccess;
}

MStatus MSyntax::setObjectType(MObjectFormat objectFormat, unsigned int minimumObjects)
{
    return setObjectType(objectFormat, minimumObjects, ~0u);
}

MStatus MSyntax::setObjectType(MObjectFormat objectFormat, unsigned int minimumObjects,
                               unsigned int maximumObjects)
{
    if (objectFormat <= kInvalidObjectFormat || objectFormat >= kLastObjectFormat ||
        minimumObjects > maximumObjects)
        return MS::kInvalidParameter;
    fData->objectFormat = objectFormat;
    fData->minObjects = minimumObjects;
    fData->maxObjects = maximumObjects;
    return MS::kSuccess;
}

MStatus MSyntax::setMinObjects(unsigned int minimumObjects)
{
    if (minimumObjects > fData->maxObjects)
        return MS::kInvalidParameter;
    fData->minObjects = minimumObjects;
    return MS::kSuccess;
}

MStatus MSyntax::setMaxObjects(unsigned int maximumObjects)
{
    if (maximumObjects < fData->minObjects)
        return MS::kInvalidParameter;
    fData->maxObjects = maximumObjects;
    return MS::kSuccess;
}

void MSyntax::useSelectionAsDefault(bool useSelectionList)
{
    fData->useSelectionAsDefault = useSelectionList;
}

void MSyntax::enableQuery(bool supportsQuery)
{
    fData->canQuery = supportsQuery;
}

void MSyntax::enableEdit(bool supportsEdit)
{
    fData->canEdit = supportsEdit;
}

bool MSyntax::canQuery() const
{
    return fData->canQuery;
}

bool MSyntax::canEdit() const
{
    return fData->canEdit;
}

void MSyntax::clear()
{
    *fData = host::SyntaxData();
}
