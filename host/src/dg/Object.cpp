#include "dg/Object.h"

#include <maya/MObjectHandle.h>

namespace host {

namespace {

struct FnInfo
{
    MFn::Type type;
    MFn::Type parent;
    const char* name;
};

// Function-set inheritance: an object answers hasFn for its type and every
// ancestor listed here.
const FnInfo kFnTable[] = {
    {MFn::kInvalid, MFn::kInvalid, "kInvalid"},
    {MFn::kBase, MFn::kInvalid, "kBase"},
    {MFn::kNamedObject, MFn::kBase, "kNamedObject"},
    {MFn::kDependencyNode, MFn::kNamedObject, "kDependencyNode"},
    {MFn::kDagNode, MFn::kDependencyNode, "kDagNode"},
    {MFn::kTransform, MFn::kDagNode, "kTransform"},
    {MFn::kPluginTransformNode, MFn::kTransform, "kPluginTransformNode"},
    {MFn::kJoint, MFn::kTransform, "kJoint"},
    {MFn::kShape, MFn::kDagNode, "kShape"},
    {MFn::kGeometric, MFn::kShape, "kGeometric"},
    {MFn::kSurface, MFn::kGeometric, "kSurface"},
    {MFn::kCurve, MFn::kGeometric, "kCurve"},
    {MFn::kMesh, MFn::kSurface, "kMesh"},
    {MFn::kNurbsCurve, MFn::kCurve, "kNurbsCurve"},
    {MFn::kNurbsSurface, MFn::kSurface, "kNurbsSurface"},
    {MFn::kLocator, MFn::kShape, "kLocator"},
    {MFn::kPluginLocatorNode, MFn::kLocator, "kPluginLocatorNode"},
    {MFn::kPluginShape, MFn::kShape, "kPluginShape"},
    {MFn::kPluginDependNode, MFn::kDependencyNode, "kPluginDependNode"},
    {MFn::kPluginDeformerNode, MFn::kWeightGeometryFilt, "kPluginDeformerNode"},
    {MFn::kPluginGeometryFilter, MFn::kGeometryFilt, "kPluginGeometryFilter"},
    {MFn::kGeometryFilt, MFn::kDependencyNode, "kGeometryFilt"},
    {MFn::kWeightGeometryFilt, MFn::kGeometryFilt, "kWeightGeometryFilt"},
    {MFn::kSkinClusterFilter, MFn::kGeometryFilt, "kSkinClusterFilter"},
    {MFn::kBlend, MFn::kGeometryFilt, "kBlend"},
    {MFn::kSet, MFn::kDependencyNode, "kSet"},
    {MFn::kCamera, MFn::kShape, "kCamera"},
    {MFn::kTime, MFn::kDependencyNode, "kTime"},
    {MFn::kUnknown, MFn::kDependencyNode, "kUnknown"},
    {MFn::kWorld, MFn::kDagNode, "kWorld"},
    {MFn::kAttribute, MFn::kBase, "kAttribute"},
    {MFn::kNumericAttribute, MFn::kAttribute, "kNumericAttribute"},
    {MFn::kCompoundAttribute, MFn::kAttribute, "kCompoundAttribute"},
    {MFn::kAttribute2Double, MFn::kCompoundAttribute, "kAttribute2Double"},
    {MFn::kAttribute2Float, MFn::kCompoundAttribute, "kAttribute2Float"},
    {MFn::kAttribute2Int, MFn::kCompoundAttribute, "kAttribute2Int"},
    {MFn::kAttribute2Short, MFn::kCompoundAttribute, "kAttribute2Short"},
    {MFn::kAttribute3Double, MFn::kCompoundAttribute, "kAttribute3Double"},
    {MFn::kAttribute3Float, MFn::kCompoundAttribute, "kAttribute3Float"},
    {MFn::kAttribute3Int, MFn::kCompoundAttribute, "kAttribute3Int"},
    {MFn::kAttribute3Short, MFn::kCompoundAttribute, "kAttribute3Short"},
    {MFn::kAttribute4Double, MFn::kCompoundAttribute, "kAttribute4Double"},
    {MFn::kTypedAttribute, MFn::kAttribute, "kTypedAttribute"},
    {MFn::kMatrixAttribute, MFn::kAttribute, "kMatrixAttribute"},
    {MFn::kFloatMatrixAttribute, MFn::kMatrixAttribute, "kFloatMatrixAttribute"},
    {MFn::kEnumAttribute, MFn::kNumericAttribute, "kEnumAttribute"},
    {MFn::kMessageAttribute, MFn::kAttribute, "kMessageAttribute"},
    {MFn::kGenericAttribute, MFn::kAttribute, "kGenericAttribute"},
    {MFn::kUnitAttribute, MFn::kAttribute, "kUnitAttribute"},
    {MFn::kDoubleAngleAttribute, MFn::kUnitAttribute, "kDoubleAngleAttribute"},
    {MFn::kDoubleLinearAttribute, MFn::kUnitAttribute, "kDoubleLinearAttribute"},
    {MFn::kTimeAttribute, MFn::kUnitAttribute, "kTimeAttribute"},
    {MFn::kLightDataAttribute, MFn::kAttribute, "kLightDataAttribute"},
    {MFn::kData, MFn::kBase, "kData"},
    {MFn::kNumericData, MFn::kData, "kNumericData"},
    {MFn::kStringData, MFn::kData, "kStringData"},
    {MFn::kMatrixData, MFn::kData, "kMatrixData"},
    {MFn::kIntArrayData, MFn::kData, "kIntArrayData"},
    {MFn::kDoubleArrayData, MFn::kData, "kDoubleArrayData"},
    {MFn::kFloatArrayData, MFn::kData, "kFloatArrayData"},
    {MFn::kStringArrayData, MFn::kData, "kStringArrayData"},
    {MFn::kPointArrayData, MFn::kData, "kPointArrayData"},
    {MFn::kVectorArrayData, MFn::kData, "kVectorArrayData"},
    {MFn::kMatrixArrayData, MFn::kData, "kMatrixArrayData"},
    {MFn::kComponentListData, MFn::kData, "kComponentListData"},
    {MFn::kGeometryData, MFn::kData, "kGeometryData"},
    {MFn::kMeshData, MFn::kGeometryData, "kMeshData"},
    {MFn::kNurbsCurveData, MFn::kGeometryData, "kNurbsCurveData"},
    {MFn::kNurbsSurfaceData, MFn::kGeometryData, "kNurbsSurfaceData"},
    {MFn::kPluginData, MFn::kData, "kPluginData"},
    {MFn::kPluginGeometryData, MFn::kGeometryData, "kPluginGeometryData"},
    {MFn::kComponent, MFn::kBase, "kComponent"},
    {MFn::kSingleIndexedComponent, MFn::kComponent, "kSingleIndexedComponent"},
    {MFn::kDoubleIndexedComponent, MFn::kComponent, "kDoubleIndexedComponent"},
    {MFn::kMeshVertComponent, MFn::kSingleIndexedComponent, "kMeshVertComponent"},
    {MFn::kMeshEdgeComponent, MFn::kSingleIndexedComponent, "kMeshEdgeComponent"},
    {MFn::kMeshPolygonComponent, MFn::kSingleIndexedComponent, "kMeshPolygonComponent"},
    {MFn::kMeshVtxFaceComponent, MFn::kDoubleIndexedComponent, "kMeshVtxFaceComponent"},
    {MFn::kMeshMapComponent, MFn::kSingleIndexedComponent, "kMeshMapComponent"},
    {MFn::kCurveCVComponent, MFn::kSingleIndexedComponent, "kCurveCVComponent"},
    {MFn::kCurveEPComponent, MFn::kSingleIndexedComponent, "kCurveEPComponent"},
    {MFn::kPlugin, MFn::kBase, "kPlugin"},
};

struct FnTable
{
    MFn::Type parent[MFn::kLast + 1];
    const char* name[MFn::kLast + 1];
    FnTable()
    {
        for (int i = 0; i <= MFn::kLast; ++i) {
            parent[i] = MFn::kInvalid;
            name[i] = "kInvalid";
        }
        for (const FnInfo& info : kFnTable) {
            parent[info.type] = info.parent;
            name[info.type] = info.name;
        }
    }
};

const FnTable& fnTable()
{
    static const FnTable table;
    return table;
}

} // namespace

bool fnIsA(MFn::Type type, MFn::Type base)
{
    if (base == MFn::kInvalid || type == MFn::kInvalid)
        return false;
    if (type < 0 || type > MFn::kLast)
        return false;
    const FnTable& table = fnTable();
    for (MFn::Type t = type; t != MFn::kInvalid; t = table.parent[t])
        if (t == base)
            return true;
    return false;
}

const char* fnTypeName(MFn::Type type)
{
    if (type < 0 || type > MFn::kLast)
        return "kInvalid";
    return fnTable().name[type];
}

bool Object::hasFn(MFn::Type type) const
{
    return fnIsA(mType, type);
}

} // namespace host

