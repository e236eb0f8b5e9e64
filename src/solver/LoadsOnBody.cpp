// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/LoadsOnBody.h"

#include <cmath>
#include <limits>

#include "model/BodyScale.h"
#include "solver/AddedMasses.h"

namespace panelflow {
namespace {

Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Vector3 Normal(const PanelModel& model, int i, int j) { return {model.ZtaX(i, j), model.ZtaY(i, j), model.ZtaZ(i, j)}; }

Vector3 FromReference(const PanelModel& model, int i, int j, const Vector3& R) {
    return {model.xC(i, j) - R[0], model.yC(i, j) - R[1], model.zC(i, j) - R[2]};
}

bool Finite(const Vector3& v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

}  // namespace

Vector3 AreaCentroid(const PanelModel& model) {
    Vector3 sum{};
    double area = 0.0;
    for (int i = 1; i <= model.NI; ++i) {
        for (int j = 1; j <= model.NJ; ++j) {
            const double A = model.Area(i, j);
            sum[0] += A * model.xC(i, j), sum[1] += A * model.yC(i, j), sum[2] += A * model.zC(i, j);
            area += A;
        }
    }
    return {sum[0] / area, sum[1] / area, sum[2] / area};
}

PressureIntegrals IntegratePressure(const PanelModel& model, const Array2D<double>& OneMinusCp,
                                    const Vector3& reference) {
    PressureIntegrals result;
    for (int i = 1; i <= model.NI; ++i) {
        for (int j = 1; j <= model.NJ; ++j) {
            const double CpA = (1.0 - OneMinusCp(i, j)) * model.Area(i, j);
            const Vector3 n = Normal(model, i, j);
            const Vector3 rxn = Cross(FromReference(model, i, j, reference), n);
            for (int c = 0; c < 3; ++c) {
                result.force[c] -= CpA * n[c];
                result.moment[c] -= CpA * rxn[c];
            }
            result.wettedArea += model.Area(i, j);
        }
    }
    return result;
}

DisplacedFluid DisplacedFluidOf(const PanelModel& model, const Vector3& R) {
    DisplacedFluid fluid;
    Vector3 second{};  // the integrals of x^2, y^2, z^2 over the volume, about R
    for (int i = 1; i <= model.NI; ++i) {
        for (int j = 1; j <= model.NJ; ++j) {
            const Vector3 C = FromReference(model, i, j, R), n = Normal(model, i, j);
            const Vector3 Xsi{model.XsiX(i, j), model.XsiY(i, j), model.XsiZ(i, j)};
            const Vector3 Ita{model.ItaX(i, j), model.ItaY(i, j), model.ItaZ(i, j)};
            const double height = C[0] * n[0] + C[1] * n[1] + C[2] * n[2];
            // Corner k of the flat panel, relative to R.
            const auto corner = [&](int k) {
                const double xsi = model.Xsi(i, j, k), ita = model.Ita(i, j, k);
                return Vector3{C[0] + xsi * Xsi[0] + ita * Ita[0], C[1] + xsi * Xsi[1] + ita * Ita[1],
                               C[2] + xsi * Xsi[2] + ita * Ita[2]};
            };
            // The tetrahedra (R, corner 1, corner k, corner k + 1); the corners turn clockwise seen
            // from outside, so the triangle's area is minus the usual cross product's half.
            for (int k = 2; k < model.nCorner(i, j); ++k) {
                const double area = -((model.Xsi(i, j, k) - model.Xsi(i, j, 1)) * (model.Ita(i, j, k + 1) - model.Ita(i, j, 1)) -
                                      (model.Xsi(i, j, k + 1) - model.Xsi(i, j, 1)) * (model.Ita(i, j, k) - model.Ita(i, j, 1))) /
                                    2.0;
                const double volume = area * height / 3.0;
                const Vector3 a = corner(1), b = corner(k), c = corner(k + 1);
                fluid.volume += volume;
                // The integral of x^2 over a tetrahedron with one corner at the origin:
                // V / 20 (sum of the other corners' x^2 + (sum of their x)^2).
                for (int d = 0; d < 3; ++d) {
                    const double sum = a[d] + b[d] + c[d];
                    second[d] += volume / 20.0 * (a[d] * a[d] + b[d] * b[d] + c[d] * c[d] + sum * sum);
                }
            }
        }
    }
    fluid.inertia = {second[1] + second[2], second[0] + second[2], second[0] + second[1]};
    return fluid;
}

LoadsResult LoadsOnBody(const PanelModel& model, const SurfaceSolution& surface, const FreeStream& vinf,
                        const std::optional<Vector3>& reference, const SolveSettings& settings, Progress* progress) {
    LoadsResult result;
    BodyLoads& loads = result.loads;
    loads.referencePoint = reference ? *reference : AreaCentroid(model);
    loads.freeStream = {vinf.VinfX, vinf.VinfY, vinf.VinfZ};

    // A body far from unit size is computed scaled by 2^e, exactly; each result then scales back
    // by the power of the length that it carries.
    const int e = NormalisingExponent(model);
    const PanelModel scaled = e != 0 ? ScaledModel(model, e) : PanelModel{};
    const PanelModel& body = e != 0 ? scaled : model;
    const Vector3 R{std::ldexp(loads.referencePoint[0], e), std::ldexp(loads.referencePoint[1], e),
                    std::ldexp(loads.referencePoint[2], e)};
    const auto back = [e](double value, int power) { return std::ldexp(value, -power * e); };

    const DisplacedFluid fluid = DisplacedFluidOf(body, R);
    if (fluid.volume < 0.0) {
        result.status = Status::Fail(
            "The panels' normals point into the body (the volume they enclose comes out negative), so its loads "
            "and added masses would be wrong; the corner points must run the other way round.");
        return result;
    }
    if (!(fluid.volume > 0.0)) {
        result.status = Status::Fail("The panels enclose no volume, so the body has no added masses.");
        return result;
    }
    const PressureIntegrals pressure = IntegratePressure(body, surface.OneMinusCp, R);
    const AddedMassResult added = AddedMasses(body, R, settings, progress);
    loads.solver = added.choice.Text();
    if (!added.status) {
        result.status = added.status;
        return result;
    }

    for (int c = 0; c < 3; ++c) {
        loads.force[c] = back(pressure.force[c], 2);
        loads.moment[c] = back(pressure.moment[c], 3);
        loads.inertia[c] = back(fluid.inertia[c], 5);
    }
    loads.wettedArea = back(pressure.wettedArea, 2);
    loads.displacedVolume = back(fluid.volume, 3);
    const double F = std::sqrt(pressure.force[0] * pressure.force[0] + pressure.force[1] * pressure.force[1] +
                               pressure.force[2] * pressure.force[2]);
    loads.dalembertResidual = F / pressure.wettedArea;
    // Translations carry L^3, each rotation one L more.
    for (int k = 0; k < 6; ++k)
        for (int l = 0; l < 6; ++l) loads.addedMass[k][l] = back(added.matrix[k][l], 3 + (k >= 3) + (l >= 3));
    loads.munkMoment = MunkMoment(loads.addedMass, vinf);

    loads.bodyOfRevolution = model.BodyOfRevolution;
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    const Matrix6& m = loads.addedMass;
    const double V = loads.displacedVolume;
    loads.k1 = model.BodyOfRevolution ? m[0][0] / V : NaN;
    loads.k2 = model.BodyOfRevolution ? (m[1][1] + m[2][2]) / (2.0 * V) : NaN;
    loads.kPrime = model.BodyOfRevolution ? (m[4][4] + m[5][5]) / (loads.inertia[1] + loads.inertia[2]) : NaN;

    bool finite = Finite(loads.force) && Finite(loads.moment) && Finite(loads.munkMoment) && Finite(loads.inertia) &&
                  std::isfinite(loads.displacedVolume) && std::isfinite(loads.wettedArea);
    for (const auto& row : m)
        for (double value : row) finite = finite && std::isfinite(value);
    if (!finite)
        result.status = Status::Fail(
            "The loads are not finite: the body's size or its solution lies beyond what a double can hold.");
    return result;
}

}  // namespace panelflow
