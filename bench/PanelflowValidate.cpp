// SPDX-License-Identifier: GPL-3.0-or-later
// panelflow-validate MARKDOWN DATA: the panel method against exact flows, as shipped in
// docs/validation.md. Solves the sphere and the 4:1 prolate spheroid, bodies of revolution that
// the symmetric solver takes, at 8 x 8 to 1024 x 1024 panels, the 4:2:1 ellipsoid, which only the
// dense solver takes, at 8 x 8 to 64 x 64 (commands/FlowValidation.h), all in the unit stream
// along +x, and the sphere also at 8 x 16 to 32 x 64; writes the table of errors, observed orders
// and net source strengths to MARKDOWN, and to DATA the sphere's 1 - Cp against x in column 1 at
// three meshes with the exact curve, as gnuplot data blocks (scripts/validate.sh draws them).
// Then the added masses of the sphere and of the 2:1, 4:1 and 8:1 prolate spheroids against
// Lamb's coefficients, the Munk moment of the 4:1 spheroid yawed 10 degrees, and the velocity off
// the sphere at 1.1, 1.5 and 3 radii, at 32 x 32 to 512 x 512 panels.
// Numbers are written with std::to_chars, the same in every locale.

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "commands/FlowValidation.h"
#include "solver/BlasKernels.h"

namespace {

using namespace panelflow;

struct Mesh {
    int NI, NJ;
};

constexpr Mesh kSquareMeshes[] = {{8, 8}, {16, 16}, {32, 32}, {64, 64}, {128, 128}, {256, 256}, {512, 512}, {1024, 1024}};
// The meshes up to 64 x 64: the dense solver's, for a body that is no body of revolution.
constexpr int kDenseMeshes = 4;
constexpr Mesh kSphereWideMeshes[] = {{8, 16}, {16, 32}, {32, 64}};
constexpr Mesh kPlottedMeshes[] = {{8, 8}, {16, 16}, {32, 32}};
constexpr int kExactCurvePoints = 201;
constexpr Mesh kLoadsMeshes[] = {{32, 32}, {64, 64}, {128, 128}, {256, 256}, {512, 512}};
constexpr double kSpheroidRatios[] = {1.0, 2.0, 4.0, 8.0};
constexpr double kYawDegrees = 10.0;
constexpr double kOffBodyRadii[] = {1.1, 1.5, 3.0};

std::string Fixed(double value, int decimals) {
    char text[64];
    return {text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr};
}

std::string Scientific(double value, int decimals = 1) {
    char text[64];
    return {text, std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, decimals).ptr};
}

std::string MeshText(const Mesh& mesh) { return std::to_string(mesh.NI) + " × " + std::to_string(mesh.NJ); }

// One row per mesh of a series whose meshes halve the panel size from row to row.
bool AppendSeries(std::string& table, ValidationBody body, const Mesh* begin, const Mesh* end) {
    double previousRms = 0.0;
    for (const Mesh* mesh = begin; mesh != end; ++mesh) {
        Session session;
        const ValidationResult result = RunValidationCase(body, mesh->NI, mesh->NJ, kUnitStreamAlongX, session);
        if (!result.status) {
            std::fprintf(stderr, "%s %s: %s\n", std::string(ValidationBodyName(body)).c_str(), MeshText(*mesh).c_str(),
                         result.status.message.c_str());
            return false;
        }
        const std::string order = mesh == begin ? "" : Fixed(std::log2(previousRms / result.rmsError), 2);
        table += "| " + std::string(ValidationBodyName(body)) + " | " + MeshText(*mesh) + " | " +
                 std::to_string(mesh->NI * mesh->NJ) + " | " + Scientific(result.maxError, 2) + " | " +
                 Scientific(result.rmsError, 2) + " | " + order + " | " + Scientific(result.netSource) + " |\n";
        previousRms = result.rmsError;
    }
    return true;
}