// ---------------------------------------------------------------------------
// MObject

MObject MObject::kNullObj;

MObject::MObject() : mPtr(nullptr) {}

MObject::MObject(host::Object* ptr) : mPtr(ptr)
{
    if (mPtr)
        mPtr->ref();
}

MObject::MObject(const MObject& other) : mPtr(other.mPtr)
{
    if (mPtr)
        mPtr->ref();
}

MObject::MObject(MObject&& other) noexcept : mPtr(other.mPtr)
{
    other.mPtr = nullptr;
}

MObject::~MObject()
{
    if (mPtr)
        mPtr->unref();
}

MObject& MObject::operator=(const MObject& other)
{
    if (other.mPtr)
        other.mPtr->ref();
    if (mPtr)
        mPtr->unref();
    mPtr = other.mPtr;
    return *this;
}

MObject& MObject::operator=(MObject&& other) noexcept
{
    if (this != &other) {
        if (mPtr)
            mPtr->unref();
        mPtr = other.mPtr;
        other.mPtr = nullptr;
    }
    return *this;
}

bool MObject::hasFn(MFn::Type fs) const
{
    if (!mPtr)
        return false;
    return mPtr->hasFn(fs);
}

bool MObject::isNull() const
{
    return mPtr == nullptr;
}

MFn::Type MObject::apiType() const
{
    return mPtr ? mPtr->apiType() : MFn::kInvalid;
}

