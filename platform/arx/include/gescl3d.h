// Stand-in for the host's 3D scale factors (gescl3d.h).
#pragma once

class AcGeScale3d {
public:
    AcGeScale3d() = default;
    explicit AcGeScale3d(double factor)
        : sx(factor)
        , sy(factor)
        , sz(factor)
    {
    }
    AcGeScale3d(double x, double y, double z)
        : sx(x)
        , sy(y)
        , sz(z)
    {
    }
    double operator[](unsigned i) const { return i == 0 ? sx : i == 1 ? sy : sz; }
    double& operator[](unsigned i) { return i == 0 ? sx : i == 1 ? sy : sz; }
    bool operator==(const AcGeScale3d& o) const { return sx == o.sx && sy == o.sy && sz == o.sz; }

    double sx = 1, sy = 1, sz = 1;
};