// The sphere's control points of column 1, then the exact curve along the meridian.
bool WriteSphereData(const std::string& path) {
    std::string data;
    for (const Mesh& mesh : kPlottedMeshes) {
        Session session;
        if (!RunValidationCase(ValidationBody::Sphere, mesh.NI, mesh.NJ, kUnitStreamAlongX, session).status)
            return false;
        data += "# " + MeshText(mesh) + "\n";
        for (int i = 1; i <= mesh.NI; ++i)
            data += Fixed(session.model.xC(i, 1), 6) + " " + Fixed(session.solution.OneMinusCp(i, 1), 6) + "\n";
        data += "\n\n";
    }
    const Ellipsoid sphere = ValidationEllipsoid(ValidationBody::Sphere);
    const ShapeCoefficients shape = EllipsoidShapeCoefficients(sphere);
    data += "# exact\n";
    for (int k = 0; k < kExactCurvePoints; ++k) {
        const double theta = Pi * k / (kExactCurvePoints - 1);
        const double x = sphere.xCentre - sphere.a * std::cos(theta), r = sphere.a * std::sin(theta);
        // The ray through the surface point itself; at the poles, a point just beside the axis.
        const double y = std::fmax(r, 1e-12);
        data += Fixed(x, 6) + " " + Fixed(ExactOneMinusCp(sphere, shape, kUnitStreamAlongX, x, y, 0.0), 6) + "\n";
    }
    std::ofstream out(path, std::ios::binary);
    out << data;
    return static_cast<bool>(out.flush());
}

constexpr const char* kIntroduction =
    "# Validation against exact flows\n"
    "\n"
    "Written by `scripts/validate.sh` from the output of `panelflow-validate`; run that command to\n"
    "make this page and its plot again.\n"
    "\n"
    "Every body is solved in the unit free stream along +x. The error is the difference between the\n"
    "computed 1 − Cp at each panel's control point and the exact 1 − Cp at the surface point on the\n"
    "ray from the body's centre through the control point: for an ellipsoid with semi-axes a, b, c\n"
    "the surface velocity is the tangential part of the stream magnified by 2 / (2 − α₀), where\n"
    "α₀ = abc ∫₀^∞ dλ / ((a² + λ)^{3/2} (b² + λ)^{1/2} (c² + λ)^{1/2}) is the ellipsoid's shape\n"
    "coefficient, computed by the program with Gauss–Legendre quadrature (9/4 sin²θ for the\n"
    "sphere). The bodies: the sphere of diameter 1; a prolate spheroid of length 1 and diameter\n"
    "0.25 (4:1), revolved from its profile; an ellipsoid with semi-axes 0.5, 0.25 and 0.125, built\n"
    "from corner points. Rows of panels are spaced at equal steps of the parameter angle from nose\n"
    "to tail, columns at equal steps of the angle about x.\n"
    "\n"
    "The sphere and the spheroid, bodies of revolution, are solved by the symmetric solver up to\n"
    "1024 × 1024 panels (a million); the ellipsoid, which only the dense solver takes, up to 64 × 64.\n"
    "\n"
    "The observed order is log₂ of the ratio of the RMS errors of two meshes whose panels differ by\n"
    "a factor of 2 in size. The method is first order: the error halves with the panel size. On the\n"
    "coarser meshes the observed orders scatter, because the error there is not yet in proportion\n"
    "to the panel size: the orders below 256 × 256 are pre-asymptotic. From 256 × 256 on they settle\n"
    "towards 1. The net source Σ σ·area is zero for the exact flow about a closed body.\n"
    "\n"
    "| body | panels NI × NJ | N | max error of 1 − Cp | RMS error | observed order | Σ σ·area |\n"
    "|---|---|---|---|---|---|---|\n";