const char* MObject::apiTypeStr() const
{
    return host::fnTypeName(apiType());
}

// ---------------------------------------------------------------------------
// MObjectHandle

MObjectHandle::MObjectHandle() : mPtr(nullptr) {}

MObjectHandle::MObjectHandle(const MObject& object) : mPtr(nullptr)
{
    reset(object);
}

MObjectHandle::MObjectHandle(const MObjectHandle& other) : mPtr(other.mPtr), mLife(other.mLife) {}

MObjectHandle::~MObjectHandle() = default;

void MObjectHandle::reset(const MObject& object)
{
    mPtr = host::ObjectAccess::get(object);
    mLife = mPtr ? mPtr->lifeToken() : nullptr;
    mRef = MObject();
}

MObjectHandle& MObjectHandle::operator=(const MObject& object)
{
    reset(object);
    return *this;
}

MObjectHandle& MObjectHandle::operator=(const MObjectHandle& other)
{
    mPtr = other.mPtr;
    mLife = other.mLife;
    mRef = MObject();
    return *this;
}

MObject MObjectHandle::object() const
{
    return isAlive() ? host::ObjectAccess::make(mPtr) : MObject();
}

const MObject& MObjectHandle::objectRef() const
{
    mRef = object();
    return mRef;
}

bool MObjectHandle::isAlive() const
{
    return mPtr && mLife && mLife->alive;
}

bool MObjectHandle::isValid() const
{
    return isAlive() && mPtr->isValidInModel();
}

unsigned int MObjectHandle::hashCode() const
{
    auto p = reinterpret_cast<uintptr_t>(mPtr);
    return static_cast<unsigned int>((p >> 4) ^ (p >> 36));
}

unsigned int MObjectHandle::objectHashCode(const MObject& object)
{
    return MObjectHandle(object).hashCode();
}

bool MObjectHandle::operator==(const MObject& object) const
{
    return isAlive() && mPtr == host::ObjectAccess::get(object);
}

bool MObjectHandle::operator==(const MObjectHandle& other) const
{
    return mPtr == other.mPtr && isAlive() == other.isAlive();
}

bool MObjectHandle::operator!=(const MObject& object) const
{
    return !(*this == object);
}

bool MObjectHandle::operator!=(const MObjectHandle& other) const
{
    return !(*this == other);
}
