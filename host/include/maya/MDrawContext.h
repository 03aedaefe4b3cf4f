#ifndef MAYA_MDRAWCONTEXT_H
#define MAYA_MDRAWCONTEXT_H

#include <maya/MFrameContext.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

namespace MHWRender
{

class MPassContext
{
public:
    const MString& passIdentifier() const { return fIdentifier; }
    const MStringArray& passSemantics() const { return fSemantics; }
    bool hasShaderOverride() const { return false; }

    static const MString kColorPassSemantic;
    static const MString kSelectionPassSemantic;
    static const MString kDepthPassSemantic;
    static const MString kShadowPassSemantic;

private:
    friend class MDrawContext;
    MPassContext();
    ~MPassContext();

    MString fIdentifier;
    MStringArray fSemantics;
};

class MDrawContext : public MFrameContext
{
public:
    MStateManager* getStateManager() const;
    MStatus getRenderTargetSize(int& width, int& height) const;
    const MPassContext& getPassContext() const;

protected:
    MDrawContext();
    ~MDrawContext() override;

    MStateManager* fStateManager;
    MPassContext fPassContext;
};

} // namespace MHWRender

#endif
