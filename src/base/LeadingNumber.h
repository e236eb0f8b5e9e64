// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The leading-number rule for numbers typed into the window's text boxes (and the batch
// program's --ni/--nj texts): blanks, tabs and line feeds are skipped wherever they stand
// ("2 45" reads 245); then the longest leading part that forms a decimal number (optional sign,
// digits, optional point and digits, optional exponent E or D) is taken; "&H" and "&O"
// introduce a hexadecimal or octal whole number; a text without a leading number gives 0.
// The decimal separator is always the point, whatever the locale.
// A number too large for a double gives +/-infinity; callers that need a finite value check it.

#include <string_view>

namespace panelflow {

double LeadingNumber(std::string_view text);

}  // namespace panelflow
