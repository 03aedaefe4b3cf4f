#include <maya/MDrawContext.h>
#include <maya/MStateManager.h>

namespace MHWRender
{

const MString MPassContext::kColorPassSemantic("colorPass");
const MString MPassContext::kSelectionPassSemantic("selectionPass");
const MString MPassContext::kDepthPassSemantic("depthPass");
const MString MPassContext::kShadowPassSemantic("shadowPass");

MPassContext::MPassContext() : fIdentifier("colorPass")
{
    fSemantics.append(kColorPassSemantic);
}

MPassContext::~MPassContext() = default;

MDrawContext::MDrawContext() : fStateManager(nullptr) {}

MDrawContext::~MDrawContext() = default;

MStateManager* MDrawContext::getStateManager() const
{
    return fStateManager;
}

MStatus MDrawContext::getRenderTargetSize(int& width, int& height) const
{
    width = fViewport[2];
    height = fViewport[3];
    return MStatus::kSuccess;
}

const MPassContext& MDrawContext::getPassContext() const
{
    return fPassContext;
}

} // namespace MHWRender
