#pragma once
// From the solved source strengths to the surface: the strength of every panel, and the
// tangential velocity at every control point (the free stream's part along Xsi and Ita plus every
// source's), turned into global axes, and 1 - Cp = (u_t^2 + v_t^2) / |Vinf|^2. The normal
// component is not recomputed: the system makes it zero.
//
// SigmaVec is [0..N] (used 1..N, in panel-number order); the matrices are those of the assembly.
// `surface` is replaced: Sigma, OneMinusCp, Vx, Vy, Vz [0..NI] x [0..NJ]. Vinf must not be zero.

#include "base/Array.h"
#include "model/FreeStream.h"
#include "model/InfluenceMatrices.h"
#include "model/PanelModel.h"
#include "model/SurfaceSolution.h"

namespace panelflow {

void SurfaceVelocity(const PanelModel& model, const FreeStream& vinf, const InfluenceMatrices& matrices,
                     const Array1D<double>& SigmaVec, SurfaceSolution& surface);

}  // namespace panelflow
