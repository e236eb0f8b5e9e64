// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The inner loops of the vectorised assembly: one field panel against many source panels, W
// source panels at a time (a row of the matrices), and one source panel at many field points, W
// at a time (a column). Compiled once per instruction set (AssemblySse2.cpp, AssemblyAvx2.cpp,
// AssemblyAvx512.cpp, each with its own compiler flags) and chosen at run time; that part of the
// header is read only where PANELFLOW_KERNEL_NAME is defined. This header
// must stay free of anything that the rest of the program also instantiates: an inline function
// of a shared header compiled here could be the copy that the linker keeps for every caller.
//
// The arithmetic follows the scalar pair (SourcePanelVelocity and the axis turns), with savings that
// change only the last bits: each corner's distance is computed once for the two sides that meet
// there, the divisions by a side's length and by 4 Pi become products with reciprocals, and each
// side's logarithm and arctangent are taken of their quotients without forming them, the
// logarithm as 2 atanh(d / (r + r')) (AssemblyMath.h: within 2.5 ulps, so an angle of at most Pi
// errs by less than 1e-15). The side terms are those that PanelSideTerms.cpp derives: the
// logarithm with r + r' - d free of cancellation, the angle of each side a plain arctangent
// without branch rules, so that a point a hair's breadth off the plane cannot flip it. Two things
// are cheaper here: h, and Q = r r' + a b + rho^2 in the angle's denominator, are formed directly
// (the scalar routine computes h exactly and Q without cancellation). Their rounding moves an
// angle by a few ulps times d over the point's distance from the side (from its line where the
// foot lies between the corners, from its nearer corner elsewhere), so a lane whose point lies
// within d / 16 of a side is handed back to the scalar routine, after one test whether any lane
// needs it. A body's control points seldom come so close to another panel's edge.

#ifdef PANELFLOW_KERNEL_NAME
#include <initializer_list>

#include "solver/AssemblyMath.h"
#endif

