#include <maya/MStateManager.h>

#include "viewport/RendererAccess.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

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

GLenum glCompare(MStateManager::CompareMode mode)
{
    static const GLenum modes[] = {GL_NEVER, GL_LESS, GL_EQUAL, GL_LEQUAL, GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
    return mode >= MStateManager::kCompareNever && mode <= MStateManager::kCompareAlways ? modes[mode] : GL_LESS;
}

GLenum glStencilOp(MStateManager::StencilOperation op)
{
    static const GLenum ops[] = {GL_KEEP, GL_ZERO, GL_REPLACE, GL_INCR, GL_DECR, GL_INVERT, GL_INCR_WRAP, GL_DECR_WRAP};
    return op >= MStateManager::kStencilKeep && op <= MStateManager::kStencilDecr ? ops[op] : GL_KEEP;
}

// Puts a depth-stencil description into the current OpenGL context.
void applyDepthStencil(const MDepthStencilStateDesc& d)
{
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (context == nullptr) return;
    QOpenGLFunctions* gl = context->functions();
    if (d.depthEnable) gl->glEnable(GL_DEPTH_TEST);
    else gl->glDisable(GL_DEPTH_TEST);
    gl->glDepthMask(d.depthWriteEnable ? GL_TRUE : GL_FALSE);
    gl->glDepthFunc(glCompare(d.depthFunc));
    if (d.stencilEnable) gl->glEnable(GL_STENCIL_TEST);
    else gl->glDisable(GL_STENCIL_TEST);
    gl->glStencilMask(d.stencilWriteMask);
    const MStencilOpDesc* faces[2] = {&d.frontFace, &d.backFace};
    const GLenum sides[2] = {GL_FRONT, GL_BACK};
    for (int i = 0; i < 2; ++i) {
        gl->glStencilFuncSeparate(sides[i], glCompare(faces[i]->stencilFunc), d.stencilReferenceVal, d.stencilReadMask);
        gl->glStencilOpSeparate(sides[i], glStencilOp(faces[i]->stencilFailOp), glStencilOp(faces[i]->stencilDepthFailOp),
                                glStencilOp(faces[i]->stencilPassOp));
    }
}

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

// A state that is not held (null, or released as often as acquired) is ignored.
void MStateManager::releaseDepthStencilState(const MDepthStencilState* depthStencilState)
{
    if (depthStencilState == nullptr) return;
    StateTable& table = stateTable();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = std::find(table.states.begin(), table.states.end(), depthStencilState);
    if (it == table.states.end()) return;
    MDepthStencilState* state = *it;
    if (--state->fRefCount == 0) {
        table.states.erase(it);
        delete state;
    }
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
    // Only the renderer's managers exist, and they draw now.
    applyDepthStencil(depthStencilState->desc());
    return MStatus::kSuccess;
}

} // namespace MHWRender

size_t host::RendererAccess::heldDepthStencilStates()
{
    MHWRender::StateTable& table = MHWRender::stateTable();
    std::lock_guard<std::mutex> lock(table.mutex);
    return table.states.size();
}
