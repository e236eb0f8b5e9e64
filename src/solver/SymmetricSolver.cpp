// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/SymmetricSolver.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

#include "base/ThreadPool.h"
#include "solver/BlasKernels.h"
#include "solver/SourcePanels.h"

// LAPACK's LU factorisation and solve, real and complex (interleaved pairs), from OpenBLAS.
extern "C" {
void dgetrf_(const int* m, const int* n, double* a, const int* lda, int* ipiv, int* info);
void dgetrs_(const char* trans, const int* n, const int* nrhs, const double* a, const int* lda, const int* ipiv,
             double* b, const int* ldb, int* info, std::size_t transLength);
void zgetrf_(const int* m, const int* n, double* a, const int* lda, int* ipiv, int* info);
void zgetrs_(const char* trans, const int* n, const int* nrhs, const double* a, const int* lda, const int* ipiv,
             double* b, const int* ldb, int* info, std::size_t transLength);
}

namespace panelflow {
namespace {

// A mode's coefficient below this share of the onset flow's largest speed is rounding of the
// panel geometry, not a part of the onset flow. (The speed, not the right-hand side: a body of
// revolution turning about its axis meets a right-hand side of rounding alone, which must excite
// no mode.)
constexpr double kModeTolerance = 1e-12;

// cos and sin of 2 Pi p / NJ for p = 0 .. NJ - 1: the factor of mode k at column q is entry
// k q mod NJ.
struct Turns {
    explicit Turns(int NJ) : NJ(NJ), c(static_cast<std::size_t>(NJ)), s(static_cast<std::size_t>(NJ)) {
        for (int p = 0; p < NJ; ++p) {
            c[p] = std::cos(TwoPi * p / NJ);
            s[p] = std::sin(TwoPi * p / NJ);
        }
    }
    std::size_t At(int k, int q) const { return static_cast<std::size_t>(static_cast<long long>(k) * q % NJ); }
    int NJ;
    std::vector<double> c, s;
};

// A mode k is real (its coefficients of a real array are real) for k = 0 and k = NJ / 2; every
// other mode stands for itself and its mirror NJ - k, hence counts twice in a real sum.
bool RealMode(int k, int NJ) { return k == 0 || 2 * k == NJ; }
double ModeWeight(int k, int NJ) { return RealMode(k, NJ) ? 1.0 : 2.0; }

// Values per row i = 0 .. NI - 1 and column p = 0 .. NJ - 1, at [i * NJ + p].
using Grid = std::vector<double>;

// The right-hand side -(Zta . V) of an onset flow at every control point.
Grid RightHandSide(const PanelModel& model, const OnsetFlow& onset) {
    Grid b(static_cast<std::size_t>(model.NI) * model.NJ);
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j)
            b[static_cast<std::size_t>(i - 1) * model.NJ + (j - 1)] =
                -(model.ZtaX(i, j) * onset.X(i, j) + model.ZtaY(i, j) * onset.Y(i, j) + model.ZtaZ(i, j) * onset.Z(i, j));
    return b;
}

// A complex column of NI values, real and imaginary parts apart.
struct Column {
    std::vector<double> re, im;
};

// B_k(i) = (1 / NJ) sum over p of b(i, p) exp(-2 Pi i k p / NJ).
Column ModeCoefficients(const Grid& b, int NI, const Turns& turns, int k) {
    const int NJ = turns.NJ;
    Column B{std::vector<double>(static_cast<std::size_t>(NI)), std::vector<double>(static_cast<std::size_t>(NI))};
    for (int i = 0; i < NI; ++i) {
        double re = 0.0, im = 0.0;
        for (int p = 0; p < NJ; ++p) {
            const double value = b[static_cast<std::size_t>(i) * NJ + p];
            re += value * turns.c[turns.At(k, p)];
            im -= value * turns.s[turns.At(k, p)];
        }
        B.re[i] = re / NJ;
        B.im[i] = RealMode(k, NJ) ? 0.0 : im / NJ;
    }
    return B;
}

double Largest(const Column& B) {
    double largest = 0.0;
    for (std::size_t i = 0; i < B.re.size(); ++i) largest = std::max(largest, std::hypot(B.re[i], B.im[i]));
    return largest;
}

// The largest speed of an onset flow at the control points.
double LargestSpeed(const PanelModel& model, const OnsetFlow& onset) {
    double largest = 0.0;
    for (int i = 1; i <= model.NI; ++i)
        for (int j = 1; j <= model.NJ; ++j)
            largest = std::max(largest, std::sqrt(onset.X(i, j) * onset.X(i, j) + onset.Y(i, j) * onset.Y(i, j) +
                                                  onset.Z(i, j) * onset.Z(i, j)));
    return largest;
}

// The modes 0 .. NJ / 2 that `b`, the right-hand side of an onset flow whose largest speed is
// `speed`, holds beyond rounding. Modes 0 and 1 are tried first, and when they make up b to
// rounding no other is looked for; otherwise every mode's coefficients are formed.
std::vector<int> ExcitedModes(const Grid& b, double speed, int NI, const Turns& turns) {
    const int NJ = turns.NJ;
    double largest = 0.0;
    for (double value : b) largest = std::max(largest, std::fabs(value));
    std::vector<int> modes;
    const double tolerance = kModeTolerance * std::max(largest, speed);
    if (largest <= tolerance) return modes;

    const int first = std::min(1, NJ / 2);
    std::vector<Column> coefficients;
    for (int k = 0; k <= first; ++k) coefficients.push_back(ModeCoefficients(b, NI, turns, k));
    double residual = 0.0;
    for (int i = 0; i < NI; ++i) {
        for (int p = 0; p < NJ; ++p) {
            double made = 0.0;
            for (int k = 0; k <= first; ++k)
                made += ModeWeight(k, NJ) * (coefficients[k].re[i] * turns.c[turns.At(k, p)] -
                                             coefficients[k].im[i] * turns.s[turns.At(k, p)]);
            residual = std::max(residual, std::fabs(b[static_cast<std::size_t>(i) * NJ + p] - made));
        }
    }
    const int last = residual <= tolerance ? first : NJ / 2;
    for (int k = 0; k <= last; ++k) {
        const Column B = k <= first ? coefficients[k] : ModeCoefficients(b, NI, turns, k);
        if (Largest(B) > tolerance) modes.push_back(k);
    }
    return modes;
}

// The transforms of one mode: the normal, Xsi and Ita components (A^, U^, V^) and, where the
// potentials are wanted, the potential (P^), each NI x NI, row i (field row) by column i'
// (source row) at [i * NI + i']; imaginary parts only for a complex mode.
struct ModeMatrices {
    int k = 0;
    bool real = true;
    std::vector<double> re[4], im[4];
};

// One sweep over every control point with the source panels of column 1, summed into the
// transforms of every mode. Rows of field panels go to the workers of the thread pool, each
// task owning its rows of every matrix.
void Transform(const PanelModel& model, const Turns& turns, bool potentials, std::vector<ModeMatrices>& modes,
               Progress* progress) {
    const int NI = model.NI, NJ = model.NJ;
    const int components = potentials ? 4 : 3;
    const std::size_t square = static_cast<std::size_t>(NI) * NI;
    for (ModeMatrices& mode : modes)
        for (int c = 0; c < components; ++c) {
            mode.re[c].assign(square, 0.0);
            if (!mode.real) mode.im[c].assign(square, 0.0);
        }
    const SourcePanels sources(model, 0, NI, NJ);
    const assembly::RowKernel kernel = RowKernelFor();
    const assembly::PotentialRowKernel potentialKernel = PotentialRowKernelFor();

    std::atomic<long> rowsDone{0};
    double reported = 0.0;
    ThreadPool::Shared().ParallelFor(NI, [&](long row, unsigned worker) {
        ThrowIfStopRequested(progress);
        std::vector<double> normal(static_cast<std::size_t>(NI)), u(static_cast<std::size_t>(NI)),
            v(static_cast<std::size_t>(NI)), phi(potentials ? static_cast<std::size_t>(NI) : 0);
        const double* component[4] = {normal.data(), u.data(), v.data(), phi.data()};
        const std::size_t at = static_cast<std::size_t>(row) * NI;
        for (int q = 0; q < NJ; ++q) {
            const assembly::FieldPanel field = FieldPanelOf(model, static_cast<int>(row) + 1, q + 1);
            if (potentials)
                potentialKernel(sources.arrays(), field, 0, NI, u.data(), v.data(), normal.data(), phi.data(), nullptr);
            else
                kernel(sources.arrays(), field, 0, NI, u.data(), v.data(), normal.data());
            for (ModeMatrices& mode : modes) {
                const double c = turns.c[turns.At(mode.k, q)], s = -turns.s[turns.At(mode.k, q)];
                for (int m = 0; m < components; ++m) {
                    double* re = mode.re[m].data() + at;
                    const double* value = component[m];
                    for (int n = 0; n < NI; ++n) re[n] += value[n] * c;
                    if (mode.real) continue;
                    double* im = mode.im[m].data() + at;
                    for (int n = 0; n < NI; ++n) im[n] += value[n] * s;
                }
            }
        }
        const long done = rowsDone.fetch_add(1) + 1;
        const double fraction = static_cast<double>(done) / NI;
        if (worker == 0 && progress != nullptr && fraction - reported >= 0.005 && done < NI) {
            progress->Report(kStageInfluence, fraction);
            reported = fraction;
        }
    });
    if (progress != nullptr) progress->Report(kStageInfluence, 1.0);
}

// Solves A^ S = B in place for the columns of B (one per onset flow, NI values each, complex
// ones as interleaved pairs): LU with partial pivoting of A^, whose row-major storage is its
// transpose in LAPACK's column-major order, hence the transposed solve. A^ is overwritten.
// False when A^ is exactly singular.
bool SolveMode(ModeMatrices& mode, int NI, int onsets, std::vector<double>& B) {
    CheckBlasWorkspace();
    std::vector<int> pivots(static_cast<std::size_t>(NI));
    int info = 0;
    const char transposed = 'T';
    if (mode.real) {
        dgetrf_(&NI, &NI, mode.re[0].data(), &NI, pivots.data(), &info);
        if (info != 0) return false;
        dgetrs_(&transposed, &NI, &onsets, mode.re[0].data(), &NI, pivots.data(), B.data(), &NI, &info, 1);
        return info == 0;
    }
    std::vector<double> A(2 * mode.re[0].size());
    for (std::size_t n = 0; n < mode.re[0].size(); ++n) {
        A[2 * n] = mode.re[0][n];
        A[2 * n + 1] = mode.im[0][n];
    }
    mode.re[0] = {};
    mode.im[0] = {};
    zgetrf_(&NI, &NI, A.data(), &NI, pivots.data(), &info);
    if (info != 0) return false;
    zgetrs_(&transposed, &NI, &onsets, A.data(), &NI, pivots.data(), B.data(), &NI, &info, 1);
    return info == 0;
}

}  // namespace