namespace panelflow::assembly {

// The source panels in structure-of-arrays form, interleaved by groups of 8 panels (the widest
// vector): entry n of an array, belonging to panel n + 1 in the panel numbering, lies at
// array[n / 8 * groupStride + n % 8]. The arrays hold `padded` entries (a multiple of 8); entries
// from `count` on repeat a valid panel and are never stored.
constexpr long kPanelsPerGroup = 8;
struct SourceArrays {
    long count = 0, padded = 0, groupStride = 0;
    const double *xC, *yC, *zC;
    const double *XsiX, *XsiY, *XsiZ, *ItaX, *ItaY, *ItaZ, *ZtaX, *ZtaY, *ZtaZ;
    // Side s (0..3) runs from corner s (xsiStart, itaStart, in panel axes) to the next corner;
    // dXsi, dIta and its length d as the scalar routine forms them, and 1 / d. Side 3 exists
    // where hasFourthSide is not 0 (quadrilaterals). A triangle's corner 3 repeats corner 0, so
    // that its side 2 closes it; its side 3 repeats side 0, unused.
    const double *xsiStart[4], *itaStart[4], *dXsi[4], *dIta[4], *d[4], *inverseD[4];
    const double* hasFourthSide;
    double Pi, TwoPi, FourPi;
    // The scalar velocity of source panel n + 1 at (x, y, z) in its axes.
    void (*exactVelocity)(const void* context, long n, double x, double y, double z, double& u, double& v,
                          double& w);
    const void* context;
    // The scalar potential of source panel n + 1 at (x, y, z) in its axes (for the potential kernel).
    double (*exactPotential)(const void* context, long n, double x, double y, double z);
};

// The field panel: its control point and axes.
struct FieldPanel {
    double xC, yC, zC;
    double XsiX, XsiY, XsiZ, ItaX, ItaY, ItaZ, ZtaX, ZtaY, ZtaZ;
};

// Fills uTan[n], vTan[n], vNorm[n] for first <= n < last (columns first + 1 .. last of one row);
// first is a multiple of the widest vector, last at most sources.count.
using RowKernel = void (*)(const SourceArrays& sources, const FieldPanel& field, long first, long last,
                           double* uTan, double* vTan, double* vNorm);

void AssembleRowSse2(const SourceArrays&, const FieldPanel&, long, long, double*, double*, double*);
void AssembleRowAvx2(const SourceArrays&, const FieldPanel&, long, long, double*, double*, double*);
void AssembleRowAvx512(const SourceArrays&, const FieldPanel&, long, long, double*, double*, double*);

// The same influences, one source panel at many field points: fills uTan[m], vTan[m], vNorm[m]
// for first <= m < last with the influence of entry `source` of `sources` at the control point of
// entry m of the same layout (whose control points and axes serve as the field panels). The
// arithmetic is the row kernel's; the values differ from its only where the side logarithm takes
// its other path for the other lanes of a vector. first is a multiple of the widest vector.
using ColumnKernel = void (*)(const SourceArrays& sources, long source, long first, long last, double* uTan,
                              double* vTan, double* vNorm);

void AssembleColumnSse2(const SourceArrays&, long, long, long, double*, double*, double*);
void AssembleColumnAvx2(const SourceArrays&, long, long, long, double*, double*, double*);
void AssembleColumnAvx512(const SourceArrays&, long, long, long, double*, double*, double*);

// The same row, and also potential[n], the potential of source panel n + 1 at the field point
// (SourcePanelPotential.h), and, where solidAngle is not null, solidAngle[n], the normal velocity
// in the source panel's own axes (its signed solid angle over 4 Pi: the sum over a closed body's
// panels is -1 inside it and 0 outside). With identity axes as the field panel's, uTan, vTan and
// vNorm are the velocity's x, y and z.
using PotentialRowKernel = void (*)(const SourceArrays& sources, const FieldPanel& field, long first, long last,
                                    double* uTan, double* vTan, double* vNorm, double* potential, double* solidAngle);

void AssembleRowWithPotentialSse2(const SourceArrays&, const FieldPanel&, long, long, double*, double*, double*,
                                  double*, double*);
void AssembleRowWithPotentialAvx2(const SourceArrays&, const FieldPanel&, long, long, double*, double*, double*,
                                  double*, double*);
void AssembleRowWithPotentialAvx512(const SourceArrays&, const FieldPanel&, long, long, double*, double*, double*,
                                    double*, double*);

// The kernel's logarithms and arctangents of quotients, exposed for the tests: for n < count (a
// multiple of 8), logOfQuotient[n] = log(p[n] / q[n]) and atanOfQuotient[n] = atan(y[n] / x[n]).
using QuotientMath = void (*)(const double* p, const double* q, const double* y, const double* x,
                              double* logOfQuotient, double* atanOfQuotient, long count);
void QuotientMathSse2(const double*, const double*, const double*, const double*, double*, double*, long);
void QuotientMathAvx2(const double*, const double*, const double*, const double*, double*, double*, long);
void QuotientMathAvx512(const double*, const double*, const double*, const double*, double*, double*, long);

// The kernel's side logarithms, exposed for the tests: for n < count (a multiple of 8),
// logarithm[n] = log((S[n] + d[n]) / (S[n] - d[n])).
using SideLogarithm = void (*)(const double* S, const double* d, double* logarithm, long count);
void SideLogarithmSse2(const double*, const double*, double*, long);
void SideLogarithmAvx2(const double*, const double*, double*, long);
void SideLogarithmAvx512(const double*, const double*, double*, long);

#ifdef PANELFLOW_KERNEL_NAME
// The including file names the instruction set's vector of doubles, its square root, its fused
// multiply-add (or a product and a sum where it has none) and the test whether any lane of a
// comparison holds; the kernel below is then compiled for it under PANELFLOW_KERNEL_NAME.
namespace {
struct Isa {
    using V = PANELFLOW_KERNEL_VECTOR;
    static constexpr int W = sizeof(V) / sizeof(double);
    static V Sqrt(V x) { return PANELFLOW_KERNEL_SQRT(x); }
    static V Fma(V a, V b, V c) { return PANELFLOW_KERNEL_FMA(a, b, c); }
    template <class Mask>
    static bool Any(Mask m) { return PANELFLOW_KERNEL_ANY(m); }
};
using Math = VectorMath<Isa>;
}  // namespace

void PANELFLOW_KERNEL_MATH_NAME(const double* p, const double* q, const double* y, const double* x,
                                double* logOfQuotient, double* atanOfQuotient, long count) {
    using V = Isa::V;
    constexpr int W = Isa::W;
    for (long n0 = 0; n0 + W <= count; n0 += W) {
        V P, Q, Y, X;
        __builtin_memcpy(&P, p + n0, sizeof(V));
        __builtin_memcpy(&Q, q + n0, sizeof(V));
        __builtin_memcpy(&Y, y + n0, sizeof(V));
        __builtin_memcpy(&X, x + n0, sizeof(V));
        const V L = Math::LogOfQuotient(P, Q), A = Math::AtanOfQuotient(Y, X);
        __builtin_memcpy(logOfQuotient + n0, &L, sizeof(V));
        __builtin_memcpy(atanOfQuotient + n0, &A, sizeof(V));
    }
}

void PANELFLOW_KERNEL_SIDE_LOG_NAME(const double* S, const double* d, double* logarithm, long count) {
    using V = Isa::V;
    constexpr int W = Isa::W;
    for (long n0 = 0; n0 + W <= count; n0 += W) {
        V sum, length;
        __builtin_memcpy(&sum, S + n0, sizeof(V));
        __builtin_memcpy(&length, d + n0, sizeof(V));
        const V L = Math::SideLogarithm(sum, length, [&] { return sum - length; });
        __builtin_memcpy(logarithm + n0, &L, sizeof(V));
    }
}

namespace {

Isa::V Load(const double* p) {
    Isa::V v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

// The field points of a column: W control points and their axes, one per lane.
struct FieldLanes {
    Isa::V xC, yC, zC;
    Isa::V XsiX, XsiY, XsiZ, ItaX, ItaY, ItaZ, ZtaX, ZtaY, ZtaZ;
};

// What the lanes give: the influence projected onto the field panels' axes, and where
// kPotential is set the potential and the normal velocity in the source panels' own axes.
struct LaneValues {
    Isa::V u, v, n, potential, solidAngle;
};

// The influence of the W source panels whose entries lie at `at` in `s` at the field points `f`
// (a FieldPanel, the same point in every lane, or FieldLanes), projected onto the field panels'
// axes. A lane whose point lies within d / 16 of a side gets its values from the scalar routines:
// exact(lane, x, y, z, u, v, w), which says false for a lane past the end, and, with the
// potential, exactPotential(lane, x, y, z).
template <bool kPotential, class Field, class Exact, class ExactPotential>
inline __attribute__((always_inline)) LaneValues Lanes(const SourceArrays& s, long at, const Field& f, Exact exact,
                                                       ExactPotential exactPotential) {
    using V = Isa::V;
    constexpr int W = Isa::W;
    const auto load = &Load;
    const auto splat = &Math::Splat;
    const V zero = splat(0.0);
    const V twoPi = splat(s.TwoPi);
    const V inverseFourPi = splat(1.0 / s.FourPi);

    // The field point in the source panels' axes, from their control points.
    const V dx = f.xC - load(s.xC + at);
    const V dy = f.yC - load(s.yC + at);
    const V dz = f.zC - load(s.zC + at);
    const V XsiX = load(s.XsiX + at), XsiY = load(s.XsiY + at), XsiZ = load(s.XsiZ + at);
    const V ItaX = load(s.ItaX + at), ItaY = load(s.ItaY + at), ItaZ = load(s.ItaZ + at);
    const V ZtaX = load(s.ZtaX + at), ZtaY = load(s.ZtaY + at), ZtaZ = load(s.ZtaZ + at);
    const V x = XsiX * dx + XsiY * dy + XsiZ * dz;
    const V y = ItaX * dx + ItaY * dy + ItaZ * dz;
    const V z = ZtaX * dx + ZtaY * dy + ZtaZ * dz;
    const V absZ = Math::Abs(z);
    const auto inPlane = z == zero;

    // The corners relative to the point, and their distances from it; side s runs from
    // corner s to the next one. A triangle's corner 3 repeats corner 0, so that its side 2
    // closes it; its side 3 repeats side 0, unused.
    const auto quadrilateral = load(s.hasFourthSide + at) != zero;
    V dXsiCorner[4], dItaCorner[4], rCorner[4];
#pragma GCC unroll 4
    for (int c = 0; c < 4; ++c) {
        dXsiCorner[c] = load(s.xsiStart[c] + at) - x;
        dItaCorner[c] = load(s.itaStart[c] + at) - y;
        rCorner[c] = Isa::Sqrt(dXsiCorner[c] * dXsiCorner[c] + dItaCorner[c] * dItaCorner[c] + z * z);
    }

    V Su = zero, Sv = zero, halfOmega = zero, ShL = zero;
    const V zz = z * z;
    auto inside = zero == zero;    // all lanes true
    auto delicate = zero != zero;  // all lanes false
#pragma GCC unroll 4
    for (int side = 0; side < 4; ++side) {
        const V dXsi = load(s.dXsi[side] + at), dIta = load(s.dIta[side] + at);
        const V inverseD = load(s.inverseD[side] + at), d = load(s.d[side] + at);
        const auto present = side < 3 ? zero == zero : quadrilateral;
        const int end = side < 3 ? side + 1 : 0;
        const V dXsiEnd = side < 3 ? dXsiCorner[end] : quadrilateral ? dXsiCorner[0] : dXsiCorner[1];
        const V dItaEnd = side < 3 ? dItaCorner[end] : quadrilateral ? dItaCorner[0] : dItaCorner[1];
        const V r = rCorner[side];
        const V rPrime = side < 3 ? rCorner[end] : quadrilateral ? rCorner[0] : rCorner[1];

        // The side's terms as PanelSideTerms.cpp derives them: the corners' positions a, b
        // along the side from the foot of the perpendicular, the point's signed distance h from
        // the side's line (positive towards the panel), rho^2 = h^2 + z^2 and
        // Q = r r' + a b + rho^2 = ((r + r')^2 - d^2) / 2.
        const V a = (dXsi * dXsiCorner[side] + dIta * dItaCorner[side]) * inverseD;
        const V b = (dXsi * dXsiEnd + dIta * dItaEnd) * inverseD;
        const V hd = dXsi * dItaCorner[side] - dIta * dXsiCorner[side];
        const V h = hd * inverseD;
        const V S = r + rPrime;
        const V rho2 = h * h + zz;
        const V rr = r * rPrime, ab = a * b;
        const V Q = rr + ab + rho2;
        const auto between = ab < zero;  // the foot lies between the corners

        // r + r' - d = 2 Q / (S + d), with Q free of its cancellation between the corners.
        const V L = Math::SideLogarithm(S, d, [&] {
            const V G = rr - ab;
            const V numerator = between ? rho2 * (a * a + b * b + rho2 + G) : Q;
            return (numerator + numerator) / (between ? G * (S + d) : S + d);
        });
        Su = present ? Su - (dIta * inverseD) * L : Su;
        Sv = present ? Sv + (dXsi * inverseD) * L : Sv;
        // The potential's h L; a side through the foot adds nothing (a point on the side
        // itself, where L is infinite, is delicate and goes to the scalar routine).
        if constexpr (kPotential) ShL = (present & (hd != zero)) ? ShL + h * L : ShL;

        // Half the solid angle of the triangle (foot, corner, corner): tan = h d / (Q + |z| S).
        halfOmega = present ? halfOmega + Math::AtanOfQuotient(hd, Q + absZ * S) : halfOmega;
        inside = inside & ~(present & (hd < zero));

        // Within d / 16 of the side (rho from its line where the foot lies between the corners,
        // the nearer corner's distance elsewhere) the rounding of h, of Q's direct sum and of
        // the corners' offsets can cost more than a few ulps; such a point is left to the
        // scalar routine, which computes h exactly.
        const V nearer = Math::Min(r, rPrime);
        const V distance2 = between ? rho2 : nearer * nearer;
        delicate = delicate | (present & (distance2 * splat(256.0) < d * d));
    }
    // In the panel's plane the solid angle is 2 Pi over the panel and 0 beside it.
    const V Omega = inPlane ? (inside ? twoPi : zero) : halfOmega + halfOmega;

    V u = Su * inverseFourPi;
    V v = Sv * inverseFourPi;
    V w = Omega * (z < zero ? -inverseFourPi : inverseFourPi);
    V phi = zero;
    if constexpr (kPotential) phi = (absZ * Omega - ShL) * inverseFourPi;
    if (Isa::Any(delicate)) {
        for (int lane = 0; lane < W; ++lane) {
            if (delicate[lane] != 0) {
                double ul = 0.0, vl = 0.0, wl = 0.0;
                if (exact(lane, x[lane], y[lane], z[lane], ul, vl, wl)) {
                    u[lane] = ul;
                    v[lane] = vl;
                    w[lane] = wl;
                    if constexpr (kPotential) phi[lane] = exactPotential(lane, x[lane], y[lane], z[lane]);
                }
            }
        }
    }

    // Back to global axes, then onto the field panel's axes.
    const V Vx = XsiX * u + ItaX * v + ZtaX * w;
    const V Vy = XsiY * u + ItaY * v + ZtaY * w;
    const V Vz = XsiZ * u + ItaZ * v + ZtaZ * w;
    return {Vx * f.XsiX + Vy * f.XsiY + Vz * f.XsiZ, Vx * f.ItaX + Vy * f.ItaY + Vz * f.ItaZ,
            Vx * f.ZtaX + Vy * f.ZtaY + Vz * f.ZtaZ, phi, w};
}

// Stores `value`'s lanes of entries n0 .. n0 + W - 1 that lie before `last` into `out`.
inline __attribute__((always_inline)) void Store(long n0, long last, const Isa::V& value, double* out) {
    constexpr int W = Isa::W;
    if (n0 + W <= last) {
        __builtin_memcpy(out + n0, &value, sizeof value);
    } else {
        for (long lane = 0; n0 + lane < last; ++lane) out[n0 + lane] = value[lane];
    }
}

// The row kernel, with the potential and the solid angle where kPotential is set.
template <bool kPotential>
inline __attribute__((always_inline)) void Row(const SourceArrays& s, const FieldPanel& f, long first, long last,
                                               double* uTan, double* vTan, double* vNorm, double* potential,
                                               double* solidAngle) {
    constexpr int W = Isa::W;
    for (long n0 = first; n0 < last; n0 += W) {
        // Where the entries of panels n0 .. n0 + W - 1 lie (W divides the group's 8).
        const long at = n0 / kPanelsPerGroup * s.groupStride + n0 % kPanelsPerGroup;
        auto exact = [&](int lane, double x, double y, double z, double& u, double& v, double& w) {
            if (n0 + lane >= last) return false;
            s.exactVelocity(s.context, n0 + lane, x, y, z, u, v, w);
            return true;
        };
        auto exactPotential = [&](int lane, double x, double y, double z) {
            return s.exactPotential(s.context, n0 + lane, x, y, z);
        };
        const LaneValues values = Lanes<kPotential>(s, at, f, exact, exactPotential);
        Store(n0, last, values.u, uTan);
        Store(n0, last, values.v, vTan);
        Store(n0, last, values.n, vNorm);
        if constexpr (kPotential) {
            Store(n0, last, values.potential, potential);
            if (solidAngle != nullptr) Store(n0, last, values.solidAngle, solidAngle);
        }
    }
}

}  // namespace

void PANELFLOW_KERNEL_NAME(const SourceArrays& s, const FieldPanel& f, long first, long last, double* uTan,
                           double* vTan, double* vNorm) {
    Row<false>(s, f, first, last, uTan, vTan, vNorm, nullptr, nullptr);
}

void PANELFLOW_KERNEL_POTENTIAL_NAME(const SourceArrays& s, const FieldPanel& f, long first, long last, double* uTan,
                                     double* vTan, double* vNorm, double* potential, double* solidAngle) {
    Row<true>(s, f, first, last, uTan, vTan, vNorm, potential, solidAngle);
}

void PANELFLOW_KERNEL_COLUMN_NAME(const SourceArrays& s, long source, long first, long last, double* uTan,
                                  double* vTan, double* vNorm) {
    constexpr int W = Isa::W;
    // The source panel in every lane of a group of its own, laid out as `s` lays out its groups.
    constexpr int kArrays = 12 + 6 * 4 + 1;
    double values[kArrays * kPanelsPerGroup];
    SourceArrays one = s;
    one.groupStride = kArrays * kPanelsPerGroup;
    const long from = source / kPanelsPerGroup * s.groupStride + source % kPanelsPerGroup;
    int next = 0;
    auto single = [&](const double*& array) {
        for (int lane = 0; lane < kPanelsPerGroup; ++lane) values[next * kPanelsPerGroup + lane] = array[from];
        array = values + next++ * kPanelsPerGroup;
    };
    for (const double** array : {&one.xC, &one.yC, &one.zC, &one.XsiX, &one.XsiY, &one.XsiZ, &one.ItaX, &one.ItaY,
                                 &one.ItaZ, &one.ZtaX, &one.ZtaY, &one.ZtaZ, &one.hasFourthSide})
        single(*array);
    for (int side = 0; side < 4; ++side) {
        single(one.xsiStart[side]), single(one.itaStart[side]), single(one.dXsi[side]);
        single(one.dIta[side]), single(one.d[side]), single(one.inverseD[side]);
    }

    for (long m0 = first; m0 < last; m0 += W) {
        const long at = m0 / kPanelsPerGroup * s.groupStride + m0 % kPanelsPerGroup;
        const FieldLanes f{Load(s.xC + at),   Load(s.yC + at),   Load(s.zC + at),   Load(s.XsiX + at),
                           Load(s.XsiY + at), Load(s.XsiZ + at), Load(s.ItaX + at), Load(s.ItaY + at),
                           Load(s.ItaZ + at), Load(s.ZtaX + at), Load(s.ZtaY + at), Load(s.ZtaZ + at)};
        auto exact = [&](int lane, double x, double y, double z, double& u, double& v, double& w) {
            if (m0 + lane >= last) return false;
            s.exactVelocity(s.context, source, x, y, z, u, v, w);
            return true;
        };
        auto noPotential = [](int, double, double, double) { return 0.0; };
        const LaneValues lanes = Lanes<false>(one, 0, f, exact, noPotential);
        Store(m0, last, lanes.u, uTan);
        Store(m0, last, lanes.v, vTan);
        Store(m0, last, lanes.n, vNorm);
    }
}
#endif

}  // namespace panelflow::assembly
