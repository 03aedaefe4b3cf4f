#include <maya/MStateManager.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace MHWRender
{

namespace
{

bool sameStencilOp(const MStencilOpDesc& a, const MStencilOpDesc& b)
{
    return a.stencilFailOp == b.stencilFailOp && a.stencilDepthFailOp == b.stencilDepthFailOp &&
           a.stencilPassOp == b.stencilPassOp && a.stencilFunc == b.stencilFunc;
}

bool sameDesc(const MDepthStencilStateDesc& a, const MDepthStencilStateDesc& b)
{
    return a.depthEnable == b.depthEnable && a.depthWriteEnable == b.depthWriteEnable && a.depthFunc == b.depthFunc &&
           a.stencilEnable == b.stencilEnable && a.stencilReadMask == b.stencilReadMask &&
           a.stencilWriteMask == b.stencilWriteMask && a.stencilReferenceVal == b.stencilReferenceVal &&
           sameStencilOp(a.frontFace, b.frontFace) && sameStencilOp(a.backFace, b.backFace);
}

// Live depth-stencil states; equal descriptions share one state. Draw
// callbacks may acquire and release from worker threads.
struct StateTable
{
    std::mutex mutex;
    std::vector<MDepthStencilState*> states;
};

StateTable& stateTable()
{
    static StateTable table;
    return table;
}

} // namespace

MStencilOpDesc::MStencilOpDesc()
{
    setDefaults();
}

void MStencilOpDesc::setDefaults()
{
    stencilFailOp = MStateManager::kStencilKeep;
    stencilDepthFailOp = MStateManager::kStencilKeep;
    stencilPassOp = MStateManager::kStencilKeep;
    stencilFunc = MStateManager::kCompareAlways;
}

MDepthStencilStateDesc::MDepthStencilStateDesc()
{
    setDefaults();
}

void MDepthStencilStateDesc::setDefaults()
{
    depthEnable = true;
    depthWriteEnable = true;
    depthFunc = MStateManager::kCompareLess;
    stencilEnable = false;
    stencilReadMask = 0xFF;
    stencilWriteMask = 0xFF;
    stencilReferenceVal = 0;
    frontFace.setDefaults();
    backFace.setDefaults();
}

MStateManager::MStateManager() : fDepthStencilState(nullptr) {}

MStateManager::~MStateManager() = default;

const MDepthStencilState* MStateManager::acquireDepthStencilState(const MDepthStencilStateDesc& desc)
{
    StateTable& table = stateTable();
    std::lock_guard<std::mutex> lock(table.mutex);
    for (MDepthStencilState* state : table.states) {
        if (sameDesc(state->fDesc, desc)) {
            ++state->fRefCount;
            return state;
        }
    }
    MDepthStencilState* state = new MDepthStencilState(desc);
    table.states.push_back(state);
    return state;
}

MStatus MStateManager::releaseDepthStencilState(const MDepthStencilState* depthStencilState)
{
    if (depthStencilState == nullptr) return MStatus::kInvalidParameter;
    StateTable& table = stateTable();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = std::find(table.states.begin(), table.states.end(), depthStencilState);
    if (it == table.states.end()) return MStatus::kInvalidParameter;
    MDepthStencilState* state = *it;
    if (--state->fRefCount == 0) {
        table.states.erase(it);
        delete state;
    }
    return MStatus::kSuccess;
}

const MDepthStencilState* MStateManager::getDepthStencilState(MStatus* ReturnStatus) const
{
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return fDepthStencilState;
}

MStatus MStateManager::setDepthStencilState(const MDepthStencilState* depthStencilState)
{
    if (depthStencilState == nullptr) return MStatus::kInvalidParameter;
    fDepthStencilState = depthStencilState;
    return MStatus::kSuccess;
}

} // namespace MHWRender
