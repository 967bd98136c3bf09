// KxPageShots: pictures of the three property pages in the system's frame
// and of the version dialog, as the designer of the form runtime shows
// them over Demlet1's form. Each window is copied from the screen into
// <folder>\<name>.bmp (scripts/page-shots.sh makes PNGs of them for docs/).
//
//   KxPageShots.exe <folder>
#include <windows.h>
#include "TestPaths.h"
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Ansi.h"
#include "Designer.h"
#include "PageControls.h"
#include "Runtime.h"
#include "VerDlgControls.h"

namespace {

std::wstring g_folder;
int g_failures = 0;

void Settle(HWND w) {
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    GdiFlush();
    Sleep(150);
}

// The window as it is on the screen, as a 24-bit bitmap file. What was
// painted reaches the screen a little later: it is painted again after a
// while before the copy.
void Shoot(HWND w, const wchar_t* name) {
    Settle(w);
    Sleep(700);
    Settle(w);
    RECT r{};
    GetWindowRect(w, &r);
    const int cx = r.right - r.left, cy = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, cx, cy, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);
    const DWORD stride = (static_cast<DWORD>(cx) * 3 + 3) & ~3u;
    const DWORD size = stride * static_cast<DWORD>(cy);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    const std::wstring path = g_folder + L"\\" + name + L".bmp";
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok = f != INVALID_HANDLE_VALUE && bits && WriteFile(f, &fh, sizeof fh, &written, nullptr) &&
        WriteFile(f, &bi.bmiHeader, sizeof bi.bmiHeader, &written, nullptr) &&
        WriteFile(f, bits, size, &written, nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    if (!ok) ++g_failures;
    std::printf("%s %ls (%dx%d)\n", ok ? "wrote" : "FAILED", path.c_str(), cx, cy);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

BOOL CALLBACK FindFrame(HWND h, LPARAM out) {
    char cls[16] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(h) && FindWindowExA(h, nullptr, "SysTabControl32", nullptr)) {
        *reinterpret_cast<HWND*>(out) = h;
        return FALSE;
    }
    return TRUE;
}

struct IdSearch {
    int id;
    HWND found;
};
BOOL CALLBACK FindId(HWND h, LPARAM p) {
    auto* s = reinterpret_cast<IdSearch*>(p);
    if (GetDlgCtrlID(h) != s->id || !IsWindowVisible(h)) return TRUE;
    s->found = h;
    return FALSE;
}
HWND Find(HWND frame, int id) {
    IdSearch s{id, nullptr};
    EnumChildWindows(frame, FindId, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

void Select(HWND list, std::vector<int> rows) {
    for (int r : rows) SendMessageA(list, LB_SETSEL, TRUE, r);
    SendMessageA(list, LB_SETCARETINDEX, static_cast<WPARAM>(rows.back()), FALSE);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

int g_step = 0;
DWORD g_deadline = 0;

// One tick prepares a page, the next one takes its picture: what was
// painted in between has reached the screen by then.
void CALLBACK FrameTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND frame = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindFrame, reinterpret_cast<LPARAM>(&frame));
    if (!frame) return;
    if (GetTickCount() > g_deadline) {
        ++g_failures;
        PropSheet_PressButton(frame, PSBTN_CANCEL);
        return;
    }
    using namespace kestrix::pages;
    switch (g_step) {
    case 0:
        if (HWND list = Find(frame, kP1List)) {
            Select(list, {0, 2});
            Settle(frame);
            ++g_step;
        }
        break;
    case 1:
        Shoot(frame, L"page1-target-controls");
        PropSheet_SetCurSel(frame, nullptr, 1);
        ++g_step;
        break;
    case 2:
        if (HWND list = Find(frame, kP2List)) {
            Select(list, {0, 6});
            Settle(frame);
            ++g_step;
        }
        break;
    case 3:
        Shoot(frame, L"page2-target-events");
        PropSheet_SetCurSel(frame, nullptr, 2);
        ++g_step;
        break;
    case 4:
        if (Find(frame, kP3DebugMode)) {
            Settle(frame);
            ++g_step;
        }
        break;
    case 5:
        Shoot(frame, L"page3-options");
        PropSheet_PressButton(frame, PSBTN_CANCEL);
        ++g_step;
        break;
    default:
        break;
    }
}

void CALLBACK DialogTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND d = FindWindowA(nullptr, kx::ToAnsi(kestrix::kVerDlgCaption).c_str());
    if (!d) return;
    if (g_step == 10) {
        Settle(d);
        ++g_step;
        return;
    }
    if (g_step == 11) {
        Shoot(d, L"version-dialog");
        ++g_step;
    }
    PostMessageA(d, WM_COMMAND, MAKEWPARAM(kestrix::kVdOk, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(d, kestrix::kVdOk)));
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: KxPageShots.exe <folder>\n");
        return 2;
    }
    g_folder = argv[1];
    const std::wstring dir = kxtest::ExeDir();
    // The control beside this program, registered in this prefix.
    if (!kxtest::RegisterDllOnce(L"Kestrix.OCX")) {
        std::fprintf(stderr, "Kestrix.OCX could not be registered\n");
        return 1;
    }
    try {
        kxhost::Runtime rt(kxhost::Mode::Design, L"Demlet1");
        kxhost::Designer designer(rt);
        ShowWindow(designer.hwnd(), SW_SHOW);
        designer.Open(dir + L"DragDropFrm.frm");
        designer.Select(L"Kestrix1");
        g_deadline = GetTickCount() + 30000;
        UINT_PTR t = SetTimer(nullptr, 0, 200, FrameTick);
        designer.ShowPropertyPages();
        KillTimer(nullptr, t);
        if (g_step != 6) ++g_failures;
        g_step = 10;
        t = SetTimer(nullptr, 0, 300, DialogTick);
        designer.ShowAbout();
        KillTimer(nullptr, t);
        if (g_step != 12) ++g_failures;
    } catch (const kx::RaisedError& e) {
        std::fprintf(stderr, "failed: %ls\n", e.error().description.c_str());
        return 1;
    }
    return g_failures ? 1 : 0;
}
