#include <maya/MShaderManager.h>

namespace MHWRender
{

// Shader instances exist only with a renderer; batch mode hands out none, so
// parameters have nowhere to go and report failure.

MShaderInstance::MShaderInstance() : fTransparent(false) {}

MShaderInstance::~MShaderInstance() = default;

MStatus MShaderInstance::setParameter(const MString&, bool)
{
    return MStatus::kNotImplemented;
}

MStatus MShaderInstance::setParameter(const MString&, int)
{
    return MStatus::kNotImplemented;
}

MStatus MShaderInstance::setParameter(const MString&, float)
{
    return MStatus::kNotImplemented;
}

MStatus MShaderInstance::setParameter(const MString&, const float*)
{
    return MStatus::kNotImplemented;
}

MStatus MShaderInstance::setParameter(const MString&, const MFloatVector&)
{
    return MStatus::kNotImplemented;
}

MStatus MShaderInstance::setParameter(const MString&, const MMatrix&)
{
    return MStatus::kNotImplemented;
}

MStatus MShaderInstance::setParameter(const MString&, const MFloatMatrix&)
{
    return MStatus::kNotImplemented;
}

MStatus MShaderInstance::setParameter(const MString&, MTextureAssignment&)
{
    return MStatus::kNotImplemented;
}

MStatus MShaderInstance::setParameter(const MString&, MRenderTargetAssignment&)
{
    return MStatus::kNotImplemented;
}

MStatus MShaderInstance::setParameter(const MString&, const MSamplerState&)
{
    return MStatus::kNotImplemented;
}

void MShaderInstance::parameterList(MStringArray& list) const
{
    list.clear();
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
    return copy;
}

} // namespace MHWRender
