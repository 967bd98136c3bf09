/* Keeps the Wine server and its service processes warm during a test run.
 *
 *   KxKeepAlive.exe [lifetime-seconds [ready-file]]
 *
 * scripts/wine-env.sh starts this in the background (output to /dev/null)
 * before any test: while one Windows process is alive, Wine's service
 * processes (services, the desktop process, ...) stay up, so each test
 * executable starts in tens of milliseconds instead of seconds, and none
 * of those services inherits the output pipe of a test runner.
 *
 * It asks for the desktop window once, so that the desktop process is
 * started here and not by the first test, then creates ready-file (a
 * Windows path) to say so, and sleeps until it is killed. A positive
 * lifetime makes it exit by itself after that many seconds, a safety net
 * if whoever started it dies without cleaning up; 0 or nothing means
 * for ever.
 */
#include <windows.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    DWORD lifetime_ms = INFINITE;
    if (argc > 1) {
        long seconds = strtol(argv[1], NULL, 10);
        if (seconds > 0 && seconds < 4000000L) lifetime_ms = (DWORD)seconds * 1000u;
    }

    if (GetDesktopWindow() == NULL) return 1;

    if (argc > 2) {
        HANDLE ready = CreateFileA(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (ready == INVALID_HANDLE_VALUE) return 2;
        CloseHandle(ready);
    }

    Sleep(lifetime_ms);
    return 0;
}
