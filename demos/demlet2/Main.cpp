// Demlet2: shows the last text that a Kestrix control in another program
// sent to its link name.
#include <windows.h>

#include "Demlet2.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    kxhost::Runtime rt(kxhost::Mode::Run, demlet2::kTitle);
    try {
        std::unique_ptr<kxhost::Form> form = demlet2::CreateForm(rt);
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
