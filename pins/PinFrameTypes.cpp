#include "pins/PinFrameTypes.h"

namespace PinFrameMath {

Matrix4 Matrix4::identity()
{
    return Matrix4{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
}

Matrix4 affineProduct(const Matrix4& a, const Matrix4& b)
{
    Matrix4 out;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c)
            out.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c];
        out.m[r][3] = 0.0;
    }
    for (int c = 0; c < 3; ++c)
        out.m[3][c] += b.m[3][c];
    out.m[3][3] = 1.0;
    return out;
}

GeometryBlock geometryBlock(const Matrix4& g)
{
    GeometryBlock block;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c)
            block.k[r][c] = g.m[c][r];
    }
    return block;
}

GeometryBlock identityBlock()
{
    return GeometryBlock{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}};
}

}  // namespace PinFrameMath
