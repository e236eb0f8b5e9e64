// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The result of an operation that can be refused: ok, or a message for the user that says what
// is wrong. Routines return it instead of printing or throwing; the shell shows the message.
// A refusal also says what kind of fault it is (bad input, memory, a file), so that a caller
// that maps faults onto its own errors (the Python module's exceptions) need not read the text.

#include <string>
#include <utility>

namespace panelflow {

enum class Fault {
    Input,   // the counts, a file's contents, a body or a stream that cannot be used
    Memory,  // memory (or a limit on it) that does not allow the work
    File,    // a file that cannot be opened, read or written
};

struct Status {
    bool ok = true;
    std::string message;
    Fault fault = Fault::Input;

    static Status Ok() { return {}; }
    static Status Fail(std::string text, Fault fault = Fault::Input) { return {false, std::move(text), fault}; }
    // The same refusal with another message (a prefix naming the file, say).
    Status Retold(std::string text) const { return {ok, std::move(text), fault}; }
    explicit operator bool() const { return ok; }
};

}  // namespace panelflow
