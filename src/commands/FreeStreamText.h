// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The free stream as a text "X,Y,Z" (the batch program's --stream): three decimal numbers with
// a point as the decimal separator, in every locale, separated by commas.

#include <string_view>

#include "base/Status.h"
#include "model/FreeStream.h"

namespace panelflow {

// Reads `text` into `vinf`. Refuses, leaving `vinf` as it was, anything but exactly three finite
// numbers, the zero vector (a body at rest has no pressure coefficient) and a stream whose speed
// is beyond the range of a double (CheckFreeStream).
Status ReadFreeStream(std::string_view text, FreeStream& vinf);

}  // namespace panelflow
