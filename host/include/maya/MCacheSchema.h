#ifndef MAYA_MCACHESCHEMA_H
#define MAYA_MCACHESCHEMA_H

#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <vector>

class MCacheSchemaAttributesRange;

// Attributes a node wants stored by Cached Playback.
class MCacheSchema
{
public:
    MStatus add(const MObject& attribute);
    void reset();

private:
    MCacheSchema();
    MCacheSchema(const MCacheSchema&) = delete;
    MCacheSchema& operator=(const MCacheSchema&) = delete;
    std::vector<MObject> mAttributes;
};

#endif
