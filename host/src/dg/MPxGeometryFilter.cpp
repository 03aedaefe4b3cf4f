#include <maya/MPxGeometryFilter.h>

#include <maya/MDataBlock.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnGenericAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MPlug.h>

#include "dg/Registry.h"

MObject MPxGeometryFilter::input;
MObject MPxGeometryFilter::inputGeom;
MObject MPxGeometryFilter::groupId;
MObject MPxGeometryFilter::outputGeom;
MObject MPxGeometryFilter::envelope;

namespace host {

namespace {

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

    MFnCompoundAttribute compound;
    MPxGeometryFilter::input = compound.create("input", "ip");
    compound.addChild(MPxGeometryFilter::inputGeom);
    compound.addChild(MPxGeometryFilter::groupId);
    compound.setArray(true);
    compound.setIndexMatters(false);

    MPxGeometryFilter::outputGeom = createGeometryAttribute("outputGeometry", "og");
    MFnGenericAttribute out(MPxGeometryFilter::outputGeom);
    out.setArray(true);
    out.setStorable(false);
    out.setWritable(false);
    out.setUsesArrayDataBuilder(true);

    MPxGeometryFilter::envelope = numeric.create("envelope", "en", MFnNumericData::kFloat, 1.0);
    numeric.setMin(0.0);
    numeric.setMax(1.0);
    numeric.setKeyable(true);
}

} // namespace

// Attributes every deformer type has, ahead of its own.
MStatus addGeometryFilterAttributes()
{
    createGeometryFilterAttributes();
    for (const MObject* attr : {&MPxGeometryFilter::input, &MPxGeometryFilter::outputGeom, &MPxGeometryFilter::envelope}) {
        MStatus status = MPxNode::addAttribute(*attr);
        if (!status)
            return status;
    }
    for (const MObject* attr : {&MPxGeometryFilter::input, &MPxGeometryFilter::inputGeom, &MPxGeometryFilter::groupId,
                                &MPxGeometryFilter::envelope}) {
        MStatus status = MPxNode::attributeAffects(*attr, MPxGeometryFilter::outputGeom);
        if (!status)
            return status;
    }
    return MStatus::kSuccess;
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
