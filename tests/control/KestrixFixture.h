// Forms holding a Kestrix control, loaded through the form runtime from
// the OCX registered in the test prefix. Every test runs with a BoxAnswerer
// armed, so a message box the control shows is read and dismissed.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ActiveXControl.h"
#include "FormTest.h"
#include "MessageBoxes.h"
#include "TestPaths.h"
#include "Form.h"
#include "Runtime.h"

namespace kxtest {

// Registers Kestrix.OCX (beside the test program) once per process.
void RegisterKestrix();
// Full path of the Kestrix.OCX beside the test program.
std::wstring OcxPath();

// The saved-form text of a form with List1, Command1, Text1, Label1, the
// extra controls and Kestrix1 holding the bag lines (Kestrix1 left out when
// withKestrix is false).
std::wstring FormText(const std::wstring& formName, const std::wstring& bagLines, const std::wstring& extra = L"",
                      bool withKestrix = true);

// What a call raised, or nothing when it returned.
std::optional<kx::AutomationError> RaisedBy(const std::function<void()>& call);

// One of the control's own errors as a VB-kind caller sees it: the number,
// the status 0x800A0000 + number, the exact text, "Kestrix.hlp", topic 10.
void ExpectOwnError(const std::optional<kx::AutomationError>& e, LONG number, const std::wstring& text);
// One message box of the control's: title "Kestrix", the text, the
// critical-stop icon with OK and Help (style 16400).
void ExpectOwnBox(const SeenBox& box, const std::wstring& text);

class KestrixTest : public FormTest {
protected:
    void SetUp() override;

    // A form with List1, Command1, Text1, a label and Kestrix1 holding the
    // given bag lines; in run mode unless told otherwise.
    kxhost::Form& Load(const std::wstring& bagLines = L"", kxhost::Mode mode = kxhost::Mode::Run,
                       const std::wstring& extraControls = L"");
    // Another form of the same program.
    std::unique_ptr<kxhost::Form> LoadOther(const std::wstring& formName, const std::wstring& bagLines,
                                            const std::wstring& extraControls = L"");
    kxhost::Object K() const { return form_->Ctl(L"Kestrix1"); }
    kxhost::ActiveXControl& Kx() const { return form_->Get<kxhost::ActiveXControl>(L"Kestrix1"); }
    HWND Hwnd(const wchar_t* name) const;
};

} // namespace kxtest
