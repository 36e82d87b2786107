#include "gemat3d.h"

#include <cmath>

const AcGeVector3d AcGeVector3d::kXAxis(1, 0, 0);
const AcGeVector3d AcGeVector3d::kYAxis(0, 1, 0);
const AcGeVector3d AcGeVector3d::kZAxis(0, 0, 1);
const AcGePoint3d AcGePoint3d::kOrigin(0, 0, 0);
const AcGeMatrix3d AcGeMatrix3d::kIdentity;

AcGeMatrix3d& AcGeMatrix3d::setToIdentity()
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            entry[r][c] = r == c ? 1.0 : 0.0;
    return *this;
}

AcGeMatrix3d& AcGeMatrix3d::setToTranslation(const AcGeVector3d& v)
{
    setToIdentity();
    entry[0][3] = v.x;
    entry[1][3] = v.y;
    entry[2][3] = v.z;
    return *this;
}

AcGeMatrix3d& AcGeMatrix3d::setToRotation(double angle, const AcGeVector3d& axisIn, const AcGePoint3d& center)
{
    AcGeVector3d a = axisIn.normal();
    double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    setToIdentity();
    entry[0][0] = t * a.x * a.x + c;
    entry[0][1] = t * a.x * a.y - s * a.z;
    entry[0][2] = t * a.x * a.z + s * a.y;
    entry[1][0] = t * a.x * a.y + s * a.z;
    entry[1][1] = t * a.y * a.y + c;
    entry[1][2] = t * a.y * a.z - s * a.x;
    entry[2][0] = t * a.x * a.z - s * a.y;
    entry[2][1] = t * a.y * a.z + s * a.x;
    entry[2][2] = t * a.z * a.z + c;
    // Keep `center` fixed: p' = R (p - c) + c.
    AcGeVector3d cv = center.asVector();
    AcGeVector3d rc(entry[0][0] * cv.x + entry[0][1] * cv.y + entry[0][2] * cv.z,
                    entry[1][0] * cv.x + entry[1][1] * cv.y + entry[1][2] * cv.z,
                    entry[2][0] * cv.x + entry[2][1] * cv.y + entry[2][2] * cv.z);
    entry[0][3] = cv.x - rc.x;
    entry[1][3] = cv.y - rc.y;
    entry[2][3] = cv.z - rc.z;
    return *this;
}

AcGeMatrix3d& AcGeMatrix3d::setToScaling(const AcGeScale3d& scale, const AcGePoint3d& center)
{
    setToIdentity();
    entry[0][0] = scale.sx;
    entry[1][1] = scale.sy;
    entry[2][2] = scale.sz;
    entry[0][3] = center.x - scale.sx * center.x;
    entry[1][3] = center.y - scale.sy * center.y;
    entry[2][3] = center.z - scale.sz * center.z;
    return *this;
}

AcGeVector3d ArbitraryXAxis(const AcGeVector3d& normalIn)
{
    AcGeVector3d n = normalIn.normal();
    const double limit = 1.0 / 64.0;
    AcGeVector3d ax = (std::fabs(n.x) < limit && std::fabs(n.y) < limit) ? AcGeVector3d::kYAxis.crossProduct(n)
                                                                         : AcGeVector3d::kZAxis.crossProduct(n);
    return ax.normal();
}

AcGeMatrix3d& AcGeMatrix3d::setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                           const AcGeVector3d& yAxis, const AcGeVector3d& zAxis)
{
    setToIdentity();
    const AcGeVector3d* axes[3] = {&xAxis, &yAxis, &zAxis};
    for (int c = 0; c < 3; ++c) {
        entry[0][c] = axes[c]->x;
        entry[1][c] = axes[c]->y;
        entry[2][c] = axes[c]->z;
    }
    entry[0][3] = origin.x;
    entry[1][3] = origin.y;
    entry[2][3] = origin.z;
    return *this;
}

AcGeMatrix3d& AcGeMatrix3d::setToPlaneToWorld(const AcGeVector3d& normal)
{
    AcGeVector3d n = normal.normal();
    AcGeVector3d ax = ArbitraryXAxis(n);
    AcGeVector3d ay = n.crossProduct(ax).normal();
    return setCoordSystem(AcGePoint3d::kOrigin, ax, ay, n);
}

AcGeMatrix3d& AcGeMatrix3d::setToWorldToPlane(const AcGeVector3d& normal)
{
    // The plane's axes are orthonormal, so the inverse is the transpose.
    setToPlaneToWorld(normal);
    for (int r = 0; r < 3; ++r)
        for (int c = r + 1; c < 3; ++c) {
            double t = entry[r][c];
            entry[r][c] = entry[c][r];
            entry[c][r] = t;
        }
    return *this;
}

AcGeMatrix3d AcGeMatrix3d::operator*(const AcGeMatrix3d& m) const
{
    AcGeMatrix3d out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += entry[r][k] * m.entry[k][c];
            out.entry[r][c] = sum;
        }
    return out;
}

AcGeMatrix3d AcGeMatrix3d::translation(const AcGeVector3d& v) { return AcGeMatrix3d().setToTranslation(v); }
AcGeMatrix3d AcGeMatrix3d::rotation(double angle, const AcGeVector3d& axis, const AcGePoint3d& center)
{
    return AcGeMatrix3d().setToRotation(angle, axis, center);
}
AcGeMatrix3d AcGeMatrix3d::scaling(const AcGeScale3d& scale, const AcGePoint3d& center)
{
    return AcGeMatrix3d().setToScaling(scale, center);
}
AcGeMatrix3d AcGeMatrix3d::planeToWorld(const AcGeVector3d& normal) { return AcGeMatrix3d().setToPlaneToWorld(normal); }
AcGeMatrix3d AcGeMatrix3d::worldToPlane(const AcGeVector3d& normal) { return AcGeMatrix3d().setToWorldToPlane(normal); }

AcGePoint3d operator*(const AcGeMatrix3d& m, const AcGePoint3d& p)
{
    return {m.entry[0][0] * p.x + m.entry[0][1] * p.y + m.entry[0][2] * p.z + m.entry[0][3],
            m.entry[1][0] * p.x + m.entry[1][1] * p.y + m.entry[1][2] * p.z + m.entry[1][3],
            m.entry[2][0] * p.x + m.entry[2][1] * p.y + m.entry[2][2] * p.z + m.entry[2][3]};
}

AcGeVector3d operator*(const AcGeMatrix3d& m, const AcGeVector3d& v)
{
    return {m.entry[0][0] * v.x + m.entry[0][1] * v.y + m.entry[0][2] * v.z,
            m.entry[1][0] * v.x + m.entry[1][1] * v.y + m.entry[1][2] * v.z,
            m.entry[2][0] * v.x + m.entry[2][1] * v.y + m.entry[2][2] * v.z};
}
