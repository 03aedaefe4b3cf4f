#include "ui/EditorTemplateRecord.h"

namespace host {

EditorTemplateRecord& EditorTemplateRecord::instance()
{
    static EditorTemplateRecord record;
    return record;
}

std::string EditorTemplateRecord::beginScrollLayout()
{
    if (fInScrollLayout)
        return "-beginScrollLayout inside another scroll layout.";
    fInScrollLayout = true;
    add("beginScrollLayout", {});
    return std::string();
}

std::string EditorTemplateRecord::endScrollLayout()
{
    if (!fInScrollLayout)
        return "-endScrollLayout has no -beginScrollLayout to close.";
    if (!fOpenLayouts.empty())
        return "-endScrollLayout while layout \"" + fOpenLayouts.back() + "\" is still open.";
    if (fNoOptimizeDepth > 0)
        return "-endScrollLayout while -beginNoOptimize is still open.";
    fInScrollLayout = false;
    add("endScrollLayout", {});
    return std::string();
}

std::string EditorTemplateRecord::beginLayout(const std::string& label, bool collapse)
{
    if (!fInScrollLayout)
        return "-beginLayout \"" + label + "\" outside -beginScrollLayout.";
    fOpenLayouts.push_back(label);
    add("beginLayout", {label, collapse ? "1" : "0"});
    return std::string();
}

std::string EditorTemplateRecord::endLayout()
{
    if (fOpenLayouts.empty())
        return "-endLayout has no -beginLayout to close.";
    fOpenLayouts.pop_back();
    add("endLayout", {});
    return std::string();
}

std::string EditorTemplateRecord::beginNoOptimize()
{
    ++fNoOptimizeDepth;
    add("beginNoOptimize", {});
    return std::string();
}

std::string EditorTemplateRecord::endNoOptimize()
{
    if (fNoOptimizeDepth == 0)
        return "-endNoOptimize has no -beginNoOptimize to close.";
    --fNoOptimizeDepth;
    add("endNoOptimize", {});
    return std::string();
}

void EditorTemplateRecord::add(const std::string& action, const std::vector<std::string>& words)
{
    fEntries.push_back(EditorTemplateEntry{action, words});
}

std::vector<std::string> EditorTemplateRecord::lines() const
{
    std::vector<std::string> out;
    out.reserve(fEntries.size());
    for (const EditorTemplateEntry& entry : fEntries) {
        std::string line = entry.action;
        for (const std::string& word : entry.words)
            line += "\t" + word;
        out.push_back(line);
    }
    return out;
}

void EditorTemplateRecord::clear()
{
    fEntries.clear();
    fInScrollLayout = false;
    fOpenLayouts.clear();
    fNoOptimizeDepth = 0;
}

} // namespace host
