#include "solver/VelocityReport.h"

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace panelflow {
namespace {

constexpr std::string_view kNormalTitle = "Hess method - Normal velocities";
constexpr std::string_view kUTitle = "u Tangential velocities";
constexpr std::string_view kVTitle = "v Tangential velocities";
constexpr int kValueDecimals = 4;  // the mask "#0.###0"

// The tables are tens to hundreds of megabytes of text at fine meshes, so they are never held
// whole: they are cut into pieces of about half a megabyte, formatted by worker threads into
// a few rotating buffers and written in order by the calling thread.
constexpr long kValuesPerPiece = 1L << 16;
constexpr std::size_t kBuffers = 6;

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

std::vector<Piece> CutIntoPieces(const Solution& solution, long nRows, long nCols) {
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

// Hands the pieces to the formatting threads in order and takes the formatted texts back in
// order. Piece p uses buffer p % kBuffers, which is free once piece p - kBuffers is written.
class PiecePipeline {
public:
    explicit PiecePipeline(std::size_t count)
        : count_(count), texts_(kBuffers), lengths_(kBuffers, 0), ready_(kBuffers, kNone) {}

    // For a formatting thread: the next piece to format, once its buffer is free; false when
    // there is none left or the writer has stopped.
    bool Take(std::size_t& piece) {
        std::unique_lock lock(mutex_);
        if (next_ >= count_ || stopped_) return false;
        piece = next_++;
        changed_.wait(lock, [&] { return stopped_ || piece < written_ + kBuffers; });
        return !stopped_;
    }
    std::vector<char>& Buffer(std::size_t piece) { return texts_[piece % kBuffers]; }
    void Done(std::size_t piece, std::size_t length) {
        {
            std::lock_guard lock(mutex_);
            lengths_[piece % kBuffers] = length;
            ready_[piece % kBuffers] = piece;
        }
        changed_.notify_all();
    }

    // For the writing thread: waits for piece p; Written(p) frees its buffer.
    std::string_view Await(std::size_t piece) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return ready_[piece % kBuffers] == piece; });
        return {texts_[piece % kBuffers].data(), lengths_[piece % kBuffers]};
    }
    void Written(std::size_t piece) {
        { std::lock_guard lock(mutex_); written_ = piece + 1; }
        changed_.notify_all();
    }
    void Stop() {
        { std::lock_guard lock(mutex_); stopped_ = true; }
        changed_.notify_all();
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    const std::size_t count_;
    std::vector<std::vector<char>> texts_;
    std::vector<std::size_t> lengths_;
    std::vector<std::size_t> ready_;
    std::size_t next_ = 0, written_ = 0;
    bool stopped_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
};

}  // namespace

void WriteVelocityReport(const Solution& solution, long nRows, long nCols, ResultsAppender& out,
                         Progress* progress) {
    const std::vector<Piece> pieces = CutIntoPieces(solution, nRows, nCols);
    PiecePipeline pipeline(pieces.size());
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::jthread> formatters;
    for (unsigned t = 0; t < std::min<std::size_t>(threads, pieces.size()); ++t) {
        formatters.emplace_back([&pipeline, &pieces] {
            std::size_t piece = 0;
            while (pipeline.Take(piece)) {
                pipeline.Done(piece, FormatPiece(pieces[piece], pipeline.Buffer(piece)));
            }
        });
    }

    double reported = 0.0;
    for (std::size_t p = 0; p < pieces.size() && !out.failed(); ++p) {
        out.WriteLines(pipeline.Await(p));
        pipeline.Written(p);
        const double fraction = static_cast<double>(p + 1) / static_cast<double>(pieces.size());
        if (progress != nullptr && fraction - reported >= 0.005) {
            progress->Report("report", fraction);
            reported = fraction;
        }
    }
    pipeline.Stop();  // after a write failure the formatters give up; otherwise all is done
}

}  // namespace panelflow
