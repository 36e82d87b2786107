// Stand-in for the host's 3D point (gepnt3d.h).
#pragma once
#include "gevec3d.h"

class AcGePoint3d {
public:
    AcGePoint3d() = default;
    AcGePoint3d(double xx, double yy, double zz)
        : x(xx)
        , y(yy)
        , z(zz)
    {
    }
    AcGePoint3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    AcGePoint3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    AcGeVector3d operator-(const AcGePoint3d& p) const { return {x - p.x, y - p.y, z - p.z}; }
    AcGeVector3d asVector() const { return {x, y, z}; }
    bool isEqualTo(const AcGePoint3d& p, double tol = 1e-10) const { return (*this - p).length() <= tol; }
    bool operator==(const AcGePoint3d& p) const { return isEqualTo(p); }
    double operator[](unsigned i) const { return i == 0 ? x : i == 1 ? y : z; }
    double& operator[](unsigned i) { return i == 0 ? x : i == 1 ? y : z; }

    static const AcGePoint3d kOrigin;

    double x = 0, y = 0, z = 0;
};
