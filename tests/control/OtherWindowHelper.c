/* A window of another process, for the tests that need one.
 *
 *   KxOtherWindow.exe <title>
 *
 * Shows a top-level window with the given title and runs until it is
 * closed (WM_CLOSE) or, as a safety net, for 60 seconds.
 */
#include <windows.h>

static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

static void CALLBACK Expire(HWND h, UINT m, UINT_PTR id, DWORD t) {
    (void)h;
    (void)m;
    (void)id;
    (void)t;
    PostQuitMessage(1);
}

int main(int argc, char** argv) {
    WNDCLASSA wc = {0};
    MSG msg;
    HWND h;
    if (argc < 2) return 2;
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "KxOtherWindow";
    if (!RegisterClassA(&wc)) return 3;
    h = CreateWindowExA(0, wc.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW, 0, 0, 120, 80, NULL, NULL, wc.hInstance,
                        NULL);
    if (!h) return 4;
    SetTimer(NULL, 0, 60000, Expire);
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
