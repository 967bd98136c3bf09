// DemoStage.exe: stages the demo on a virtual display, where nobody can
// drop a file. scripts/demo.sh runs it once Demlet1.exe (and the Demlet2.exe
// it started) are up. It
//   - places each Demlet2 window below Demlet1's, so a screenshot shows both
//     (without a window manager every window opens at the same place);
//   - drops three files on Demlet1's form the way the shell does: the list
//     of paths is written into Demlet1's own memory (a dropped-file handle
//     from another program would arrive empty) and WM_DROPFILES is posted;
//   - waits until a Demlet2 shows the paths, and prints each window's
//     rectangle as "<name> <left> <top> <width> <height>" for the screenshots.
// Exit code 0 when Demlet2 showed the paths.
#include <windows.h>
#include <shlobj.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Found {
    std::vector<HWND> demlet1, demlet2;
};

BOOL CALLBACK Collect(HWND h, LPARAM p) {
    auto* f = reinterpret_cast<Found*>(p);
    char title[64] = {};
    GetWindowTextA(h, title, sizeof title);
    if (!IsWindowVisible(h)) return TRUE;
    if (lstrcmpA(title, "Demlet1.EXE") == 0) f->demlet1.push_back(h);
    // Only a Demlet2 whose receiving control is there yet.
    if (lstrcmpA(title, "Demlet2.EXE") == 0 && FindWindowExA(h, nullptr, nullptr, "Kestrix")) f->demlet2.push_back(h);
    return TRUE;
}

Found Windows() {
    Found f;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&f));
    return f;
}

std::string Text(HWND h) {
    char text[4096] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutA(h, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &got);
    return text;
}

// The files beside this program's folder: the demo's own files.
std::vector<std::string> DemoFiles() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    dir = dir.substr(0, dir.find_last_of('\\')); // the stage folder
    dir = dir.substr(0, dir.find_last_of('\\') + 1); // the demo folder, with its backslash
    return {dir + "Demlet1.exe", dir + "Demlet2.exe", dir + "Kestrix.OCX"};
}

// A dropped-files block in the target program's memory. Page-aligned memory
// passes as a fixed global handle there, which is what DragQueryFile takes.
bool DropInto(HWND form, const std::vector<std::string>& files) {
    DWORD pid = 0;
    GetWindowThreadProcessId(form, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return false;
    std::string block(sizeof(DROPFILES), '\0');
    DROPFILES head{};
    head.pFiles = sizeof(DROPFILES);
    head.fWide = FALSE;
    memcpy(&block[0], &head, sizeof head);
    for (const std::string& f : files) block += f + '\0';
    block += '\0';
    void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    SIZE_T written = 0;
    const bool ok = remote && WriteProcessMemory(process, remote, block.data(), block.size(), &written) &&
        written == block.size() && PostMessageA(form, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
    CloseHandle(process);
    return ok;
}

void Print(const char* name, HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    std::printf("%s %ld %ld %ld %ld\n", name, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

} // namespace

int main() {
    Found f;
    for (int i = 0; i < 300 && (f = Windows(), f.demlet1.empty() || f.demlet2.empty()); ++i) Sleep(100);
    if (f.demlet1.empty() || f.demlet2.empty()) {
        std::fprintf(stderr, "DemoStage: Demlet1 and Demlet2 did not both appear\n");
        return 1;
    }
    HWND one = f.demlet1.front();
    RECT r1{};
    GetWindowRect(one, &r1);
    int top = r1.bottom + 8;
    for (HWND two : f.demlet2) {
        RECT r2{};
        GetWindowRect(two, &r2);
        SetWindowPos(two, HWND_TOP, r1.left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        top += r2.bottom - r2.top + 8;
    }
    SetWindowPos(one, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(one);

    const std::vector<std::string> files = DemoFiles();
    if (!DropInto(one, files)) {
        std::fprintf(stderr, "DemoStage: could not drop files on Demlet1 (error %lu)\n", GetLastError());
        return 1;
    }
    std::string joined;
    for (const std::string& s : files) joined += (joined.empty() ? "" : ",") + s;
    HWND edit = FindWindowExA(f.demlet2.front(), nullptr, "Edit", nullptr);
    bool shown = false;
    for (int i = 0; i < 100 && !(shown = Text(edit) == joined); ++i) Sleep(100);
    Sleep(300); // let both windows finish painting
    Print("Demlet1", one);
    for (HWND two : f.demlet2) Print("Demlet2", two);
    if (!shown) std::fprintf(stderr, "DemoStage: Demlet2 did not show the dropped files\n");
    return shown ? 0 : 2;
}
