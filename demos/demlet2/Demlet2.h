// Demlet2: the form Form1 and its one handler. The program (Main.cpp) and
// the tests load the same form from the resource DEMLET2_FORM, which every
// program linking this library carries (Form1.rc).
#pragma once
#include <windows.h>
#include <memory>

#include "EventArgs.h"
#include "Form.h"
#include "FormFile.h"
#include "Runtime.h"

namespace demlet2 {

constexpr wchar_t kTitle[] = L"Demlet2";

// The saved form's resource, carried by every module linking this library.
constexpr wchar_t kFormResource[] = L"DEMLET2_FORM";
// Creates Form1 from the saved form with its handler registered.
std::unique_ptr<kxhost::Form> CreateForm(kxhost::Runtime& rt);
void Attach(kxhost::Form& form);

// Shows the text another program's control sent, in place of the last one.
void Kestrix1_LinkReceive(kxhost::Form& form, kxhost::EventArgs& args);

} // namespace demlet2
