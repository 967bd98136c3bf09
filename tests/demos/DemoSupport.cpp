#include "DemoSupport.h"

#include <algorithm>
#include <shlobj.h>

#include "Ansi.h"

namespace kxtest {

namespace {

std::wstring FromUtf8(const std::string& s) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(n > 0 ? static_cast<size_t>(n) : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return w;
}

} // namespace

std::string Utf8(const std::wstring& w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

std::wstring Demlet2Path() { return ExeDir() + KX_DEMO_RELDIR L"\\Demlet2.exe"; }

// ---- other programs ---------------------------------------------------------

bool ChildProgram::Start(const std::wstring& exe, const std::wstring& args, const std::wstring& dir) {
    End();
    std::wstring cmd = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, dir.empty() ? nullptr : dir.c_str(),
                        &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    return true;
}

void ChildProgram::Adopt(DWORD pid) {
    End();
    process_ = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    pid_ = process_ ? pid : 0;
}

bool ChildProgram::running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

void ChildProgram::End() {
    if (!process_) return;
    for (HWND w : WindowsOf(pid_)) PostMessageW(w, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
    pid_ = 0;
}

HWND ChildProgram::WaitWindow(const std::wstring& caption, const std::wstring& childText, DWORD ms) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND w : WindowsOf(pid_)) {
                if (CaptionOf(w) != caption) continue;
                if (!childText.empty() && !FindWindowExA(w, nullptr, nullptr, kx::ToAnsi(childText).c_str())) continue;
                found = w;
                return true;
            }
            return !running();
        },
        ms);
    return found;
}

namespace {

struct WindowSearch {
    DWORD pid;
    bool all;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND h, LPARAM p) {
    auto* s = reinterpret_cast<WindowSearch*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (s->all || pid == s->pid) s->found.push_back(h);
    return TRUE;
}

} // namespace

std::vector<HWND> WindowsOf(DWORD pid, bool all) {
    WindowSearch s{pid, all, {}};
    if (pid || all) EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::wstring TextOf(HWND h) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return L"<no answer>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(h, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000, &got);
    text.resize(std::min<size_t>(got, length));
    return text;
}

std::wstring CaptionOf(HWND h) {
    wchar_t text[512] = {};
    GetWindowTextW(h, text, 512);
    return text;
}

HWND ChildOfClass(HWND parent, const char* cls) { return FindWindowExA(parent, nullptr, cls, nullptr); }

// ---- files --------------------------------------------------------------------

std::vector<std::wstring> ReadRecords(const std::wstring& file) {
    std::vector<std::wstring> out;
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return out;
    std::string bytes;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got) bytes.append(buf, got);
    CloseHandle(h);
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t colon = bytes.find(':', pos);
        if (colon == std::string::npos) break;
        const size_t n = std::stoul(bytes.substr(pos, colon - pos));
        if (colon + 1 + n + 1 > bytes.size()) break; // a record still being written
        out.push_back(FromUtf8(bytes.substr(colon + 1, n)));
        pos = colon + 1 + n + 1;
    }
    return out;
}

std::wstring FreshFile(const std::wstring& name) {
    const std::wstring path = ExeDir() + name;
    DeleteFileW(path.c_str());
    return path;
}

} // namespace kxtest
