#include "pins/PinUVTable.h"

#include "pins/PinFrameDetail.h"

#include <cmath>
#include <limits>

namespace PinFrameMath {

using detail::localPosition;

namespace {

// Whether a UV row holds the pin's UV; the weights found are left in w.
bool uvInside(const UVTriangle& row, float u, float v, UVWeights& w)
{
    w = uvBarycentric(row.cornerUVs, u, v);
    return !w.degenerate && w.w[0] >= -kUVTolerance && w.w[1] >= -kUVTolerance && w.w[2] >= -kUVTolerance;
}

void takeRow(UVPinBinding& pin, const UVTriangle& row, const float weights[3])
{
    for (int k = 0; k < 3; ++k) {
        pin.vertexIds[k] = row.vertexIds[k];
        pin.normalIds[k] = row.normalIds[k];
        pin.weights[k] = weights[k];
    }
    for (int k = 0; k < 6; ++k)
        pin.cornerUVs[k] = row.cornerUVs[k];
    const TangentCoefficients c = uvTangentCoefficients(row.cornerUVs, pin.tangentUV[0], pin.tangentUV[1]);
    pin.tangentCoeffs[0] = static_cast<float>(c.a);
    pin.tangentCoeffs[1] = static_cast<float>(c.b);
}

}  // namespace

UVPinBinding loadedUVPinBinding(float u, float v, float du, float dv, int32_t preferredTriangle)
{
    UVPinBinding pin{};
    for (int k = 0; k < 3; ++k) {
        pin.vertexIds[k] = -1;
        pin.normalIds[k] = -1;
    }
    pin.preferredTriangle = preferredTriangle;
    pin.weights[0] = 1.0f;
    pin.pinUV[0] = u;
    pin.pinUV[1] = v;
    pin.tangentUV[0] = du;
    pin.tangentUV[1] = dv;
    pin.tangentCoeffs[0] = 1.0f;
    return pin;
}

UVWeights uvBarycentric(const float cornerUVs[6], float u, float v)
{
    const double u0 = cornerUVs[0], v0 = cornerUVs[1];
    const double u1 = cornerUVs[2], v1 = cornerUVs[3];
    const double u2 = cornerUVs[4], v2 = cornerUVs[5];
    const double d = (v2 - v0) * (u1 - u0) - (u2 - u0) * (v1 - v0);
    if (std::fabs(d) <= kPinEpsilon)
        return UVWeights{{1.0f, 0.0f, 0.0f}, true};
    const double b1 = ((u - u0) * (v2 - v0) - (v - v0) * (u2 - u0)) / d;
    const double b2 = ((v - v0) * (u1 - u0) - (u - u0) * (v1 - v0)) / d;
    return UVWeights{{static_cast<float>(1.0 - b1 - b2), static_cast<float>(b1), static_cast<float>(b2)}, false};
}

TangentCoefficients uvTangentCoefficients(const float cornerUVs[6], float du, float dv)
{
    const double su1 = double(cornerUVs[2]) - cornerUVs[0], sv1 = double(cornerUVs[3]) - cornerUVs[1];
    const double su2 = double(cornerUVs[4]) - cornerUVs[0], sv2 = double(cornerUVs[5]) - cornerUVs[1];
    const double det = su1 * sv2 - su2 * sv1;
    if (std::fabs(det) <= kPinEpsilon)
        return {1.0, 0.0};
    return {(du * sv2 - dv * su2) / det, (dv * su1 - du * sv1) / det};
}

void bindTangentUV(const float cornerUVs[6], double a, double b, float& du, float& dv)
{
    const double u = a * (double(cornerUVs[2]) - cornerUVs[0]) + b * (double(cornerUVs[4]) - cornerUVs[0]);
    const double v = a * (double(cornerUVs[3]) - cornerUVs[1]) + b * (double(cornerUVs[5]) - cornerUVs[1]);
    const double lengthSquared = u * u + v * v;
    if (lengthSquared <= kPinEpsilon) {
        du = 1.0f;
        dv = 0.0f;
        return;
    }
    const double r = 1.0 / std::sqrt(lengthSquared);
    du = static_cast<float>(u * r);
    dv = static_cast<float>(v * r);
}

void buildUVTriangleTable(int polygonCount, const int* triangleCounts, int64_t triangleCountsLength,
                          const int* triangleVertices, int64_t triangleVertexCount, const UVMeshAccess& mesh,
                          UVTriangleTable& table)
{
    const int64_t triangleTotal = triangleVertexCount / 3;
    table.rows.clear();
    table.rows.reserve(static_cast<size_t>(triangleTotal));
    table.triangleToRow.assign(static_cast<size_t>(triangleTotal), -1);

    std::vector<int> faceVertices;
    std::vector<int> faceNormals;
    int64_t offset = 0;
    for (int f = 0; f < polygonCount; ++f) {
        const int count = f < triangleCountsLength ? triangleCounts[f] : 0;
        if (count < 0 || offset + 3 * static_cast<int64_t>(count) > triangleVertexCount)
            break;
        // The offset moves on past a face that gives no rows, so that later
        // faces keep their global triangle indices.
        const int64_t faceOffset = offset;
        offset += 3 * static_cast<int64_t>(count);
        if (!mesh.faceVertices(f, faceVertices) || faceVertices.size() < 3)
            continue;
        if (!mesh.faceNormalIds(f, faceNormals) || faceNormals.size() != faceVertices.size())
            continue;
        const FaceCorners face{faceVertices.data(), nullptr, static_cast<int>(faceVertices.size())};
        for (int t = 0; t < count; ++t) {
            const int* corners = triangleVertices + faceOffset + 3 * static_cast<int64_t>(t);
            UVTriangle row;
            bool usable = true;
            for (int k = 0; k < 3 && usable; ++k) {
                const int local = localPosition(face, corners[k]);
                usable = local >= 0 && mesh.faceVertexUV(f, local, row.cornerUVs[2 * k], row.cornerUVs[2 * k + 1]);
                if (usable) {
                    row.vertexIds[k] = corners[k];
                    row.normalIds[k] = faceNormals[local];
                }
            }
            if (!usable)
                continue;
            row.triangleIndex = static_cast<int32_t>(faceOffset / 3 + t);
            row.uvBounds[0] = std::fmin(row.cornerUVs[0], std::fmin(row.cornerUVs[2], row.cornerUVs[4]));
            row.uvBounds[1] = std::fmin(row.cornerUVs[1], std::fmin(row.cornerUVs[3], row.cornerUVs[5]));
            row.uvBounds[2] = std::fmax(row.cornerUVs[0], std::fmax(row.cornerUVs[2], row.cornerUVs[4]));
            row.uvBounds[3] = std::fmax(row.cornerUVs[1], std::fmax(row.cornerUVs[3], row.cornerUVs[5]));
            table.triangleToRow[row.triangleIndex] = static_cast<int32_t>(table.rows.size());
            table.rows.push_back(row);
        }
    }
}

bool resolvePinUV(UVPinBinding& pin, const UVTriangleTable& table)
{
    pin = loadedUVPinBinding(pin.pinUV[0], pin.pinUV[1], pin.tangentUV[0], pin.tangentUV[1], pin.preferredTriangle);
    const float u = pin.pinUV[0];
    const float v = pin.pinUV[1];
    const int64_t rowCount = static_cast<int64_t>(table.rows.size());
    UVWeights w;

    const int32_t preferred = pin.preferredTriangle;
    if (preferred >= 0 && preferred < static_cast<int64_t>(table.triangleToRow.size())) {
        const int32_t row = table.triangleToRow[preferred];
        if (row >= 0 && row < rowCount && uvInside(table.rows[row], u, v, w)) {
            takeRow(pin, table.rows[row], w.w);
            return true;
        }
    }

    for (const UVTriangle& row : table.rows) {
        if (u < row.uvBounds[0] - kUVTolerance || u > row.uvBounds[2] + kUVTolerance ||
            v < row.uvBounds[1] - kUVTolerance || v > row.uvBounds[3] + kUVTolerance)
            continue;
        if (uvInside(row, u, v, w)) {
            takeRow(pin, row, w.w);
            return true;
        }
    }

    const UVTriangle* nearest = nullptr;
    double nearestDistance = std::numeric_limits<double>::max();
    for (const UVTriangle& row : table.rows) {
        const double cu = (double(row.cornerUVs[0]) + row.cornerUVs[2] + row.cornerUVs[4]) / 3.0;
        const double cv = (double(row.cornerUVs[1]) + row.cornerUVs[3] + row.cornerUVs[5]) / 3.0;
        const double d = (cu - u) * (cu - u) + (cv - v) * (cv - v);
        if (d < nearestDistance) {
            nearestDistance = d;
            nearest = &row;
        }
    }
    if (!nearest)
        return false;
    // Degenerate rows leave the weights at (1, 0, 0); otherwise they are kept
    // unclamped, so the pin extrapolates along the triangle.
    w = uvBarycentric(nearest->cornerUVs, u, v);
    takeRow(pin, *nearest, w.w);
    return true;
}

}  // namespace PinFrameMath
