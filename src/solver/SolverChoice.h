// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which solver solves a problem, and why, in words for the user.
//
// - dense: every pair of panels in three N x N matrices, Gaussian elimination; any body, and the
//   only solver that has the coefficient tables to write. Memory O(N^2), work O(N^3).
// - symmetric: a body of revolution made by the program (a sphere or a profile file, turned about
//   x in NJ equal steps: PanelModel::BodyOfRevolution), solved through its symmetry: one sweep of
//   influences and one system of NI unknowns per Fourier mode that the onset flows excite.
//   Memory O(NI^2 + N), work O(NI^2 NJ).
// - hierarchical: compressed matrices to a stated accuracy, solved by iteration; any body, no
//   tables. Memory and work about O(N log N).
//
// The automatic choice: dense when the coefficient tables are wanted, symmetric for a body of
// revolution, hierarchical otherwise. A forced choice that the body or the tables do not allow is
// refused with a message, never silently replaced.

#include <optional>
#include <string>
#include <string_view>

#include "base/Status.h"
#include "model/PanelModel.h"

namespace panelflow {

enum class SolverKind { Dense, Symmetric, Hierarchical };

// "dense", "symmetric", "hierarchical": the names of --solver and of the messages.
std::string_view SolverName(SolverKind kind);
// Reads a name of SolverName; false for any other text.
bool ReadSolverName(std::string_view text, SolverKind& kind);
// The names joined by "|", for usage texts.
std::string SolverNames();

struct SolverChoice {
    SolverKind kind = SolverKind::Dense;
    std::string reason;  // "a body of revolution, coefficient tables not written"

    // "symmetric: a body of revolution, coefficient tables not written"
    std::string Text() const;
};

// Chooses for `model`: `forced` is the caller's own choice (none: automatic), `tables` whether the
// coefficient tables are to be written, `potentials` whether the panels' potentials are wanted (the
// hierarchical solver does not give them, so the dense solver solves such a body instead). Refuses a
// forced choice that the body, the tables or the potentials do not allow, saying why and what to do
// instead. `choice` is written only on success.
Status ChooseSolver(const PanelModel& model, std::optional<SolverKind> forced, bool tables, SolverChoice& choice,
                    bool potentials = false);

// What the memory of `kind` holds, for messages: "influence matrices".
std::string_view SolverMemoryName(SolverKind kind);

// Bytes that `kind` allocates to solve `onsets` onset flows on NI x NJ panels, with or without
// the potentials, beyond the panel model and the session's solution: what the memory checks of
// the commands weigh.
double SolverBytes(SolverKind kind, double NI, double NJ, double onsets = 1, bool potentials = false);

}  // namespace panelflow
