#ifndef MAYA_MHWGEOMETRY_H
#define MAYA_MHWGEOMETRY_H

#include <maya/MBoundingBox.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MSelectionMask.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <vector>

class MUserData;

namespace host { struct RendererAccess; struct ShaderParameters; struct UiDrawList; }

namespace MHWRender
{

class MGeometry
{
public:
    enum Primitive {
        kInvalidPrimitive, kPoints, kLines, kLineStrip, kTriangles, kTriangleStrip, kAdjacentTriangles,
        kAdjacentTriangleStrip, kAdjacentLines, kAdjacentLineStrip, kPatch
    };
    enum DrawMode {
        kWireframe = 1, kShaded = 2, kTextured = 4, kBoundingBox = 8, kSelectionOnly = 16,
        kAll = kWireframe | kShaded | kTextured
    };
    enum DataType {
        kInvalidType, kFloat, kDouble, kChar, kUnsignedChar, kInt16, kUnsignedInt16, kInt32, kUnsignedInt32
    };
    enum Semantic {
        kInvalidSemantic, kPosition, kNormal, kTexture, kColor, kTangent, kBitangent, kTangentWithSign
    };

    MGeometry();
    ~MGeometry();
    MGeometry(const MGeometry&) = delete;
    MGeometry& operator=(const MGeometry&) = delete;

    MVertexBuffer* createVertexBuffer(const MVertexBufferDescriptor& descriptor);
    MIndexBuffer* createIndexBuffer(DataType type);
    bool addVertexBuffer(MVertexBuffer* buffer);
    bool addIndexBuffer(MIndexBuffer* buffer);
    bool deleteVertexBuffer(int index);
    bool deleteIndexBuffer(int index);
    int vertexBufferCount() const;
    MVertexBuffer* vertexBuffer(int index) const;
    int indexBufferCount() const;
    MIndexBuffer* indexBuffer(int index) const;

    static MString primitiveString(Primitive primitive);
    static MString semanticString(Semantic semantic);
    static MString drawModeString(DrawMode mode);
    static MString dataTypeString(DataType type);

private:
    friend struct host::RendererAccess;
    std::vector<MVertexBuffer*> fVertexBuffers;
    std::vector<MIndexBuffer*> fIndexBuffers;
};

class MVertexBufferDescriptor
{
public:
    MVertexBufferDescriptor();
    MVertexBufferDescriptor(const MString& name, MGeometry::Semantic semantic, MGeometry::DataType dataType,
                            int dimension);
    MVertexBufferDescriptor(const MString& name, MGeometry::Semantic semantic, const MString& semanticName,
                            MGeometry::DataType dataType, int dimension);

    MString name() const { return fName; }
    MGeometry::Semantic semantic() const { return fSemantic; }
    MString semanticName() const { return fSemanticName; }
    MGeometry::DataType dataType() const { return fDataType; }
    int dimension() const { return fDimension; }
    int offset() const { return fOffset; }
    int stride() const { return fStride; }
    unsigned int dataTypeSize() const;
    void setName(const MString& name) { fName = name; }
    void setSemantic(MGeometry::Semantic semantic) { fSemantic = semantic; }
    void setSemanticName(const MString& name) { fSemanticName = name; }
    void setDataType(MGeometry::DataType type) { fDataType = type; }
    void setDimension(int dimension) { fDimension = dimension; }
    void setOffset(int offset) { fOffset = offset; }

private:
    MString fName;
    MGeometry::Semantic fSemantic;
    MString fSemanticName;
    MGeometry::DataType fDataType;
    int fDimension;
    int fOffset;
    int fStride;
};

class MVertexBufferDescriptorList
{
public:
    MVertexBufferDescriptorList();
    ~MVertexBufferDescriptorList();
    int length() const;
    bool getDescriptor(int index, MVertexBufferDescriptor& desc) const;
    bool append(const MVertexBufferDescriptor& desc);
    bool removeAt(int index);
    void clear();

private:
    std::vector<MVertexBufferDescriptor> fDescriptors;
};

class MIndexBufferDescriptor
{
public:
    enum IndexType {
        kInvalidIndexType, kPoint, kEdgeLine, kTriangle, kHullEdgeLine, kHullTriangle, kHullTriStrip,
        kVertexPoint, kCustom, kSubDivEdge, kSubDivFace
    };

