#include "CScript.h"

#include <windows.h>
#include <cstring>
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

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::wstringstream in(text);
    for (std::wstring line; std::getline(in, line);) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string ReadBytes(const std::wstring& path) {
    kx::UniqueFile f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f) return {};
    std::string bytes(GetFileSize(f.get(), nullptr), '\0');
    DWORD got = 0;
    ReadFile(f.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    bytes.resize(got);
    return bytes;
}

std::vector<std::wstring> ReadUtf16Lines(const std::wstring& path) {
    const std::string bytes = ReadBytes(path);
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) memcpy(&text[0], bytes.data(), text.size() * sizeof(wchar_t));
    if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
    return Lines(text);
}

} // namespace

namespace {

ScriptRun Run(const std::wstring& text, unsigned timeoutMs) {
    const std::wstring script = TempName(L".vbs"), output = TempName(L".txt"), echoes = TempName(L".out");
    {
        const std::string ansi = kx::ToAnsi(text);
        kx::UniqueFile f(CreateFileW(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        if (f) WriteFile(f.get(), ansi.data(), static_cast<DWORD>(ansi.size()), &written, nullptr);
    }
    // The host's own output (WScript.Echo) goes to a file by the shell's
    // redirection: a pipe could be held open by Wine's services.
    std::wstring command = L"cmd.exe /c cscript.exe //nologo \"" + script + L"\" \"" + output + L"\" > \"" + echoes +
        L"\" 2>&1";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ScriptRun run;
    // The shell and the host in one job, so that a script held up (say by
    // a message box nobody answers) is ended with its shell.
    kx::UniqueFile job(CreateJobObjectW(nullptr, nullptr));
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr,
                       nullptr, &si, &pi)) {
        AssignProcessToJobObject(job.get(), pi.hProcess);
        ResumeThread(pi.hThread);
        CloseHandle(pi.hThread);
        kx::UniqueFile process(pi.hProcess);
        run.finished = WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0;
        if (!run.finished) {
            TerminateJobObject(job.get(), 1);
            WaitForSingleObject(process.get(), 5000);
        }
        GetExitCodeProcess(process.get(), &run.exitCode);
        run.lines = ReadUtf16Lines(output);
    }
    const std::string echoed = ReadBytes(echoes);
    run.echoed = Lines(std::wstring(echoed.begin(), echoed.end()));
    DeleteFileW(script.c_str());
    DeleteFileW(output.c_str());
    DeleteFileW(echoes.c_str());
    return run;
}

} // namespace

ScriptRun RunVbScript(const std::wstring& body, unsigned timeoutMs) {
    return Run(L"Set Out = CreateObject(\"Scripting.FileSystemObject\")"
               L".CreateTextFile(WScript.Arguments(0), True, True)\r\n" +
                   body + L"\r\nOut.Close\r\n",
               timeoutMs);
}

ScriptRun RunVbScriptAsWritten(const std::wstring& script, unsigned timeoutMs) { return Run(script, timeoutMs); }

} // namespace kxtest
