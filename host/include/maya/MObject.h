#ifndef MAYA_MOBJECT_H
#define MAYA_MOBJECT_H

#include <maya/MFn.h>
#include <maya/MTypes.h>

namespace host { class Object; struct ObjectAccess; }

// Reference-counted opaque handle to a node, attribute, data or component.
class MObject
{
public:
    MObject();
    MObject(const MObject& other);
    MObject(MObject&& other) noexcept;
    ~MObject();
    MObject& operator=(const MObject& other);
    MObject& operator=(MObject&& other) noexcept;

    bool hasFn(MFn::Type fs) const;
    bool isNull() const;
    MFn::Type apiType() const;
    const char* apiTypeStr() const;

    bool operator==(const MObject& other) const { return mPtr == other.mPtr; }
    bool operator!=(const MObject& other) const { return mPtr != other.mPtr; }

    static MObject kNullObj;

private:
    friend struct host::ObjectAccess;
    explicit MObject(host::Object* ptr);
    host::Object* mPtr;
};

#endif
