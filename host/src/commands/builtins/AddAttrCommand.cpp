#include "commands/builtins/AddAttrCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/DynamicAttribute.h"
#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "commands/scene/KeptSceneData.h"
#include "dg/Node.h"

#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

#include <vector>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-ln", "-longName", CommandFlags::kOneArg},      {"-sn", "-shortName", CommandFlags::kOneArg},
    {"-at", "-attributeType", CommandFlags::kOneArg}, {"-dt", "-dataType", CommandFlags::kOneArg},
    {"-dv", "-defaultValue", CommandFlags::kOneArg},  {"-min", "-minValue", CommandFlags::kOneArg},
    {"-max", "-maxValue", CommandFlags::kOneArg},     {"-smn", "-softMinValue", CommandFlags::kOneArg},
    {"-smx", "-softMaxValue", CommandFlags::kOneArg}, {"-p", "-parent", CommandFlags::kOneArg},
    {"-nc", "-numberOfChildren", CommandFlags::kOneArg}, {"-en", "-enumName", CommandFlags::kOneArg},
    {"-nn", "-niceName", CommandFlags::kOneArg},      {"-k", "-keyable", CommandFlags::kOptionalBool},
    {"-m", "-multi", CommandFlags::kOptionalBool},    {"-im", "-indexMatters", CommandFlags::kOptionalBool},
    {"-ci", "-cachedInternally", CommandFlags::kOptionalBool}, {"-h", "-hidden", CommandFlags::kOptionalBool},
    {"-s", "-storable", CommandFlags::kOptionalBool}, {"-r", "-readable", CommandFlags::kOptionalBool},
    {"-w", "-writable", CommandFlags::kOptionalBool}, {"-uac", "-usedAsColor", CommandFlags::kOptionalBool},
    {"-dcb", "-disconnectBehaviour", CommandFlags::kOneArg}, {"-is", "-internalSet", CommandFlags::kOptionalBool},
    {"-uaf", "-usedAsFilename", CommandFlags::kOptionalBool}, {"-ct", "-category", CommandFlags::kOneArg},
};

// A compound whose children are still being added.
struct PendingCompound
{
    MObject node;
    DynamicAttribute::Description description;
    unsigned expected;
    std::vector<MObject> children;
};

std::vector<PendingCompound>& pendingCompounds()
{
    static std::vector<PendingCompound> pending;
    return pending;
}

bool nameTaken(const MObject& nodeObject, const MString& name)
{
    Node* node = nodeOf(nodeObject);
    std::vector<const Attribute*> stack(node->attrs.begin(), node->attrs.end());
    while (!stack.empty()) {
        const Attribute* a = stack.back();
        stack.pop_back();
        if (a->matches(name))
            return true;
        stack.insert(stack.end(), a->children.begin(), a->children.end());
    }
    for (const PendingCompound& p : pendingCompounds())
        if (p.node == nodeObject && (p.description.longName == name || p.description.shortName == name))
            return true;
    return false;
}

MStatus readNumber(const CommandFlags& flags, const char* flag, bool& has, double& value)
{
    has = flags.isSet(flag);
    return has ? flags.doubleValue(flag, value) : MStatus(MS::kSuccess);
}

} // namespace

void AddAttrCommand::discardPendingCompounds()
{
    pendingCompounds().clear();
}

