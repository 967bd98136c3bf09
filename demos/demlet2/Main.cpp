// Demlet2: shows the last text that a Kestrix control in another program
// sent to its link name.
#include <windows.h>

#include "Demlet2.h"
#include "Program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return kxhost::RunProgram(demlet2::kTitle, demlet2::CreateForm);
}
