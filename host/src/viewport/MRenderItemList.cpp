#include <maya/MHWGeometry.h>

namespace MHWRender
{

MRenderItemList::MRenderItemList() = default;

MRenderItemList::~MRenderItemList()
{
    clear();
}

int MRenderItemList::indexOf(const MString& name) const
{
    for (size_t i = 0; i < fItems.size(); ++i)
        if (fItems[i]->name() == name) return static_cast<int>(i);
    return -1;
}

int MRenderItemList::indexOf(const MString& name, MGeometry::Primitive primitive, MGeometry::DrawMode mode) const
{
    for (size_t i = 0; i < fItems.size(); ++i) {
        const MRenderItem* item = fItems[i];
        if (item->name() == name && item->primitive() == primitive && item->drawMode() == mode)
            return static_cast<int>(i);
    }
    return -1;
}

int MRenderItemList::length() const
{
    return static_cast<int>(fItems.size());
}

const MRenderItem* MRenderItemList::itemAt(int index) const
{
    return index >= 0 && index < length() ? fItems[static_cast<size_t>(index)] : nullptr;
}

MRenderItem* MRenderItemList::itemAt(int index)
{
    return index >= 0 && index < length() ? fItems[static_cast<size_t>(index)] : nullptr;
}

bool MRenderItemList::append(MRenderItem* item)
{
    if (item == nullptr) return false;
    for (MRenderItem* existing : fItems)
        if (existing == item) return false;
    fItems.push_back(item);
    return true;
}

bool MRenderItemList::removeAt(int index)
{
    if (index < 0 || index >= length()) return false;
    delete fItems[static_cast<size_t>(index)];
    fItems.erase(fItems.begin() + index);
    return true;
}

void MRenderItemList::clear()
{
    for (MRenderItem* item : fItems) delete item;
    fItems.clear();
}

} // namespace MHWRender
