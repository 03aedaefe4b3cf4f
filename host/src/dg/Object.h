#pragma once
// Everything an MObject can refer to (nodes, attributes, data, components)
// derives from host::Object: an intrusive, atomically reference-counted base
// with the MFn type that answers MObject::apiType/hasFn.

#include <maya/MFn.h>
#include <maya/MObject.h>

#include <atomic>
#include <memory>

namespace host {

// Shared with MObjectHandles, which outlive the object they watch.
struct LifeToken
{
    bool alive = true;
};

class Object
{
public:
    // Coarse kind, so that hot paths can downcast without dynamic_cast.
    enum class Kind { Node, Attribute, Data, Component, Other };

    Object(Kind kind, MFn::Type type) : mKind(kind), mType(type) {}
    virtual ~Object()
    {
        if (mLife)
            mLife->alive = false;
    }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    Kind kind() const { return mKind; }
    MFn::Type apiType() const { return mType; }
    virtual bool hasFn(MFn::Type type) const;

    void ref() { mRefs.fetch_add(1, std::memory_order_relaxed); }
    void unref()
    {
        if (mRefs.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }
    int refCount() const { return mRefs.load(std::memory_order_relaxed); }
    const std::shared_ptr<LifeToken>& lifeToken()
    {
        if (!mLife)
            mLife = std::make_shared<LifeToken>();
        return mLife;
    }
    // Whether the object is part of the model (nodes: in the scene).
    virtual bool isValidInModel() const { return true; }

protected:
    void setApiType(MFn::Type type) { mType = type; }

private:
    Kind mKind;
    MFn::Type mType;
    std::atomic<int> mRefs{0};
    std::shared_ptr<LifeToken> mLife;
};

// Whether objects of type `type` are compatible with function sets of `base`.
bool fnIsA(MFn::Type type, MFn::Type base);
const char* fnTypeName(MFn::Type type);

// The only way in and out of MObject's private pointer.
struct ObjectAccess
{
    static Object* get(const MObject& object) { return object.mPtr; }
    static MObject make(Object* object) { return MObject(object); }
};

// Downcast by kind: null when the object is absent or of another kind.
template <class T>
T* objectAs(const MObject& object)
{
    Object* o = ObjectAccess::get(object);
    return (o && o->kind() == T::kKind) ? static_cast<T*>(o) : nullptr;
}

} // namespace host
