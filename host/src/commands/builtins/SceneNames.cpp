#include "commands/builtins/SceneNames.h"

#include "dag/DagAttributes.h"

#include "dg/Node.h"

#include "dag/Dag.h"

#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>

#include <cstdlib>
#include <string>

namespace host {

namespace {

// A short name that two DAG nodes under different parents share.
bool isAmbiguous(const MString& name)
{
    for (const char* p = name.asChar(); *p; ++p)
        if (*p == '*' || *p == '?')
            return false;
    MDagPathArray paths;
    findDagPaths(name, paths);
    return paths.length() > 1;
}

// First attribute called `name` at or below `attrs` (breadth first, so a
// top-level attribute wins over a child of the same name).
Attribute* findAttributeBelow(const std::vector<Attribute*>& attrs, const MString& name)
{
    for (Attribute* a : attrs)
        if (a->matches(name))
            return a;
    for (Attribute* a : attrs)
        if (Attribute* found = findAttributeBelow(a->children, name))
            return found;
    return nullptr;
}

bool parseIndex(const std::string& text, unsigned& value)
{
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    value = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
    return true;
}

MStatus firstSelectedNode(MObject& node, MString& error)
{
    MSelectionList selection;
    MStatus status = MGlobal::getActiveSelectionList(selection);
    if (!status || selection.length() == 0) {
        error = "no object is selected for the relative attribute name";
        return MS::kFailure;
    }
    status = selection.getDependNode(0, node);
    if (!status) {
        error = "the selected item is not a node";
        return status;
    }
    return MS::kSuccess;
}

// Resolves "node.attr[i].child" into a plug; `error` says why not.
MStatus resolvePlug(const MString& text, MPlug& plug, SceneNames::IndexRange* range, MString& error)
{
    const std::string full(text.asChar(), text.length());
    const size_t dot = full.find('.');
    if (dot == std::string::npos || dot + 1 >= full.size()) {
        error = MString("\"") + text + "\" is not an attribute name";
        return MS::kInvalidParameter;
    }
    MObject nodeObject;
    MStatus status;
    if (dot == 0) {
        status = firstSelectedNode(nodeObject, error);
        if (!status)
            return status;
    } else {
        MSelectionList list;
        status = list.add(MString(full.c_str(), static_cast<int>(dot)));
        if ((!status || list.length() == 0) && isAmbiguous(MString(full.c_str(), static_cast<int>(dot)))) {
            error = MString("More than one object matches name: ") + MString(full.c_str(), static_cast<int>(dot));
            return MS::kInvalidParameter;
        }
        if (!status || list.length() == 0) {
            error = MString("No object matches name: ") + MString(full.c_str(), static_cast<int>(dot));
            return MS::kInvalidParameter;
        }
        if (list.length() > 1) {
            error = MString("More than one object matches name: ") + MString(full.c_str(), static_cast<int>(dot));
            return MS::kInvalidParameter;
        }
        status = list.getDependNode(0, nodeObject);
        if (!status) {
            error = MString("\"") + MString(full.c_str(), static_cast<int>(dot)) + "\" is not a node";
            return status;
        }
    }
    Node* node = nodeOf(nodeObject);
    if (!node) {
        error = MString("\"") + text + "\" does not name a node";
        return MS::kInvalidParameter;
    }

    int indices[kMaxAttrDepth];
    for (int& i : indices)
        i = -1;
    Attribute* current = nullptr;
    size_t pos = dot + 1;
    while (pos <= full.size()) {
        size_t end = full.find('.', pos);
        if (end == std::string::npos)
            end = full.size();
        std::string segment = full.substr(pos, end - pos);
        std::string indexText;
        bool hasIndex = false;
        const size_t bracket = segment.find('[');
        if (bracket != std::string::npos) {
            if (segment.back() != ']') {
                error = MString("\"") + text + "\" has an unclosed index";
                return MS::kInvalidParameter;
            }
            indexText = segment.substr(bracket + 1, segment.size() - bracket - 2);
            segment.resize(bracket);
            hasIndex = true;
        }
        const MString name(segment.c_str(), static_cast<int>(segment.size()));
        Attribute* found = current ? findAttributeBelow(current->children, name)
                                   : findAttributeBelow(node->attrs, name);
        if (!found) {
            error = MString("No attribute \"") + name + "\" on " + node->name;
            return MS::kInvalidParameter;
        }
        // Skipped array ancestors would need an index the name does not give.
        for (const Attribute* a = found->parent; a && a != current; a = a->parent)
            if (a->is(kArray) && indices[a->depth] < 0) {
                error = MString("\"") + text + "\" needs an index for " + a->name;
                return MS::kInvalidParameter;
            }
        if (found->depth >= kMaxAttrDepth) {
            error = MString("\"") + text + "\" is nested too deeply";
            return MS::kInvalidParameter;
        }
        current = found;
        const bool last = end == full.size();
        if (hasIndex) {
            if (!found->is(kArray)) {
                error = MString("\"") + name + "\" is not an array attribute";
                return MS::kInvalidParameter;
            }
            const size_t colon = indexText.find(':');
            unsigned first = 0, lastIndex = 0;
            if (colon != std::string::npos && last && range) {
                if (!parseIndex(indexText.substr(0, colon), first) ||
                    !parseIndex(indexText.substr(colon + 1), lastIndex) || lastIndex < first) {
                    error = MString("\"") + text + "\" has a bad index range";
                    return MS::kInvalidParameter;
                }
                range->present = true;
                range->first = first;
                range->last = lastIndex;
            } else {
                if (!parseIndex(indexText, first)) {
                    error = MString("\"") + text + "\" has a bad index \"" + indexText.c_str() + "\"";
                    return MS::kInvalidParameter;
                }
                indices[found->depth] = static_cast<int>(first);
            }
        } else if (found->is(kArray) && !last && found == attributeOf(DagAttributes::instObjGroups)) {
            // "shape.iog.og[0]" names the first instance, as Maya reads it.
            indices[found->depth] = 0;
        } else if (found->is(kArray) && !last) {
            error = MString("\"") + text + "\" needs an index for " + found->name;
            return MS::kInvalidParameter;
        }
        pos = end + 1;
    }
    plug = PlugAccess::make(node, current, indices);
    return MS::kSuccess;
}

} // namespace

MStatus SceneNames::namedOrSelected(const char* command, const std::vector<MString>& names, MSelectionList& list)
{
    if (names.empty())
        return MGlobal::getActiveSelectionList(list);
    for (const MString& name : names) {
        const MStatus status = addMatches(command, name, list);
        if (!status)
            return status;
    }
    return MS::kSuccess;
}

MStatus SceneNames::addMatches(const char* command, const MString& pattern, MSelectionList& list)
{
    MSelectionList matches;
    MStatus status = matches.add(pattern);
    if (!status || matches.length() == 0) {
        MGlobal::displayError(MString(command) + (isAmbiguous(pattern) ? ": More than one object matches name: "
                                                                       : ": No object matches name: ") + pattern);
        return MS::kInvalidParameter;
    }
    return list.merge(matches);
}

MStatus SceneNames::findNode(const char* command, const MString& name, MObject& node)
{
    MSelectionList matches;
    MStatus status = matches.add(name);
    if (!status || matches.length() == 0) {
        MGlobal::displayError(MString(command) + (isAmbiguous(name) ? ": More than one object matches name: "
                                                                    : ": No object matches name: ") + name);
        return MS::kInvalidParameter;
    }
    if (matches.length() > 1) {
        MGlobal::displayError(MString(command) + ": More than one object matches name: " + name);
        return MS::kInvalidParameter;
    }
    status = matches.getDependNode(0, node);
    if (!status) {
        MGlobal::displayError(MString(command) + ": \"" + name + "\" is not a node.");
        return status;
    }
    return MS::kSuccess;
}

MStatus SceneNames::findPlug(const char* command, const MString& text, MPlug& plug, IndexRange* range)
{
    MString error;
    MStatus status = resolvePlug(text, plug, range, error);
    if (!status)
        MGlobal::displayError(MString(command) + ": " + error + ".");
    return status;
}

bool SceneNames::exists(const MString& text)
{
    if (text.index('.') >= 0) {
        MPlug plug;
        MString error;
        return resolvePlug(text, plug, nullptr, error) == MS::kSuccess;
    }
    MSelectionList matches;
    return matches.add(text) == MS::kSuccess && matches.length() > 0;
}

MString SceneNames::nodeName(const MObject& node, bool longName)
{
    if (node.hasFn(MFn::kDagNode)) {
        MDagPath path;
        if (MDagPath::getAPathTo(node, path) == MS::kSuccess)
            return longName ? path.fullPathName() : path.partialPathName();
    }
    Node* n = nodeOf(node);
    return n ? n->name : MString();
}

MString SceneNames::attributePath(const MPlug& plug, bool longNames)
{
    const Attribute* attr = PlugAccess::attribute(plug);
    if (!attr)
        return MString();
    const int* indices = PlugAccess::indices(plug);
    // A child of compounds that are not arrays is unique by its own name.
    bool arrayAbove = false;
    for (const Attribute* a = attr->parent; a; a = a->parent)
        arrayAbove = arrayAbove || a->is(kArray);
    const Attribute* chain[kMaxAttrDepth + 1];
    int count = 0;
    for (const Attribute* a = attr; a && count <= kMaxAttrDepth; a = arrayAbove ? a->parent : nullptr)
        chain[count++] = a;
    std::string out;
    for (int i = count - 1; i >= 0; --i) {
        const Attribute* a = chain[i];
        out += '.';
        out += (longNames ? a->name : a->shortName).asChar();
        if (a->is(kArray) && a->depth < kMaxAttrDepth && indices[a->depth] >= 0) {
            out += '[';
            out += std::to_string(indices[a->depth]);
            out += ']';
        }
    }
    return MString(out.c_str(), static_cast<int>(out.size()));
}

MString SceneNames::plugName(const MPlug& plug, bool longName)
{
    return nodeName(plug.node(), false) + attributePath(plug, longName);
}

} // namespace host
