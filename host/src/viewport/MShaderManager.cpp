#include <maya/MShaderManager.h>

namespace MHWRender
{

MShaderManager::MShaderManager() = default;
MShaderManager::~MShaderManager() = default;

MShaderInstance* MShaderManager::getStockShader(MStockShader shaderId, MShaderInstance::DrawCallback,
                                                MShaderInstance::DrawCallback) const
{
    if (shaderId < k3dSolidShader || shaderId > k3dIsotropicStandardSurfaceShader) return nullptr;
    return new MShaderInstance();
}

void MShaderManager::releaseShader(MShaderInstance* shader) const
{
    delete shader;
}

} // namespace MHWRender
