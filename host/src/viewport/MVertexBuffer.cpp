#include <maya/MHWGeometry.h>

#include "BufferStorage.h"

namespace MHWRender
{

MVertexBuffer::MVertexBuffer(const MVertexBufferDescriptor& descriptor)
    : fDescriptor(descriptor), fVertexCount(0), fStagingCount(0)
{
}

MVertexBuffer::~MVertexBuffer() = default;

unsigned int MVertexBuffer::bytesPerVertex() const
{
    return fDescriptor.dimension() > 0 ? static_cast<unsigned int>(fDescriptor.dimension()) * fDescriptor.dataTypeSize()
                                       : 0u;
}

void* MVertexBuffer::acquire(unsigned int size, bool writeOnly)
{
    void* buffer = host::acquireStaging(fStaging, fData, size_t(size) * bytesPerVertex(), writeOnly);
    fStagingCount = buffer ? size : 0;
    return buffer;
}

void MVertexBuffer::commit(void* buffer)
{
    if (host::commitStaging(buffer, fStaging, fData)) fVertexCount = fStagingCount;
}

void* MVertexBuffer::map()
{
    return fData.empty() ? nullptr : fData.data();
}

void MVertexBuffer::unmap() {}

void MVertexBuffer::unload() {}

MStatus MVertexBuffer::update(const void* buffer, unsigned int destOffset, unsigned int numVerts,
                              bool truncateIfSmaller)
{
    unsigned int stride = bytesPerVertex();
    if (stride == 0) return MStatus::kFailure;
    if (!host::updateBytes(fData, buffer, size_t(destOffset) * stride, size_t(numVerts) * stride, truncateIfSmaller))
        return MStatus::kInvalidParameter;
    fVertexCount = static_cast<unsigned int>(fData.size() / stride);
    return MStatus::kSuccess;
}

} // namespace MHWRender
