// The main() of every Kestrix test executable.
//
// Before any test runs it checks what the whole suite relies on: Wine (or
// Windows) must run with the ANSI code page 932 (Shift-JIS), because the
// control converts text through the ANSI code page. A wrong code page makes
// dozens of tests fail in confusing ways, so it is reported once, loudly,
// and the executable exits without running anything.
//
// OLE is initialised for the main thread around the whole run, as a
// container would do before creating the control.
#include <windows.h>
#include <ole2.h>

#include <cstdio>

#include <gtest/gtest.h>

namespace {

constexpr UINT kRequiredAnsiCodePage = 932;

bool CheckAnsiCodePage() {
    const UINT acp = GetACP();
    if (acp == kRequiredAnsiCodePage) return true;
    std::fprintf(stderr,
                 "\n"
                 "**************************************************************\n"
                 "** KESTRIX TEST BENCH: WRONG ANSI CODE PAGE\n"
                 "**   GetACP() returned %u; the tests need 932 (Shift-JIS).\n"
                 "**   Run the tests with: bash scripts/test.sh\n"
                 "**   or run Wine with LC_ALL=ja_JP.UTF-8, with that locale\n"
                 "**   generated (scripts/setup.sh does it).\n"
                 "**   No test was run.\n"
                 "**************************************************************\n"
                 "\n",
                 acp);
    std::fflush(stderr);
    return false;
}

} // namespace

int main(int argc, char** argv) {
    // Unbuffered, so that a crash under Wine still shows every line printed
    // before it.
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    if (!CheckAnsiCodePage()) return 3;

    testing::InitGoogleTest(&argc, argv);

    const HRESULT hr = OleInitialize(nullptr);
    if (FAILED(hr)) {
        std::fprintf(stderr, "KESTRIX TEST BENCH: OleInitialize failed (0x%08lX)\n", static_cast<unsigned long>(hr));
        return 4;
    }

    const int result = RUN_ALL_TESTS();

    OleUninitialize();
    return result;
}
