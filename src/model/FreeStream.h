// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The uniform free stream (VinfX, VinfY, VinfZ), relative to which every velocity is given.
//
// The flow is linear in the stream: strengths and velocities scale with it, 1 - Cp depends only
// on its direction. A stream far from unit speed is therefore solved scaled by a power of two
// that brings it to unit size (exactly, so that nothing but the exponent changes), and the
// strengths and velocities are scaled back; streams of ordinary speed are solved as they stand,
// so their results do not change by a single bit.

#include <string>

#include "base/Status.h"

namespace panelflow {

struct FreeStream {
    double VinfX = 0.0, VinfY = 0.0, VinfZ = 0.0;
};

// The window's free stream: unit speed along +x.
inline constexpr FreeStream kUnitStreamAlongX{1.0, 0.0, 0.0};

// Refuses a stream that has no direction or no speed: a component that is not finite, all
// components zero, or a speed beyond the range of a double. `text` names the stream in the message
// (the stream's components when empty).
Status CheckFreeStream(const FreeStream& vinf, const std::string& text = {});

// The stream as "X,Y,Z" in the shortest texts that read back as its components.
std::string FreeStreamText(const FreeStream& vinf);

// The power of two e such that the largest component times 2^e lies in [1, 2); 0 for a stream
// whose largest component lies within 2^-60 .. 2^60, which is solved as it stands.
int NormalisingExponent(const FreeStream& vinf);

// The stream with every component multiplied by 2^exponent.
FreeStream ScaledStream(const FreeStream& vinf, int exponent);

}  // namespace panelflow
