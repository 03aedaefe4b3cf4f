#include "dg/PlugPath.h"

#include <cstdlib>
#include <string>

namespace host {

MString plugAttributePath(const MPlug& plug, bool longNames, bool fullPath)
{
    Attribute* leaf = PlugAccess::attribute(plug);
    if (!leaf)
        return MString();
    const int* indices = PlugAccess::indices(plug);
    Attribute* chain[kMaxAttrDepth];
    for (Attribute* a = leaf; a; a = a->parent)
        chain[a->depth] = a;
    int first = leaf->depth;
    if (fullPath) {
        first = 0;
    } else {
        for (int d = 0; d < leaf->depth; ++d)
            if (chain[d]->is(kArray)) {
                first = d;
                break;
            }
    }
    std::string out;
    for (int d = first; d <= leaf->depth; ++d) {
        if (d > first)
            out += '.';
        out += (longNames ? chain[d]->name : chain[d]->shortName).asChar();
        if (chain[d]->is(kArray) && indices[d] >= 0) {
            out += '[';
            out += std::to_string(indices[d]);
            out += ']';
        }
    }
    return MString(out.c_str());
}

namespace {

Attribute* childNamed(Attribute* parent, const std::string& name)
{
    MString n(name.c_str());
    for (Attribute* c : parent->children)
        if (c->matches(n))
            return c;
    // A child may be named past an unnamed level ("input[0].inputGeom" skips nothing,
    // but "t.tx" style paths may also skip intermediate compounds).
    for (Attribute* c : parent->children)
        if (Attribute* deeper = childNamed(c, name))
            return deeper;
    return nullptr;
}

} // namespace

MStatus parsePlugPath(Node* node, const MString& path, MPlug& plug)
{
    if (!node)
        return MStatus::kInvalidParameter;
    std::string text = path.asChar();
    if (text.empty())
        return MStatus::kInvalidParameter;
    int indices[kMaxAttrDepth] = {-1, -1, -1, -1};
    Attribute* current = nullptr;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find_first_of(".[", pos);
        std::string name = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (name.empty())
            return MStatus::kInvalidParameter;
        Attribute* next = current ? childNamed(current, name) : node->findAttribute(MString(name.c_str()));
        if (!next)
            return MStatus::kInvalidParameter;
        current = next;
        pos = end;
        if (pos != std::string::npos && text[pos] == '[') {
            size_t close = text.find(']', pos);
            if (close == std::string::npos || close == pos + 1)
                return MStatus::kInvalidParameter;
            std::string number = text.substr(pos + 1, close - pos - 1);
            char* stop = nullptr;
            long value = std::strtol(number.c_str(), &stop, 10);
            if (*stop != '\0' || value < 0 || value > 0x7fffffff || !current->is(kArray))
                return MStatus::kInvalidParameter;
            indices[current->depth] = static_cast<int>(value);
            pos = close + 1;
        }
        if (pos == std::string::npos || pos >= text.size())
            break;
        if (text[pos] != '.')
            return MStatus::kInvalidParameter;
        ++pos;
    }
    plug = PlugAccess::make(node, current, indices);
    // Create the elements named on the way, as element plugs do.
    resolve(plug, true);
    return MStatus::kSuccess;
}

} // namespace host
