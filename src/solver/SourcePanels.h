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

// Chosen panels of the model (by 0-based panel number, m - 1 for panel number m) as sources
// 0 .. count - 1 of the kernel; owns the storage. The model must outlive it.
class SourcePanels {
public:
    // The panels first, first + step, ..., first + (count - 1) * step.
    SourcePanels(const PanelModel& model, long first, long count, long step);
    // Every panel of the model, in panel-number order.
    explicit SourcePanels(const PanelModel& model) : SourcePanels(model, 0, static_cast<long>(model.PanelCount()), 1) {}
    // The panels order[0], order[1], ... (every panel once, in the order of a hierarchical
    // matrix's clusters, say), whose rows and columns Row and Column compute with the kernels of
    // `instructions`.
    SourcePanels(const PanelModel& model, std::vector<long> order,
                 VectorInstructions instructions = VectorInstructions::Best);
    SourcePanels(const SourcePanels&) = delete;
    SourcePanels& operator=(const SourcePanels&) = delete;

    const assembly::SourceArrays& arrays() const { return arrays_; }
    long count() const { return arrays_.count; }

    // A row: the influence at the control point of `field` of sources first .. last - 1:
    // uTan[k], vTan[k], vNorm[k] for source first + k, as the dense assembly stores them. Any
    // range within 0 .. count(); the kernel's alignment is taken care of.
    void Row(const assembly::FieldPanel& field, long first, long last, double* uTan, double* vTan,
             double* vNorm) const;

    // A column: the influence of source `source` at the control points of sources first ..
    // last - 1 (the chosen panels as field panels), stored as a row is.
    void Column(long source, long first, long last, double* uTan, double* vTan, double* vNorm) const;

private:
    void Build();
    static void ExactVelocity(const void* context, long n, double x, double y, double z, double& u, double& v,
                              double& w);
    static double ExactPotential(const void* context, long n, double x, double y, double z);

    const PanelModel& model_;
    std::vector<long> panels_;  // the panel of each source
    assembly::RowKernel rowKernel_;
    assembly::ColumnKernel columnKernel_;
    std::vector<double> storage_;
    assembly::SourceArrays arrays_{};
};

// The control point and axes of panel (i, j) as the kernel's field panel.
assembly::FieldPanel FieldPanelOf(const PanelModel& model, int i, int j);

// The kernels for `instructions` (Best: the widest the processor has).
assembly::RowKernel RowKernelFor(VectorInstructions instructions = VectorInstructions::Best);
assembly::ColumnKernel ColumnKernelFor(VectorInstructions instructions = VectorInstructions::Best);
// The same for the kernel that also gives the potential and the solid angle.
assembly::PotentialRowKernel PotentialRowKernelFor(VectorInstructions instructions = VectorInstructions::Best);

}  // namespace panelflow
