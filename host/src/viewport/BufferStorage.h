#ifndef HOST_VIEWPORT_BUFFERSTORAGE_H
#define HOST_VIEWPORT_BUFFERSTORAGE_H

// Byte storage shared by vertex and index buffers: acquire hands out a
// staging area, commit makes it the buffer's contents, update writes a range.

#include <maya/MHWGeometry.h>

#include <cstddef>
#include <vector>

namespace host
{

typedef std::vector<unsigned char> ByteBuffer;

// Bytes one element of the type takes; 0 for kInvalidType.
unsigned int dataTypeSize(MHWRender::MGeometry::DataType type);

// Returns staging memory of the given size; unless writeOnly, it starts with the current contents.
void* acquireStaging(ByteBuffer& staging, const ByteBuffer& data, size_t bytes, bool writeOnly);

// Moves the staging memory into data when buffer is the pointer acquire returned.
bool commitStaging(const void* buffer, ByteBuffer& staging, ByteBuffer& data);

// Copies bytes into data at offset, growing it as needed; truncate cuts what follows.
bool updateBytes(ByteBuffer& data, const void* source, size_t offset, size_t bytes, bool truncate);

} // namespace host

#endif