    MIndexBufferDescriptor();
    // The component and data type are accepted; the host's index buffers always cover the whole shape.
    MIndexBufferDescriptor(IndexType type, const MString& name, MGeometry::Primitive primitive,
                           unsigned int primitiveStride = 0, MObject component = MObject::kNullObj,
                           MGeometry::DataType dataType = MGeometry::kUnsignedInt32);

    IndexType indexType() const { return fType; }
    MString name() const { return fName; }
    MGeometry::Primitive primitive() const { return fPrimitive; }
    unsigned int primitiveStride() const { return fPrimitiveStride; }
    void setIndexType(IndexType type) { fType = type; }
    void setName(MString& name) { fName = name; }
    void setPrimitive(MGeometry::Primitive primitive) { fPrimitive = primitive; }
    void setPrimitiveStride(unsigned int primitiveStride) { fPrimitiveStride = primitiveStride; }

private:
    IndexType fType;
    MString fName;
    MGeometry::Primitive fPrimitive;
    unsigned int fPrimitiveStride;
};

class MIndexBufferDescriptorList
{
public:
    MIndexBufferDescriptorList();
    ~MIndexBufferDescriptorList();
    int length() const;
    bool getDescriptor(int index, MIndexBufferDescriptor& desc) const;
    bool append(const MIndexBufferDescriptor& desc);
    bool removeAt(int index);
    void clear();

private:
    std::vector<MIndexBufferDescriptor> fDescriptors;
};

class MGeometryRequirements
{
public:
    MGeometryRequirements();
    ~MGeometryRequirements();
    const MVertexBufferDescriptorList& vertexRequirements() const { return fVertex; }
    const MIndexBufferDescriptorList& indexingRequirements() const { return fIndexing; }

protected:
    // The renderer states what it needs through these.
    void addVertexRequirement(const MVertexBufferDescriptor& desc);
    void addIndexingRequirement(const MIndexBufferDescriptor& desc);

private:
    MVertexBufferDescriptorList fVertex;
    MIndexBufferDescriptorList fIndexing;
};

// CPU-side storage: acquire() hands out staging memory that commit() keeps.
class MVertexBuffer
{
public:
    MVertexBuffer(const MVertexBufferDescriptor& descriptor);
    ~MVertexBuffer();
    MVertexBuffer(const MVertexBuffer&) = delete;
    MVertexBuffer& operator=(const MVertexBuffer&) = delete;

    const MVertexBufferDescriptor& descriptor() const { return fDescriptor; }
    unsigned int vertexCount() const { return fVertexCount; }
    void* acquire(unsigned int size, bool writeOnly);
    void commit(void* buffer);
    void* map();
    void unmap();
    void unload();
    MStatus update(const void* buffer, unsigned int destOffset, unsigned int numVerts, bool truncateIfSmaller);

private:
    unsigned int bytesPerVertex() const;

    MVertexBufferDescriptor fDescriptor;
    std::vector<unsigned char> fData;
    std::vector<unsigned char> fStaging;
    unsigned int fVertexCount;
    unsigned int fStagingCount;
};

class MIndexBuffer
{
public:
    MIndexBuffer(MGeometry::DataType type);
    ~MIndexBuffer();
    MIndexBuffer(const MIndexBuffer&) = delete;
    MIndexBuffer& operator=(const MIndexBuffer&) = delete;

    MGeometry::DataType dataType() const { return fType; }
    unsigned int size() const { return fSize; }
    void* acquire(unsigned int size, bool writeOnly);
    void commit(void* buffer);
    void* map();
    void unmap();
    void unload();
    MStatus update(const void* buffer, unsigned int destOffset, unsigned int numIndices, bool truncateIfSmaller);

private:
    MGeometry::DataType fType;
    std::vector<unsigned char> fData;
    std::vector<unsigned char> fStaging;
    unsigned int fSize;
    unsigned int fStagingSize;
};

class MRenderItem
{
public:
    enum RenderItemType { MaterialSceneItem, NonMaterialSceneItem, DecorationItem };

    static MRenderItem* Create(const MString& name, RenderItemType type, MGeometry::Primitive primitive);
    static MRenderItem* Create(const MString& name, MGeometry::Primitive primitive, MGeometry::DrawMode mode,
                               bool raiseAboveShaded);
    static MRenderItem* Create(const MRenderItem& item);
    static void Destroy(MRenderItem*& item);

