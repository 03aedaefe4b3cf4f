#include "dg/Component.h"

#include <algorithm>
#include <cstring>

namespace host {

std::vector<int> Component::indices() const
{
    if (!complete)
        return elements;
    std::vector<int> all(size_t(std::max(completeCount, 0)));
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = int(i);
    return all;
}

void Component::add(int element)
{
    auto at = std::lower_bound(elements.begin(), elements.end(), element);
    if (at == elements.end() || *at != element)
        elements.insert(at, element);
}

void Component::add(const int* values, size_t count)
{
    elements.insert(elements.end(), values, values + count);
    std::sort(elements.begin(), elements.end());
    elements.erase(std::unique(elements.begin(), elements.end()), elements.end());
}

MObject makeComponent(MFn::Type type, std::vector<int> indices)
{
    Component* component = new Component(type);
    component->elements = std::move(indices);
    return ObjectAccess::make(component);
}

namespace {
struct KindName
{
    MFn::Type type;
    const char* name;
};
const KindName kKindNames[] = {
    {MFn::kMeshVertComponent, "vtx"},
    {MFn::kMeshEdgeComponent, "e"},
    {MFn::kMeshPolygonComponent, "f"},
    {MFn::kCurveCVComponent, "cv"},
};
} // namespace

const char* componentKindName(MFn::Type type)
{
    for (const KindName& k : kKindNames)
        if (k.type == type)
            return k.name;
    return nullptr;
}

MFn::Type componentTypeOfKind(const std::string& kind)
{
    for (const KindName& k : kKindNames)
        if (kind == k.name)
            return k.type;
    return MFn::kInvalid;
}

std::vector<std::string> indexRanges(const std::vector<int>& indices)
{
    std::vector<std::string> ranges;
    for (size_t i = 0; i < indices.size();) {
        size_t j = i;
        while (j + 1 < indices.size() && indices[j + 1] == indices[j] + 1)
            ++j;
        ranges.push_back(j == i ? std::to_string(indices[i])
                                : std::to_string(indices[i]) + ":" + std::to_string(indices[j]));
        i = j + 1;
    }
    return ranges;
}

} // namespace host
