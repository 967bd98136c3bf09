// The watched-message list: whatever it compiles the text into, it must
// answer exactly as the plain rule on the text does.
#include <windows.h>
#include <gtest/gtest.h>
#include <climits>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "KestrixBas.h"

namespace {

// The rule as stated: "ALL" in capitals, or the number's decimal text in quotes.
bool PlainRule(const std::wstring& text, LONG m) {
    if (text == L"ALL") return true;
    return text.find(L"'" + std::to_wstring(static_cast<long long>(m)) + L"'") != std::wstring::npos;
}

class ListGenerator {
public:
    explicit ListGenerator(unsigned seed) : rng_(seed) {}
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    LONG AnyLong() { return std::uniform_int_distribution<LONG>(LONG_MIN, LONG_MAX)(rng_); }

    std::wstring List() {
        static const wchar_t* const kOddLists[] = {
            L"",   L"ALL", L"all", L" ALL",    L"ALL ",   L"All",   L"'ALL'", L"ALL'1'", L"(Nothing)", L"'",
            L"''", L"'''", L"'-'", L"'1'2'3'", L"'1''2'", L"'--1'", L"'1-1'", L"'１２'", L"'\t12'",    L"12"};
        static const wchar_t* const kSeparators[] = {L",", L",", L",", L",", L"", L", ", L";", L",,"};
        std::wstring out;
        switch (Pick(12)) {
        case 0:
            return kOddLists[Pick(sizeof kOddLists / sizeof kOddLists[0])];
        case 1: // quotes, signs, commas, blanks and digits in any order
            for (int i = Pick(40); i > 0; --i) out += L"''''--,, 0123456789"[Pick(19)];
            return out;
        default:
            for (int i = Pick(9); i > 0; --i) out += (out.empty() ? L"" : kSeparators[Pick(8)]) + Entry();
            return out;
        }
    }

private:
    std::wstring Number() {
        using std::to_wstring;
        const std::wstring forms[] = {to_wstring(Pick(1100)),
                                      to_wstring(Pick(70000)),
                                      to_wstring(static_cast<long long>(AnyLong())),
                                      to_wstring(-Pick(2000)),
                                      L"-2147483648",
                                      L"2147483647",
                                      L"2147483648",
                                      L"-2147483649",
                                      to_wstring(4294967296LL + Pick(70000)), // beyond 32 bits, wraps to a small number
                                      std::wstring(1 + Pick(3), L'0') + to_wstring(Pick(600)), // leading zeros
                                      Pick(2) ? L"-0" : L"-00",
                                      L"+" + to_wstring(Pick(600)),
                                      to_wstring(65530 + Pick(12)),
                                      to_wstring(Pick(10))};
        return forms[Pick(14)];
    }

    std::wstring Entry() {
        const std::wstring n = Number();
        const std::wstring forms[] = {L"'" + n + L"'",
                                      L"'" + n + L"'",
                                      L"'" + n + L"'",
                                      L"'" + n + L"'",
                                      L"' " + n + L"'",
                                      L"'" + n + L" '", // blank inside the quotes
                                      L"'" + n,
                                      n + L"'",
                                      n, // unterminated, stray, none
                                      L"''" + n + L"''",
                                      L"'" + n + L"'" + Number() + L"'"}; // doubled, shared quote
        return forms[Pick(11)];
    }

    std::mt19937 rng_;
};

// Numbers worth asking a list about: every number written anywhere in it
// (all its digit runs, their prefixes and suffixes, with or without a sign)
// and their neighbours, the extremes, and a few random ones.
std::set<LONG> Probes(const std::wstring& text, ListGenerator& gen) {
    std::set<LONG> out = {0, 1, -1, 2, 15, 513, 65535, 65536, 65537, LONG_MIN, LONG_MIN + 1, LONG_MAX, LONG_MAX - 1};
    for (size_t i = 0; i < text.size(); ++i) {
        for (size_t len = 1; len <= 12 && i + len <= text.size(); ++len) {
            const std::wstring piece = text.substr(i, len);
            if (piece.find_first_not_of(L"-0123456789") != std::wstring::npos) break;
            wchar_t* end = nullptr;
            const long long v = std::wcstoll(piece.c_str(), &end, 10);
            if (*end) continue;
            for (long long w : {v - 1, v, v + 1, -v}) {
                if (w >= LONG_MIN && w <= LONG_MAX) out.insert(static_cast<LONG>(w));
            }
        }
    }
    for (int i = 0; i < 5; ++i) out.insert(gen.AnyLong());
    for (int i = 0; i < 5; ++i) out.insert(gen.Pick(1200) - 100);
    return out;
}

} // namespace

