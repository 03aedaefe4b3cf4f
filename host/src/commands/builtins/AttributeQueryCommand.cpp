#include "commands/builtins/AttributeQueryCommand.h"

#include "commands/builtins/AttributeNames.h"
#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/PlugValue.h"
#include "commands/builtins/SceneNames.h"
#include "dg/Attribute.h"
#include "dg/Node.h"
#include "dg/Registry.h"

#include <maya/MDoubleArray.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MStringArray.h>

#include <vector>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-n", "-node", CommandFlags::kOneArg},
    {"-typ", "-type", CommandFlags::kOneArg},
    {"-ex", "-exists", CommandFlags::kOptionalBool},
    {"-at", "-attributeType", CommandFlags::kOptionalBool},
    {"-nn", "-niceName", CommandFlags::kOptionalBool},
    {"-ln", "-longName", CommandFlags::kOptionalBool},
    {"-sn", "-shortName", CommandFlags::kOptionalBool},
    {"-min", "-minimum", CommandFlags::kOptionalBool},
    {"-max", "-maximum", CommandFlags::kOptionalBool},
    {"-smn", "-softMin", CommandFlags::kOptionalBool},
    {"-smx", "-softMax", CommandFlags::kOptionalBool},
    {"-mne", "-minExists", CommandFlags::kOptionalBool},
    {"-mi", "-minExists", CommandFlags::kOptionalBool},
    {"-mxe", "-maxExists", CommandFlags::kOptionalBool},
    {"-se", "-softMinExists", CommandFlags::kOptionalBool},
    {"-sme", "-softMinExists", CommandFlags::kOptionalBool},
    {"-sxe", "-softMaxExists", CommandFlags::kOptionalBool},
    {"-le", "-listEnum", CommandFlags::kOptionalBool},
    {"-k", "-keyable", CommandFlags::kOptionalBool},
    {"-h", "-hidden", CommandFlags::kOptionalBool},
    {"-m", "-multi", CommandFlags::kOptionalBool},
    {"-r", "-readable", CommandFlags::kOptionalBool},
    {"-w", "-writable", CommandFlags::kOptionalBool},
    {"-s", "-storable", CommandFlags::kOptionalBool},
    {"-c", "-connectable", CommandFlags::kOptionalBool},
    {"-uac", "-usedAsColor", CommandFlags::kOptionalBool},
    {"-lc", "-listChildren", CommandFlags::kOptionalBool},
    {"-lp", "-listParent", CommandFlags::kOptionalBool},
    {"-nc", "-numberOfChildren", CommandFlags::kOptionalBool},
};

MStatus fail(const MString& message)
{
    MGlobal::displayError(MString("attributeQuery: ") + message);
    return MS::kInvalidParameter;
}

const Attribute* findIn(const Attribute* a, const MString& name)
{
    if (a->matches(name))
        return a;
    for (const Attribute* child : a->children)
        if (const Attribute* found = findIn(child, name))
            return found;
    return nullptr;
}

const Attribute* findOnType(const NodeType& type, const MString& name)
{
    for (const Attribute* a : type.attributes)
        if (const Attribute* found = findIn(a, name))
            return found;
    return nullptr;
}

// Limits in UI units, one value per component (three for a numeric compound).
MDoubleArray limits(const Attribute* a, bool maximum)
{
    MDoubleArray values;
    const Attribute* source = a;
    const unsigned n = a->isNumericCompound() ? unsigned(a->children.size()) : 1u;
    for (unsigned k = 0; k < n && k < 3; ++k) {
        const double internal = maximum ? source->maxValue[k] : source->minValue[k];
        values.append(a->attrKind == AttrKind::Unit ? PlugValue::uiValue(a->unitType, internal) : internal);
    }
    return values;
}

double softLimit(const Attribute* a, bool maximum)
{
    const double internal = maximum ? a->softMax : a->softMin;
    return a->attrKind == AttrKind::Unit ? PlugValue::uiValue(a->unitType, internal) : internal;
}

} // namespace

