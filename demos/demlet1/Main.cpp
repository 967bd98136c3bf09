// Demlet1: lists focus moves, two keys and dropped files, starts Demlet2
// and sends it the names of the files dropped on its form.
#include <windows.h>

#include "Demlet1.h"
#include "Program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return kxhost::RunProgram(demlet1::kTitle, demlet1::CreateForm);
}
