#include <maya/MHWGeometry.h>

#include "BufferStorage.h"

namespace MHWRender
{

MIndexBuffer::MIndexBuffer(MGeometry::DataType type) : fType(type), fSize(0), fStagingSize(0) {}

MIndexBuffer::~MIndexBuffer() = default;

void* MIndexBuffer::acquire(unsigned int size, bool writeOnly)
{
    void* buffer = host::acquireStaging(fStaging, fData, size_t(size) * host::dataTypeSize(fType), writeOnly);
    fStagingSize = buffer ? size : 0;
    return buffer;
}

void MIndexBuffer::commit(void* buffer)
{
    if (host::commitStaging(buffer, fStaging, fData)) fSize = fStagingSize;
}

void* MIndexBuffer::map()
{
    return fData.empty() ? nullptr : fData.data();
}

void MIndexBuffer::unmap() {}

void MIndexBuffer::unload() {}

MStatus MIndexBuffer::update(const void* buffer, unsigned int destOffset, unsigned int numIndices,
                             bool truncateIfSmaller)
{
    unsigned int elementSize = host::dataTypeSize(fType);
    if (elementSize == 0) return MStatus::kFailure;
    if (!host::updateBytes(fData, buffer, size_t(destOffset) * elementSize, size_t(numIndices) * elementSize,
                           truncateIfSmaller))
        return MStatus::kInvalidParameter;
    fSize = static_cast<unsigned int>(fData.size() / elementSize);
    return MStatus::kSuccess;
}

} // namespace MHWRender
