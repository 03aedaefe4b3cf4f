#ifndef MAYA_MSHADERMANAGER_H
#define MAYA_MSHADERMANAGER_H

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

namespace host { struct RendererAccess; struct ShaderParameters; struct UiDrawList; }

namespace MHWRender
{

class MShaderInstance
{
public:
    typedef void (*DrawCallback)(MDrawContext& context, const MRenderItemList& renderItemList,
                                 MShaderInstance* shaderInstance);

    MStatus setParameter(const MString& parameterName, bool value);
    MStatus setParameter(const MString& parameterName, int value);
    MStatus setParameter(const MString& parameterName, float value);
    MStatus setParameter(const MString& parameterName, const float* value);
    MStatus setParameter(const MString& parameterName, const MFloatVector& value);
    MStatus setParameter(const MString& parameterName, const MMatrix& value);
    MStatus setParameter(const MString& parameterName, const MFloatMatrix& value);
    MStatus setParameter(const MString& parameterName, MTextureAssignment& textureAssignment);
    MStatus setParameter(const MString& parameterName, MRenderTargetAssignment& targetAssignment);
    MStatus setParameter(const MString& parameterName, const MSamplerState& sampler);
    void parameterList(MStringArray& list) const;
    MStatus setIsTransparent(bool value);
    bool isTransparent() const;
    MShaderInstance* clone() const;

private:
    friend class MShaderManager;
    friend class MRenderItem;
    friend struct host::RendererAccess;
    MShaderInstance();
    ~MShaderInstance();
    MShaderInstance(const MShaderInstance&) = delete;
    MShaderInstance& operator=(const MShaderInstance&) = delete;

    bool fTransparent;
    int fStockShader;
    DrawCallback fPreDraw;
    DrawCallback fPostDraw;
    host::ShaderParameters* fParameters;
    int fReferences;  // the getter's, plus one per render item using it
};

class MShaderManager
{
public:
    enum MStockShader {
        k3dSolidShader,
        k3dBlinnShader,
        k3dDefaultMaterialShader,
        k3dSolidTextureShader,
        k3dCPVFatPointShader,
        k3dCPVShader = k3dCPVFatPointShader,
        k3dColorLookupFatPointShader,
        k3dOpacityLookupFatPointShader,
        k3dColorOpacityLookupFatPointShader,
        k3dShadowerShader,
        k3dFatPointShader,
        k3dThickLineShader,
        k3dCPVThickLineShader,
        k3dDashLineShader,
        k3dCPVDashLineShader,
        k3dStippleShader,
        k3dThickDashLineShader,
        k3dCPVThickDashLineShader,
        k3dDepthShader,
        k3dCPVSolidShader,
        k3dIntegerNumericShader,
        k3dFloatNumericShader,
        k3dFloat2NumericShader,
        k3dFloat3NumericShader,
        k3dPointVectorShader,
        k3dPointLightShadowerShader,
        k3dStandardSurfaceShader,
        k3dIsotropicStandardSurfaceShader
    };

    MShaderInstance* getStockShader(MStockShader shaderId, MShaderInstance::DrawCallback preCb = NULL,
                                    MShaderInstance::DrawCallback postCb = NULL) const;
    void releaseShader(MShaderInstance* shader) const;

private:
    friend class MRenderer;
    friend struct host::RendererAccess;
    MShaderManager();
    ~MShaderManager();
    MShaderManager(const MShaderManager&) = delete;
    MShaderManager& operator=(const MShaderManager&) = delete;
};

} // namespace MHWRender

#endif
