#pragma once
// What the Attribute Editor templates asked for. The host has no Attribute Editor, so
// "editorTemplate" records each request here (checking that layouts nest and close) and
// the host test facility "hostEditorTemplateRecord" reads it back.

#include <string>
#include <vector>

namespace host {

struct EditorTemplateEntry
{
    // The request's flag without its dash: "beginLayout", "addControl", "suppress", ...
    std::string action;
    // Its words in order: the layout label and collapse state, the attribute with its label
    // and change command, the custom procedures and their attributes, ...
    std::vector<std::string> words;
};

class EditorTemplateRecord
{
public:
    // The one record of the session.
    static EditorTemplateRecord& instance();

    // Each returns an empty string when the request is recorded, else why it was refused.
    std::string beginScrollLayout();
    std::string endScrollLayout();
    std::string beginLayout(const std::string& label, bool collapse);
    std::string endLayout();
    std::string beginNoOptimize();
    std::string endNoOptimize();
    // Controls, separators and the like: recorded as they come.
    void add(const std::string& action, const std::vector<std::string>& words);

    // Entries as "action<TAB>word<TAB>word...".
    std::vector<std::string> lines() const;
    const std::vector<EditorTemplateEntry>& entries() const { return fEntries; }
    void clear();

private:
    std::vector<EditorTemplateEntry> fEntries;
    bool fInScrollLayout = false;
    std::vector<std::string> fOpenLayouts;  // labels, innermost last
    int fNoOptimizeDepth = 0;
};

} // namespace host
