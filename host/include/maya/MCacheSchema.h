#ifndef MAYA_MCACHESCHEMA_H
#define MAYA_MCACHESCHEMA_H

#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <vector>

class MCacheSchemaAttributesRange;

// Attributes a node wants stored by Cached Playback.
namespace host { struct RendererAccess; }

class MCacheSchema
{
public:
    MStatus add(const MObject& attribute);
    void reset();

private:
    friend struct host::RendererAccess;
    MCacheSchema();
    MCacheSchema(const MCacheSchema&) = delete;
    MCacheSchema& operator=(const MCacheSchema&) = delete;
    std::vector<MObject> mAttributes;
};

#endif
