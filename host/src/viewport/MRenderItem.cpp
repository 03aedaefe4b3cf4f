#include <maya/MHWGeometry.h>
#include <maya/MShaderManager.h>
#include <maya/MUserData.h>

namespace MHWRender
{

const unsigned int MRenderItem::sDormantFilledDepthPriority = 0;
const unsigned int MRenderItem::sDormantWireDepthPriority = 1;
const unsigned int MRenderItem::sHiliteWireDepthPriority = 2;
const unsigned int MRenderItem::sActiveWireDepthPriority = 3;
const unsigned int MRenderItem::sActiveLineDepthPriority = 4;
const unsigned int MRenderItem::sDormantPointDepthPriority = 5;
const unsigned int MRenderItem::sActivePointDepthPriority = 6;
const unsigned int MRenderItem::sSelectionDepthPriority = 7;

MRenderItem::MRenderItem(const MString& name, RenderItemType type, MGeometry::Primitive primitive)
    : fName(name), fType(type), fPrimitive(primitive), fPrimitiveStride(0), fDrawMode(MGeometry::kAll),
      fShader(nullptr), fExcludedFromPostEffects(type != MaterialSceneItem), fCastsShadows(false),
      fReceivesShadows(false), fDepthPriority(sDormantFilledDepthPriority), fEnabled(true), fHasMatrix(false),
      fWantConsolidation(true), fTreatAsTransparent(false), fIndexBuffer(nullptr), fCustomData(nullptr),
      fHasBoundingBox(false), fCompatibleWithMayaInstancer(false), fGeometry(nullptr)
{
}

MRenderItem::~MRenderItem()
{
    setCustomData(nullptr);
    if (fShader && --fShader->fReferences <= 0) delete fShader;
}

MRenderItem* MRenderItem::Create(const MString& name, RenderItemType type, MGeometry::Primitive primitive)
{
    return new MRenderItem(name, type, primitive);
}

MRenderItem* MRenderItem::Create(const MString& name, MGeometry::Primitive primitive, MGeometry::DrawMode mode,
                                 bool raiseAboveShaded)
{
    MRenderItem* item = new MRenderItem(name, NonMaterialSceneItem, primitive);
    item->fDrawMode = mode;
    if (raiseAboveShaded) item->fDepthPriority = sActiveWireDepthPriority;
    return item;
}

MRenderItem* MRenderItem::Create(const MRenderItem& item)
{
    // The copy shares no owned data with the original.
    MRenderItem* copy = new MRenderItem(item);
    copy->fCustomData = nullptr;
    copy->fIndexBuffer = nullptr;
    copy->fGeometry = nullptr;
    if (copy->fShader) ++copy->fShader->fReferences;
    return copy;
}

void MRenderItem::Destroy(MRenderItem*& item)
{
    delete item;
    item = nullptr;
}

MGeometry::Primitive MRenderItem::primitive(int& stride) const
{
    stride = fPrimitiveStride;
    return fPrimitive;
}

void MRenderItem::setPrimitive(MGeometry::Primitive primitive, int stride)
{
    if (primitive == MGeometry::kInvalidPrimitive) return;  // an item always draws something
    fPrimitive = primitive;
    fPrimitiveStride = stride;
}

bool MRenderItem::setShader(const MShaderInstance* shader, const MString* /*customStreamName*/)
{
    if (shader == nullptr) return false;
    // The item holds its own reference: the caller may release the shader after this.
    MShaderInstance* next = const_cast<MShaderInstance*>(shader);
    if (next == fShader) return true;
    ++next->fReferences;
    if (fShader && --fShader->fReferences <= 0) delete fShader;
    fShader = next;
    return true;
}

bool MRenderItem::setMatrix(const MMatrix* matrix)
{
    fHasMatrix = matrix != nullptr;
    if (matrix) fMatrix = *matrix;
    return true;
}

void MRenderItem::setSelectionMask(const MSelectionMask& mask)
{
    fSelectionMask = mask;
}

bool MRenderItem::associateWithIndexBuffer(const MIndexBuffer* buffer) const
{
    if (buffer == nullptr) return false;
    fIndexBuffer = buffer;
    return true;
}

void MRenderItem::setCustomData(MUserData* userData)
{
    // The item owns its data unless the data asks to be kept.
    if (fCustomData && fCustomData != userData && fCustomData->deleteAfterUse()) delete fCustomData;
    fCustomData = userData;
}

MStatus MRenderItem::setBoundingBox(const MBoundingBox& bbox)
{
    fHasBoundingBox = true;
    fBoundingBox = bbox;
    return MStatus::kSuccess;
}

} // namespace MHWRender