constexpr const char* kLoadsIntroduction =
    "\n"
    "## Added masses\n"
    "\n"
    "The added masses come from the body's six unit motions, solved together through the solver\n"
    "entry point (the symmetric solver here), and the sources' potential φ at the control points:\n"
    "m_kl = −ρ Σ φ_k n_l A over the panels (model/BodyLoads.h states every convention). Lamb's\n"
    "coefficients of a prolate spheroid with eccentricity e follow from the closed forms\n"
    "α₀ = 2 (1 − e²) / e³ (atanh e − e) and β₀ = 1 / e² − (1 − e²) / e³ atanh e:\n"
    "k₁ = α₀ / (2 − α₀) (along the axis), k₂ = β₀ / (2 − β₀) (across it) and\n"
    "k′ = e⁴ (β₀ − α₀) / ((2 − e²) (2e² − (2 − e²)(β₀ − α₀))) (turning about a transverse axis\n"
    "through the centre); the sphere has k₁ = k₂ = 1/2 and k′ = 0. The computed k's divide the\n"
    "added masses by the mass and the moment of inertia of the fluid the panels displace. The bodies\n"
    "have length 1, rows at equal steps of the parameter angle, NI = NJ. The percentages are the\n"
    "relative errors; the observed order is log₂ of the ratio of the largest of them on two meshes\n"
    "whose panels differ by a factor of 2 in size. Like the surface velocity, the added masses\n"
    "converge at first order, from above: the error halves with the panel size, about 5 % at\n"
    "32 × 32, 1.2 % at 128 × 128 and 0.3 % at 512 × 512 for every body (the sphere's k within 1 %\n"
    "from 256 × 256, the spheroids' k₁ and k₂ within 2 % from 128 × 128). Across the axis (k₂, k′)\n"
    "the error is set by NJ, the panels around.\n"
    "\n"
    "| body | panels NI × NJ | k₁ | k₂ | k′ | largest error | observed order |\n"
    "|---|---|---|---|---|---|---|\n";

constexpr const char* kOffBodyIntroduction =
    "\n"
    "## The flow off the body\n"
    "\n"
    "The velocity of the sphere of diameter 1 in the unit stream along +x, computed at 26 points at\n"
    "1.1, 1.5 and 3 radii from its centre (towards the faces, edges and corners of a cube), against\n"
    "the exact U (1 + a³ / 2r³) − 3a³ (U·r) r / 2r⁵: the largest length of the difference, in units\n"
    "of the stream's speed. First order again; nearer the surface the panels' faceting shows more.\n"
    "\n"
    "| panels NI × NJ | 1.1 radii | 1.5 radii | 3 radii |\n"
    "|---|---|---|---|\n";

constexpr const char* kMunkIntroduction =
    "\n"
    "## The Munk moment\n"
    "\n"
    "The 4:1 prolate spheroid of length 1 in the unit stream yawed 10° (U = (cos 10°, sin 10°, 0))\n"
    "feels no force but the Munk moment M = −U × (A U) about z, A the translational added masses:\n"
    "−2 sin 10° cos 10° (k₂ − k₁) V in units of ½ρU² L³ with Lamb's k's. The panels give it twice:\n"
    "from the pressure integrated over them, and from their own added masses. The d'Alembert\n"
    "residual |F| / (½ρU² · wetted area) is 0 for the exact flow.\n"
    "\n"
    "| panels NI × NJ | pressure moment M_z | error | −2 e × (A e) from the added masses | error | d'Alembert residual |\n"
    "|---|---|---|---|---|---|\n";