TEST(TargetEventList, AnswersLikeThePlainRuleOnStatedCases) {
    const struct {
        const wchar_t* text;
        std::vector<LONG> watched, unwatched;
    } cases[] = {
        {L"'12','22','309'", {12, 22, 309}, {1, 2, 30, 122, 0, -12, 3090}},
        {L"' 12','12 '", {}, {12}},
        {L"ALL", {0, 1, -1, 513, LONG_MIN, LONG_MAX}, {}},
        {L"all", {}, {0, 513}},
        {L" ALL", {}, {0, 513}},
        {L"'1''2'", {1, 2}, {12}},
        {L"'1'2'", {1, 2}, {12}},
        {L"'-5','0','-0','007'", {-5, 0}, {5, 7}},
        {L"'-2147483648','2147483647'", {LONG_MIN, LONG_MAX}, {LONG_MIN + 1, LONG_MAX - 1}},
        {L"'2147483648','4294967297','-2147483649'", {}, {LONG_MIN, 1, LONG_MAX}},
        {L"'70000','65536'", {70000, 65536}, {70000 - 65536, 0, 1}},
        {L"'513", {}, {513}},
    };
    for (const auto& c : cases) {
        TargetEventList list;
        list = c.text;
        for (LONG m : c.watched)
            EXPECT_TRUE(list.watches(m)) << testing::PrintToString(std::wstring(c.text)) << " " << m;
        for (LONG m : c.unwatched)
            EXPECT_FALSE(list.watches(m)) << testing::PrintToString(std::wstring(c.text)) << " " << m;
    }
}

TEST(TargetEventList, AnswersLikeThePlainRuleOnThousandsOfGeneratedLists) {
    ListGenerator gen(20240611u);
    size_t checks = 0, watched = 0;
    for (int i = 0; i < 2000; ++i) {
        const std::wstring text = gen.List();
        TargetEventList list;
        list = text;
        ASSERT_EQ(list.text(), text);
        for (LONG m : Probes(text, gen)) {
            const bool expected = PlainRule(text, m);
            ASSERT_EQ(list.watches(m), expected) << "list " << testing::PrintToString(text) << ", message " << m;
            watched += expected ? 1 : 0;
            ++checks;
        }
    }
    // The generator must have produced both answers in quantity.
    EXPECT_GT(checks, 50000u);
    EXPECT_GT(watched, 2500u);
}

TEST(TargetEventList, ReassignmentReplacesTheWholeSet) {
    TargetEventList list;
    list = L"'5','70000','-3'";
    EXPECT_TRUE(list.watches(5) && list.watches(70000) && list.watches(-3));
    list = L"'6'";
    EXPECT_EQ(list.text(), L"'6'");
    EXPECT_TRUE(list.watches(6));
    EXPECT_FALSE(list.watches(5) || list.watches(70000) || list.watches(-3));
    list = L"ALL";
    EXPECT_TRUE(list.watches(12345));
    list = L"'7'";
    EXPECT_FALSE(list.watches(12345) || list.watches(6));
    list = static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ(list.text(), L"");
    EXPECT_FALSE(list.watches(7));

    // The engine's own list is the one the capture procedures read.
    gFn_Engine().g_TargetEvents = L"'513'";
    EXPECT_TRUE(gFn_Engine().g_TargetEvents.watches(513));
    EXPECT_FALSE(gFn_Engine().g_TargetEvents.watches(514));
    EXPECT_EQ(static_cast<const std::wstring&>(gFn_Engine().g_TargetEvents), L"'513'");
    gFn_Engine().g_TargetEvents = L"";
    EXPECT_FALSE(gFn_Engine().g_TargetEvents.watches(513));
}
