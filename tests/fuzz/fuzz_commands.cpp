// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a geometry command on fuzzed file bytes, and a small Hess command after it, through to
// the results file, as the batch program would: a profile file or a corner-point file (bit 0 of
// the first byte), NJ = 1 + bits 1..3 for a profile. Only problems of at most 64 panels are run,
// so that every input takes milliseconds. A refused command must leave the results file byte for
// byte and the previous geometry as they were; a completed one must only append to the file.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "commands/Commands.h"
#include "input/FieldReader.h"

namespace {

constexpr double kMaxPanels = 64;

class QuietInterface : public panelflow::UserInterface {
public:
    void ShowMessage(const std::string& text) override {
        if (text.empty()) __builtin_trap();
        ++messages;
    }
    int messages = 0;
};

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// True when the file's counts, read as the reader will, give at most kMaxPanels panels (or
// cannot be read, which the command refuses anyway).
bool SmallEnough(std::string_view text, bool corners, int NJ) {
    panelflow::FieldReader fields(text, "counts");
    double first = 0.0, second = 0.0;
    if (corners) {
        if (!fields.ReadNumber(first) || !fields.ReadNumber(second)) return true;
        return !(first * second > kMaxPanels);
    }
    if (!fields.SkipTextField() || !fields.ReadNumber(first)) return true;
    return !((first - 1.0) * NJ > kMaxPanels);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Files go to a directory of their own; the fuzzer's paths are relative to the working one.
    static const std::string directory = [] {
        std::string pattern = "/tmp/panelflow-fuzz-XXXXXX";
        return ::mkdtemp(pattern.data()) != nullptr ? pattern + "/" : std::string();
    }();
    if (directory.empty() || size == 0) return 0;
    const bool corners = data[0] & 1u;
    const int NJ = 1 + ((data[0] >> 1) & 7);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (!SmallEnough(text, corners, NJ)) return 0;
    const std::string path = directory + (corners ? "fuzz.Coords" : "fuzz.BodyFoil");
    std::ofstream(path, std::ios::binary) << text;

    panelflow::Session session;
    session.shell.OutFile = directory + "Axisym.txt";
    QuietInterface ui;
    if (!panelflow::StartCommand(session, ui) || !panelflow::SphereCommand(session, "2", "3", ui)) __builtin_trap();
    const std::string before = Contents(session.shell.OutFile);

    std::string niText = "2";
    const bool built = corners ? panelflow::CornerFileCommand(session, path, ui)
                               : panelflow::ProfileFileCommand(session, path, niText, std::to_string(NJ), ui);
    const std::string afterGeometry = Contents(session.shell.OutFile);
    if (!built) {
        if (ui.messages != 1 || afterGeometry != before || session.model.NI != 2 || session.model.NJ != 3) __builtin_trap();
        return 0;
    }
    if (afterGeometry.size() <= before.size() || afterGeometry.compare(0, before.size(), before) != 0) __builtin_trap();

    const int messages = ui.messages;
    const panelflow::HessCommandResult solved = panelflow::HessCommand(session, ui);
    const std::string afterSolution = Contents(session.shell.OutFile);
    if (!solved) {
        if (ui.messages != messages + 1 || afterSolution != afterGeometry) __builtin_trap();
    } else if (afterSolution.size() <= afterGeometry.size() || afterSolution.compare(0, afterGeometry.size(), afterGeometry) != 0) {
        __builtin_trap();
    }
    return 0;
}
