/* KxShellProbe.exe: started by the runtime's Shell in the tests. It waits
   (at most ten seconds) for the file "shellprobe.go" beside itself, then
   leaves "shellprobe.ran" there, or "shellprobe.late" if the file never
   came, and exits. A caller that waited for it would find "late". */
#include <windows.h>
#include <string.h>

static void Beside(char* path, const char* name) {
    char* slash;
    GetModuleFileNameA(NULL, path, MAX_PATH);
    slash = strrchr(path, '\\');
    if (slash) slash[1] = '\0';
    else path[0] = '\0';
    strcat(path, name);
}

static void Leave(const char* name) {
    char path[MAX_PATH + 32];
    HANDLE f;
    Beside(path, name);
    f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show) {
    char go[MAX_PATH + 32];
    int i;
    (void)instance;
    (void)previous;
    (void)command;
    (void)show;
    Beside(go, "shellprobe.go");
    for (i = 0; i < 200; ++i) {
        if (GetFileAttributesA(go) != INVALID_FILE_ATTRIBUTES) {
            Leave("shellprobe.ran");
            return 0;
        }
        Sleep(50);
    }
    Leave("shellprobe.late");
    return 1;
}
