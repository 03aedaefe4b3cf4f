#include <maya/MShaderManager.h>
#include <maya/MFloatMatrix.h>
#include <maya/MFloatVector.h>
#include <maya/MMatrix.h>
#include <maya/MStringArray.h>

#include "ShaderParameters.h"

#include <algorithm>

namespace host
{

void ShaderParameters::get4(const MString& name, const float fallback[4], float out[4]) const
{
    std::copy(fallback, fallback + 4, out);
    if (const ShaderParameter* p = find(name))
        for (int i = 0; i < std::min(p->size, 4); ++i) out[i] = p->value[i];
}

void stockShaderParameters(int stockShader, ShaderParameters& parameters)
{
    using MHWRender::MShaderManager;
    auto add = [&](const char* name, std::initializer_list<float> values) {
        ShaderParameter p;
        p.name = name;
        p.size = static_cast<int>(values.size());
        std::copy(values.begin(), values.end(), p.value);
        parameters.entries.push_back(p);
    };
    switch (stockShader) {
    case MShaderManager::k3dSolidShader:
        add("solidColor", {0.7f, 0.7f, 0.7f, 1.0f});
        break;
    case MShaderManager::k3dBlinnShader:
        add("diffuseColor", {0.5f, 0.5f, 0.5f, 1.0f});
        add("specularColor", {0.5f, 0.5f, 0.5f, 1.0f});
        add("specularPower", {20.0f});
        break;
    case MShaderManager::k3dFatPointShader:
        add("solidColor", {0.7f, 0.7f, 0.7f, 1.0f});
        add("pointSize", {4.0f, 4.0f});
        break;
    case MShaderManager::k3dCPVFatPointShader:
        add("pointSize", {4.0f, 4.0f});
        break;
    case MShaderManager::k3dThickLineShader:
        add("solidColor", {0.7f, 0.7f, 0.7f, 1.0f});
        add("lineWidth", {2.0f, 2.0f});
        break;
    case MShaderManager::k3dCPVThickLineShader:
        add("lineWidth", {2.0f, 2.0f});
        break;
    case MShaderManager::k3dDashLineShader:
        add("solidColor", {0.7f, 0.7f, 0.7f, 1.0f});
        add("dashPattern", {float(0x0F0F)});
        break;
    case MShaderManager::k3dThickDashLineShader:
        add("solidColor", {0.7f, 0.7f, 0.7f, 1.0f});
        add("lineWidth", {2.0f, 2.0f});
        add("dashPattern", {float(0x0F0F)});
        break;
    case MShaderManager::k3dCPVDashLineShader:
        add("dashPattern", {float(0x0F0F)});
        break;
    case MShaderManager::k3dCPVThickDashLineShader:
        add("lineWidth", {2.0f, 2.0f});
        add("dashPattern", {float(0x0F0F)});
        break;
    case MShaderManager::k3dStippleShader:
        add("solidColor", {0.7f, 0.7f, 0.7f, 1.0f});
        break;
    default:
        break;
    }
}

} // namespace host

namespace MHWRender
{

namespace
{

MStatus store(host::ShaderParameters* parameters, const MString& name, const float* values, int count)
{
    host::ShaderParameter* p = parameters ? parameters->find(name) : nullptr;
    if (p == nullptr || values == nullptr) return MStatus::kInvalidParameter;
    // A shorter value fills the leading components; the rest keep theirs.
    std::copy(values, values + std::min(count, p->size), p->value);
    return MStatus::kSuccess;
}

} // namespace

MShaderInstance::MShaderInstance()
    : fTransparent(false), fStockShader(-1), fPreDraw(nullptr), fPostDraw(nullptr),
      fParameters(new host::ShaderParameters), fReferences(1)
{
}

MShaderInstance::~MShaderInstance()
{
    delete fParameters;
}

MStatus MShaderInstance::setParameter(const MString& parameterName, bool value)
{
    float v = value ? 1.0f : 0.0f;
    return store(fParameters, parameterName, &v, 1);
}

MStatus MShaderInstance::setParameter(const MString& parameterName, int value)
{
    float v = static_cast<float>(value);
    return store(fParameters, parameterName, &v, 1);
}

MStatus MShaderInstance::setParameter(const MString& parameterName, float value)
{
    return store(fParameters, parameterName, &value, 1);
}

MStatus MShaderInstance::setParameter(const MString& parameterName, const float* value)
{
    host::ShaderParameter* p = fParameters->find(parameterName);
    return store(fParameters, parameterName, value, p ? p->size : 0);
}

MStatus MShaderInstance::setParameter(const MString& parameterName, const MFloatVector& value)
{
    float v[3] = {value.x, value.y, value.z};
    return store(fParameters, parameterName, v, 3);
}

MStatus MShaderInstance::setParameter(const MString& parameterName, const MMatrix& value)
{
    float v[16];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) v[r * 4 + c] = static_cast<float>(value(r, c));
    return store(fParameters, parameterName, v, 16);
}

MStatus MShaderInstance::setParameter(const MString& parameterName, const MFloatMatrix& value)
{
    float v[16];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) v[r * 4 + c] = value(r, c);
    return store(fParameters, parameterName, v, 16);
}

// Stock shaders take no textures, render targets or samplers.
MStatus MShaderInstance::setParameter(const MString&, MTextureAssignment&)
{
    return MStatus::kInvalidParameter;
}

MStatus MShaderInstance::setParameter(const MString&, MRenderTargetAssignment&)
{
    return MStatus::kInvalidParameter;
}

MStatus MShaderInstance::setParameter(const MString&, const MSamplerState&)
{
    return MStatus::kInvalidParameter;
}

void MShaderInstance::parameterList(MStringArray& list) const
{
    list.clear();
    for (const host::ShaderParameter& p : fParameters->entries) list.append(p.name);
}

MStatus MShaderInstance::setIsTransparent(bool value)
{
    fTransparent = value;
    return MStatus::kSuccess;
}

bool MShaderInstance::isTransparent() const
{
    return fTransparent;
}

MShaderInstance* MShaderInstance::clone() const
{
    MShaderInstance* copy = new MShaderInstance();
    copy->fTransparent = fTransparent;
    copy->fStockShader = fStockShader;
    copy->fPreDraw = fPreDraw;
    copy->fPostDraw = fPostDraw;
    *copy->fParameters = *fParameters;
    return copy;
}

} // namespace MHWRender
