// The one record of window messages for the tests, and expected sequences
// as named tables checked by one helper (the way Wine's subclass tests do):
//   const Sequence kNestedSend = {"nested send", {{A, 10, 11}, ...}};
//   ExpectSequence(log, hwnd, kNestedSend);
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

namespace kxtest {

// One message as a window procedure received it.
struct Seen {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    bool operator==(const Seen& o) const { return hwnd == o.hwnd && msg == o.msg && wp == o.wp && lp == o.lp; }
};
std::ostream& operator<<(std::ostream& os, const Seen& s);

// The messages of the log with one of these numbers, in order.
std::vector<Seen> OnlyOf(const std::vector<Seen>& log, std::initializer_list<UINT> msgs);

// A scenario's expected messages of one window, in order.
struct Sequence {
    const char* name;
    struct Message {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
    };
    std::vector<Message> messages;
    std::vector<UINT> absent = {}; // numbers that must not arrive at all
};

// The messages of the log for window h with the numbers the sequence has
// (or lists as absent) are exactly the sequence.
void ExpectSequence(const std::vector<Seen>& log, HWND h, const Sequence& expected);

} // namespace kxtest
