// Robustness: damaged forms either load or give a FormFileError on a line
// of the text, and random forms survive a write and a read unchanged.
#include "FormFileTestSupport.h"
#include "FormFileUtf8.h"
#include <algorithm>
#include <random>

using namespace kxhost;
using namespace kxtest;

namespace {

// Bytes that matter to the format, besides random ones.
const char kTelling[] = "\"\n\r &()='-.Hh0E\t\xE3\x80\xEF\xBB\xBF";

std::string Damage(std::string bytes, std::mt19937& rng) {
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    const int edits = 1 + static_cast<int>(pick(3));
    for (int i = 0; i < edits && !bytes.empty(); ++i) {
        const size_t at = pick(bytes.size());
        switch (pick(5)) {
        case 0:
            bytes.resize(at);
            break;
        case 1:
            bytes[at] = static_cast<char>(bytes[at] ^ (1 << pick(8)));
            break;
        case 2:
            bytes.insert(bytes.begin() + at, kTelling[pick(sizeof kTelling - 1)]);
            break;
        case 3:
            bytes.insert(bytes.begin() + at, static_cast<char>(pick(256)));
            break;
        default:
            bytes.erase(at, 1 + pick(8));
            break;
        }
    }
    return bytes;
}

int LineCount(const std::string& bytes) { return 1 + static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n')); }

std::wstring RandomText(std::mt19937& rng) {
    static const wchar_t kChars[] = L"aZ09 \"'&=_-.\r\n\t\x01\x7Fあ漢ｱ　\xD800\xDC00\xFEFF";
    std::wstring s(std::uniform_int_distribution<int>(0, 12)(rng), L' ');
    for (wchar_t& c : s) c = kChars[std::uniform_int_distribution<size_t>(0, std::size(kChars) - 2)(rng)];
    return s;
}

std::wstring RandomName(std::mt19937& rng, const wchar_t* stem) {
    return stem + std::to_wstring(std::uniform_int_distribution<int>(0, 99999)(rng));
}

Value RandomValue(std::mt19937& rng) {
    switch (std::uniform_int_distribution<int>(0, 3)(rng)) {
    case 0:
        return std::uniform_int_distribution<int>(0, 1)(rng) == 1;
    case 1:
        return static_cast<LONG>(rng());
    case 2: {
        const uint64_t bits = (uint64_t(rng()) << 32) | rng();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return std::isfinite(d) ? d : 0.5;
    }
    default:
        return RandomText(rng);
    }
}

std::vector<Property> RandomProps(std::mt19937& rng, const wchar_t* stem) {
    std::vector<Property> props(std::uniform_int_distribution<int>(0, 4)(rng));
    for (size_t i = 0; i < props.size(); ++i) {
        props[i] = {stem + std::to_wstring(i), RandomValue(rng)};
    }
    return props;
}

FormDesc RandomForm(std::mt19937& rng) {
    FormDesc f;
    f.name = RandomName(rng, L"Form");
    f.props = RandomProps(rng, L"Prop");
    const int controls = std::uniform_int_distribution<int>(0, 4)(rng);
    for (int i = 0; i < controls; ++i) {
        ControlDesc c;
        const bool activeX = std::uniform_int_distribution<int>(0, 1)(rng) == 1;
        c.kind = activeX ? L"Control" : L"ListBox";
        c.name = L"Ctl" + std::to_wstring(i);
        if (std::uniform_int_distribution<int>(0, 1)(rng) == 1)
            c.index = std::uniform_int_distribution<LONG>(0, 32767)(rng);
        c.props = RandomProps(rng, L"Left");
        if (activeX) {
            c.progId = L"Prog\"" + RandomName(rng, L"ｉｄ");
            c.bag = RandomProps(rng, L"key");
        }
        f.controls.push_back(c);
    }
    return f;
}

} // namespace

TEST(FormFileFuzz, DamagedFormsLoadOrFailOnALineOfTheText) {
    std::mt19937 rng(20240611);
    const std::string sample = formfile::EncodeUtf8(kSampleForm);
    int failed = 0;
    for (int i = 0; i < 4000; ++i) {
        const std::string bytes = Damage(sample, rng);
        try {
            const FormDesc f = ParseForm(formfile::DecodeUtf8(bytes.data(), bytes.size(), L"damaged"), L"damaged");
            // Whatever still loads must write and read back the same.
            ExpectSameForm(ParseForm(WriteForm(f), L"rewritten"), f);
        } catch (const FormFileError& e) {
            ++failed;
            ASSERT_GE(e.line(), 1) << bytes;
            ASSERT_LE(e.line(), LineCount(bytes)) << bytes;
            ASSERT_FALSE(e.message().empty());
        }
        if (HasFailure()) break;
    }
    // Most damage must be noticed, or the mutations are too weak to test anything.
    EXPECT_GT(failed, 2000);
}

TEST(FormFileFuzz, RandomFormsSurviveWriteAndRead) {
    std::mt19937 rng(77);
    for (int i = 0; i < 1500 && !HasFailure(); ++i) {
        const FormDesc f = RandomForm(rng);
        ExpectSameForm(ParseForm(WriteForm(f), L"random"), f);
    }
}
