#include "dg/Namespaces.h"

#include "dg/Node.h"
#include "dg/Scene.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace host {

namespace {

struct NamespaceState
{
    std::string current;
    std::set<std::string> added;  // empty namespaces made by `namespace -add`
};

NamespaceState& state()
{
    static NamespaceState* s = new NamespaceState;
    return *s;
}

bool within(const std::string& name, const std::string& parent)
{
    return parent.empty() || (name.size() > parent.size() && name.compare(0, parent.size(), parent) == 0 &&
                              name[parent.size()] == ':');
}

// Every namespace there is: the added ones and those node names imply, with all their parents.
std::set<std::string> allNamespaces()
{
    std::set<std::string> all = state().added;
    all.insert("UI");
    all.insert("shared");
    for (const Node* node : sceneNodes()) {
        std::string space = namespaceOfName(node->name.asChar());
        while (!space.empty() && all.insert(space).second)
            space = namespaceOfName(space);
    }
    // Parents of added namespaces exist too (added with them, but forgetting may leave gaps).
    for (std::string space : state().added)
        while (!(space = namespaceOfName(space)).empty())
            all.insert(space);
    return all;
}

} // namespace

const std::string& currentNamespace()
{
    return state().current;
}

void setCurrentNamespace(const std::string& name)
{
    state().current = name;
}

bool isBuiltinNamespace(const std::string& name)
{
    return name == "UI" || name == "shared";
}

bool namespaceExists(const std::string& name)
{
    if (name.empty() || isBuiltinNamespace(name) || state().added.count(name))
        return true;
    for (const Node* node : sceneNodes()) {
        const std::string nodeName = node->name.asChar();
        if (within(nodeName, name))
            return true;
    }
    return false;
}

void addNamespace(const std::string& name)
{
    for (std::string space = name; !space.empty(); space = namespaceOfName(space))
        state().added.insert(space);
}

void forgetNamespace(const std::string& name)
{
    std::set<std::string>& added = state().added;
    for (auto it = added.begin(); it != added.end();)
        it = (*it == name || within(*it, name)) ? added.erase(it) : std::next(it);
    if (state().current == name || within(state().current, name))
        state().current = namespaceOfName(name);
}

std::vector<std::string> namespacesIn(const std::string& parent, bool recurse)
{
    std::vector<std::string> result;
    if (parent.empty())
        result = {"UI", "shared"};
    for (const std::string& space : allNamespaces()) {
        if (isBuiltinNamespace(space) || !within(space, parent))
            continue;
        if (recurse || namespaceOfName(space) == parent)
            result.push_back(space);
    }
    return result;
}

std::string namespaceOfName(const std::string& name)
{
    const size_t colon = name.rfind(':');
    const size_t start = !name.empty() && name[0] == ':' ? 1 : 0;  // the root, named outright
    if (colon == std::string::npos || colon < start)
        return std::string();
    return name.substr(start, colon - start);
}

bool isValidNamespaceName(const std::string& name)
{
    if (name.empty())
        return false;
    size_t start = 0;
    for (;;) {
        const size_t end = name.find(':', start);
        const std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || std::isdigit(static_cast<unsigned char>(part[0])))
            return false;
        for (char c : part)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
                return false;
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

MString inCurrentNamespace(const MString& requested)
{
    const std::string& current = state().current;
    if (current.empty() || requested.index(':') >= 0)
        return requested;
    return MString((current + ":").c_str()) + requested;
}

MString numberedShapeName(const MString& transformName, const char* base)
{
    const std::string name = transformName.asChar();
    const size_t colon = name.rfind(':');
    const std::string space = colon == std::string::npos ? std::string() : name.substr(0, colon + 1);
    const std::string own = colon == std::string::npos ? name : name.substr(colon + 1);
    const std::string stem = base;
    const std::string number = own.compare(0, stem.size(), stem) == 0 ? own.substr(stem.size()) : std::string();
    return MString((space + stem + "Shape" + number).c_str());
}

void resetNamespaces()
{
    state().current.clear();
    state().added.clear();
}

} // namespace host
