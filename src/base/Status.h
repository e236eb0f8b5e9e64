// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The result of an operation that can be refused: ok, or a message for the user that says what
// is wrong. Routines return it instead of printing or throwing; the shell shows the message.

#include <string>
#include <utility>

namespace panelflow {

struct Status {
    bool ok = true;
    std::string message;

    static Status Ok() { return {}; }
    static Status Fail(std::string text) { return {false, std::move(text)}; }
    explicit operator bool() const { return ok; }
};

}  // namespace panelflow
