// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internal to the solver folder: the source panels in the layout of the vector kernel
// (AssemblyKernel.h), and the kernel chosen for the processor. Shared by the solvers that sweep
// field points over source panels with that kernel.

#include <vector>

#include "base/ProcessorFeatures.h"
#include "model/PanelModel.h"
#include "solver/AssemblyKernel.h"

namespace panelflow {

// The panels numbered first, first + step, ..., first + (count - 1) * step (0-based panel
// numbers, m - 1 for panel number m) as sources 0 .. count - 1 of the kernel; owns the storage.
// The model must outlive it.
class SourcePanels {
public:
    SourcePanels(const PanelModel& model, long first, long count, long step);
    // Every panel of the model, in panel-number order.
    explicit SourcePanels(const PanelModel& model) : SourcePanels(model, 0, static_cast<long>(model.PanelCount()), 1) {}
    SourcePanels(const SourcePanels&) = delete;
    SourcePanels& operator=(const SourcePanels&) = delete;

    const assembly::SourceArrays& arrays() const { return arrays_; }

private:
    static void ExactVelocity(const void* context, long n, double x, double y, double z, double& u, double& v,
                              double& w);
    static double ExactPotential(const void* context, long n, double x, double y, double z);

    const PanelModel& model_;
    long first_, step_;
    std::vector<double> storage_;
    assembly::SourceArrays arrays_{};
};

// The control point and axes of panel (i, j) as the kernel's field panel.
assembly::FieldPanel FieldPanelOf(const PanelModel& model, int i, int j);

// The kernel for `instructions` (Best: the widest the processor has).
assembly::RowKernel RowKernelFor(VectorInstructions instructions = VectorInstructions::Best);
// The same for the kernel that also gives the potential and the solid angle.
assembly::PotentialRowKernel PotentialRowKernelFor(VectorInstructions instructions = VectorInstructions::Best);

}  // namespace panelflow