MStatus AddAttrCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("addAttr", args, kFlags);
    if (!status)
        return status;
    MObject node;
    if (flags.objects().size() == 1) {
        status = SceneNames::findNode("addAttr", flags.objects()[0], node);
    } else if (flags.objects().empty()) {
        MSelectionList selection;
        status = MGlobal::getActiveSelectionList(selection);
        if (status)
            status = selection.length() > 0 ? selection.getDependNode(0, node) : MStatus(MS::kInvalidParameter);
        if (!status)
            MGlobal::displayError("addAttr: no node given or selected.");
    } else {
        MGlobal::displayError("addAttr: expects one node.");
        status = MS::kInvalidParameter;
    }
    if (!status)
        return status;
    // A scene file's attribute the host cannot make, or one on a stand-in node, is kept for saving.
    if (KeptSceneData::keepAddAttr(args, node, flags.arg("-p"),
                                   DynamicAttribute::canCreate(flags.arg("-at"), flags.arg("-dt"))))
        return MS::kSuccess;

    DynamicAttribute::Description d;
    d.longName = flags.isSet("-ln") ? flags.arg("-ln") : flags.arg("-sn");
    d.shortName = flags.isSet("-sn") ? flags.arg("-sn") : d.longName;
    if (d.longName.length() == 0) {
        MGlobal::displayError("addAttr: give the attribute a name with -longName or -shortName.");
        return MS::kInvalidParameter;
    }
    if (nameTaken(node, d.longName) || nameTaken(node, d.shortName)) {
        MGlobal::displayError(MString("addAttr: ") + SceneNames::nodeName(node) + " already has an attribute \"" +
                              d.longName + "\".");
        return MS::kInvalidParameter;
    }
    d.niceName = flags.arg("-nn");
    d.attributeType = flags.arg("-at");
    d.dataType = flags.arg("-dt");
    d.enumNames = flags.arg("-en");
    d.multi = flags.boolValue("-m", false);
    d.keyable = flags.boolValue("-k", false);
    d.hidden = flags.boolValue("-h", false);
    d.storable = flags.boolValue("-s", true);
    d.readable = flags.boolValue("-r", true);
    d.writable = flags.boolValue("-w", true);
    d.usedAsColor = flags.boolValue("-uac", false);
    d.indexMatters = flags.boolValue("-im", true);
    if (flags.isSet("-dcb")) {
        long long behavior = -1;
        if (!ValueText::parseInt(flags.arg("-dcb"), behavior) || behavior < 0 || behavior > 2) {
            MGlobal::displayError(MString("addAttr: bad disconnect behaviour \"") + flags.arg("-dcb") + "\".");
            return MS::kInvalidParameter;
        }
        d.disconnectBehavior = static_cast<int>(behavior);
    }
    status = readNumber(flags, "-dv", d.hasDefault, d.defaultValue);
    if (status) status = readNumber(flags, "-min", d.hasMin, d.minValue);
    if (status) status = readNumber(flags, "-max", d.hasMax, d.maxValue);
    if (status) status = readNumber(flags, "-smn", d.hasSoftMin, d.softMinValue);
    if (status) status = readNumber(flags, "-smx", d.hasSoftMax, d.softMaxValue);
    if (!status)
        return status;

    std::vector<PendingCompound>& pending = pendingCompounds();
    unsigned maxChildren = 0;
    if (DynamicAttribute::isCompoundType(d, maxChildren)) {
        if (flags.isSet("-p")) {
            MGlobal::displayError("addAttr: compounds inside compounds are not supported.");
            return MS::kInvalidParameter;
        }
        long long count = maxChildren == 0xffffffffu ? 0 : maxChildren;
        if (flags.isSet("-nc") && (!ValueText::parseInt(flags.arg("-nc"), count) || count < 1 ||
                                   count > static_cast<long long>(maxChildren))) {
            MGlobal::displayError(MString("addAttr: bad number of children \"") + flags.arg("-nc") + "\".");
            return MS::kInvalidParameter;
        }
        if (count < 1) {
            MGlobal::displayError("addAttr: a compound needs -numberOfChildren.");
            return MS::kInvalidParameter;
        }
        pending.push_back(PendingCompound{node, d, static_cast<unsigned>(count), {}});
        return MS::kSuccess;
    }

    MObject attribute;
    status = DynamicAttribute::create("addAttr", d, attribute);
    if (!status)
        return status;
    if (flags.isSet("-p")) {
        const MString parent = flags.arg("-p");
        auto it = pending.begin();
        while (it != pending.end() &&
               !(it->node == node && (it->description.longName == parent || it->description.shortName == parent)))
            ++it;
        if (it == pending.end()) {
            MGlobal::displayError(MString("addAttr: \"") + parent + "\" is not a compound attribute waiting for children.");
            return MS::kInvalidParameter;
        }
        it->children.push_back(attribute);
        if (it->children.size() < it->expected)
            return MS::kSuccess;
        PendingCompound done = std::move(*it);
        pending.erase(it);
        status = DynamicAttribute::createCompound("addAttr", done.description, done.children, attribute);
        if (!status)
            return status;
    }
    status = mModifier.addAttribute(node, attribute);
    if (!status) {
        MGlobal::displayError(MString("addAttr: cannot add \"") + d.longName + "\" to " + SceneNames::nodeName(node) + ".");
        return status;
    }
    return execute("addAttr");
}

} // namespace host
