// Stand-in for the host's 3D transform matrix (gemat3d.h): a 4x4 matrix
// acting on column vectors, entry[row][column].
#pragma once
#include "gepnt3d.h"
#include "gescl3d.h"
#include "gevec3d.h"

class AcGeMatrix3d {
public:
    AcGeMatrix3d() { setToIdentity(); }
    AcGeMatrix3d& setToIdentity();
    AcGeMatrix3d& setToTranslation(const AcGeVector3d& v);
    // Rotation by `angle` radians about `axis` through `center`.
    AcGeMatrix3d& setToRotation(double angle, const AcGeVector3d& axis,
                                const AcGePoint3d& center = AcGePoint3d::kOrigin);
    AcGeMatrix3d& setToScaling(const AcGeScale3d& scale, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    // Maps the plane's coordinate system (the arbitrary-axis system of `normal`)
    // to world coordinates.
    AcGeMatrix3d& setToPlaneToWorld(const AcGeVector3d& normal);
    AcGeMatrix3d& setToWorldToPlane(const AcGeVector3d& normal);
    AcGeMatrix3d& setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis, const AcGeVector3d& yAxis,
                                 const AcGeVector3d& zAxis);
    AcGeMatrix3d operator*(const AcGeMatrix3d& m) const;

    static AcGeMatrix3d translation(const AcGeVector3d& v);
    static AcGeMatrix3d rotation(double angle, const AcGeVector3d& axis,
                                 const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d scaling(const AcGeScale3d& scale, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d planeToWorld(const AcGeVector3d& normal);
    static AcGeMatrix3d worldToPlane(const AcGeVector3d& normal);

    static const AcGeMatrix3d kIdentity;

    double entry[4][4];
};

AcGePoint3d operator*(const AcGeMatrix3d& m, const AcGePoint3d& p);
AcGeVector3d operator*(const AcGeMatrix3d& m, const AcGeVector3d& v);
// The arbitrary-axis algorithm: the x direction of the coordinate system that
// a normal defines.
AcGeVector3d ArbitraryXAxis(const AcGeVector3d& normal);