MStatus AttributeQueryCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("attributeQuery", args, kFlags);
    if (!status)
        return status;
    if (flags.objects().size() != 1)
        return fail("expects one attribute name.");
    const MString attrName = flags.objects()[0];

    const Attribute* a = nullptr;
    Node* node = nullptr;
    MString owner;
    if (flags.isSet("-n")) {
        owner = flags.arg("-n");
        MObject object;
        status = SceneNames::findNode("attributeQuery", owner, object);
        if (!status)
            return status;
        node = nodeOf(object);
        a = node ? node->findAttribute(attrName) : nullptr;
    } else if (flags.isSet("-typ")) {
        owner = flags.arg("-typ");
        const NodeType* type = findRegisteredType(owner);
        if (!type)
            return fail(MString("Unknown node type: ") + owner);
        a = findOnType(*type, attrName);
    } else {
        return fail("give a node with -n or a node type with -typ.");
    }

    if (flags.isSet("-ex")) {
        setResult(a != nullptr);
        return MS::kSuccess;
    }
    if (!a)
        return fail(MString("No attribute named ") + attrName + " on " + owner + ".");

    // Plug-level state (setAttr -k, -cb) of a node's attribute outside any multi.
    MPlug plug;
    if (node) {
        std::vector<const Attribute*> chain;  // the attribute up to its top-level compound
        bool underMulti = false;
        for (const Attribute* p = a; p; p = p->parent) {
            chain.push_back(p);
            underMulti = underMulti || (p != a && p->is(kArray));
        }
        if (!underMulti) {
            plug = MPlug(node->object(), ObjectAccess::make(const_cast<Attribute*>(chain.back())));
            for (size_t i = chain.size() - 1; i > 0; --i)
                plug = plug.child(unsigned(chain[i - 1]->childIndex));
        }
    }

    const auto boolFlag = [&](const char* flag, bool value) {
        if (!flags.boolValue(flag, false))
            return false;
        setResult(value);
        return true;
    };
    if (boolFlag("-k", plug.isNull() ? a->is(kKeyable) : plug.isKeyable()) || boolFlag("-h", a->is(kHidden)) ||
        boolFlag("-m", a->is(kArray)) || boolFlag("-r", a->is(kReadable)) || boolFlag("-w", a->is(kWritable)) ||
        boolFlag("-s", a->is(kStorable)) || boolFlag("-c", a->is(kConnectable)) ||
        boolFlag("-uac", a->is(kUsedAsColor)) || boolFlag("-mne", a->hasMin) || boolFlag("-mi", a->hasMin) ||
        boolFlag("-mxe", a->hasMax) || boolFlag("-se", a->hasSoftMin) || boolFlag("-sme", a->hasSoftMin) ||
        boolFlag("-sxe", a->hasSoftMax))
        return MS::kSuccess;

    const MString qualified = owner + "." + a->name;
    if (flags.boolValue("-at", false)) {
        setResult(attributeTypeName(a));
    } else if (flags.boolValue("-nn", false)) {
        setResult(attributeNiceName(a));
    } else if (flags.boolValue("-ln", false)) {
        setResult(a->name);
    } else if (flags.boolValue("-sn", false)) {
        setResult(a->shortName);
    } else if (flags.boolValue("-min", false) || flags.boolValue("-max", false)) {
        const bool maximum = flags.boolValue("-max", false);
        if (!(maximum ? a->hasMax : a->hasMin))
            return fail(qualified + (maximum ? " has no maximum." : " has no minimum."));
        setResult(limits(a, maximum));
    } else if (flags.boolValue("-smn", false) || flags.boolValue("-smx", false)) {
        const bool maximum = flags.boolValue("-smx", false);
        if (!(maximum ? a->hasSoftMax : a->hasSoftMin))
            return fail(qualified + (maximum ? " has no soft maximum." : " has no soft minimum."));
        MDoubleArray value;
        value.append(softLimit(a, maximum));
        setResult(value);
    } else if (flags.boolValue("-le", false)) {
        if (a->attrKind != AttrKind::Enum)
            return fail(qualified + " is not an enum attribute.");
        MStringArray fields;
        fields.append(enumFieldList(a));
        setResult(fields);
    } else if (flags.boolValue("-lc", false)) {
        MStringArray children;
        for (const Attribute* child : a->children)
            children.append(child->name);
        setResult(children);
    } else if (flags.boolValue("-lp", false)) {
        MStringArray parent;
        if (a->parent)
            parent.append(a->parent->name);
        setResult(parent);
    } else if (flags.boolValue("-nc", false)) {
        setResult(int(a->children.size()));
    } else {
        return fail("give a query flag such as -ex, -at or -nn.");
    }
    return MS::kSuccess;
}

} // namespace host
