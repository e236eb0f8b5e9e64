#pragma once
// The uniform free stream (VinfX, VinfY, VinfZ), relative to which every velocity is given.

namespace panelflow {

struct FreeStream {
    double VinfX = 0.0, VinfY = 0.0, VinfZ = 0.0;
};

// The window's free stream: unit speed along +x.
inline constexpr FreeStream kUnitStreamAlongX{1.0, 0.0, 0.0};

}  // namespace panelflow
