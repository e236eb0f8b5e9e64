// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/FlowValidation.h"

#include <cmath>
#include <string>

#include "commands/HessSolve.h"
#include "geometry/BodyOfRevolution.h"
#include "geometry/PanelGeometry.h"
#include "solver/AddedMasses.h"
#include "solver/FlowAtPoints.h"
#include "solver/LoadsOnBody.h"

namespace panelflow {
namespace {

constexpr const char* kNowhere = "/dev/null";

// The ellipsoid's nodes: rows at equal steps of the parameter angle along x from the nose
// (x = 0) to the tail, columns at equal steps of the angle about x from the -z side, turning
// positively about +x; the last column repeats the first and the end rows are points.
void EllipsoidNodes(const Ellipsoid& e, PanelModel& model) {
    for (auto* node : {&model.xNode, &model.yNode, &model.zNode}) *node = Array2D<double>(model.NI1, model.NJ1);
    for (int i = 1; i <= model.NI1; ++i) {
        const double phi = Pi - (i - 1) * Pi / model.NI;
        const double s = (i == 1 || i == model.NI1) ? 0.0 : std::sin(phi);
        for (int j = 1; j <= model.NJ1; ++j) {
            const int column = j == model.NJ1 ? 1 : j;
            const double theta = -Pi / 2 + (column - 1) * TwoPi / model.NJ;
            model.xNode(i, j) = e.a * (1.0 + std::cos(phi));
            model.yNode(i, j) = e.b * s * std::cos(theta);
            model.zNode(i, j) = e.c * s * std::sin(theta);
        }
    }
}

// A body of revolution from the ellipse's meridian, as a profile file would give it.
void SpheroidNodes(const Ellipsoid& e, PanelModel& model) {
    BodyProfile profile;
    profile.xI = Array1D<double>(model.NI1);
    profile.rI = Array1D<double>(model.NI1);
    for (int i = 1; i <= model.NI1; ++i) {
        const double phi = Pi - (i - 1) * Pi / model.NI;
        profile.xI(i) = e.a * (1.0 + std::cos(phi));
        profile.rI(i) = (i == 1 || i == model.NI1) ? 0.0 : e.b * std::sin(phi);
    }
    BuildBodyOfRevolution(profile, model);
}

}  // namespace

std::string_view ValidationBodyName(ValidationBody body) {
    switch (body) {
        case ValidationBody::Sphere: return "sphere";
        case ValidationBody::ProlateSpheroid: return "prolate spheroid 4:1";
        case ValidationBody::Ellipsoid: return "ellipsoid 4:2:1";
    }
    return "";
}

Ellipsoid ValidationEllipsoid(ValidationBody body) {
    switch (body) {
        case ValidationBody::Sphere: return {0.5, 0.5, 0.5, 0.5, 0.0, 0.0};
        case ValidationBody::ProlateSpheroid: return {0.5, 0.125, 0.125, 0.5, 0.0, 0.0};
        case ValidationBody::Ellipsoid: return {0.5, 0.25, 0.125, 0.5, 0.0, 0.0};
    }
    return {};
}

ValidationResult RunValidationCase(ValidationBody body, int NI, int NJ, const FreeStream& vinf, Session& session) {
    ValidationResult result;
    const Ellipsoid e = ValidationEllipsoid(body);
    PanelModel& model = session.model;
    model = PanelModel{};
    model.NI = NI, model.NJ = NJ, model.NI1 = NI + 1, model.NJ1 = NJ + 1;
    if (body == ValidationBody::Sphere) {
        BodyProfile profile;
        SphereProfile(NI, profile);
        BuildBodyOfRevolution(profile, model);
    } else if (body == ValidationBody::ProlateSpheroid) {
        SpheroidNodes(e, model);
    } else {
        EllipsoidNodes(e, model);
    }
    result.status = BuildPanels(model);
    if (!result.status) return result;

    HessSettings settings;
    settings.writeTables = false;
    const HessOutcome outcome = HessSolve(model, vinf, session.solution, kNowhere, nullptr, settings);
    result.status = outcome.status;
    if (outcome.zeroPivot) result.status = Status::Fail("zero pivot");
    if (!result.status) return result;
    session.vinf = vinf;
    session.shell.GeometryReady = session.shell.SolutionReady = true;

    const ShapeCoefficients shape = EllipsoidShapeCoefficients(e);
    double sumSquares = 0.0;
    for (int i = 1; i <= NI; ++i) {
        for (int j = 1; j <= NJ; ++j) {
            const double exact = ExactOneMinusCp(e, shape, vinf, model.xC(i, j), model.yC(i, j), model.zC(i, j));
            const double error = std::abs(session.solution.OneMinusCp(i, j) - exact);
            result.maxError = std::fmax(result.maxError, error);
            sumSquares += error * error;
            result.netSource += session.solution.Sigma(i, j) * model.Area(i, j);
        }
    }
    result.rmsError = std::sqrt(sumSquares / (static_cast<double>(NI) * NJ));
    return result;
}

Status BuildSpheroid(double ratio, int NI, int NJ, PanelModel& model) {
    model = PanelModel{};
    model.NI = NI, model.NJ = NJ, model.NI1 = NI + 1, model.NJ1 = NJ + 1;
    if (ratio == 1.0) {
        BodyProfile profile;
        SphereProfile(NI, profile);
        BuildBodyOfRevolution(profile, model);
    } else {
        SpheroidNodes({0.5, 0.5 / ratio, 0.5 / ratio, 0.5, 0.0, 0.0}, model);
    }
    return BuildPanels(model);
}

LoadsValidation RunLoadsCase(double ratio, int NI, int NJ, const FreeStream& vinf, Session& session,
                             const SolveSettings& settings) {
    LoadsValidation result;
    result.status = BuildSpheroid(ratio, NI, NJ, session.model);
    if (!result.status) return result;
    HessSettings hess;
    hess.writeTables = false;
    const HessOutcome outcome = HessSolve(session.model, vinf, session.solution, kNowhere, nullptr, hess);
    result.status = outcome.status;
    if (outcome.zeroPivot) result.status = Status::Fail("zero pivot");
    if (!result.status) return result;
    session.vinf = vinf;
    session.shell.GeometryReady = session.shell.SolutionReady = true;

    const double a = 0.5, b = 0.5 / ratio;
    const LoadsResult loads = LoadsOnBody(session.model, session.solution, vinf, Vector3{a, 0.0, 0.0}, settings);
    result.status = loads.status;
    result.loads = loads.loads;
    result.exact = ratio == 1.0 ? SpheroidAddedMass{2.0 / 3.0, 2.0 / 3.0, 0.5, 0.5, 0.0} : ProlateSpheroidAddedMass(a, b);
    const double volume = 4.0 / 3.0 * Pi * a * b * b;
    Matrix6 exact{};
    exact[0][0] = result.exact.k1 * volume;
    exact[1][1] = exact[2][2] = result.exact.k2 * volume;
    result.exactMunkMoment = MunkMoment(exact, vinf);
    return result;
}

double OffBodyVelocityError(const Session& session, double radii) {
    const Vector3 centre{0.5, 0.0, 0.0};
    const double radius = 0.5;
    std::vector<Vector3> points;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dz = -1; dz <= 1; ++dz) {
                if (dx == 0 && dy == 0 && dz == 0) continue;
                const double length = std::sqrt(static_cast<double>(dx * dx + dy * dy + dz * dz));
                const double distance = radii * radius / length;
                points.push_back({centre[0] + dx * distance, centre[1] + dy * distance, centre[2] + dz * distance});
            }
    const FieldValues values = FlowAtPoints(session.model, session.solution.Sigma, session.vinf, points);
    double largest = 0.0;
    for (std::size_t p = 0; p < points.size(); ++p) {
        const Vector3 exact = SphereVelocity(centre, radius, session.vinf, points[p]);
        const Vector3& V = values.velocity[p];
        largest = std::fmax(largest, std::sqrt((V[0] - exact[0]) * (V[0] - exact[0]) + (V[1] - exact[1]) * (V[1] - exact[1]) +
                                               (V[2] - exact[2]) * (V[2] - exact[2])));
    }
    const double U = std::sqrt(session.vinf.VinfX * session.vinf.VinfX + session.vinf.VinfY * session.vinf.VinfY +
                               session.vinf.VinfZ * session.vinf.VinfZ);
    return largest / U;
}

}  // namespace panelflow
