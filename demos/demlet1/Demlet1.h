// Demlet1: the form DragDropFrm and its handlers. The program (Main.cpp)
// and the tests load the same form from the resource DEMLET1_FORM, which
// every program linking this library carries (DragDropFrm.rc).
#pragma once
#include <windows.h>
#include <memory>

#include "EventArgs.h"
#include "Form.h"
#include "FormFile.h"
#include "Runtime.h"

namespace demlet1 {

// The program's title, under which its message boxes appear.
constexpr wchar_t kTitle[] = L"Demlet1";
// The program the form starts when it loads, found by the system's search.
constexpr wchar_t kDemlet2File[] = L"Demlet2.exe";
constexpr wchar_t kGreeting[] = L"早くDemlet1にファイルをドロップしてや！待ってんで．．．";

// The saved form's resource, carried by every module linking this library.
constexpr wchar_t kFormResource[] = L"DEMLET1_FORM";
// Creates DragDropFrm from the saved form, with every handler registered;
// Form_Load has not run yet.
std::unique_ptr<kxhost::Form> CreateForm(kxhost::Runtime& rt);
// Registers the handlers below on a form made from the saved form.
void Attach(kxhost::Form& form);

// The handlers, as the form raises them.
void Form_Load(kxhost::Form& form);
void Form_Unload(kxhost::Form& form, kxhost::EventArgs& args);
void Command1_Click(kxhost::Form& form);
void Kestrix1_FileDrop(kxhost::Form& form, kxhost::EventArgs& args);
void Kestrix1_GetEvents(kxhost::Form& form, kxhost::EventArgs& args);

// The texts the handlers put into List1 and the message box.
std::wstring FocusMovedItem(const std::wstring& from, const std::wstring& to);
std::wstring KeyItem(const std::wstring& control, LONG virtualKey); // empty for other keys
std::wstring NotFoundMessage(const std::wstring& linkName);

} // namespace demlet1
