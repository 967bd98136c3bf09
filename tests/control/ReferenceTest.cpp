// The users' reference (docs/reference.md, copied beside this program)
// cannot go stale: every ```vbscript example in it runs under the system's
// cscript with the registered control and must end with "OK", and every
// member a ```vb example uses on Kestrix1 (a call, a property, an event
// handler) is one the type library has.
#include "Ansi.h"
#include "CScript.h"
#include "KestrixFixture.h"
#include "Kestrix32.h"

#include <fstream>
#include <iterator>
#include <regex>
#include <set>

using namespace kxtest;

namespace {

// A UTF-8 text file beside this program, as wide text.
std::wstring Utf8File(const std::wstring& name) {
    std::ifstream in(kx::ToAnsi(ExeDir() + name), std::ios::binary);
    const std::string utf8{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(n > 0 ? static_cast<size_t>(n) : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], n);
    return text;
}

std::wstring Reference() { return Utf8File(L"reference.md"); }

// The release's VB examples, copied beside this program.
std::vector<std::wstring> ReleaseExamples() {
    return {Utf8File(L"Form1-code.txt"), Utf8File(L"FormHook.cls"), Utf8File(L"BorderlessForm.txt"),
            Utf8File(L"NcHitTest64.cls")};
}

// The bodies of the document's fenced blocks of this language.
std::vector<std::wstring> Blocks(const std::wstring& doc, const std::wstring& language) {
    std::vector<std::wstring> blocks;
    const std::wstring open = L"```" + language + L"\n", close = L"\n```";
    for (size_t at = doc.find(open); at != std::wstring::npos; at = doc.find(open, at)) {
        const size_t begin = at + open.size(), end = doc.find(close, begin);
        if (end == std::wstring::npos) break;
        blocks.push_back(doc.substr(begin, end - begin));
        at = end;
    }
    return blocks;
}

std::string Utf8(const std::wstring& w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

// The names a type description knows (members and, for events, handlers).
bool Knows(ITypeInfo* info, const std::wstring& name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    MEMBERID id = MEMBERID_NIL;
    return SUCCEEDED(info->GetIDsOfNames(names, 1, &id));
}

} // namespace

TEST_F(KestrixTest, EveryVbScriptExampleOfTheReferenceRunsAndSaysOk) {
    const std::vector<std::wstring> scripts = Blocks(Reference(), L"vbscript");
    ASSERT_GE(scripts.size(), 3u) << "no VBScript examples found in reference.md";
    for (size_t i = 0; i < scripts.size(); ++i) {
        SCOPED_TRACE("example " + std::to_string(i + 1) + ":\n" + Utf8(scripts[i]));
        const ScriptRun run = RunVbScriptAsWritten(scripts[i]);
        ASSERT_TRUE(run.finished) << "the script was held up (a message box?)";
        EXPECT_EQ(run.exitCode, 0u);
        for (const std::wstring& line : run.echoed) EXPECT_NE(line.rfind(L"FAIL", 0), 0u) << Utf8(line);
        ASSERT_FALSE(run.echoed.empty());
        EXPECT_EQ(run.echoed.back(), L"OK");
    }
}

TEST_F(KestrixTest, TheVbExamplesOfTheReferenceAndTheReleaseUseOnlyMembersTheControlHas) {
    kx::ComPtr<ITypeLib> lib;
    ASSERT_HRESULT_SUCCEEDED(LoadTypeLibEx(OcxPath().c_str(), REGKIND_NONE, &lib));
    kx::ComPtr<ITypeInfo> members, events;
    ASSERT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(IID__Kestrix2, &members));
    ASSERT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(DIID___Kestrix, &events));
    // The extender's own members, which every control on a VB form has.
    const std::set<std::wstring> extender = {L"Name", L"Left", L"Top", L"Visible", L"Tag", L"Parent"};

    const std::wregex member(L"\\bKestrix1\\.(\\w+)"), handler(L"\\bKestrix1_(\\w+)\\s*\\(");
    size_t seen = 0;
    std::vector<std::wstring> blocks = Blocks(Reference(), L"vb");
    for (const std::wstring& example : ReleaseExamples()) {
        EXPECT_FALSE(example.empty()) << "a release example is missing";
        blocks.push_back(example);
    }
    for (const std::wstring& block : blocks) {
        for (std::wsregex_iterator m(block.begin(), block.end(), member), end; m != end; ++m, ++seen) {
            const std::wstring name = (*m)[1];
            EXPECT_TRUE(Knows(members.Get(), name) || extender.count(name)) << "Kestrix1." << Utf8(name);
        }
        for (std::wsregex_iterator m(block.begin(), block.end(), handler), end; m != end; ++m, ++seen) {
            EXPECT_TRUE(Knows(events.Get(), (*m)[1])) << "Kestrix1_" << Utf8((*m)[1]);
        }
    }
    EXPECT_GT(seen, 5u) << "the VB examples name no member of Kestrix1";
}
