#ifndef MAYA_MOBJECTHANDLE_H
#define MAYA_MOBJECTHANDLE_H

#include <maya/MObject.h>

#include <memory>

namespace host { struct LifeToken; }

// Long-lived reference to an MObject that can tell whether the object still
// exists in the model (isValid) or at least in memory (isAlive).
class MObjectHandle
{
public:
    MObjectHandle();
    MObjectHandle(const MObject& object);
    MObjectHandle(const MObjectHandle& other);
    ~MObjectHandle();
    MObjectHandle& operator=(const MObject& object);
    MObjectHandle& operator=(const MObjectHandle& other);

    MObject object() const;
    const MObject& objectRef() const;
    bool isValid() const;
    bool isAlive() const;
    unsigned int hashCode() const;
    static unsigned int objectHashCode(const MObject& object);

    bool operator==(const MObject& object) const;
    bool operator==(const MObjectHandle& other) const;
    bool operator!=(const MObject& object) const;
    bool operator!=(const MObjectHandle& other) const;

private:
    void reset(const MObject& object);
    // Weak reference: the handle does not keep the object alive.
    host::Object* mPtr;
    std::shared_ptr<host::LifeToken> mLife;
    mutable MObject mRef;  // backing store of objectRef()
};

#endif
