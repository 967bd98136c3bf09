// KxLinkPeer.exe: the other program of the link tests.
//
//   KxLinkPeer.exe <mode> <caption> <link name or -> <record file>
//
// mode receive: a form captioned <caption> holding a Kestrix control whose
//   link name is the one given (- keeps the control's default); every text
//   that arrives is appended to the record file as "<bytes>:<UTF-8 text>\n".
// mode slow: the same, but the handler takes 6 s after recording.
// mode hung: a bare top-level window captioned <caption> with a child
//   titled with the link name, and a thread that never reads its messages.
// It ends when its form is closed (WM_CLOSE), or when the test kills it.
#include <windows.h>
#include <string>

#include "Form.h"
#include "FormFile.h"
#include "Runtime.h"

namespace {

std::string WideToUtf8(const std::wstring& w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

void Record(const std::wstring& file, const std::wstring& text) {
    const std::string utf8 = WideToUtf8(text);
    const std::string line = std::to_string(utf8.size()) + ":" + utf8 + "\n";
    HANDLE h = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(h);
}

int Hung(const std::wstring& caption, const std::wstring& linkName) {
    HWND top = CreateWindowExW(0, L"STATIC", caption.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    HWND child = CreateWindowExW(0, L"STATIC", linkName.c_str(), WS_CHILD, 0, 0, 10, 10, top, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (!top || !child) return 2;
    Sleep(120000); // never reads a message; the test kills it
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 5) return 1;
    const std::wstring mode = argv[1], caption = argv[2], linkName = argv[3], file = argv[4];
    LocalFree(argv);
    if (mode == L"hung") return Hung(caption, linkName);

    kxhost::Runtime rt(kxhost::Mode::Run, L"KxLinkPeer");
    rt.SetUnhandledErrorPolicy(
        [file](const kx::AutomationError& e) { Record(file, L"error " + std::to_wstring(e.number)); });
    std::wstring text = L"Form PeerForm\n    Caption = \"" + caption +
        L"\"\n    ClientWidth = 3000\n    ClientHeight = 1000\n"
        L"    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\n        Left = 0\n        Top = 0\n";
    if (linkName != L"-") text += L"        Bag linkname = \"" + linkName + L"\"\n";
    text += L"    End\nEnd\n";
    try {
        std::unique_ptr<kxhost::Form> form = kxhost::Form::Create(rt, kxhost::ParseForm(text, L"PeerForm"));
        const bool slow = mode == L"slow";
        form->On(L"Kestrix1", L"LinkReceive", [file, slow](kxhost::EventArgs& a) {
            Record(file, a.String(0));
            if (slow) Sleep(6000);
        });
        form->Show();
        return rt.Run();
    } catch (...) {
        return 3;
    }
}
