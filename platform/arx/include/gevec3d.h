// Stand-in for the host's 3D vector (gevec3d.h).
#pragma once
#include <cmath>

class AcGeMatrix3d;

class AcGeVector3d {
public:
    AcGeVector3d() = default;
    AcGeVector3d(double xx, double yy, double zz)
        : x(xx)
        , y(yy)
        , z(zz)
    {
    }
    double length() const { return std::sqrt(x * x + y * y + z * z); }
    AcGeVector3d normal() const
    {
        double l = length();
        return l > 0 ? AcGeVector3d(x / l, y / l, z / l) : *this;
    }
    double dotProduct(const AcGeVector3d& v) const { return x * v.x + y * v.y + z * v.z; }
    AcGeVector3d crossProduct(const AcGeVector3d& v) const
    {
        return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
    }
    AcGeVector3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    AcGeVector3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    AcGeVector3d operator*(double s) const { return {x * s, y * s, z * s}; }
    AcGeVector3d operator-() const { return {-x, -y, -z}; }
    bool isEqualTo(const AcGeVector3d& v, double tol = 1e-10) const
    {
        return (*this - v).length() <= tol;
    }
    double operator[](unsigned i) const { return i == 0 ? x : i == 1 ? y : z; }

    static const AcGeVector3d kXAxis;
    static const AcGeVector3d kYAxis;
    static const AcGeVector3d kZAxis;

    double x = 0, y = 0, z = 0;
};
