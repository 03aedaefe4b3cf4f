#include "BufferStorage.h"

#include <algorithm>
#include <cstring>

namespace host
{

void* acquireStaging(ByteBuffer& staging, const ByteBuffer& data, size_t bytes, bool writeOnly)
{
    if (bytes == 0) return nullptr;
    staging.assign(bytes, 0);
    if (!writeOnly) std::memcpy(staging.data(), data.data(), std::min(bytes, data.size()));
    return staging.data();
}

bool commitStaging(const void* buffer, ByteBuffer& staging, ByteBuffer& data)
{
    if (buffer == nullptr || staging.empty() || buffer != staging.data()) return false;
    data.swap(staging);
    staging.clear();
    return true;
}

bool updateBytes(ByteBuffer& data, const void* source, size_t offset, size_t bytes, bool truncate)
{
    if (source == nullptr && bytes > 0) return false;
    size_t end = offset + bytes;
    if (data.size() < end || truncate) data.resize(end);
    if (bytes > 0) std::memcpy(data.data() + offset, source, bytes);
    return true;
}

} // namespace host
