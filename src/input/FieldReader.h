// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The field reader shared by the body profile and corner-point files.
//
// A file is one sequence of fields from its start; lines only separate fields:
// - fields are separated by commas or line ends (LF, CR LF, or a lone CR); lines that hold
//   nothing but blanks carry no field, but a comma before a line end leaves an empty field;
// - blanks and tabs before a field are skipped, and after an unquoted field they are dropped;
// - a field in double quotes is taken without them and may hold commas; the closing quote must
//   come before the end of its line;
// - where a number is expected, blanks or tabs alone also separate it from the next field, so
//   "1 0.25 0.5" holds three numbers, while a text field ("Sphere profile") runs to the next
//   comma or line end;
// - numbers are decimal with a point, an optional sign (+ or -) and an optional exponent (E or
//   e), read the same in every locale; nan, inf and numbers beyond the range of a double are
//   refused, numbers too small for a double read as zero.
// A UTF-8 byte order mark at the start of the file is skipped. A number field longer than
// kMaxFieldLength characters is refused, and of a text field only that many are kept, so that
// no input, however large, makes the reader hold more than that. A text field longer than
// kMaxTextLength (1 MB) is refused, so that the time spent on a file stays proportional to the
// fields it holds, however large the file. The file's name and field texts are shown in
// messages as PrintableText makes them.
//
// Every read returns false when it cannot deliver the field; Failure() then builds the message,
// which names the file and says what is wrong and where. Strings for messages are built only
// on failure.

#include <cstddef>
#include <string>
#include <string_view>

#include "base/Status.h"

namespace panelflow {

class FieldReader {
public:
    static constexpr std::size_t kMaxFieldLength = 4096;
    // A text field (a header) longer than this is refused.
    static constexpr std::size_t kMaxTextLength = 1 << 20;

    // Reads `text` (owned by the caller, which keeps it alive); `name` stands for it in messages.
    FieldReader(std::string_view text, std::string name);
    // A reader with nothing to read until Open() succeeds.
    FieldReader() = default;
    ~FieldReader();
    FieldReader(const FieldReader&) = delete;
    FieldReader& operator=(const FieldReader&) = delete;

    // Opens the regular file at `path` for reading; refuses a file that does not exist, a
    // directory, anything that is not a regular file and a file that cannot be opened.
    Status Open(const std::string& path);

    // The next field as a finite number.
    bool ReadNumber(double& value);
    // The next field as text to the next comma or line end, content not used (a header field).
    bool SkipTextField();

    // The message for the last read that returned false. `what` names the field that was
    // expected ("the x of point 3"); `ending` says where the data stopped ("after record 2 of
    // 5"), used when the file ended before that field.
    Status Failure(std::string_view what, std::string_view ending) const;

    // "<name>, line L, field F": where the last field read began, for messages about its value.
    std::string Where() const;
    // The line on which the last field read began (1 for the first).
    long long Line() const { return fieldLine_; }
    // Whether the last read failed because the file had ended.
    bool Ended() const { return problem_ == Problem::End; }
    // The text of the last field read (without quotes).
    std::string_view Text() const { return text_; }

private:
    enum class Mode { Text, Number };
    enum class Problem { None, End, ReadError, OpenQuoteAtLineEnd, OpenQuoteAtFileEnd, TextAfterQuote,
                         TooLong, TextTooLong, NotANumber, NotFinite };

    bool NextField(Mode mode);
    bool Fail(Problem problem);
    int Peek();
    void Advance() { ++cur_; }
    bool Refill();
    bool Append(char c);
    void ConsumeLineEnd();
    bool SkipBlanks();
    void SkipByteOrderMark();
    bool EndField(Mode mode);

    std::string name_;
    int fd_ = -1;
    std::string buffer_;
    const char* cur_ = nullptr;
    const char* end_ = nullptr;
    bool eof_ = true;
    int errorNumber_ = 0;

    long long line_ = 1;            // line the reader stands on
    long long fieldsOnLine_ = 0;    // fields begun on that line
    bool atLineStart_ = true;       // no field begun since the last line end
    long long fieldsRead_ = 0;      // fields begun in the whole file
    long long fieldLine_ = 0;       // where the last field began
    long long fieldNumber_ = 0;
    std::string text_;
    Problem problem_ = Problem::None;
};

// The digits of a whole number, with a minus sign if negative and nothing else ("12").
std::string CountText(long long number);

// Reads a count: a finite whole number of at least `minimum`. On failure the status names the
// file and position, `name` ("NP", "NI") and, when the file ended, where (`ending`).
Status ReadCount(FieldReader& fields, std::string_view name, double minimum, std::string_view ending,
                 double& count);

}  // namespace panelflow