    MString name() const { return fName; }
    RenderItemType type() const { return fType; }
    MGeometry::Primitive primitive() const { return fPrimitive; }
    MGeometry::Primitive primitive(int& stride) const;
    void setPrimitive(MGeometry::Primitive primitive, int stride = 0);
    MGeometry::DrawMode drawMode() const { return fDrawMode; }
    void setDrawMode(MGeometry::DrawMode mode) { fDrawMode = mode; }
    bool setShader(const MShaderInstance* shader, const MString* customStreamName = NULL);
    MShaderInstance* getShader() { return fShader; }
    const MShaderInstance* getShader() const { return fShader; }
    void setExcludedFromPostEffects(bool exclude) { fExcludedFromPostEffects = exclude; }
    bool excludedFromPostEffects() const { return fExcludedFromPostEffects; }
    void castsShadows(bool on) { fCastsShadows = on; }
    bool castsShadows() const { return fCastsShadows; }
    void receivesShadows(bool on) { fReceivesShadows = on; }
    bool receivesShadows() const { return fReceivesShadows; }
    void depthPriority(unsigned int val) { fDepthPriority = val; }
    unsigned int depthPriority() const { return fDepthPriority; }
    void enable(bool on) { fEnabled = on; }
    bool isEnabled() const { return fEnabled; }
    bool setMatrix(const MMatrix* matrix);
    void setSelectionMask(const MSelectionMask& mask);
    MSelectionMask selectionMask() const { return fSelectionMask; }
    void setWantConsolidation(bool state) { fWantConsolidation = state; }
    bool wantConsolidation() const { return fWantConsolidation; }
    void setTreatAsTransparent(bool state) { fTreatAsTransparent = state; }
    bool associateWithIndexBuffer(const MIndexBuffer* buffer) const;
    void setCustomData(MUserData* userData);
    MUserData* customData() const { return fCustomData; }
    MStatus setBoundingBox(const MBoundingBox& bbox);
    void setCompatibleWithMayaInstancer(bool state) { fCompatibleWithMayaInstancer = state; }
    bool isCompatibleWithMayaInstancer() const { return fCompatibleWithMayaInstancer; }
    MGeometry* geometry() const { return fGeometry; }

    static const unsigned int sDormantFilledDepthPriority;
    static const unsigned int sDormantWireDepthPriority;
    static const unsigned int sHiliteWireDepthPriority;
    static const unsigned int sActiveWireDepthPriority;
    static const unsigned int sActiveLineDepthPriority;
    static const unsigned int sDormantPointDepthPriority;
    static const unsigned int sActivePointDepthPriority;
    static const unsigned int sSelectionDepthPriority;

private:
    friend class MRenderItemList;
    friend struct host::RendererAccess;
    MRenderItem(const MString& name, RenderItemType type, MGeometry::Primitive primitive);
    ~MRenderItem();
    MRenderItem(const MRenderItem&) = default;
    MRenderItem& operator=(const MRenderItem&) = delete;

    MString fName;
    RenderItemType fType;
    MGeometry::Primitive fPrimitive;
    int fPrimitiveStride;
    MGeometry::DrawMode fDrawMode;
    MShaderInstance* fShader;
    bool fExcludedFromPostEffects;
    bool fCastsShadows;
    bool fReceivesShadows;
    unsigned int fDepthPriority;
    bool fEnabled;
    bool fHasMatrix;
    MMatrix fMatrix;
    MSelectionMask fSelectionMask;
    bool fWantConsolidation;
    bool fTreatAsTransparent;
    mutable const MIndexBuffer* fIndexBuffer;
    MUserData* fCustomData;
    bool fHasBoundingBox;
    MBoundingBox fBoundingBox;
    bool fCompatibleWithMayaInstancer;
    MGeometry* fGeometry;
};

// Owns the items appended to it.
class MRenderItemList
{
public:
    MRenderItemList();
    ~MRenderItemList();
    MRenderItemList(const MRenderItemList&) = delete;
    MRenderItemList& operator=(const MRenderItemList&) = delete;

    int indexOf(const MString& name) const;
    int indexOf(const MString& name, MGeometry::Primitive primitive, MGeometry::DrawMode mode) const;
    int length() const;
    const MRenderItem* itemAt(int index) const;
    MRenderItem* itemAt(int index);
    bool append(MRenderItem* item);
    bool removeAt(int index);
    void clear();

private:
    friend struct host::RendererAccess;
    std::vector<MRenderItem*> fItems;
};

} // namespace MHWRender

#endif
