#include <maya/MHWGeometry.h>

#include "BufferStorage.h"

namespace MHWRender
{

MGeometry::MGeometry() = default;

MGeometry::~MGeometry()
{
    for (MVertexBuffer* b : fVertexBuffers) delete b;
    for (MIndexBuffer* b : fIndexBuffers) delete b;
}

MVertexBuffer* MGeometry::createVertexBuffer(const MVertexBufferDescriptor& descriptor)
{
    MVertexBuffer* buffer = new MVertexBuffer(descriptor);
    fVertexBuffers.push_back(buffer);
    return buffer;
}

MIndexBuffer* MGeometry::createIndexBuffer(DataType type)
{
    MIndexBuffer* buffer = new MIndexBuffer(type);
    fIndexBuffers.push_back(buffer);
    return buffer;
}

bool MGeometry::addVertexBuffer(MVertexBuffer* buffer)
{
    if (buffer == nullptr) return false;
    for (MVertexBuffer* b : fVertexBuffers)
        if (b == buffer) return false;
    fVertexBuffers.push_back(buffer);
    return true;
}

bool MGeometry::addIndexBuffer(MIndexBuffer* buffer)
{
    if (buffer == nullptr) return false;
    for (MIndexBuffer* b : fIndexBuffers)
        if (b == buffer) return false;
    fIndexBuffers.push_back(buffer);
    return true;
}

bool MGeometry::deleteVertexBuffer(int index)
{
    if (index < 0 || index >= vertexBufferCount()) return false;
    delete fVertexBuffers[static_cast<size_t>(index)];
    fVertexBuffers.erase(fVertexBuffers.begin() + index);
    return true;
}

bool MGeometry::deleteIndexBuffer(int index)
{
    if (index < 0 || index >= indexBufferCount()) return false;
    delete fIndexBuffers[static_cast<size_t>(index)];
    fIndexBuffers.erase(fIndexBuffers.begin() + index);
    return true;
}

int MGeometry::vertexBufferCount() const
{
    return static_cast<int>(fVertexBuffers.size());
}

MVertexBuffer* MGeometry::vertexBuffer(int index) const
{
    return index >= 0 && index < vertexBufferCount() ? fVertexBuffers[static_cast<size_t>(index)] : nullptr;
}

int MGeometry::indexBufferCount() const
{
    return static_cast<int>(fIndexBuffers.size());
}

MIndexBuffer* MGeometry::indexBuffer(int index) const
{
    return index >= 0 && index < indexBufferCount() ? fIndexBuffers[static_cast<size_t>(index)] : nullptr;
}

MString MGeometry::primitiveString(Primitive primitive)
{
    static const char* names[] = {"Invalid",     "Points",    "Lines",         "LineStrip",
                                  "Triangles",   "TriangleStrip", "AdjacentTriangles",
                                  "AdjacentTriangleStrip", "AdjacentLines", "AdjacentLineStrip", "Patch"};
    return primitive >= kInvalidPrimitive && primitive <= kPatch ? MString(names[primitive]) : MString("Invalid");
}

MString MGeometry::semanticString(Semantic semantic)
{
    static const char* names[] = {"Invalid", "Position", "Normal",    "Texture",
                                  "Color",   "Tangent",  "Bitangent", "TangentWithSign"};
    return semantic >= kInvalidSemantic && semantic <= kTangentWithSign ? MString(names[semantic])
                                                                        : MString("Invalid");
}

MString MGeometry::drawModeString(DrawMode mode)
{
    switch (mode) {
    case kWireframe: return "Wireframe";
    case kShaded: return "Shaded";
    case kTextured: return "Textured";
    case kBoundingBox: return "BoundingBox";
    case kSelectionOnly: return "SelectionOnly";
    case kAll: return "All";
    }
    return "Invalid";
}

MString MGeometry::dataTypeString(DataType type)
{
    static const char* names[] = {"Invalid", "Float",  "Double",       "Char",  "UnsignedChar",
                                  "Int16",   "UnsignedInt16", "Int32", "UnsignedInt32"};
    return type >= kInvalidType && type <= kUnsignedInt32 ? MString(names[type]) : MString("Invalid");
}

} // namespace MHWRender

namespace host
{

unsigned int dataTypeSize(MHWRender::MGeometry::DataType type)
{
    switch (type) {
    case MHWRender::MGeometry::kFloat: return 4;
    case MHWRender::MGeometry::kDouble: return 8;
    case MHWRender::MGeometry::kChar:
    case MHWRender::MGeometry::kUnsignedChar: return 1;
    case MHWRender::MGeometry::kInt16:
    case MHWRender::MGeometry::kUnsignedInt16: return 2;
    case MHWRender::MGeometry::kInt32:
    case MHWRender::MGeometry::kUnsignedInt32: return 4;
    case MHWRender::MGeometry::kInvalidType: return 0;
    }
    return 0;
}

} // namespace host
