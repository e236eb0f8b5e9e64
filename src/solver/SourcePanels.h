#pragma once
// Internal to the solver: the source panels of a model in the layout of the vector kernel
// (AssemblyKernel.h), and the influence of a range of them at one field panel. Shared by the
// dense assembly and the hierarchical solver's block fill.
//
// Panels are counted from 0 here: model panel p (0-based) is panel number p + 1, (i, j) =
// (p / NJ + 1, p % NJ + 1). The layout holds the panels in a chosen order (the panel numbering
// when none is given): its entry n is model panel order[n].

#include <vector>

#include "base/ProcessorFeatures.h"
#include "model/PanelModel.h"
#include "solver/AssemblyKernel.h"

namespace panelflow {

class SourcePanels {
public:
    // `order` empty: the panel numbering. Otherwise a permutation of 0 .. N - 1. The model must
    // outlive the layout. The kernels are those of `instructions` (supported by the processor).
    explicit SourcePanels(const PanelModel& model, std::vector<long> order = {},
                          VectorInstructions instructions = VectorInstructions::Best);
    SourcePanels(const SourcePanels&) = delete;
    SourcePanels& operator=(const SourcePanels&) = delete;

    const assembly::SourceArrays& arrays() const { return arrays_; }
    long count() const { return arrays_.count; }

    // A row: the influence at the control point of `field` of the layout's entries first ..
    // last - 1: uTan[k], vTan[k], vNorm[k] for entry first + k, as the dense assembly stores
    // them. Any range within 0 .. count(); the kernel's alignment is taken care of.
    void Row(const assembly::FieldPanel& field, long first, long last, double* uTan, double* vTan,
             double* vNorm) const;

    // A column: the influence of entry `source` at the control points of the layout's entries
    // first .. last - 1 (the layout's panels as field panels), stored as a row is.
    void Column(long source, long first, long last, double* uTan, double* vTan, double* vNorm) const;

    // The row kernel itself, whose first entry must be a multiple of the widest vector.
    assembly::RowKernel rowKernel() const { return rowKernel_; }

private:
    static void ExactVelocity(const void* context, long n, double x, double y, double z, double& u, double& v,
                              double& w);

    const PanelModel& model_;
    std::vector<long> order_;
    assembly::RowKernel rowKernel_;
    assembly::ColumnKernel columnKernel_;
    std::vector<double> storage_;
    assembly::SourceArrays arrays_{};
};

// The control point and axes of model panel p (0-based).
assembly::FieldPanel FieldPanelOf(const PanelModel& model, long p);


}  // namespace panelflow
