#include "MessageLog.h"

#include <algorithm>

namespace kxtest {

std::ostream& operator<<(std::ostream& os, const Seen& s) {
    return os << "{hwnd " << s.hwnd << ", msg " << s.msg << ", wp " << static_cast<LONG>(s.wp) << ", lp "
              << static_cast<LONG>(s.lp) << "}";
}

std::vector<Seen> OnlyOf(const std::vector<Seen>& log, std::initializer_list<UINT> msgs) {
    std::vector<Seen> out;
    for (const Seen& s : log)
        if (std::find(msgs.begin(), msgs.end(), s.msg) != msgs.end()) out.push_back(s);
    return out;
}

void ExpectSequence(const std::vector<Seen>& log, HWND h, const Sequence& expected) {
    std::vector<Seen> want, got;
    for (const Sequence::Message& m : expected.messages) want.push_back({h, m.msg, m.wp, m.lp});
    for (const Seen& s : log) {
        const bool listed = std::any_of(expected.messages.begin(), expected.messages.end(),
                                        [&](const Sequence::Message& m) { return m.msg == s.msg; }) ||
            std::find(expected.absent.begin(), expected.absent.end(), s.msg) != expected.absent.end();
        if (s.hwnd == h && listed) got.push_back(s);
    }
    EXPECT_EQ(got, want) << "sequence: " << expected.name;
}

} // namespace kxtest
