// panelflow-validate MARKDOWN DATA: the panel method against exact flows, as shipped in
// docs/validation.md. Solves the sphere and the 4:1 prolate spheroid, bodies of revolution that
// the symmetric solver takes, at 8 x 8 to 1024 x 1024 panels, the 4:2:1 ellipsoid, which only the
// dense solver takes, at 8 x 8 to 64 x 64 (commands/FlowValidation.h), all in the unit stream
// along +x, and the sphere also at 8 x 16 to 32 x 64; writes the table of errors, observed orders
// and net source strengths to MARKDOWN, and to DATA the sphere's 1 - Cp against x in column 1 at
// three meshes with the exact curve, as gnuplot data blocks (scripts/validate.sh draws them).
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
    std::ofstream out(argv[1], std::ios::binary);
    out << page;
    return out.flush() ? 0 : 1;
}
