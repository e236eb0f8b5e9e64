#pragma once
// The inner loop of the vectorised assembly: one field panel against every source panel, W
// source panels at a time. Compiled once per instruction set (AssemblySse2.cpp, AssemblyAvx2.cpp,
// AssemblyAvx512.cpp, each with its own compiler flags) and chosen at run time; that part of the
// header is read only where PANELFLOW_KERNEL_NAME is defined. This header
// must stay free of anything that the rest of the program also instantiates: an inline function
// of a shared header compiled here could be the copy that the linker keeps for every caller.
//
// The arithmetic follows the scalar pair of AssembleInfluenceMatricesScalar, with two savings
// that change only the last bits: each corner's distance is computed once for the two sides that
// meet there, and the divisions by a side's length become products with its reciprocal. The
// vector logarithm and arctangent are within 3.5 ulps of the exact values (an angle of at most Pi
// thus errs by less than 2e-15). The branch rules of
// SourcePanelVelocity become lane-wise selections decided by the same exact tests (the sign and
// exact zero of h and z, the exact zero of D); the one case that needs more than a selection, a
// field point exactly above the line of a side (h = 0 with z not 0), is handed back lane by lane
// to the scalar routine.

namespace panelflow::assembly {

// The source panels in structure-of-arrays form: entry n of every array belongs to panel n + 1
// in the panel numbering. The arrays hold `padded` entries (a multiple of the widest vector);
// entries from `count` on repeat a valid panel and are never stored.
struct SourceArrays {
    long count = 0, padded = 0;
    const double *xC, *yC, *zC;
    const double *XsiX, *XsiY, *XsiZ, *ItaX, *ItaY, *ItaZ, *ZtaX, *ZtaY, *ZtaZ;
    // Side s (0..3) runs from corner (xsiStart, itaStart) to (xsiEnd, itaEnd) in panel axes;
    // dXsi, dIta and its length d as the scalar routine forms them, and 1 / d. Side 3 exists
    // where hasFourthSide is not 0 (quadrilaterals); a triangle's side 2 closes it back to
    // corner 1, and its side 3 repeats side 0 unused.
    const double *xsiStart[4], *itaStart[4], *xsiEnd[4], *itaEnd[4], *dXsi[4], *dIta[4], *d[4], *inverseD[4];
    const double* hasFourthSide;
    double Pi, TwoPi, FourPi;
    // The scalar velocity of source panel n + 1 at (x, y, z) in its axes.
    void (*exactVelocity)(const void* context, long n, double x, double y, double z, double& u, double& v,
                          double& w);
    const void* context;
};

// The field panel: its control point and axes.
struct FieldPanel {
    double xC, yC, zC;
    double XsiX, XsiY, XsiZ, ItaX, ItaY, ItaZ, ZtaX, ZtaY, ZtaZ;
};

// Fills uTan[n], vTan[n], vNorm[n] for n = 0..count-1 (columns 1..count of one row).
using RowKernel = void (*)(const SourceArrays& sources, const FieldPanel& field, double* uTan, double* vTan,
                           double* vNorm);

void AssembleRowSse2(const SourceArrays&, const FieldPanel&, double*, double*, double*);
void AssembleRowAvx2(const SourceArrays&, const FieldPanel&, double*, double*, double*);
void AssembleRowAvx512(const SourceArrays&, const FieldPanel&, double*, double*, double*);

#ifdef PANELFLOW_KERNEL_NAME
// The including file names the instruction set's vector of doubles and its square root,
// logarithm and arctangent; the kernel below is then compiled for it under PANELFLOW_KERNEL_NAME.
namespace {
struct Isa {
    using V = PANELFLOW_KERNEL_VECTOR;
    static constexpr int W = sizeof(V) / sizeof(double);
    static V Sqrt(V x) { return PANELFLOW_KERNEL_SQRT(x); }
    static V Log(V x) { return PANELFLOW_KERNEL_LOG(x); }
    static V Atan(V x) { return PANELFLOW_KERNEL_ATAN(x); }
};
}  // namespace

void PANELFLOW_KERNEL_NAME(const SourceArrays& s, const FieldPanel& f, double* uTan, double* vTan, double* vNorm) {
    using V = Isa::V;
    constexpr int W = Isa::W;
    auto load = [](const double* p) {
        V v;
        __builtin_memcpy(&v, p, sizeof v);
        return v;
    };
    auto splat = [](double x) {
        V v;
        for (int lane = 0; lane < W; ++lane) v[lane] = x;
        return v;
    };
    const V zero = splat(0.0), one = splat(1.0), minusOne = splat(-1.0);
    const V pi = splat(s.Pi), halfPi = splat(s.Pi / 2.0), twoPi = splat(s.TwoPi), fourPi = splat(s.FourPi);

    for (long n0 = 0; n0 < s.count; n0 += W) {
        // The field point in the source panels' axes, from their control points.
        const V dx = f.xC - load(s.xC + n0);
        const V dy = f.yC - load(s.yC + n0);
        const V dz = f.zC - load(s.zC + n0);
        const V XsiX = load(s.XsiX + n0), XsiY = load(s.XsiY + n0), XsiZ = load(s.XsiZ + n0);
        const V ItaX = load(s.ItaX + n0), ItaY = load(s.ItaY + n0), ItaZ = load(s.ItaZ + n0);
        const V ZtaX = load(s.ZtaX + n0), ZtaY = load(s.ZtaY + n0), ZtaZ = load(s.ZtaZ + n0);
        const V x = XsiX * dx + XsiY * dy + XsiZ * dz;
        const V y = ItaX * dx + ItaY * dy + ItaZ * dz;
        const V z = ZtaX * dx + ZtaY * dy + ZtaZ * dz;
        const V absZ = z < zero ? -z : z;
        const auto inPlane = z == zero;

        // Distances from the point to the corners; side s runs from corner s to the next one,
        // which for a triangle's last side is corner 0 again.
        V rCorner[4];
        for (int c = 0; c < 4; ++c) {
            const V xsiK = load(s.xsiStart[c] + n0), itaK = load(s.itaStart[c] + n0);
            rCorner[c] = Isa::Sqrt((x - xsiK) * (x - xsiK) + (y - itaK) * (y - itaK) + z * z);
        }
        const auto quadrilateral = load(s.hasFourthSide + n0) != zero;

        V Su = zero, Sv = zero, Stheta = zero;
        auto inside = zero == zero;     // all lanes true
        auto aboveSide = zero != zero;  // all lanes false
        for (int side = 0; side < 4; ++side) {
            const V xsiK = load(s.xsiStart[side] + n0), itaK = load(s.itaStart[side] + n0);
            const V xsiKp = load(s.xsiEnd[side] + n0), itaKp = load(s.itaEnd[side] + n0);
            const V dXsi = load(s.dXsi[side] + n0), dIta = load(s.dIta[side] + n0);
            const V d = load(s.d[side] + n0), inverseD = load(s.inverseD[side] + n0);
            const auto present = side < 3 ? zero == zero : quadrilateral;

            const V r = rCorner[side];
            const V rPrime = side < 2 ? rCorner[side + 1] : side == 2 ? (quadrilateral ? rCorner[3] : rCorner[0])
                                                                      : rCorner[0];
            const V a = (dXsi * (xsiK - x) + dIta * (itaK - y)) * inverseD;
            const V b = (dXsi * (xsiKp - x) + dIta * (itaKp - y)) * inverseD;
            // The numerator alone decides the sign and the exact zero of h, as in the scalar
            // routine's quotient.
            const V hNumerator = dIta * (x - xsiK) - dXsi * (y - itaK);
            const V h = hNumerator * inverseD;

            const V L = Isa::Log((r + rPrime + d) / (r + rPrime - d));
            Su = present ? Su - (dIta * inverseD) * L : Su;
            Sv = present ? Sv + (dXsi * inverseD) * L : Sv;

            // The side's angle: the arctangent brought to [0, Pi), Pi / 2 where its denominator
            // vanishes, shifted by -Pi beyond the side's line, and 0 in the panel's plane.
            const V D = a * b * z * z + h * h * r * rPrime;
            const V T = (b * r - a * rPrime) * absZ * h / D;
            V theta = Isa::Atan(T);
            theta = T < zero ? theta + pi : theta;
            theta = D != zero ? theta : halfPi;
            theta = hNumerator < zero ? theta - pi : theta;
            theta = inPlane ? zero : theta;
            Stheta = present ? Stheta + theta : Stheta;
            inside = inside & ~(present & (hNumerator < zero));
            aboveSide = aboveSide | (present & (hNumerator == zero) & ~inPlane);
        }

        const V Omega0 = inside ? twoPi : zero;
        const V sign = z < zero ? minusOne : one;
        V u = Su / fourPi;
        V v = Sv / fourPi;
        V w = sign * (Omega0 - Stheta) / fourPi;
        for (int lane = 0; lane < W; ++lane) {
            if (aboveSide[lane] != 0 && n0 + lane < s.count) {
                double ul = 0.0, vl = 0.0, wl = 0.0;
                s.exactVelocity(s.context, n0 + lane, x[lane], y[lane], z[lane], ul, vl, wl);
                u[lane] = ul;
                v[lane] = vl;
                w[lane] = wl;
            }
        }

        // Back to global axes, then onto the field panel's axes.
        const V Vx = XsiX * u + ItaX * v + ZtaX * w;
        const V Vy = XsiY * u + ItaY * v + ZtaY * w;
        const V Vz = XsiZ * u + ItaZ * v + ZtaZ * w;
        const V uOut = Vx * f.XsiX + Vy * f.XsiY + Vz * f.XsiZ;
        const V vOut = Vx * f.ItaX + Vy * f.ItaY + Vz * f.ItaZ;
        const V nOut = Vx * f.ZtaX + Vy * f.ZtaY + Vz * f.ZtaZ;
        if (n0 + W <= s.count) {
            __builtin_memcpy(uTan + n0, &uOut, sizeof uOut);
            __builtin_memcpy(vTan + n0, &vOut, sizeof vOut);
            __builtin_memcpy(vNorm + n0, &nOut, sizeof nOut);
        } else {
            for (long lane = 0; n0 + lane < s.count; ++lane) {
                uTan[n0 + lane] = uOut[lane];
                vTan[n0 + lane] = vOut[lane];
                vNorm[n0 + lane] = nOut[lane];
            }
        }
    }
}
#endif

}  // namespace panelflow::assembly
