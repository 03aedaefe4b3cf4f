#pragma once
// Viewport 2.0 geometry of "pellixDataOverlay" shapes, and the depth-stencil state that all
// overlay draws share for x-ray drawing. The render items and buffers arrive with the
// overlay drawing work; until then the override is registered and produces no geometry.

#include <maya/MApiNamespace.h>
#include <maya/MPxGeometryOverride.h>

#include <mutex>

class PellixDataOverlayGeometryOverride : public MHWRender::MPxGeometryOverride
{
public:
    static MHWRender::MPxGeometryOverride* creator(const MObject& obj);
    ~PellixDataOverlayGeometryOverride() override;

    MHWRender::DrawAPI supportedDrawAPIs() const override;
    void updateDG() override;
    void updateRenderItems(const MDagPath& path, MHWRender::MRenderItemList& list) override;
    void populateGeometry(const MHWRender::MGeometryRequirements& requirements,
                          const MHWRender::MRenderItemList& renderItems, MHWRender::MGeometry& data) override;
    void cleanUp() override;

private:
    explicit PellixDataOverlayGeometryOverride(const MObject& obj);
};

// Acquired lazily under its mutex by the first x-ray draw and held for the module's life.
extern const MHWRender::MDepthStencilState* overlayDepthStencilState;
extern std::mutex overlayDepthStencilMutex;

// Gives the shared state back to the renderer (plug-in teardown).
void releaseOverlayDepthStencilState();
