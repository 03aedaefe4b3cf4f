#include "commands/scene/SceneRecords.h"

#include "commands/Argument.h"
#include "commands/PluginManager.h"
#include "commands/builtins/ValueText.h"
#include "commands/mel/MelValue.h"

namespace host {

namespace {

struct Records
{
    std::vector<std::pair<MString, MString>> fileInfo;
    std::vector<SceneRecords::Requirement> requirements;
    std::vector<MString> relationships;
    std::vector<MString> dataStructures;
    std::vector<MString> references;
};

Records& records()
{
    static Records r;
    return r;
}

void append(std::string& out, const MString& text)
{
    out.append(text.asChar(), text.length());
}

void writeStatements(const std::vector<MString>& statements, std::string& out)
{
    for (const MString& statement : statements) {
        append(out, statement);
        out += ";\n";
    }
}

} // namespace

MString SceneRecords::statementText(const char* command, const MArgList& args)
{
    MString text(command);
    for (const Argument& arg : ArgListAccess::args(args)) {
        text += " ";
        switch (arg.kind) {
        case Argument::kInt: text += ValueText::formatInt(arg.intValue); break;
        case Argument::kDouble: text += doubleText(arg.doubleValue); break;
        case Argument::kString: text += ValueText::quote(arg.text); break;
        case Argument::kFlag: text += arg.text; break;
        }
    }
    return text;
}

void SceneRecords::clear()
{
    records() = Records();
}

void SceneRecords::setFileInfo(const MString& key, const MString& value)
{
    for (auto& entry : records().fileInfo)
        if (entry.first == key) {
            entry.second = value;
            return;
        }
    records().fileInfo.emplace_back(key, value);
}

bool SceneRecords::removeFileInfo(const MString& key)
{
    auto& info = records().fileInfo;
    for (auto it = info.begin(); it != info.end(); ++it)
        if (it->first == key) {
            info.erase(it);
            return true;
        }
    return false;
}

const std::vector<std::pair<MString, MString>>& SceneRecords::fileInfo()
{
    return records().fileInfo;
}

bool SceneRecords::keepRequirement(const Requirement& requirement)
{
    for (Requirement& kept : records().requirements) {
        if (kept.plugin != requirement.plugin)
            continue;
        for (const auto& flag : requirement.typeFlags) {
            bool known = false;
            for (const auto& have : kept.typeFlags)
                known = known || (have.first == flag.first && have.second == flag.second);
            if (!known)
                kept.typeFlags.push_back(flag);
        }
        return false;
    }
    records().requirements.push_back(requirement);
    return true;
}

const std::vector<SceneRecords::Requirement>& SceneRecords::requirements()
{
    return records().requirements;
}

void SceneRecords::keepRelationship(const MString& statement)
{
    records().relationships.push_back(statement);
}

void SceneRecords::keepDataStructure(const MString& statement)
{
    records().dataStructures.push_back(statement);
}

void SceneRecords::keepReference(const MString& statement)
{
    records().references.push_back(statement);
}

void SceneRecords::writeReferences(std::string& out)
{
    writeStatements(records().references, out);
}

void SceneRecords::writeRequirements(std::string& out, const std::vector<MString>& alreadyWritten)
{
    for (const Requirement& requirement : records().requirements) {
        bool written = PluginManager::isLoaded(requirement.plugin);
        for (const MString& name : alreadyWritten)
            written = written || name == requirement.plugin;
        if (written)
            continue;
        out += "requires";
        for (const auto& flag : requirement.typeFlags) {
            out += ' ';
            append(out, flag.first);
            out += ' ';
            append(out, ValueText::quote(flag.second));
        }
        out += ' ';
        append(out, ValueText::quote(requirement.plugin));
        out += ' ';
        append(out, ValueText::quote(requirement.version));
        out += ";\n";
    }
}

void SceneRecords::writeFileInfo(std::string& out)
{
    for (const auto& entry : records().fileInfo) {
        out += "fileInfo ";
        append(out, ValueText::quote(entry.first));
        out += ' ';
        append(out, ValueText::quote(entry.second));
        out += ";\n";
    }
    writeStatements(records().dataStructures, out);
}

void SceneRecords::writeRelationships(std::string& out)
{
    writeStatements(records().relationships, out);
}

} // namespace host
