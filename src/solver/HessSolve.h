#pragma once
// Hess's method of constant-strength source panels: assembly of the influence matrices, the
// coefficient tables, the solution of the system, the source strengths and 1 - Cp.
//
// Panel number m = (i - 1) * NJ + j (i outer, j inner) is both the row (control point of panel m)
// and the column (source on panel m) of the system. The matrices are [0..N] x [0..N+1],
// row-major and contiguous: vNorm(m, n) is the normal component at panel m of the velocity
// induced by a unit source on panel n, column N + 1 the right-hand side -(Zta_m . Vinf);
// uTan and vTan the components along Xsi_m and Ita_m (their column N + 1 stays 0).

#include <string>

#include "common/Array.h"
#include "common/Status.h"
#include "common/UserInterface.h"
#include "panels/PanelModel.h"

namespace panelflow {

struct FreeStream {
    double VinfX = 0.0, VinfY = 0.0, VinfZ = 0.0;
};

struct Solution {
    long N = 0;
    Array2D<double> vNorm, uTan, vTan;  // [0..N] x [0..N+1]
    Array1D<double> SigmaVec;           // [0..N]
    Array2D<double> Sigma, OneMinusCp;  // [0..NI] x [0..NJ]
};

// Allocates the three matrices for the model's N panels and fills them: every ordered pair of
// panels, the pair of a panel with itself included, and the right-hand side.
void AssembleInfluenceMatrices(const PanelModel& model, const FreeStream& vinf, Solution& solution,
                               Progress* progress = nullptr);

// The same assembly, one pair of panels at a time; the reference that faster versions of
// AssembleInfluenceMatrices are checked against.
void AssembleInfluenceMatricesScalar(const PanelModel& model, const FreeStream& vinf, Solution& solution,
                                     Progress* progress = nullptr);

struct HessOutcome {
    Status status;           // a failure to write the results file, or a solution that is not finite
    bool zeroPivot = false;  // the elimination met a zero pivot; strengths are then all zero
};

class ResultsAppender;
struct GaussResult;

// The three heavy steps of the method. Left empty, each is the fast routine
// (AssembleInfluenceMatrices, WriteVelocityReport, GaussSolve); tests put straightforward
// versions in their place to check that both give the same results file.
struct HessSteps {
    void (*assemble)(const PanelModel&, const FreeStream&, Solution&, Progress*) = nullptr;
    void (*writeTables)(const Solution&, long nRows, long nCols, ResultsAppender&, Progress*) = nullptr;
    GaussResult (*solve)(long N, Array2D<double>& A, Array1D<double>& X, Progress*) = nullptr;
};

// The whole method on the current panels: assembly, the three coefficient tables, elimination,
// "Source strengths" and "1-Cp", each section appended to the results file at outFile.
// `solution` is replaced. On a failure the results file may hold part of the sections; the
// caller cuts it back (ResultsTransaction).
HessOutcome HessSolve(const PanelModel& model, const FreeStream& vinf, Solution& solution,
                      const std::string& outFile, Progress* progress = nullptr, const HessSteps& steps = {});

}  // namespace panelflow
