#include "commands/builtins/ListAttrCommand.h"

#include "commands/builtins/AttributeNames.h"
#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "dg/Attribute.h"
#include "dg/Node.h"
#include "dg/Scene.h"

#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <vector>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-ud", "-userDefined", CommandFlags::kOptionalBool},
    {"-k", "-keyable", CommandFlags::kOptionalBool},
    {"-m", "-multi", CommandFlags::kOptionalBool},
    {"-s", "-scalar", CommandFlags::kOptionalBool},
    {"-r", "-read", CommandFlags::kOptionalBool},
    {"-w", "-write", CommandFlags::kOptionalBool},
    {"-v", "-visible", CommandFlags::kOptionalBool},
    {"-cb", "-channelBox", CommandFlags::kOptionalBool},
    {"-l", "-locked", CommandFlags::kOptionalBool},
    {"-u", "-unlocked", CommandFlags::kOptionalBool},
    {"-c", "-connectable", CommandFlags::kOptionalBool},
    {"-a", "-array", CommandFlags::kOptionalBool},
    {"-lf", "-leaf", CommandFlags::kOptionalBool},
    {"-sn", "-shortNames", CommandFlags::kOptionalBool},
    {"-st", "-string", CommandFlags::kOneArg},
};

bool isScalarKind(const Attribute* a)
{
    return a->attrKind == AttrKind::Numeric || a->attrKind == AttrKind::Unit || a->attrKind == AttrKind::Enum;
}

struct Filter
{
    const CommandFlags& flags;
    bool shortNames;
    std::vector<MString> patterns;
    MStringArray* out;

    bool on(const char* flag) const { return flags.boolValue(flag, false); }

    // `plug` is null for attributes under a multi: they have no single plug.
    void visit(const Attribute* a, const MPlug& plug, bool underMulti) const
    {
        if (accepts(a, plug, underMulti))
            out->append(listedAttributePath(a, shortNames));
        const bool multi = underMulti || a->is(kArray);
        for (size_t i = 0; i < a->children.size(); ++i)
            visit(a->children[i], multi || plug.isNull() ? MPlug() : plug.child(unsigned(i)), multi);
    }

    bool accepts(const Attribute* a, const MPlug& plug, bool underMulti) const
    {
        const bool keyable = plug.isNull() ? a->is(kKeyable) : plug.isKeyable();
        const bool channelBox = plug.isNull() ? a->is(kChannelBox) : plug.isChannelBox();
        const bool locked = !plug.isNull() && plug.isLocked();
        if (on("-ud") && !a->root()->is(kDynamic))
            return false;
        // A numeric compound is keyed through its children, which are listed instead.
        if (on("-k") && (!keyable || a->isNumericCompound()))
            return false;
        if (on("-cb") && (keyable || !channelBox))
            return false;
        if (on("-m") && !a->is(kArray))
            return false;
        if (on("-s") && (!isScalarKind(a) || a->is(kArray) || underMulti))
            return false;
        if (on("-a") && !a->is(kArray))
            return false;
        if (on("-r") && !a->is(kReadable))
            return false;
        if (on("-w") && !a->is(kWritable))
            return false;
        if (on("-v") && a->is(kHidden))
            return false;
        if (on("-c") && !a->is(kConnectable))
            return false;
        if (on("-l") && !locked)
            return false;
        if (on("-u") && locked)
            return false;
        if (on("-lf") && !a->children.empty())
            return false;
        if (patterns.empty())
            return true;
        const MString name = shortNames ? a->shortName : a->name;
        for (const MString& pattern : patterns)
            if (matchesPattern(pattern.asChar(), name.asChar()))
                return true;
        return false;
    }
};

} // namespace

MStatus ListAttrCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("listAttr", args, kFlags);
    if (!status)
        return status;
    Filter filter{flags, flags.boolValue("-sn", false), {}, nullptr};
    for (unsigned i = 0; i < flags.uses("-st"); ++i)
        filter.patterns.push_back(flags.arg("-st", i));
    MStringArray result;
    filter.out = &result;

    MSelectionList targets;
    if (flags.objects().empty()) {
        status = MGlobal::getActiveSelectionList(targets);
        if (!status)
            return status;
    }
    for (const MString& name : flags.objects()) {
        if (name.index('.') >= 0) {
            MPlug plug;
            status = SceneNames::findPlug("listAttr", name, plug);
            if (!status)
                return status;
            targets.add(plug);
        } else {
            status = SceneNames::addMatches("listAttr", name, targets);
            if (!status)
                return status;
        }
    }
    for (unsigned i = 0; i < targets.length(); ++i) {
        MPlug plug;
        if (targets.getPlug(i, plug) == MS::kSuccess && !plug.isNull()) {
            const Attribute* a = PlugAccess::attribute(plug);
            bool underMulti = false;
            for (const Attribute* p = a->parent; p; p = p->parent)
                underMulti = underMulti || p->is(kArray);
            filter.visit(a, plug, underMulti);
            continue;
        }
        MObject object;
        if (!targets.getDependNode(i, object))
            continue;
        const Node* node = nodeOf(object);
        if (!node)
            continue;
        for (const Attribute* a : node->attrs)
            filter.visit(a, MPlug(object, ObjectAccess::make(const_cast<Attribute*>(a))), false);
    }
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
