#include "solver/SolverChoice.h"

#include "solver/DenseSolver.h"

namespace panelflow {
namespace {

struct NamedKind {
    std::string_view name;
    SolverKind kind;
};

constexpr NamedKind kSolvers[] = {{"dense", SolverKind::Dense}};

}  // namespace

std::string_view SolverName(SolverKind kind) {
    for (const NamedKind& solver : kSolvers)
        if (solver.kind == kind) return solver.name;
    return {};
}

bool ReadSolverName(std::string_view text, SolverKind& kind) {
    for (const NamedKind& solver : kSolvers) {
        if (solver.name == text) {
            kind = solver.kind;
            return true;
        }
    }
    return false;
}

std::string SolverNames() {
    std::string names;
    for (const NamedKind& solver : kSolvers) {
        if (!names.empty()) names += '|';
        names += solver.name;
    }
    return names;
}

std::string SolverChoice::Text() const { return std::string(SolverName(kind)) + ": " + reason; }

Status ChooseSolver(const PanelModel&, std::optional<SolverKind> forced, bool tables, SolverChoice& choice) {
    if (forced) {
        choice = {*forced, "as requested"};
        return Status::Ok();
    }
    choice = {SolverKind::Dense, tables ? "coefficient tables written" : "the solver for every body"};
    return Status::Ok();
}

std::string_view SolverMemoryName(SolverKind kind) {
    switch (kind) {
        case SolverKind::Dense: return "influence matrices";
    }
    return {};
}

double SolverBytes(SolverKind kind, double NI, double NJ, double onsets) {
    switch (kind) {
        case SolverKind::Dense: return DenseSolverBytes(NI, NJ, onsets);
    }
    return 0.0;
}

}  // namespace panelflow
