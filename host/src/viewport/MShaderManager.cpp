#include <maya/MShaderManager.h>

#include "ShaderParameters.h"

namespace MHWRender
{

MShaderManager::MShaderManager() = default;
MShaderManager::~MShaderManager() = default;

MShaderInstance* MShaderManager::getStockShader(MStockShader shaderId, MShaderInstance::DrawCallback preCb,
                                                MShaderInstance::DrawCallback postCb) const
{
    if (shaderId < k3dSolidShader || shaderId > k3dIsotropicStandardSurfaceShader) return nullptr;
    MShaderInstance* shader = new MShaderInstance();
    shader->fStockShader = shaderId;
    shader->fPreDraw = preCb;
    shader->fPostDraw = postCb;
    host::stockShaderParameters(shaderId, *shader->fParameters);
    return shader;
}

void MShaderManager::releaseShader(MShaderInstance* shader) const
{
    // Render items keep their own reference to the shader they were given.
    if (shader != nullptr && --shader->fReferences <= 0) delete shader;
}

} // namespace MHWRender
