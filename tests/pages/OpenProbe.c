/* What the version dialog's home-page button is given in a test instead
   of a web address: a program that leaves "<its own name>.done" beside
   itself and ends at once. */
#include <windows.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show) {
    char path[MAX_PATH + 8];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    char* dot;
    HANDLE f;
    (void)instance;
    (void)previous;
    (void)command;
    (void)show;
    if (n == 0 || n >= MAX_PATH) return 1;
    dot = strrchr(path, '.');
    if (!dot) return 1;
    strcpy(dot, ".done");
    f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE) return 1;
    CloseHandle(f);
    return 0;
}
