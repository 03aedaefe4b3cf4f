#include "dag/DagAttributes.h"

#include "dag/Dag.h"
#include "dg/Attribute.h"
#include "dg/Registry.h"

#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnMatrixAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MPxNode.h>

namespace host {

MObject DagAttributes::visibility;
MObject DagAttributes::lodVisibility;
MObject DagAttributes::templated;
MObject DagAttributes::intermediateObject;
MObject DagAttributes::instObjGroups;
MObject DagAttributes::objectGroups;
MObject DagAttributes::objectGroupId;
MObject DagAttributes::offsetParentMatrix;
MObject DagAttributes::parentMatrix;
MObject DagAttributes::parentInverseMatrix;
MObject DagAttributes::worldMatrix;
MObject DagAttributes::worldInverseMatrix;
MObject DagAttributes::hiddenInOutliner;
MObject DagAttributes::drawOverride;
MObject DagAttributes::overrideDisplayType;
MObject DagAttributes::overrideEnabled;
MObject DagAttributes::overrideVisibility;
MObject DagAttributes::overrideRGBColors;
MObject DagAttributes::overrideColor;
MObject DagAttributes::overrideColorRGB;
MObject DagAttributes::useObjectColor;
MObject DagAttributes::objectColor;
MObject DagAttributes::wireColorRGB;

namespace {

// Attributes are created once and shared by every DAG node type.
MStatus createDagAttributes()
{
    if (!DagAttributes::visibility.isNull())
        return MS::kSuccess;
    MStatus status;
    MObject visibility = DagAttributes::createBool("visibility", "v", true, true, status);
    DAG_CHECK(status);
    MObject lodVisibility = DagAttributes::createBool("lodVisibility", "lodv", true, false, status);
    DAG_CHECK(status);
    MObject templated = DagAttributes::createBool("template", "tmp", false, false, status);
    DAG_CHECK(status);
    MObject intermediate = DagAttributes::createBool("intermediateObject", "io", false, false, status);
    DAG_CHECK(status);

    // instObjGroups[instance].objectGroups[group].objectGroupId
    MFnNumericAttribute numeric;
    MObject groupId = numeric.create("objectGroupId", "gid", MFnNumericData::kInt, 0, &status);
    DAG_CHECK(status);
    MFnCompoundAttribute compound;
    MObject groups = compound.create("objectGroups", "og", &status);
    DAG_CHECK(status);
    DAG_CHECK(compound.addChild(groupId));
    DAG_CHECK(compound.setArray(true));
    MObject instGroups = compound.create("instObjGroups", "iog", &status);
    DAG_CHECK(status);
    DAG_CHECK(compound.addChild(groups));
    DAG_CHECK(compound.setArray(true));

    MObject offset = DagAttributes::createMatrix("offsetParentMatrix", "opm", false, false, status);
    DAG_CHECK(status);
    MObject parent = DagAttributes::createMatrix("parentMatrix", "pm", true, true, status);
    DAG_CHECK(status);
    MObject parentInverse = DagAttributes::createMatrix("parentInverseMatrix", "pim", true, true, status);
    DAG_CHECK(status);
    MObject world = DagAttributes::createMatrix("worldMatrix", "wm", true, true, status);
    DAG_CHECK(status);
    MObject worldInverse = DagAttributes::createMatrix("worldInverseMatrix", "wim", true, true, status);
    DAG_CHECK(status);

    // Outliner and display-override settings: the host draws no Outliner, but scripts and
    // plug-ins set and read them as in Maya.
    MObject hidden = DagAttributes::createBool("hiddenInOutliner", "hio", false, false, status);
    DAG_CHECK(status);
    // Maya's names of a DAG node's drawing overrides, in a display layer's "drawInfo" order.
    static const char* const kOverrideNames[DagAttributes::kDrawSettings][2] = {
        {"overrideDisplayType", "ovdt"}, {"overrideLevelOfDetail", "ovlod"}, {"overrideShading", "ovs"},
        {"overrideTexturing", "ovt"},    {"overridePlayback", "ovp"},        {"overrideEnabled", "ove"},
        {"overrideVisibility", "ovv"},   {"hideOnPlayback", "hpb"},          {"overrideRGBColors", "ovrgbf"},
        {"overrideColor", "ovc"},        {"overrideColorRGB", "ovrgb"},      {"overrideColorA", "ovca"}};
    MObject settings[DagAttributes::kDrawSettings];
    MObject drawOverrides =
        DagAttributes::createDrawSettings("drawOverride", "do", kOverrideNames, false, settings, status);
    DAG_CHECK(status);

    // The dormant wireframe colour of its own (`color`): 1 a user colour, 2 "wireColorRGB".
    MObject useColor = numeric.create("useObjectColor", "uoc", MFnNumericData::kShort, 0, &status);
    DAG_CHECK(status);
    MObject colorNumber = numeric.create("objectColor", "oc", MFnNumericData::kShort, 0, &status);
    DAG_CHECK(status);
    DAG_CHECK(numeric.setMin(0));
    DAG_CHECK(numeric.setMax(7));
    MObject wireColor = DagAttributes::createColor("wireColorRGB", "wfcc", "wireColor", "wfc", status);
    DAG_CHECK(status);

    DagAttributes::hiddenInOutliner = hidden;
    DagAttributes::drawOverride = drawOverrides;
    DagAttributes::overrideDisplayType = settings[0];
    DagAttributes::overrideEnabled = settings[5];
    DagAttributes::overrideVisibility = settings[6];
    DagAttributes::overrideRGBColors = settings[8];
    DagAttributes::overrideColor = settings[9];
    DagAttributes::overrideColorRGB = settings[10];
    DagAttributes::useObjectColor = useColor;
    DagAttributes::objectColor = colorNumber;
    DagAttributes::wireColorRGB = wireColor;
    DagAttributes::visibility = visibility;
    DagAttributes::lodVisibility = lodVisibility;
    DagAttributes::templated = templated;
    DagAttributes::intermediateObject = intermediate;
    DagAttributes::objectGroupId = groupId;
    DagAttributes::objectGroups = groups;
    DagAttributes::instObjGroups = instGroups;
    DagAttributes::offsetParentMatrix = offset;
    DagAttributes::parentMatrix = parent;
    DagAttributes::parentInverseMatrix = parentInverse;
    DagAttributes::worldMatrix = world;
    DagAttributes::worldInverseMatrix = worldInverse;

    MPxLocatorNode::visibility = visibility;
    MPxLocatorNode::intermediateObject = intermediate;
    MPxLocatorNode::isTemplated = templated;
    MPxLocatorNode::instObjGroups = instGroups;
    MPxLocatorNode::parentMatrix = parent;
    MPxLocatorNode::parentInverseMatrix = parentInverse;
    MPxLocatorNode::worldMatrix = world;
    MPxLocatorNode::worldInverseMatrix = worldInverse;
    return MS::kSuccess;
}

MStatus createLocatorAttributes()
{
    if (!MPxLocatorNode::localPosition.isNull())
        return MS::kSuccess;
    MStatus status;
    static const char* const lpNames[3] = {"localPositionX", "localPositionY", "localPositionZ"};
    static const char* const lpShort[3] = {"lpx", "lpy", "lpz"};
    MObject localPosition = DagAttributes::createDouble3("localPosition", "lp", lpNames, lpShort,
                                                         MFnUnitAttribute::kDistance, 0.0, false, status);
    DAG_CHECK(status);
    static const char* const lsNames[3] = {"localScaleX", "localScaleY", "localScaleZ"};
    static const char* const lsShort[3] = {"lsx", "lsy", "lsz"};
    MObject localScale = DagAttributes::createDouble3("localScale", "los", lsNames, lsShort,
                                                      MFnUnitAttribute::kDistance, 1.0, false, status);
    DAG_CHECK(status);

    static const char* const wpNames[3] = {"worldPositionX", "worldPositionY", "worldPositionZ"};
    static const char* const wpShort[3] = {"wpx", "wpy", "wpz"};
    MObject worldPosition = DagAttributes::createDouble3("worldPosition", "wp", wpNames, wpShort,
                                                         MFnUnitAttribute::kDistance, 0.0, false, status);
    DAG_CHECK(status);
    MFnNumericAttribute numeric(worldPosition);
    DAG_CHECK(numeric.setArray(true));
    DAG_CHECK(numeric.setWritable(false));
    DAG_CHECK(numeric.setStorable(false));

    MObject underWorld = DagAttributes::createBool("underWorldObject", "uwo", false, false, status);
    DAG_CHECK(status);
    MFnNumericAttribute underWorldFn(underWorld);
    DAG_CHECK(underWorldFn.setHidden(true));
    DAG_CHECK(underWorldFn.setStorable(false));

    static const char* const cNames[3] = {"boundingBoxCenterX", "boundingBoxCenterY", "boundingBoxCenterZ"};
    static const char* const cShort[3] = {"bcx", "bcy", "bcz"};
    MObject center = DagAttributes::createDouble3("center", "c", cNames, cShort, MFnUnitAttribute::kDistance, 0.0,
                                                  false, status);
    DAG_CHECK(status);
    static const char* const minNames[3] = {"nodeBoundingBoxMinX", "nodeBoundingBoxMinY", "nodeBoundingBoxMinZ"};
    static const char* const minShort[3] = {"nbnx", "nbny", "nbnz"};
    MObject bbMin = DagAttributes::createDouble3("nodeBoundingBoxMin", "nbbn", minNames, minShort,
                                                 MFnUnitAttribute::kDistance, 0.0, false, status);
    DAG_CHECK(status);
    static const char* const maxNames[3] = {"nodeBoundingBoxMaxX", "nodeBoundingBoxMaxY", "nodeBoundingBoxMaxZ"};
    static const char* const maxShort[3] = {"nbxx", "nbxy", "nbxz"};
    MObject bbMax = DagAttributes::createDouble3("nodeBoundingBoxMax", "nbbx", maxNames, maxShort,
                                                 MFnUnitAttribute::kDistance, 0.0, false, status);
    DAG_CHECK(status);
    static const char* const sizeNames[3] = {"nodeBoundingBoxSizeX", "nodeBoundingBoxSizeY",
                                             "nodeBoundingBoxSizeZ"};
    static const char* const sizeShort[3] = {"nbsx", "nbsy", "nbsz"};
    MObject bbSize = DagAttributes::createDouble3("nodeBoundingBoxSize", "nbbs", sizeNames, sizeShort,
                                                  MFnUnitAttribute::kDistance, 0.0, false, status);
    DAG_CHECK(status);
    MFnCompoundAttribute compound;
    MObject bbox = compound.create("nodeBoundingBox", "nbb", &status);
    DAG_CHECK(status);
    DAG_CHECK(compound.addChild(bbMin));
    DAG_CHECK(compound.addChild(bbMax));
    DAG_CHECK(compound.addChild(bbSize));
    for (MObject* output : {&center, &bbox}) {
        MFnAttribute fn(*output);
        DAG_CHECK(fn.setWritable(false));
        DAG_CHECK(fn.setStorable(false));
    }

    MPxLocatorNode::localPosition = localPosition;
    MFnCompoundAttribute lp(localPosition);
    MPxLocatorNode::localPositionX = lp.child(0);
    MPxLocatorNode::localPositionY = lp.child(1);
    MPxLocatorNode::localPositionZ = lp.child(2);
    MPxLocatorNode::localScale = localScale;
    MFnCompoundAttribute ls(localScale);
    MPxLocatorNode::localScaleX = ls.child(0);
    MPxLocatorNode::localScaleY = ls.child(1);
    MPxLocatorNode::localScaleZ = ls.child(2);
    MPxLocatorNode::worldPosition = worldPosition;
    MFnCompoundAttribute wp(worldPosition);
    MPxLocatorNode::worldPositionX = wp.child(0);
    MPxLocatorNode::worldPositionY = wp.child(1);
    MPxLocatorNode::worldPositionZ = wp.child(2);
    MPxLocatorNode::underWorldObject = underWorld;
    MPxLocatorNode::center = center;
    MFnCompoundAttribute c(center);
    MPxLocatorNode::boundingBoxCenterX = c.child(0);
    MPxLocatorNode::boundingBoxCenterY = c.child(1);
    MPxLocatorNode::boundingBoxCenterZ = c.child(2);
    MPxLocatorNode::nodeBoundingBox = bbox;
    MPxLocatorNode::nodeBoundingBoxMin = bbMin;
    MPxLocatorNode::nodeBoundingBoxMax = bbMax;
    MPxLocatorNode::nodeBoundingBoxSize = bbSize;
    MFnCompoundAttribute mn(bbMin), mx(bbMax), sz(bbSize);
    MPxLocatorNode::nodeBoundingBoxMinX = mn.child(0);
    MPxLocatorNode::nodeBoundingBoxMinY = mn.child(1);
    MPxLocatorNode::nodeBoundingBoxMinZ = mn.child(2);
    MPxLocatorNode::nodeBoundingBoxMaxX = mx.child(0);
    MPxLocatorNode::nodeBoundingBoxMaxY = mx.child(1);
    MPxLocatorNode::nodeBoundingBoxMaxZ = mx.child(2);
    MPxLocatorNode::nodeBoundingBoxSizeX = sz.child(0);
    MPxLocatorNode::nodeBoundingBoxSizeY = sz.child(1);
    MPxLocatorNode::nodeBoundingBoxSizeZ = sz.child(2);
    return MS::kSuccess;
}

} // namespace

MObject DagAttributes::createBool(const MString& name, const MString& shortName, bool value, bool keyable,
                                  MStatus& status)
{
    MFnNumericAttribute fn;
    MObject attr = fn.create(name, shortName, MFnNumericData::kBoolean, value ? 1.0 : 0.0, &status);
    if (status)
        status = fn.setKeyable(keyable);
    return attr;
}

MObject DagAttributes::createDouble3(const MString& name, const MString& shortName, const char* const childNames[3],
                                     const char* const childShortNames[3], MFnUnitAttribute::Type unit,
                                     double value, bool keyable, MStatus& status)
{
    MObject children[3];
    for (int i = 0; i < 3; ++i) {
        if (unit == MFnUnitAttribute::kInvalid) {
            MFnNumericAttribute fn;
            children[i] = fn.create(childNames[i], childShortNames[i], MFnNumericData::kDouble, value, &status);
        } else {
            MFnUnitAttribute fn;
            children[i] = fn.create(childNames[i], childShortNames[i], unit, value, &status);
        }
        if (!status)
            return MObject::kNullObj;
        MFnAttribute child(children[i]);
        status = child.setKeyable(keyable);
        if (!status)
            return MObject::kNullObj;
    }
    MFnNumericAttribute fn;
    MObject attr = fn.create(name, shortName, children[0], children[1], children[2], &status);
    if (!status)
        return MObject::kNullObj;
    status = fn.setKeyable(keyable);
    return attr;
}

MObject DagAttributes::createMatrix(const MString& name, const MString& shortName, bool output, bool perInstance,
                                    MStatus& status)
{
    MFnMatrixAttribute fn;
    MObject attr = fn.create(name, shortName, MFnMatrixAttribute::kDouble, &status);
    if (!status)
        return MObject::kNullObj;
    if (output) {
        status = fn.setWritable(false);
        if (status)
            status = fn.setStorable(false);
    }
    if (status && perInstance)
        status = fn.setArray(true);
    if (status && perInstance)
        status = fn.setUsesArrayDataBuilder(true);
    return attr;
}

MObject DagAttributes::createDrawSettings(const char* name, const char* shortName,
                                         const char* const names[kDrawSettings][2], bool enabled,
                                         MObject children[kDrawSettings], MStatus& status)
{
    MFnEnumAttribute displayType;
    children[0] = displayType.create(names[0][0], names[0][1], 0, &status);
    if (status) status = displayType.addField("Normal", 0);
    if (status) status = displayType.addField("Template", 1);
    if (status) status = displayType.addField("Reference", 2);
    MFnEnumAttribute detail;
    if (status) children[1] = detail.create(names[1][0], names[1][1], 0, &status);
    if (status) status = detail.addField("Full", 0);
    if (status) status = detail.addField("Bounding Box", 1);
    // Shading, texturing, playback, enabled, visibility, hide on playback, RGB colours.
    const bool switches[7] = {true, true, true, enabled, true, false, false};
    for (int k = 0; k < 7 && status; ++k)
        children[2 + k] = createBool(names[2 + k][0], names[2 + k][1], switches[k], false, status);
    // The colour: an index into Maya's 32-colour palette (0: the object's own), or RGB.
    MFnNumericAttribute numeric;
    if (status) children[9] = numeric.create(names[9][0], names[9][1], MFnNumericData::kByte, 0, &status);
    if (status) status = numeric.setMin(0);
    if (status) status = numeric.setMax(31);
    if (status) children[10] = createColor(names[10][0], names[10][1], "overrideColor", "ovc", status);
    if (status) children[11] = numeric.create(names[11][0], names[11][1], MFnNumericData::kFloat, 1.0, &status);
    MFnCompoundAttribute compound;
    MObject settings;
    if (status) settings = compound.create(name, shortName, &status);
    for (int k = 0; k < kDrawSettings && status; ++k)
        status = compound.addChild(children[k]);
    return settings;
}

MObject DagAttributes::createColor(const char* name, const char* shortName, const char* channelStem,
                                   const char* shortStem, MStatus& status)
{
    MFnNumericAttribute numeric;
    MObject channels[3];
    const char* suffixes[3] = {"R", "G", "B"};
    const char* shortSuffixes[3] = {"r", "g", "b"};
    for (int k = 0; k < 3; ++k) {
        channels[k] = numeric.create(MString(channelStem) + suffixes[k], MString(shortStem) + shortSuffixes[k],
                                     MFnNumericData::kFloat, 0.0, &status);
        if (!status)
            return MObject();
    }
    MObject color = numeric.create(name, shortName, channels[0], channels[1], channels[2], &status);
    if (status)
        status = numeric.setUsedAsColor(true);
    return color;
}

bool DagAttributes::isHierarchyMatrix(const Attribute* attribute)
{
    if (!attribute || worldMatrix.isNull())
        return false;
    return attribute == attributeOf(parentMatrix) || attribute == attributeOf(worldMatrix) ||
           attribute == attributeOf(parentInverseMatrix) || attribute == attributeOf(worldInverseMatrix);
}

MStatus DagAttributes::addDagAttributes()
{
    DAG_CHECK(createDagAttributes());
    for (const MObject* attr : {&visibility, &lodVisibility, &templated, &intermediateObject, &instObjGroups,
                                &offsetParentMatrix, &parentMatrix, &parentInverseMatrix, &worldMatrix,
                                &worldInverseMatrix, &hiddenInOutliner, &drawOverride, &useObjectColor, &objectColor,
                                &wireColorRGB})
        DAG_CHECK(MPxNode::addAttribute(*attr));
    DAG_CHECK(MPxNode::attributeAffects(parentMatrix, parentInverseMatrix));
    DAG_CHECK(MPxNode::attributeAffects(parentMatrix, worldMatrix));
    DAG_CHECK(MPxNode::attributeAffects(parentMatrix, worldInverseMatrix));
    DAG_CHECK(MPxNode::attributeAffects(offsetParentMatrix, worldMatrix));
    DAG_CHECK(MPxNode::attributeAffects(offsetParentMatrix, worldInverseMatrix));
    return MS::kSuccess;
}

MStatus DagAttributes::addLocatorAttributes()
{
    DAG_CHECK(createLocatorAttributes());
    for (const MObject* attr : {&MPxLocatorNode::localPosition, &MPxLocatorNode::worldPosition,
                                &MPxLocatorNode::localScale, &MPxLocatorNode::underWorldObject,
                                &MPxLocatorNode::center, &MPxLocatorNode::nodeBoundingBox})
        DAG_CHECK(MPxNode::addAttribute(*attr));
    for (const MObject* input : {&MPxLocatorNode::localPosition, &parentMatrix, &offsetParentMatrix})
        DAG_CHECK(MPxNode::attributeAffects(*input, MPxLocatorNode::worldPosition));
    return MS::kSuccess;
}

void DagAttributes::registerSteps()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    for (MPxNode::Type type : {MPxNode::kLocatorNode, MPxNode::kSurfaceShape, MPxNode::kTransformNode,
                               MPxNode::kManipContainer, MPxNode::kManipulatorNode, MPxNode::kConstraintNode,
                               MPxNode::kAssembly, MPxNode::kFieldNode, MPxNode::kEmitterNode,
                               MPxNode::kSpringNode, MPxNode::kFluidEmitterNode, MPxNode::kImagePlaneNode,
                               MPxNode::kCameraSetNode})
        addInheritedAttributeStep(type, 0, &DagAttributes::addDagAttributes);
    addInheritedAttributeStep(MPxNode::kLocatorNode, 1, &DagAttributes::addLocatorAttributes);
}

} // namespace host
