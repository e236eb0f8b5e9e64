// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/AddedMasses.h"

#include <cmath>

namespace panelflow {
namespace {

// The generalised normal n_l of panel (i, j), l = 0..5: n, then (C - R) x n.
double GeneralisedNormal(const PanelModel& model, const Vector3& R, int i, int j, int l) {
    const double n[3] = {model.ZtaX(i, j), model.ZtaY(i, j), model.ZtaZ(i, j)};
    if (l < 3) return n[l];
    const double r[3] = {model.xC(i, j) - R[0], model.yC(i, j) - R[1], model.zC(i, j) - R[2]};
    const int a = (l - 3 + 1) % 3, b = (l - 3 + 2) % 3;
    return r[a] * n[b] - r[b] * n[a];
}

}  // namespace

FlowProblem UnitMotionProblem(const PanelModel& model, const Vector3& reference) {
    FlowProblem problem;
    problem.potentials = true;
    for (int k = 0; k < 3; ++k) {
        OnsetFlow& translation = problem.onsets.emplace_back();
        (k == 0 ? translation.uniform.VinfX : k == 1 ? translation.uniform.VinfY : translation.uniform.VinfZ) = -1.0;
    }
    for (int k = 0; k < 3; ++k) {
        // The body turning about e_k moves its point C at e_k x (C - R); the fluid, seen from the
        // body, meets it with the opposite.
        OnsetFlow& rotation = problem.onsets.emplace_back();
        rotation.Vx = Array2D<double>(model.NI, model.NJ);
        rotation.Vy = Array2D<double>(model.NI, model.NJ);
        rotation.Vz = Array2D<double>(model.NI, model.NJ);
        for (int i = 1; i <= model.NI; ++i) {
            for (int j = 1; j <= model.NJ; ++j) {
                const double r[3] = {model.xC(i, j) - reference[0], model.yC(i, j) - reference[1],
                                     model.zC(i, j) - reference[2]};
                double e[3] = {0.0, 0.0, 0.0};
                e[k] = 1.0;
                rotation.Vx(i, j) = -(e[1] * r[2] - e[2] * r[1]);
                rotation.Vy(i, j) = -(e[2] * r[0] - e[0] * r[2]);
                rotation.Vz(i, j) = -(e[0] * r[1] - e[1] * r[0]);
            }
        }
    }
    return problem;
}

Matrix6 AddedMassMatrix(const PanelModel& model, const Vector3& reference, const SolverOutput& solved) {
    Matrix6 m{};
    for (int i = 1; i <= model.NI; ++i) {
        for (int j = 1; j <= model.NJ; ++j) {
            double normal[6];
            for (int l = 0; l < 6; ++l) normal[l] = GeneralisedNormal(model, reference, i, j, l) * model.Area(i, j);
            for (int k = 0; k < 6; ++k) {
                const double phi = solved.solutions[k].potential(i, j);
                for (int l = 0; l < 6; ++l) m[k][l] -= phi * normal[l];
            }
        }
    }
    return m;
}

AddedMassResult AddedMasses(const PanelModel& model, const Vector3& reference, const SolveSettings& settings,
                            Progress* progress) {
    AddedMassResult result;
    const FlowResult flow = SolveFlow(model, UnitMotionProblem(model, reference), settings, progress);
    result.choice = flow.choice;
    result.status = flow.status;
    if (!result.status) return result;
    if (flow.output.zeroPivot) {
        result.status = Status::Fail(
            "The body's unit motions meet a zero pivot in the elimination: the system of equations is singular for "
            "this geometry, so it has no added masses.");
        return result;
    }
    result.matrix = AddedMassMatrix(model, reference, flow.output);
    return result;
}

Vector3 MunkMoment(const Matrix6& addedMass, const FreeStream& vinf) {
    const double U = std::hypot(vinf.VinfX, vinf.VinfY, vinf.VinfZ);
    const double e[3] = {vinf.VinfX / U, vinf.VinfY / U, vinf.VinfZ / U};
    double Ae[3];
    for (int k = 0; k < 3; ++k) Ae[k] = addedMass[k][0] * e[0] + addedMass[k][1] * e[1] + addedMass[k][2] * e[2];
    return {-2.0 * (e[1] * Ae[2] - e[2] * Ae[1]), -2.0 * (e[2] * Ae[0] - e[0] * Ae[2]),
            -2.0 * (e[0] * Ae[1] - e[1] * Ae[0])};
}

}  // namespace panelflow
