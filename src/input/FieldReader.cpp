// SPDX-License-Identifier: GPL-3.0-or-later
#include "input/FieldReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include "base/PrintableText.h"

namespace panelflow {
namespace {

constexpr std::size_t kBlockSize = 1 << 16;
// Longest piece of a field's text quoted in a message.
constexpr std::size_t kQuotedTextLength = 60;

bool IsBlank(int c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(int c) { return c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

enum class NumberKind { Finite, NotANumber, NotFinite };

// True when a decimal text that from_chars found out of range is too small rather than too
// large: its first significant digit stands at or after the first decimal place, exponent
// included.
bool BelowRange(std::string_view text) {
    std::size_t p = 0;
    if (p < text.size() && (text[p] == '-' || text[p] == '+')) ++p;
    long long magnitude = 0;  // position of the first significant digit relative to the point
    bool significant = false;
    for (; p < text.size() && IsDigit(text[p]); ++p) {
        if (text[p] != '0') significant = true;
        if (significant) ++magnitude;
    }
    if (p < text.size() && text[p] == '.') {
        for (++p; p < text.size() && IsDigit(text[p]); ++p) {
            if (significant) continue;
            if (text[p] != '0') significant = true;
            else --magnitude;
        }
    }
    if (!significant) return true;  // all zeros: zero whatever the exponent
    long long exponent = 0;
    if (p < text.size() && (text[p] == 'e' || text[p] == 'E')) {
        const char* first = text.data() + p + 1;
        if (first < text.data() + text.size() && *first == '+') ++first;
        // Any exponent beyond 2^60 is far out of range either way; only its sign decides, and
        // the clamp keeps the sum below from overflowing.
        constexpr long long kFar = 1LL << 60;
        if (std::from_chars(first, text.data() + text.size(), exponent).ec == std::errc::result_out_of_range)
            exponent = (*first == '-') ? -kFar : kFar;
        exponent = std::clamp(exponent, -kFar, kFar);
    }
    return magnitude + exponent <= 0;
}

NumberKind ParseNumber(std::string_view text, double& value) {
    std::string_view digits = text;
    // from_chars takes a minus but no plus.
    if (!digits.empty() && digits[0] == '+') {
        digits.remove_prefix(1);
        if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) return NumberKind::NotANumber;
    }
    double parsed = 0.0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
    if (end != digits.data() + digits.size() || digits.empty()) return NumberKind::NotANumber;
    if (ec == std::errc::result_out_of_range) {
        if (!BelowRange(digits)) return NumberKind::NotFinite;
        parsed = (digits[0] == '-') ? -0.0 : 0.0;
    } else if (ec != std::errc()) {
        return NumberKind::NotANumber;
    }
    // from_chars also takes "nan" and "inf"; they are numbers, but none that a body can hold.
    if (!std::isfinite(parsed)) return NumberKind::NotFinite;
    value = parsed;
    return NumberKind::Finite;
}

// The field's text for a message, in quotes, shortened to kQuotedTextLength characters.
std::string Quoted(std::string_view text) { return '"' + PrintableText(text, kQuotedTextLength) + '"'; }

}  // namespace

std::string CountText(long long number) {
    char digits[24];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}

FieldReader::FieldReader(std::string_view text, std::string name)
    : name_(PrintableText(name)), cur_(text.data()), end_(text.data() + text.size()), eof_(true) {}

FieldReader::~FieldReader() {
    if (fd_ >= 0) ::close(fd_);
}

Status FieldReader::Open(const std::string& path) {
    name_ = PrintableText(path);
    if (path.empty()) return Status::Fail("No file name was given.");
    // Non-blocking, so that a named pipe without a writer cannot hold the program at open().
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT) return Status::Fail(name_ + " does not exist.", Fault::File);
        return Status::Fail(name_ + " cannot be opened: " + std::strerror(error) + ".", Fault::File);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return Status::Fail(name_ + " cannot be read: " + std::strerror(error) + ".", Fault::File);
    }
    if (S_ISDIR(info.st_mode)) {
        ::close(fd);
        return Status::Fail(name_ + " is a directory, not a file.", Fault::File);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return Status::Fail(name_ + " is not a regular file.", Fault::File);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
    buffer_.assign(kBlockSize, '\0');
    cur_ = end_ = buffer_.data();
    eof_ = false;
    return Status::Ok();
}

bool FieldReader::Refill() {
    while (!eof_) {
        const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
        if (got > 0) {
            cur_ = buffer_.data();
            end_ = cur_ + got;
            return true;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) errorNumber_ = errno;
        eof_ = true;
    }
    return false;
}

int FieldReader::Peek() {
    if (cur_ == end_ && !Refill()) return -1;
    return static_cast<unsigned char>(*cur_);
}

bool FieldReader::Fail(Problem problem) {
    problem_ = (errorNumber_ != 0) ? Problem::ReadError : problem;
    return false;
}

bool FieldReader::Append(char c) {
    if (text_.size() >= kMaxFieldLength) return false;
    text_ += c;
    return true;
}

void FieldReader::ConsumeLineEnd() {
    if (Peek() == '\r') {
        Advance();
        if (Peek() == '\n') Advance();
    } else {
        Advance();
    }
    ++line_;
    fieldsOnLine_ = 0;
    atLineStart_ = true;
}

bool FieldReader::SkipBlanks() {
    bool skipped = false;
    while (IsBlank(Peek())) {
        Advance();
        skipped = true;
    }
    return skipped;
}

// After a field: a comma or a line end is taken as its separator; the end of the file ends it
// too. In number mode, blanks followed by anything else also separate it from the next field.
bool FieldReader::EndField(Mode mode) {
    const bool blanks = SkipBlanks();
    const int c = Peek();
    if (c == ',') {
        Advance();
        return true;
    }
    if (IsLineEnd(c)) {
        ConsumeLineEnd();
        return true;
    }
    if (c < 0) return errorNumber_ == 0 || Fail(Problem::ReadError);
    if (mode == Mode::Number && blanks) return true;
    return Fail(Problem::TextAfterQuote);
}

// A byte order mark that an editor put before the first field is no part of it.
void FieldReader::SkipByteOrderMark() {
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    if (Peek() < 0 || static_cast<std::size_t>(end_ - cur_) < kMark.size()) return;
    if (std::string_view(cur_, kMark.size()) == kMark) cur_ += kMark.size();
}

bool FieldReader::NextField(Mode mode) {
    text_.clear();
    problem_ = Problem::None;
    if (fieldsRead_ == 0 && line_ == 1) SkipByteOrderMark();
    for (;;) {
        SkipBlanks();
        const int c = Peek();
        if (!(IsLineEnd(c) && atLineStart_)) break;
        ConsumeLineEnd();  // a line of nothing but blanks carries no field
    }
    if (Peek() < 0) return Fail(Problem::End);

    fieldLine_ = line_;
    fieldNumber_ = ++fieldsOnLine_;
    ++fieldsRead_;
    atLineStart_ = false;

    // A text field's content is never used, so only its start is kept, however long it runs.
    // Its length is still capped, so that the time spent on one field stays bounded.
    const bool keepAll = mode == Mode::Number;
    std::size_t length = 0;
    if (Peek() == '"') {
        Advance();
        for (;;) {
            const int c = Peek();
            if (c < 0) return Fail(Problem::OpenQuoteAtFileEnd);
            if (IsLineEnd(c)) return Fail(Problem::OpenQuoteAtLineEnd);
            Advance();
            if (c == '"') break;
            if (!Append(static_cast<char>(c)) && keepAll) return Fail(Problem::TooLong);
            if (++length > kMaxTextLength) return Fail(Problem::TextTooLong);
        }
        return EndField(mode);
    }

    for (;;) {
        const int c = Peek();
        if (c < 0 || c == ',' || IsLineEnd(c)) break;
        if (mode == Mode::Number && IsBlank(c)) break;
        if (!Append(static_cast<char>(c)) && keepAll) return Fail(Problem::TooLong);
        if (++length > kMaxTextLength) return Fail(Problem::TextTooLong);
        Advance();
    }
    while (!text_.empty() && IsBlank(text_.back())) text_.pop_back();
    // In text mode the blanks inside the field were taken into it; nothing but a separator can
    // follow. In number mode the field stopped at a blank, which then separates it.
    return EndField(mode);
}

bool FieldReader::ReadNumber(double& value) {
    if (!NextField(Mode::Number)) return false;
    switch (ParseNumber(text_, value)) {
        case NumberKind::Finite: return true;
        case NumberKind::NotFinite: return Fail(Problem::NotFinite);
        case NumberKind::NotANumber: break;
    }
    return Fail(Problem::NotANumber);
}

bool FieldReader::SkipTextField() { return NextField(Mode::Text); }

std::string FieldReader::Where() const {
    return name_ + ", line " + CountText(fieldLine_) + ", field " + CountText(fieldNumber_);
}

Status FieldReader::Failure(std::string_view what, std::string_view ending) const {
    std::string message;
    switch (problem_) {
        case Problem::None:
            break;
        case Problem::End:
            if (fieldsRead_ == 0) return Status::Fail(name_ + " is empty.");
            message = name_ + " ends ";
            message += ending;
            message += ": ";
            message += what;
            message += " is missing.";
            break;
        case Problem::ReadError:
            return Status::Fail(name_ + " cannot be read: " + std::strerror(errorNumber_) + ".", Fault::File);
        case Problem::OpenQuoteAtLineEnd:
        case Problem::OpenQuoteAtFileEnd:
            message = Where() + ": the quote that opens ";
            message += what;
            message += problem_ == Problem::OpenQuoteAtLineEnd ? " is not closed before the end of the line."
                                                               : " is not closed before the end of the file.";
            break;
        case Problem::TextAfterQuote:
            message = Where() + ": ";
            message += what;
            message += " has text after its closing quote; a comma or a line end must follow it.";
            break;
        case Problem::TextTooLong:
            message = Where() + ": " + std::string(what) + " runs on for more than " + CountText(kMaxTextLength) +
                      " characters; a header text must be shorter.";
            break;
        case Problem::TooLong:
        case Problem::NotANumber:
        case Problem::NotFinite:
            message = Where() + ": expected ";
            message += what;
            if (problem_ == Problem::TooLong)
                message += ", found a field longer than " + CountText(kMaxFieldLength) + " characters.";
            else if (text_.empty())
                message += ", found an empty field.";
            else
                message += ", found " + Quoted(text_) + (problem_ == Problem::NotFinite ? ", which is not a finite number." : ".");
            break;
    }
    return Status::Fail(message);
}

Status ReadCount(FieldReader& fields, std::string_view name, double minimum, std::string_view ending,
                 double& count) {
    double value = 0.0;
    if (!fields.ReadNumber(value)) return fields.Failure(name, ending);
    if (value < minimum || value != std::floor(value)) {
        std::string message = fields.Where() + ": ";
        message += name;
        message += " must be a whole number of at least ";
        message += CountText(static_cast<long long>(minimum));
        message += ", found ";
        message += fields.Text();
        message += '.';
        return Status::Fail(message);
    }
    count = value;
    return Status::Ok();
}

}  // namespace panelflow
