// Forms holding a Kestrix control, loaded through the form runtime from
// the OCX registered in the test prefix.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "Form.h"
#include "Runtime.h"

namespace kxtest {

// Registers Kestrix.OCX (beside the test program) once per process.
void RegisterKestrix();

class KestrixTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterKestrix(); }
    void TearDown() override;

    // A form with List1, Command1, Text1, a label and Kestrix1 holding the
    // given bag lines; in run mode unless told otherwise.
    kxhost::Form& Load(const std::wstring& bagLines = L"", kxhost::Mode mode = kxhost::Mode::Run,
                       const std::wstring& extraControls = L"");
    kxhost::Object K() const { return form_->Ctl(L"Kestrix1"); }
    HWND Hwnd(const wchar_t* name) const;

    std::unique_ptr<kxhost::Runtime> rt_;
    std::unique_ptr<kxhost::Form> form_;
    std::vector<kx::AutomationError> unhandled_;
};

} // namespace kxtest
