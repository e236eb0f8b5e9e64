// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/SolverChoice.h"

#include "solver/DenseSolver.h"
#include "solver/HierarchicalSolver.h"
#include "solver/SymmetricSolver.h"

namespace panelflow {
namespace {

struct NamedKind {
    std::string_view name;
    SolverKind kind;
};

constexpr NamedKind kSolvers[] = {{"dense", SolverKind::Dense},
                                  {"symmetric", SolverKind::Symmetric},
                                  {"hierarchical", SolverKind::Hierarchical}};

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

Status ChooseSolver(const PanelModel& model, std::optional<SolverKind> forced, bool tables, SolverChoice& choice,
                    bool potentials) {
    if (forced == SolverKind::Symmetric) {
        if (!model.BodyOfRevolution)
            return Status::Fail("The symmetric solver needs a body of revolution made by the program (a sphere or a "
                                "profile file); this body was not made by turning a profile about x. Choose the dense "
                                "or the hierarchical solver for it.");
        if (tables)
            return Status::Fail("The symmetric solver does not form the coefficient tables: leave them out of the "
                                "results file to use it, or choose the dense solver.");
        choice = {SolverKind::Symmetric, "as requested, a body of revolution"};
        return Status::Ok();
    }
    if (forced == SolverKind::Hierarchical) {
        if (tables)
            return Status::Fail("The hierarchical solver does not form the coefficient tables: leave them out of the "
                                "results file to use it, or choose the dense solver.");
        if (potentials)
            return Status::Fail("The hierarchical solver does not give the panels' potentials that the added masses "
                                "need: choose the dense solver for them.");
        choice = {SolverKind::Hierarchical, "as requested"};
        return Status::Ok();
    }
    if (forced == SolverKind::Dense)
        choice = {SolverKind::Dense, tables ? "as requested, coefficient tables written" : "as requested"};
    else if (tables)
        choice = {SolverKind::Dense, "coefficient tables written"};
    else if (model.BodyOfRevolution)
        choice = {SolverKind::Symmetric, "a body of revolution, coefficient tables not written"};
    else if (potentials)
        choice = {SolverKind::Dense, "not a body of revolution, the panels' potentials wanted"};
    else
        choice = {SolverKind::Hierarchical, "not a body of revolution, coefficient tables not written"};
    return Status::Ok();
}

std::string_view SolverMemoryName(SolverKind kind) {
    switch (kind) {
        case SolverKind::Dense: return "influence matrices";
        case SolverKind::Symmetric: return "Fourier-mode matrices and surface arrays";
        case SolverKind::Hierarchical: return "compressed influence matrices";
    }
    return {};
}

double SolverBytes(SolverKind kind, double NI, double NJ, double onsets, bool potentials) {
    switch (kind) {
        case SolverKind::Dense: return DenseSolverBytes(NI, NJ, onsets, potentials);
        case SolverKind::Symmetric: return SymmetricSolverBytes(NI, NJ, onsets, potentials);
        case SolverKind::Hierarchical: return HierarchicalSolverBytes(NI, NJ, onsets);
    }
    return 0.0;
}

}  // namespace panelflow
