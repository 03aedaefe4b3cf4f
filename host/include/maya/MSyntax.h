#ifndef MAYA_MSYNTAX_H
#define MAYA_MSYNTAX_H

#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>

#include <memory>

namespace host { struct SyntaxData; struct SyntaxAccess; }

// Describes the flags, command arguments and objects a command accepts.
class MSyntax
{
public:
    enum MArgType {
        kInvalidArgType,
        kNoArg,
        kBoolean,
        kLong,
        kDouble,
        kString,
        kUnsigned,
        kDistance,
        kAngle,
        kTime,
        kSelectionItem,
        kLastArgType
    };

    enum MObjectFormat {
        kInvalidObjectFormat,
        kNone,
        kStringObjects,
        kSelectionList,
        kLastObjectFormat
    };

    MSyntax();
    MSyntax(const MSyntax& other);
    MSyntax& operator=(const MSyntax& other);
    ~MSyntax();

    MStatus addFlag(const char* shortName, const char* longName,
                    MArgType argType1 = kNoArg, MArgType argType2 = kNoArg,
                    MArgType argType3 = kNoArg, MArgType argType4 = kNoArg,
                    MArgType argType5 = kNoArg, MArgType argType6 = kNoArg);
    MStatus makeFlagMultiUse(const char* flagName);
    MStatus makeFlagQueryWithFullArgs(const char* flagName, bool treatAsQuery);
    MStatus addArg(MArgType arg);

    MStatus setObjectType(MObjectFormat objectFormat, unsigned int minimumObjects = 0);
    MStatus setObjectType(MObjectFormat objectFormat, unsigned int minimumObjects,
                          unsigned int maximumObjects);
    MStatus setMinObjects(unsigned int minimumObjects);
    MStatus setMaxObjects(unsigned int maximumObjects);
    void useSelectionAsDefault(bool useSelectionList);

    void enableQuery(bool supportsQuery = true);
    void enableEdit(bool supportsEdit = true);
    bool canQuery() const;
    bool canEdit() const;
    void clear();

private:
    friend struct host::SyntaxAccess;
    std::unique_ptr<host::SyntaxData> fData;
};

#endif