Status SymmetricSolve(const PanelModel& model, const FlowProblem& problem, SolverOutput& output, Progress* progress) {
    const int NI = model.NI, NJ = model.NJ;
    const int R = static_cast<int>(problem.onsets.size());
    const Turns turns(NJ);

    // The right-hand sides, and the modes that any of them has.
    std::vector<Grid> b;
    std::vector<int> excited;
    for (const OnsetFlow& onset : problem.onsets) {
        b.push_back(RightHandSide(model, onset));
        for (int k : ExcitedModes(b.back(), LargestSpeed(model, onset), NI, turns)) excited.push_back(k);
    }
    std::sort(excited.begin(), excited.end());
    excited.erase(std::unique(excited.begin(), excited.end()), excited.end());
    std::vector<ModeMatrices> modes;
    for (int k : excited) modes.push_back({k, RealMode(k, NJ), {}, {}});

    Transform(model, turns, problem.potentials, modes, progress);

    // Per mode and onset flow: the strengths S_k, the tangential velocities U^_k S_k, V^_k S_k and
    // the potentials P^_k S_k.
    struct ModeSolution {
        std::vector<double> S, U, V, P;  // NI values per onset flow, interleaved pairs for a complex mode
    };
    std::vector<ModeSolution> solved(modes.size());
    bool singular = false;
    for (std::size_t m = 0; m < modes.size() && !singular; ++m) {
        ThrowIfStopRequested(progress);
        ModeMatrices& mode = modes[m];
        const int pair = mode.real ? 1 : 2;
        std::vector<double>& S = solved[m].S;
        S.assign(static_cast<std::size_t>(pair) * NI * R, 0.0);
        for (int r = 0; r < R; ++r) {
            const Column B = ModeCoefficients(b[r], NI, turns, mode.k);
            for (int i = 0; i < NI; ++i) {
                S[static_cast<std::size_t>(pair) * (static_cast<std::size_t>(r) * NI + i)] = B.re[i];
                if (pair == 2) S[2 * (static_cast<std::size_t>(r) * NI + i) + 1] = B.im[i];
            }
        }
        if (!SolveMode(mode, NI, R, S)) {
            singular = true;
            break;
        }
        // U^ S, V^ S and P^ S, row by row.
        for (int c = 1; c <= (problem.potentials ? 3 : 2); ++c) {
            std::vector<double>& product = c == 1 ? solved[m].U : c == 2 ? solved[m].V : solved[m].P;
            product.assign(S.size(), 0.0);
            for (int r = 0; r < R; ++r) {
                const double* Sr = S.data() + static_cast<std::size_t>(pair) * r * NI;
                double* out = product.data() + static_cast<std::size_t>(pair) * r * NI;
                for (int i = 0; i < NI; ++i) {
                    const double* re = mode.re[c].data() + static_cast<std::size_t>(i) * NI;
                    double sumRe = 0.0, sumIm = 0.0;
                    if (mode.real) {
                        for (int n = 0; n < NI; ++n) sumRe += re[n] * Sr[n];
                    } else {
                        const double* im = mode.im[c].data() + static_cast<std::size_t>(i) * NI;
                        for (int n = 0; n < NI; ++n) {
                            sumRe += re[n] * Sr[2 * n] - im[n] * Sr[2 * n + 1];
                            sumIm += re[n] * Sr[2 * n + 1] + im[n] * Sr[2 * n];
                        }
                    }
                    out[pair * i] = sumRe;
                    if (pair == 2) out[2 * i + 1] = sumIm;
                }
            }
        }
        mode = ModeMatrices{};
        if (progress != nullptr) progress->Report(kStageElimination, static_cast<double>(m + 1) / modes.size());
    }
    modes.clear();
    if (singular) solved.clear();

    // Back around the body: sum over the modes of w Re(X_k(i) exp(2 Pi i k p / NJ)), plus the
    // onset flow's own tangential part.
    SolverOutput result;
    result.zeroPivot = singular;
    for (int r = 0; r < R; ++r) {
        const OnsetFlow& onset = problem.onsets[r];
        OnsetSolution solution{Array2D<double>(NI, NJ), Array2D<double>(NI, NJ), Array2D<double>(NI, NJ),
                               problem.potentials ? Array2D<double>(NI, NJ) : Array2D<double>()};
        for (int i = 1; i <= NI; ++i) {
            for (int j = 1; j <= NJ; ++j) {
                double sigma = 0.0, ut = 0.0, vt = 0.0, phi = 0.0;
                for (std::size_t m = 0; m < solved.size(); ++m) {
                    const int k = excited[m];
                    const double w = ModeWeight(k, NJ);
                    const double c = turns.c[turns.At(k, j - 1)], s = turns.s[turns.At(k, j - 1)];
                    const bool real = RealMode(k, NJ);
                    const std::size_t at = (real ? 1 : 2) * (static_cast<std::size_t>(r) * NI + (i - 1));
                    auto part = [&](const std::vector<double>& X) {
                        return w * (real ? X[at] * c : X[at] * c - X[at + 1] * s);
                    };
                    sigma += part(solved[m].S);
                    ut += part(solved[m].U);
                    vt += part(solved[m].V);
                    if (problem.potentials) phi += part(solved[m].P);
                }
                const double Vx = onset.X(i, j), Vy = onset.Y(i, j), Vz = onset.Z(i, j);
                solution.Sigma(i, j) = sigma;
                if (problem.potentials) solution.potential(i, j) = phi;
                solution.ut(i, j) = model.XsiX(i, j) * Vx + model.XsiY(i, j) * Vy + model.XsiZ(i, j) * Vz + ut;
                solution.vt(i, j) = model.ItaX(i, j) * Vx + model.ItaY(i, j) * Vy + model.ItaZ(i, j) * Vz + vt;
            }
        }
        result.solutions.push_back(std::move(solution));
    }
    output = std::move(result);
    return Status::Ok();
}

double SymmetricSolverBytes(double NI, double NJ, double onsets, bool potentials) {
    // Modes 0 (real) and 1 (complex): three matrices each (four with the potentials), and the
    // complex copy for LAPACK; per onset flow the right-hand side and the three (four) arrays of
    // its solution; the kernel's sources.
    const double N = NI * NJ;
    const double matrices = potentials ? 4.0 : 3.0;
    return 8.0 * NI * NI * (3.0 * matrices + 2.0) + onsets * 8.0 * (N + (matrices) * (NI + 1.0) * (NJ + 1.0)) +
           300.0 * NI;
}

}  // namespace panelflow
