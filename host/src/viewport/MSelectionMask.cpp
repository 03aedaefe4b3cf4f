#include <maya/MSelectionMask.h>
#include <maya/MString.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{

struct NamedSelectionType
{
    std::string name;
    int priority;
    int id;
};

// Selection types registered by name; ids follow the built-in types.
std::vector<NamedSelectionType>& namedTypes()
{
    static std::vector<NamedSelectionType> types;
    return types;
}

int nextNamedId()
{
    static int next = MSelectionMask::kLastSelectionType + 1;
    return next++;
}

const NamedSelectionType* findNamed(const MString& name)
{
    for (const NamedSelectionType& t : namedTypes())
        if (t.name == name.asChar()) return &t;
    return nullptr;
}

} // namespace

MSelectionMask::MSelectionMask() = default;

MSelectionMask::MSelectionMask(SelectionType selType)
{
    setMask(selType);
}

MSelectionMask::MSelectionMask(const MString& selTypeName)
{
    // An unregistered name gives an empty mask, which intersects nothing.
    if (const NamedSelectionType* t = findNamed(selTypeName)) fTypes.push_back(t->id);
}

MStatus MSelectionMask::setMask(SelectionType selType)
{
    if (selType < kSelectHandles || selType >= kInvalidSelection) return MStatus::kInvalidParameter;
    fTypes.assign(1, selType);
    return MStatus::kSuccess;
}

MStatus MSelectionMask::setMask(MSelectionMask& mask)
{
    fTypes = mask.fTypes;
    return MStatus::kSuccess;
}

MStatus MSelectionMask::addMask(SelectionType selType)
{
    if (selType < kSelectHandles || selType >= kInvalidSelection) return MStatus::kInvalidParameter;
    if (std::find(fTypes.begin(), fTypes.end(), int(selType)) == fTypes.end()) fTypes.push_back(selType);
    return MStatus::kSuccess;
}

bool MSelectionMask::intersects(SelectionType selType, MStatus* ReturnStatus) const
{
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return std::find(fTypes.begin(), fTypes.end(), int(selType)) != fTypes.end();
}

bool MSelectionMask::intersects(MSelectionMask& mask, MStatus* ReturnStatus) const
{
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    for (int t : mask.fTypes)
        if (std::find(fTypes.begin(), fTypes.end(), t) != fTypes.end()) return true;
    return false;
}

MSelectionMask MSelectionMask::operator|(const MSelectionMask& other) const
{
    MSelectionMask result(*this);
    for (int t : other.fTypes)
        if (std::find(result.fTypes.begin(), result.fTypes.end(), t) == result.fTypes.end())
            result.fTypes.push_back(t);
    return result;
}

bool MSelectionMask::registerSelectionType(const MString& selTypeName, int priority)
{
    if (selTypeName.length() == 0 || findNamed(selTypeName)) return false;
    namedTypes().push_back({selTypeName.asChar(), priority, nextNamedId()});
    return true;
}

bool MSelectionMask::deregisterSelectionType(const MString& selTypeName)
{
    std::vector<NamedSelectionType>& types = namedTypes();
    for (size_t i = 0; i < types.size(); ++i) {
        if (types[i].name == selTypeName.asChar()) {
            types.erase(types.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

int MSelectionMask::getSelectionTypePriority(const MString& selTypeName)
{
    const NamedSelectionType* t = findNamed(selTypeName);
    return t ? t->priority : -1;
}
