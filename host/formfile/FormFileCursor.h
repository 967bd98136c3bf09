// Reading one line of a saved form: blanks, comments, words, and errors that
// name the source and the line.
#pragma once
#include <string>

namespace kxhost::formfile {

class LineCursor {
public:
    LineCursor(const std::wstring& source, int line, const wchar_t* begin, const wchar_t* end)
        : source_(source), line_(line), p_(begin), end_(end) {}

    int line() const { return line_; }

    // Skips spaces and tabs; true when only a ' comment or nothing is left.
    bool AtEnd();
    // The next character after blanks, or 0 at the end of the line.
    wchar_t Peek();
    // Takes c after blanks if it is next.
    bool Take(wchar_t c);
    // The identifier after blanks, taken; empty (nothing taken) when none.
    std::wstring Word();
    // Like Word(), but an identifier is required: "expected <what>, found ...".
    std::wstring Identifier(const std::wstring& what);
    // A quoted string with "" for a quote; the opening quote is next.
    std::wstring Quoted(const std::wstring& what);
    // Nothing but a comment may follow: "expected the end of the line after <after>, found ...".
    void ExpectEnd(const std::wstring& after);

    // Raw access for the number and string readers.
    const wchar_t* pos() const { return p_; }
    const wchar_t* end() const { return end_; }
    void advance(const wchar_t* to) { p_ = to; }

    // What is at the cursor (after blanks), for messages: "\"xyz\"" or "the end of the line".
    std::wstring Found();
    [[noreturn]] void Fail(const std::wstring& message) const;

private:
    void SkipBlanks();
    const std::wstring& source_;
    int line_;
    const wchar_t* p_;
    const wchar_t* end_;
};

// The text between quotes as a message shows it: control characters as
// U+XXXX, long text cut short with "...".
std::wstring Shown(const wchar_t* begin, const wchar_t* end);

} // namespace kxhost::formfile
