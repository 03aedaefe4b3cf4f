#include "overlay/PellixDataOverlayGeometryOverride.h"

#include "plugin/StatusCheck.h"

#include <maya/MStateManager.h>

namespace {
const char* const kStatusSource = "pellixDataOverlayGeometryOverride";
} // namespace

const MHWRender::MDepthStencilState* overlayDepthStencilState = nullptr;
std::mutex overlayDepthStencilMutex;

void releaseOverlayDepthStencilState()
{
    std::lock_guard<std::mutex> lock(overlayDepthStencilMutex);
    if (overlayDepthStencilState) {
        PELLIX_REPORT(MHWRender::MStateManager::releaseDepthStencilState(overlayDepthStencilState));
        overlayDepthStencilState = nullptr;
    }
}

MHWRender::MPxGeometryOverride* PellixDataOverlayGeometryOverride::creator(const MObject& obj)
{
    return new PellixDataOverlayGeometryOverride(obj);
}

PellixDataOverlayGeometryOverride::PellixDataOverlayGeometryOverride(const MObject& obj)
    : MHWRender::MPxGeometryOverride(obj)
{
}

PellixDataOverlayGeometryOverride::~PellixDataOverlayGeometryOverride() = default;

MHWRender::DrawAPI PellixDataOverlayGeometryOverride::supportedDrawAPIs() const
{
    return MHWRender::kAllDevices;
}

// The overlay's render items and buffers are not built yet: every phase has nothing to do.
void PellixDataOverlayGeometryOverride::updateDG() {}

void PellixDataOverlayGeometryOverride::updateRenderItems(const MDagPath&, MHWRender::MRenderItemList&) {}

void PellixDataOverlayGeometryOverride::populateGeometry(const MHWRender::MGeometryRequirements&,
                                                         const MHWRender::MRenderItemList&, MHWRender::MGeometry&)
{
}

void PellixDataOverlayGeometryOverride::cleanUp() {}
