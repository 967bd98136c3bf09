// Demlet1: lists focus moves, two keys and dropped files, starts Demlet2
// and sends it the names of the files dropped on its form.
#include <windows.h>

#include "Demlet1.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    kxhost::Runtime rt(kxhost::Mode::Run, demlet1::kTitle);
    try {
        std::unique_ptr<kxhost::Form> form = demlet1::CreateForm(rt);
        form->Load();
        form->Show();
        return rt.Run();
    } catch (const kxhost::FormFileError& e) {
        // Typically the control is not registered: say which and where.
        rt.MsgBox(e.text(), MB_OK | MB_ICONSTOP);
    } catch (const kx::RaisedError& e) {
        rt.ReportUnhandled(e.error());
    } catch (const std::exception& e) {
        rt.ReportUnhandled(kx::ErrorFromException(e));
    }
    return 1;
}
