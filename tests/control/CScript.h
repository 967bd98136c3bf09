// A VBScript run by the system's own script host (cscript.exe), as a user's
// script runs. Wine's cscript reads scripts in the ANSI code page only, and
// its console output breaks on double-byte text when redirected, so the
// script writes what it has to say into a UTF-16 file: WScript.Arguments(0)
// names it, and Out (a text stream on it) is open when the script starts.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace kxtest {

struct ScriptRun {
    bool finished = false; // the host ended within the time allowed
    DWORD exitCode = 0; // WScript.Quit's code
    std::vector<std::wstring> lines; // what the script wrote to Out, line by line
    std::vector<std::wstring> echoed; // what it wrote with WScript.Echo (ASCII only, see above)
};

ScriptRun RunVbScript(const std::wstring& body, unsigned timeoutMs = 30000);
// The script exactly as written, with no Out (it may start with Option
// Explicit): what it says comes by WScript.Echo only.
ScriptRun RunVbScriptAsWritten(const std::wstring& script, unsigned timeoutMs = 30000);

} // namespace kxtest
