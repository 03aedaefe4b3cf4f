#ifndef HOST_VIEWPORT_SHADERPARAMETERS_H
#define HOST_VIEWPORT_SHADERPARAMETERS_H

// The parameters a stock shader instance carries, by name, as floats; the
// renderer hands them to the GLSL program that draws the shader's items.

#include <maya/MString.h>

#include <vector>

namespace host
{

struct ShaderParameter
{
    MString name;
    int size = 0;          // floats used: 1 (bool, int, float), 2, 3, 4 or 16
    float value[16] = {};
};

struct ShaderParameters
{
    std::vector<ShaderParameter> entries;

    ShaderParameter* find(const MString& name)
    {
        for (ShaderParameter& p : entries)
            if (p.name == name) return &p;
        return nullptr;
    }
    const ShaderParameter* find(const MString& name) const
    {
        return const_cast<ShaderParameters*>(this)->find(name);
    }
    // The value as a float4 (missing components from `fallback`).
    void get4(const MString& name, const float fallback[4], float out[4]) const;
};

// The parameters a stock shader starts with (Maya's names and defaults).
void stockShaderParameters(int stockShader, ShaderParameters& parameters);

} // namespace host

#endif
