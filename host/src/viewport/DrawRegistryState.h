#ifndef HOST_VIEWPORT_DRAWREGISTRYSTATE_H
#define HOST_VIEWPORT_DRAWREGISTRYSTATE_H

// What MDrawRegistry holds: one entry per registered override creator, keyed
// by its kind, draw classification and registrant id.

#include <maya/MDrawRegistry.h>
#include <maya/MString.h>

#include <vector>

namespace host
{

struct DrawOverrideEntry
{
    enum Kind { kDrawOverride, kGeometryOverride };

    Kind kind;
    MString classification;
    MString registrantId;
    MHWRender::MDrawRegistry::DrawOverrideCreator drawCreator;        // set for kDrawOverride
    MHWRender::MDrawRegistry::GeometryOverrideCreator geometryCreator; // set for kGeometryOverride
};

// All registered entries, in registration order.
std::vector<DrawOverrideEntry> drawRegistryEntries();

// Finds the entry serving a node type's classification string (which may list
// several classifications separated by ':'); false when none does.
bool findDrawOverrideFor(const MString& nodeClassification, DrawOverrideEntry& entry);

// Forgets every registration (host start-up and test isolation).
void clearDrawRegistry();

// Changes whenever a registration comes or goes (lets lookups be cached).
unsigned int drawRegistryGeneration();

} // namespace host

#endif
