#ifndef MAYA_MSTATEMANAGER_H
#define MAYA_MSTATEMANAGER_H

#include <maya/MStatus.h>

namespace host { struct RendererAccess; struct ShaderParameters; struct UiDrawList; }

namespace MHWRender
{

class MStateManager
{
public:
    enum CompareMode {
        kCompareNever, kCompareLess, kCompareEqual, kCompareLessEqual, kCompareGreater, kCompareNotEqual,
        kCompareGreaterEqual, kCompareAlways
    };
    enum StencilOperation {
        kStencilKeep, kStencilZero, kStencilReplace, kStencilIncrSat, kStencilDecrSat, kStencilInvert,
        kStencilIncr, kStencilDecr
    };

    // Shared, reference-counted state objects: every acquire needs one release.
    static const MDepthStencilState* acquireDepthStencilState(const MDepthStencilStateDesc& desc);
    static void releaseDepthStencilState(const MDepthStencilState* depthStencilState);

    const MDepthStencilState* getDepthStencilState(MStatus* ReturnStatus = NULL) const;
    MStatus setDepthStencilState(const MDepthStencilState* depthStencilState);

private:
    friend struct host::RendererAccess;
    MStateManager();
    ~MStateManager();
    MStateManager(const MStateManager&) = delete;
    MStateManager& operator=(const MStateManager&) = delete;

    const MDepthStencilState* fDepthStencilState;
};

class MStencilOpDesc
{
public:
    MStencilOpDesc();
    void setDefaults();

    MStateManager::StencilOperation stencilFailOp;
    MStateManager::StencilOperation stencilDepthFailOp;
    MStateManager::StencilOperation stencilPassOp;
    MStateManager::CompareMode stencilFunc;
};

class MDepthStencilStateDesc
{
public:
    MDepthStencilStateDesc();
    void setDefaults();

    bool depthEnable;
    bool depthWriteEnable;
    MStateManager::CompareMode depthFunc;
    bool stencilEnable;
    unsigned char stencilReadMask;
    unsigned char stencilWriteMask;
    int stencilReferenceVal;
    MStencilOpDesc frontFace;
    MStencilOpDesc backFace;
};

class MDepthStencilState
{
public:
    const MDepthStencilStateDesc& desc() const { return fDesc; }
    void* resourceHandle() const { return NULL; }

private:
    friend class MStateManager;
    MDepthStencilState(const MDepthStencilStateDesc& desc) : fDesc(desc), fRefCount(1) {}
    ~MDepthStencilState() = default;

    MDepthStencilStateDesc fDesc;
    int fRefCount;
};

} // namespace MHWRender

#endif
