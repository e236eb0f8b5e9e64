#pragma once
// Progress of a long computation: stage is a short name ("assembly", "report", "elimination"),
// fraction runs from 0 to 1. Called at most a few hundred times per stage, never from two threads
// at once (but not always from the same one), so an implementation may do a little I/O.

#include <string_view>

namespace panelflow {

class Progress {
public:
    virtual ~Progress() = default;
    virtual void Report(std::string_view stage, double fraction) = 0;
};

}  // namespace panelflow
