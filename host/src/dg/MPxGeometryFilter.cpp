#include <maya/MDagModifier.h>
#include <maya/MPxGeometryFilter.h>

#include <maya/MDataBlock.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnGenericAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MDagPath.h>
#include <maya/MItGeometry.h>
#include <maya/MPlug.h>

#include "dg/Data.h"
#include "dg/DataAccess.h"
#include "dg/GeometryFilter.h"
#include "dg/Registry.h"
#include "geometry/GeometryStatus.h"

MObject MPxGeometryFilter::input;
MObject MPxGeometryFilter::inputGeom;
MObject MPxGeometryFilter::groupId;
MObject MPxGeometryFilter::outputGeom;
MObject MPxGeometryFilter::envelope;

namespace host {

namespace {

MObject gComponentTagExpression;
MObject gOriginalGeometry;

MObject createGeometryAttribute(const MString& name, const MString& shortName)
{
    MFnGenericAttribute generic;
    MObject attr = generic.create(name, shortName);
    generic.addDataAccept(MFnData::kMesh);
    generic.addDataAccept(MFnData::kNurbsCurve);
    generic.addDataAccept(MFnData::kNurbsSurface);
    return attr;
}

void createGeometryFilterAttributes()
{
    if (!MPxGeometryFilter::input.isNull())
        return;
    MPxGeometryFilter::inputGeom = createGeometryAttribute("inputGeometry", "ig");
    MFnGenericAttribute(MPxGeometryFilter::inputGeom).setStorable(false);

    MFnNumericAttribute numeric;
    MPxGeometryFilter::groupId = numeric.create("groupId", "gi", MFnNumericData::kInt, 0);
    // Which tagged components the deformer acts on (Maya 2022's component tags): kept with the scene.
    MFnTypedAttribute typed;
    gComponentTagExpression = typed.create("componentTagExpression", "gtg", MFnData::kString);

    MFnCompoundAttribute compound;
    MPxGeometryFilter::input = compound.create("input", "ip");
    compound.addChild(MPxGeometryFilter::inputGeom);
    compound.addChild(MPxGeometryFilter::groupId);
    compound.addChild(gComponentTagExpression);
    compound.setArray(true);
    compound.setIndexMatters(false);

    MPxGeometryFilter::outputGeom = createGeometryAttribute("outputGeometry", "og");
    MFnGenericAttribute out(MPxGeometryFilter::outputGeom);
    out.setArray(true);
    out.setStorable(false);
    out.setWritable(false);
    out.setUsesArrayDataBuilder(true);

    // The undeformed geometry of each input, which Maya connects from the Orig shape.
    gOriginalGeometry = createGeometryAttribute("originalGeometry", "orggeom");
    MFnGenericAttribute original(gOriginalGeometry);
    original.setArray(true);
    original.setStorable(false);
    original.setHidden(true);

    MPxGeometryFilter::envelope = numeric.create("envelope", "en", MFnNumericData::kFloat, 1.0);
    numeric.setMin(0.0);
    numeric.setMax(1.0);
    numeric.setKeyable(true);
}

} // namespace

const MObject& originalGeometryAttribute()
{
    createGeometryFilterAttributes();
    return gOriginalGeometry;
}

// Attributes every deformer type has, ahead of its own.
MStatus addGeometryFilterAttributes()
{
    createGeometryFilterAttributes();
    for (const MObject* attr : {&MPxGeometryFilter::input, &gOriginalGeometry, &MPxGeometryFilter::outputGeom,
                                &MPxGeometryFilter::envelope}) {
        MStatus status = MPxNode::addAttribute(*attr);
        if (!status)
            return status;
    }
    for (const MObject* attr : {&MPxGeometryFilter::input, &MPxGeometryFilter::inputGeom, &MPxGeometryFilter::groupId,
                                &MPxGeometryFilter::envelope, &MPxNode::state}) {
        MStatus status = MPxNode::attributeAffects(*attr, MPxGeometryFilter::outputGeom);
        if (!status)
            return status;
    }
    return MStatus::kSuccess;
}

namespace {

// The DAG shape that outputGeom[index] finally feeds, through any deformers
// stacked above this one; null when it feeds no shape.
Node* deformedShape(Slot* output, int depth = 0)
{
    if (!output || depth > 64)  // a deformer loop feeds no shape
        return nullptr;
    for (Slot* dest : output->dests) {
        Node* node = dest->node;
        if (node->isShape)
            return node;
        const MPxNode::Type type = node->type->info.type;
        if ((type != MPxNode::kDeformerNode && type != MPxNode::kGeometryFilter) ||
            dest->attr != attributeOf(MPxGeometryFilter::inputGeom) || !dest->parent)
            continue;
        Slot* outputs = node->slotOf(attributeOf(MPxGeometryFilter::outputGeom));
        if (Node* shape = deformedShape(outputs ? outputs->element(dest->parent->logical, false) : nullptr, depth + 1))
            return shape;
    }
    return nullptr;
}

// Copies input[index].inputGeometry to outputGeom[index] and lets the
// deformer move its points.
MStatus deformOne(MPxGeometryFilter* filter, Node* node, unsigned index, MDataBlock& block)
{
    MStatus status;
    MArrayDataHandle inputs = block.inputArrayValue(MPxGeometryFilter::input, &status);
    GEO_CHECK(status);
    Slot* outputs = node->slotOf(attributeOf(MPxGeometryFilter::outputGeom));
    if (!outputs)
        return MStatus::kFailure;
    Slot* outputSlot = outputs->element(int(index), true);
    MDataHandle output = DataAccess::handle(outputSlot);
    if (!inputs.jumpToElement(index)) {
        // Nothing to deform at this index.
        GEO_CHECK(output.set(MObject()));
        return MStatus::kSuccess;
    }
    MDataHandle entry = inputs.inputValue(&status);
    GEO_CHECK(status);
    MDataHandle geometry = entry.child(MPxGeometryFilter::inputGeom);
    const unsigned groupId = unsigned(entry.child(MPxGeometryFilter::groupId).asInt());
    const MObject source = geometry.data();
    const GeometryData* sourceData = dynamic_cast<const GeometryData*>(dataOf(source));
    if (!sourceData) {
        GEO_CHECK(output.set(MObject()));
        return MStatus::kSuccess;
    }
    // The output shares the input's points until the deformer writes them.
    GEO_CHECK(output.set(cloneData(source)));
    // "Has no effect" passes the geometry through.
    if (block.inputValue(MPxNode::state, &status).asShort() == 1 || !status)
        return status;

    MMatrix localToWorld = sourceData->matrix;
    if (Node* shape = deformedShape(outputSlot)) {
        MDagPath path;
        GEO_CHECK(MDagPath::getAPathTo(shape->object(), path));
        localToWorld = path.inclusiveMatrix(&status);
        GEO_CHECK(status);
    }
    MItGeometry iter(output, groupId, false, &status);
    GEO_CHECK(status);
    return filter->deform(block, iter, localToWorld, index);
}

} // namespace

// What a deformer computes when its own compute leaves outputGeom to the
// base class. Every output is brought up to date at once and the array marked
// clean with it: a dirty array would stop the next change from reaching the
// elements.
MStatus computeGeometryFilter(Node* node, const MPlug& plug, MDataBlock& block)
{
    auto* filter = dynamic_cast<MPxGeometryFilter*>(node->user);
    const bool whole = plug == MPxGeometryFilter::outputGeom && !plug.isElement();
    const bool element = plug.isElement() && plug.array() == MPxGeometryFilter::outputGeom;
    if (!filter || (!whole && !element))
        return MStatus::kUnknownParameter;
    MStatus status;
    MArrayDataHandle inputs = block.inputArrayValue(MPxGeometryFilter::input, &status);
    GEO_CHECK(status);
    std::vector<unsigned> indices;
    for (unsigned i = 0, n = inputs.elementCount(); i < n; ++i, inputs.next())
        indices.push_back(inputs.elementIndex());
    for (unsigned index : indices) {
        MStatus one = deformOne(filter, node, index, block);
        if (!one)
            status = one;
    }
    block.setClean(MPxGeometryFilter::outputGeom);
    return status;
}

} // namespace host

MPxGeometryFilter::MPxGeometryFilter() = default;
MPxGeometryFilter::~MPxGeometryFilter() = default;

MStatus MPxGeometryFilter::deform(MDataBlock&, MItGeometry&, const MMatrix&, unsigned int)
{
    return MStatus::kSuccess;
}

MObject& MPxGeometryFilter::accessoryAttribute() const
{
    return MObject::kNullObj;
}

MStatus MPxGeometryFilter::accessoryNodeSetup(MDagModifier&)
{
    return MStatus::kSuccess;
}

MPxNode::Type MPxGeometryFilter::type() const
{
    return kGeometryFilter;
}
