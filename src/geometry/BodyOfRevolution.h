#pragma once
// Bodies of revolution about the x axis: a profile of points (x, r) from nose to tail, revolved
// into the node grid of the panel model, and the two results-file sections that show them.
//
// Profile arrays xI, rI are [0..NI1] (used 1..NI1); ThetaJ is [0..NJ1] (used 1..NJ1), the
// meridian angle of node column j in radians, from -Pi/2 (the -z side) turning positively about
// +x, so that column NJ1 repeats column 1 and closes the surface.

#include "common/Array.h"
#include "common/ResultsFile.h"
#include "panels/PanelModel.h"

namespace panelflow {

struct BodyProfile {
    Array1D<double> xI, rI, ThetaJ;
};

// Fills profile.xI and profile.rI with the sphere of diameter 1 (centre x = 0.5), NI + 1 points
// equally spaced in angle from the nose (0, 0) to the tail (1, 0).
void SphereProfile(int NI, BodyProfile& profile);

// Revolves profile.xI/rI (for model.NI1 points) about the x axis: fills profile.ThetaJ and
// model.xNode, yNode, zNode for the counts already set in model. Allocates everything afresh.
void BuildBodyOfRevolution(BodyProfile& profile, PanelModel& model);

// " Profile of the body of revolution" with NI1 lines: counter i, three blanks, xI, rI.
void WriteProfileSection(const BodyProfile& profile, int NI1, ResultsAppender& out);

// " Coordinates of the body of revolution" with NI1 * NJ1 lines: i, two blanks, j, two blanks,
// x, y, z of the node.
void WriteBodyCoordinatesSection(const PanelModel& model, ResultsAppender& out);

}  // namespace panelflow
