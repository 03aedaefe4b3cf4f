#ifndef MAYA_MDATABLOCK_H
#define MAYA_MDATABLOCK_H

#include <maya/MArrayDataHandle.h>
#include <maya/MDataHandle.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class MPlug;
class MDGContext;

namespace host { class Node; struct DataAccess; }

// Storage of a node's attribute values, handed to compute().
class MDataBlock
{
public:
    MDataBlock(const MDataBlock& other);
    MDataBlock& operator=(const MDataBlock& other);
    ~MDataBlock();

    MDataHandle inputValue(const MPlug& plug, MStatus* ReturnStatus = NULL);
    MDataHandle inputValue(const MObject& attribute, MStatus* ReturnStatus = NULL);
    MDataHandle outputValue(const MPlug& plug, MStatus* ReturnStatus = NULL);
    MDataHandle outputValue(const MObject& attribute, MStatus* ReturnStatus = NULL);
    MArrayDataHandle inputArrayValue(const MPlug& plug, MStatus* ReturnStatus = NULL);
    MArrayDataHandle inputArrayValue(const MObject& attribute, MStatus* ReturnStatus = NULL);
    MArrayDataHandle outputArrayValue(const MPlug& plug, MStatus* ReturnStatus = NULL);
    MArrayDataHandle outputArrayValue(const MObject& attribute, MStatus* ReturnStatus = NULL);
    MStatus setClean(const MPlug& plug);
    MStatus setClean(const MObject& attribute);
    bool isClean(const MPlug& plug);
    bool isClean(const MObject& attribute, MStatus* ReturnStatus = NULL);
    MDGContext context();
    MStatus setContext(const MDGContext& context);

private:
    friend struct host::DataAccess;
    explicit MDataBlock(host::Node* node);
    host::Node* mNode;
};

#endif