// The added masses of each body against Lamb's, and the velocity off the sphere.
bool AppendAddedMasses(std::string& page) {
    std::string offBody;
    for (const double ratio : kSpheroidRatios) {
        const std::string body = ratio == 1.0 ? "sphere" : "prolate spheroid " + Fixed(ratio, 0) + ":1";
        double previous = 0.0;
        bool first = true;
        for (const Mesh& mesh : kLoadsMeshes) {
            Session session;
            const LoadsValidation result = RunLoadsCase(ratio, mesh.NI, mesh.NJ, kUnitStreamAlongX, session);
            if (!result.status) {
                std::fprintf(stderr, "%s %s: %s\n", body.c_str(), MeshText(mesh).c_str(), result.status.message.c_str());
                return false;
            }
            if (first) {
                page += "| " + body + " | exact (Lamb) | " + Fixed(result.exact.k1, 5) + " | " + Fixed(result.exact.k2, 5) +
                        " | " + Fixed(result.exact.kPrime, 5) + " |  |  |\n";
            }
            const BodyLoads& loads = result.loads;
            const double e1 = loads.k1 / result.exact.k1 - 1.0, e2 = loads.k2 / result.exact.k2 - 1.0;
            // A sphere turning about its centre stirs nothing: its k' is compared as it stands.
            const double eP = ratio == 1.0 ? loads.kPrime : loads.kPrime / result.exact.kPrime - 1.0;
            const double largest = std::fmax(std::fabs(e1), std::fmax(std::fabs(e2), std::fabs(eP)));
            const auto percent = [](double e) { return Fixed(100.0 * e, 2) + " %"; };
            page += "| " + body + " | " + MeshText(mesh) + " | " + Fixed(loads.k1, 5) + " (" + percent(e1) + ") | " +
                    Fixed(loads.k2, 5) + " (" + percent(e2) + ") | " + Fixed(loads.kPrime, 5) + " (" +
                    (ratio == 1.0 ? std::string("exact 0") : percent(eP)) + ") | " + percent(largest) + " | " +
                    (first ? std::string() : Fixed(std::log2(previous / largest), 2)) + " |\n";
            previous = largest;
            first = false;
            if (ratio == 1.0) {
                offBody += "| " + MeshText(mesh);
                for (const double radii : kOffBodyRadii) offBody += " | " + Scientific(OffBodyVelocityError(session, radii), 2);
                offBody += " |\n";
            }
        }
    }
    page += kOffBodyIntroduction;
    page += offBody;
    return true;
}

// The Munk moment of the yawed 4:1 spheroid, from the pressure and from the added masses.
bool AppendMunkMoment(std::string& page) {
    const double yaw = kYawDegrees * Pi / 180.0;
    const FreeStream stream{std::cos(yaw), std::sin(yaw), 0.0};
    bool first = true;
    for (const Mesh& mesh : kLoadsMeshes) {
        Session session;
        const LoadsValidation result = RunLoadsCase(4.0, mesh.NI, mesh.NJ, stream, session);
        if (!result.status) {
            std::fprintf(stderr, "Munk moment %s: %s\n", MeshText(mesh).c_str(), result.status.message.c_str());
            return false;
        }
        const double exact = result.exactMunkMoment[2];
        if (first) page += "| exact | " + Scientific(exact, 4) + " |  | " + Scientific(exact, 4) + " |  |  |\n";
        first = false;
        const BodyLoads& loads = result.loads;
        const auto percent = [exact](double value) { return Fixed(100.0 * (value / exact - 1.0), 2) + " %"; };
        page += "| " + MeshText(mesh) + " | " + Scientific(loads.moment[2], 4) + " | " + percent(loads.moment[2]) + " | " +
                Scientific(loads.munkMoment[2], 4) + " | " + percent(loads.munkMoment[2]) + " | " +
                Scientific(loads.dalembertResidual, 1) + " |\n";
    }
    return true;
}

constexpr const char* kPlot =
    "\n"
    "![1 − Cp against x on the sphere at three meshes, with the exact curve](validation-sphere.png)\n";

}  // namespace

int main(int argc, char** argv) {
    SelectBlasKernels(argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: panelflow-validate MARKDOWN DATA\n");
        return 2;
    }
    std::string page = kIntroduction;
    for (ValidationBody body : kValidationBodies) {
        const bool revolution = body != ValidationBody::Ellipsoid;
        const Mesh* end = revolution ? std::end(kSquareMeshes) : std::begin(kSquareMeshes) + kDenseMeshes;
        if (!AppendSeries(page, body, std::begin(kSquareMeshes), end)) return 1;
    }
    if (!AppendSeries(page, ValidationBody::Sphere, std::begin(kSphereWideMeshes), std::end(kSphereWideMeshes)))
        return 1;
    page += kPlot;
    if (!WriteSphereData(argv[2])) return 1;
    page += kLoadsIntroduction;
    if (!AppendAddedMasses(page)) return 1;
    page += kMunkIntroduction;
    if (!AppendMunkMoment(page)) return 1;
    std::ofstream out(argv[1], std::ios::binary);
    out << page;
    return out.flush() ? 0 : 1;
}
