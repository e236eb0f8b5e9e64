#include "solver/SourcePanelVelocity.h"

#include <cmath>

namespace panelflow {
namespace {

// The angle that side k adds to the sum whose difference from Omega0 is the solid angle:
// arctan(b |z| / (h r')) - arctan(a |z| / (h r)), combined into one arctangent and brought to
// [0, Pi) on the panel's side of the line (h > 0) and to [-Pi, 0) beyond it. A side with h < 0
// clears the inside flag. A zero D with h and z not zero means the two arctangents differ by
// exactly Pi / 2.
double SideAngle(double a, double b, double h, double r, double rPrime, double z, bool& inside) {
    if (h < 0.0) inside = false;
    if (z == 0.0) return 0.0;  // in the panel's plane every side's angle tends to 0

    const double D = a * b * z * z + h * h * r * rPrime;
    double theta = Pi / 2.0;
    if (D != 0.0) {
        const double T = (b * r - a * rPrime) * std::fabs(z) * h / D;
        theta = std::atan(T);
        if (T < 0.0) theta = theta + Pi;
    }
    if (h < 0.0) theta = theta - Pi;
    return theta;
}

// The side angle of a point exactly above the side's line (h == 0, z != 0): its limit from the
// panel's side of the line. Each end contributes +-Pi / 2, so the side itself (a < 0 < b) gives
// Pi and its extension (a, b of one sign) 0; an end above which the point stands (a or b
// exactly 0) contributes instead its share of the turning angle of the boundary at that corner,
// which it splits with the side that meets it there.
double AngleAboveSideLine(double a, double b, double halfTurnAtStart, double halfTurnAtEnd) {
    const double end = b > 0.0 ? Pi / 2.0 : (b < 0.0 ? -Pi / 2.0 : halfTurnAtEnd);
    const double start = a > 0.0 ? Pi / 2.0 : (a < 0.0 ? -Pi / 2.0 : -halfTurnAtStart);
    return end - start;
}

// Pi minus the interior angle at corner k of a clockwise polygon (positive where it is convex).
double TurningAngle(int n, const double* xsi, const double* ita, int k) {
    const int previous = k == 1 ? n : k - 1;
    const int next = k == n ? 1 : k + 1;
    const double inXsi = xsi[k] - xsi[previous], inIta = ita[k] - ita[previous];
    const double outXsi = xsi[next] - xsi[k], outIta = ita[next] - ita[k];
    return std::atan2(inIta * outXsi - inXsi * outIta, inXsi * outXsi + inIta * outIta);
}

}  // namespace

void SourcePanelVelocity(int n, const double* xsi, const double* ita,
                         double x, double y, double z, double& u, double& v, double& w) {
    double Su = 0.0, Sv = 0.0, Stheta = 0.0;
    bool inside = true;

    for (int k = 1; k <= n; ++k) {
        const int kPrime = k + 1 > n ? 1 : k + 1;
        const double dXsi = xsi[kPrime] - xsi[k];
        const double dIta = ita[kPrime] - ita[k];
        const double d = std::sqrt(dXsi * dXsi + dIta * dIta);

        const double r = std::sqrt((x - xsi[k]) * (x - xsi[k]) + (y - ita[k]) * (y - ita[k]) + z * z);
        const double rPrime = std::sqrt((x - xsi[kPrime]) * (x - xsi[kPrime]) +
                                        (y - ita[kPrime]) * (y - ita[kPrime]) + z * z);

        // Corner positions along the side from the foot of the perpendicular, and the signed
        // distance of the point's projection from the side's line (positive towards the panel).
        const double a = (dXsi * (xsi[k] - x) + dIta * (ita[k] - y)) / d;
        const double b = (dXsi * (xsi[kPrime] - x) + dIta * (ita[kPrime] - y)) / d;
        const double h = (dIta * (x - xsi[k]) - dXsi * (y - ita[k])) / d;

        const double L = std::log((r + rPrime + d) / (r + rPrime - d));
        Su = Su - (dIta * L) / d;
        Sv = Sv + (dXsi * L) / d;

        if (h == 0.0 && z != 0.0) {
            const double halfTurnAtStart = a == 0.0 ? TurningAngle(n, xsi, ita, k) / 2.0 : 0.0;
            const double halfTurnAtEnd = b == 0.0 ? TurningAngle(n, xsi, ita, kPrime) / 2.0 : 0.0;
            Stheta = Stheta + AngleAboveSideLine(a, b, halfTurnAtStart, halfTurnAtEnd);
        } else {
            Stheta = Stheta + SideAngle(a, b, h, r, rPrime, z, inside);
        }
    }

    const double Omega0 = inside ? TwoPi : 0.0;
    const double s = z < 0.0 ? -1.0 : 1.0;  // a point in the plane counts as above the panel
    u = Su / FourPi;
    v = Sv / FourPi;
    w = s * (Omega0 - Stheta) / FourPi;
}

void SourcePanelVelocity(const PanelModel& model, int i, int j,
                         double x, double y, double z, double& u, double& v, double& w) {
    double xsi[5], ita[5];
    const int n = model.nCorner(i, j);
    for (int k = 1; k <= n; ++k) {
        xsi[k] = model.Xsi(i, j, k);
        ita[k] = model.Ita(i, j, k);
    }
    SourcePanelVelocity(n, xsi, ita, x, y, z, u, v, w);
}

}  // namespace panelflow
