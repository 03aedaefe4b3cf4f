#include <maya/MHWGeometry.h>

#include "BufferStorage.h"

namespace MHWRender
{

MVertexBufferDescriptor::MVertexBufferDescriptor()
    : fSemantic(MGeometry::kInvalidSemantic), fDataType(MGeometry::kInvalidType), fDimension(0), fOffset(0),
      fStride(0)
{
}

MVertexBufferDescriptor::MVertexBufferDescriptor(const MString& name, MGeometry::Semantic semantic,
                                                 MGeometry::DataType dataType, int dimension)
    : MVertexBufferDescriptor(name, semantic, MString(), dataType, dimension)
{
}

MVertexBufferDescriptor::MVertexBufferDescriptor(const MString& name, MGeometry::Semantic semantic,
                                                 const MString& semanticName, MGeometry::DataType dataType,
                                                 int dimension)
    : fName(name), fSemantic(semantic), fSemanticName(semanticName), fDataType(dataType), fDimension(dimension),
      fOffset(0), fStride(0)
{
}

unsigned int MVertexBufferDescriptor::dataTypeSize() const
{
    return host::dataTypeSize(fDataType);
}

MVertexBufferDescriptorList::MVertexBufferDescriptorList() = default;
MVertexBufferDescriptorList::~MVertexBufferDescriptorList() = default;

int MVertexBufferDescriptorList::length() const
{
    return static_cast<int>(fDescriptors.size());
}

bool MVertexBufferDescriptorList::getDescriptor(int index, MVertexBufferDescriptor& desc) const
{
    if (index < 0 || index >= length()) return false;
    desc = fDescriptors[static_cast<size_t>(index)];
    return true;
}

bool MVertexBufferDescriptorList::append(const MVertexBufferDescriptor& desc)
{
    fDescriptors.push_back(desc);
    return true;
}

bool MVertexBufferDescriptorList::removeAt(int index)
{
    if (index < 0 || index >= length()) return false;
    fDescriptors.erase(fDescriptors.begin() + index);
    return true;
}

void MVertexBufferDescriptorList::clear()
{
    fDescriptors.clear();
}

MIndexBufferDescriptor::MIndexBufferDescriptor()
    : fType(kInvalidIndexType), fPrimitive(MGeometry::kInvalidPrimitive), fPrimitiveStride(0)
{
}

MIndexBufferDescriptor::MIndexBufferDescriptor(IndexType type, const MString& name, MGeometry::Primitive primitive,
                                               unsigned int primitiveStride, MObject, MGeometry::DataType)
    : fType(type), fName(name), fPrimitive(primitive), fPrimitiveStride(primitiveStride)
{
}

MIndexBufferDescriptorList::MIndexBufferDescriptorList() = default;
MIndexBufferDescriptorList::~MIndexBufferDescriptorList() = default;

int MIndexBufferDescriptorList::length() const
{
    return static_cast<int>(fDescriptors.size());
}

bool MIndexBufferDescriptorList::getDescriptor(int index, MIndexBufferDescriptor& desc) const
{
    if (index < 0 || index >= length()) return false;
    desc = fDescriptors[static_cast<size_t>(index)];
    return true;
}

bool MIndexBufferDescriptorList::append(const MIndexBufferDescriptor& desc)
{
    fDescriptors.push_back(desc);
    return true;
}

bool MIndexBufferDescriptorList::removeAt(int index)
{
    if (index < 0 || index >= length()) return false;
    fDescriptors.erase(fDescriptors.begin() + index);
    return true;
}

void MIndexBufferDescriptorList::clear()
{
    fDescriptors.clear();
}

MGeometryRequirements::MGeometryRequirements() = default;
MGeometryRequirements::~MGeometryRequirements() = default;

void MGeometryRequirements::addVertexRequirement(const MVertexBufferDescriptor& desc)
{
    fVertex.append(desc);
}

void MGeometryRequirements::addIndexingRequirement(const MIndexBufferDescriptor& desc)
{
    fIndexing.append(desc);
}

} // namespace MHWRender
