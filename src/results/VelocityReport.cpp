// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/VelocityReport.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string_view>
#include <vector>

#include "base/ThreadPool.h"

namespace panelflow {
namespace {

constexpr std::string_view kNormalTitle = "Hess method - Normal velocities";
constexpr std::string_view kUTitle = "u Tangential velocities";
constexpr std::string_view kVTitle = "v Tangential velocities";
constexpr int kValueDecimals = 4;  // the mask "#0.###0"

// The tables are tens to hundreds of megabytes of text at fine meshes, so they are never held
// whole: they are cut into pieces of about half a megabyte, each formatted by a worker of the
// thread pool into that worker's own buffer and written when its turn comes.
constexpr long kValuesPerPiece = 1L << 16;

// Rows [begin, end) of one table; the first piece of a table carries its title lines.
struct Piece {
    const Array2D<double>* matrix;
    std::string_view title;
    long columns;
    long begin, end;
};

// An empty line, the title and an empty line when the piece starts its table, then per row a
// blank before each value and CR LF after the row. Returns the length of the text. The buffer
// keeps its size from piece to piece: it is sized once for values of the usual length and grows
// only for a piece with longer ones, so that no memory is allocated or cleared again per piece.
std::size_t FormatPiece(const Piece& piece, std::vector<char>& text) {
    constexpr std::size_t kRoomPerValue = kMaxFixedLength + 1;
    constexpr std::size_t kUsualPerValue = 10;  // " -0.1234" and the like, with room to spare
    const auto values = static_cast<std::size_t>((piece.end - piece.begin) * piece.columns);
    const auto rows = static_cast<std::size_t>(piece.end - piece.begin);
    const std::size_t usual = 256 + kUsualPerValue * values + 2 * rows + kRoomPerValue;
    if (text.size() < usual) text.resize(usual);
    char* out = text.data();
    auto reserve = [&text, &out](std::size_t room) {
        const std::size_t used = static_cast<std::size_t>(out - text.data());
        if (text.size() - used < room) {
            text.resize(2 * text.size() + room);
            out = text.data() + used;
        }
    };
    if (piece.begin == 1) {
        for (std::string_view line : {std::string_view{}, piece.title, std::string_view{}}) {
            out = std::copy(line.begin(), line.end(), out);
            *out++ = '\r';
            *out++ = '\n';
        }
    }
    for (long m = piece.begin; m < piece.end; ++m) {
        const double* row = piece.matrix->row(m);
        for (long n = 1; n <= piece.columns; ++n) {
            reserve(kRoomPerValue + 2);
            *out++ = ' ';
            out = WriteFixed(out, row[n], kValueDecimals);
        }
        *out++ = '\r';
        *out++ = '\n';
    }
    return static_cast<std::size_t>(out - text.data());
}

std::vector<Piece> CutIntoPieces(const InfluenceMatrices& solution, long nRows, long nCols) {
    std::vector<Piece> pieces;
    auto add = [&pieces, nRows](const Array2D<double>& matrix, std::string_view title, long columns) {
        const long rowsPerPiece = std::max(1L, kValuesPerPiece / std::max(1L, columns));
        long begin = 1;
        do {
            const long end = std::min(nRows + 1, begin + rowsPerPiece);
            pieces.push_back({&matrix, title, columns, begin, end});
            begin = end;
        } while (begin <= nRows);
    };
    add(solution.vNorm, kNormalTitle, nCols);
    add(solution.uTan, kUTitle, nRows);
    add(solution.vTan, kVTitle, nRows);
    return pieces;
}

// Lets the formatted pieces through to the file in their order. The pool hands pieces out in
// increasing order and a worker finishes its piece before it takes another, so the piece whose
// turn it is is always being formatted: no worker waits for one that cannot come.
// A piece abandoned in its turn (the user stopped the work) releases every later one unwritten.
class TurnOrder {
public:
    // False when the pieces are abandoned.
    bool AwaitTurn(std::size_t piece) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return written_ == piece || abandoned_; });
        return !abandoned_;
    }
    void Abandon() {
        {
            std::lock_guard lock(mutex_);
            abandoned_ = true;
        }
        changed_.notify_all();
    }
    void Done(std::size_t piece) {
        {
            std::lock_guard lock(mutex_);
            written_ = piece + 1;
        }
        changed_.notify_all();
    }

private:
    std::size_t written_ = 0;
    bool abandoned_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
};

}  // namespace

void WriteVelocityReport(const InfluenceMatrices& solution, long nRows, long nCols, ResultsAppender& out,
                         Progress* progress) {
    const std::vector<Piece> pieces = CutIntoPieces(solution, nRows, nCols);
    ThreadPool& pool = ThreadPool::Shared();
    std::vector<std::vector<char>> buffers(pool.size());
    TurnOrder order;
    std::atomic<bool> failed{false};
    double reported = 0.0;
    pool.ParallelFor(static_cast<long>(pieces.size()), [&](long index, unsigned worker) {
        const auto p = static_cast<std::size_t>(index);
        // After a write failure the remaining pieces are passed over.
        const std::size_t length = failed.load() ? 0 : FormatPiece(pieces[p], buffers[worker]);
        if (!order.AwaitTurn(p)) return;
        if (progress != nullptr && progress->StopRequested()) {
            order.Abandon();
            throw Cancelled{};
        }
        if (!out.failed()) out.WriteLines({buffers[worker].data(), length});
        if (out.failed()) failed.store(true);
        const double fraction = static_cast<double>(p + 1) / static_cast<double>(pieces.size());
        if (progress != nullptr && fraction - reported >= 0.005) {
            progress->Report(kStageTables, fraction);
            reported = fraction;
        }
        order.Done(p);
    });
}

}  // namespace panelflow
