#include "CScript.h"

#include <windows.h>
#include <sstream>

#include "Ansi.h"
#include "UniqueHandle.h"

namespace kxtest {

namespace {

std::wstring TempName(const wchar_t* ext) {
    wchar_t dir[MAX_PATH] = {}, name[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, dir);
    GetTempFileNameW(dir, L"kxs", 0, name);
    DeleteFileW(name);
    return std::wstring(name) + ext;
}

std::vector<std::wstring> ReadUtf16Lines(const std::wstring& path) {
    std::vector<std::wstring> lines;
    kx::UniqueFile f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f) return lines;
    std::wstring text(GetFileSize(f.get(), nullptr) / sizeof(wchar_t), L'\0');
    DWORD got = 0;
    ReadFile(f.get(), &text[0], static_cast<DWORD>(text.size() * sizeof(wchar_t)), &got, nullptr);
    if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
    std::wstringstream in(text);
    for (std::wstring line; std::getline(in, line);) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

} // namespace

ScriptRun RunVbScript(const std::wstring& body, unsigned timeoutMs) {
    const std::wstring script = TempName(L".vbs"), output = TempName(L".txt");
    {
        const std::string ansi = kx::ToAnsi(
            L"Set Out = CreateObject(\"Scripting.FileSystemObject\")"
            L".CreateTextFile(WScript.Arguments(0), True, True)\r\n" +
            body + L"\r\nOut.Close\r\n");
        kx::UniqueFile f(CreateFileW(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        if (f) WriteFile(f.get(), ansi.data(), static_cast<DWORD>(ansi.size()), &written, nullptr);
    }
    std::wstring command = L"cscript.exe //nologo \"" + script + L"\" \"" + output + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ScriptRun run;
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        kx::UniqueFile process(pi.hProcess);
        run.finished = WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0;
        // A script held up (say by a message box nobody answers) is ended.
        if (!run.finished) TerminateProcess(process.get(), 1);
        run.lines = ReadUtf16Lines(output);
    }
    DeleteFileW(script.c_str());
    DeleteFileW(output.c_str());
    return run;
}

} // namespace kxtest
