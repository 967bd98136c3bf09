// Forms that host the test control KxTestCtl (KxTest.Ctl), loaded through
// the form runtime from the DLL registered in the test prefix, and the
// helpers the hosting tests share: message-box dismissal and scratch files.
#pragma once
#include <windows.h>
#include "MessageBoxes.h"
#include "NonCopyable.h"
#include "TestPaths.h"
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ActiveXControl.h"
#include "Form.h"
#include "Runtime.h"

namespace kxtest {

// Registers KxTestCtl.dll (beside the test program) once per process.
void RegisterTestControl();

// Form1: Label1 (windowless), List1, Ctl1 (KxTest.Ctl, Caption "Eins",
// Value 11), Ctl2(0) and Ctl2(1) (an array of KxTest.Ctl), Command1.
extern const wchar_t kHostForm[];

class HostTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterTestControl(); }
    void TearDown() override;

    // A form from saved-form text, in a runtime of the given mode.
    kxhost::Form& Load(const std::wstring& text = kHostForm, kxhost::Mode mode = kxhost::Mode::Run,
                       const std::wstring& source = L"host.frm");
    kxhost::ActiveXControl& Ax(const std::wstring& name, std::optional<LONG> index = std::nullopt) const {
        return form_->Get<kxhost::ActiveXControl>(name, index);
    }
    kxhost::Object Ctl(const std::wstring& name, std::optional<LONG> index = std::nullopt) const {
        return form_->Ctl(name, index);
    }

    std::unique_ptr<kxhost::Runtime> rt_;
    std::unique_ptr<kxhost::Form> form_;
    std::vector<kx::AutomationError> unhandled_;
};

// The extender a control gets from its own site (IOleControlSite::GetExtendedControl).
kx::ComPtr<IDispatch> ExtenderFromSite(IOleObject* control);

// A folder of scratch files for one test, removed with what it holds.
class ScratchFolder : private kx::NonCopyable {
public:
    ScratchFolder();
    ~ScratchFolder();
    std::wstring Path(const std::wstring& file) const;
    void Write(const std::wstring& file, const std::string& utf8) const;
    std::string Read(const std::wstring& file) const;

private:
    std::wstring folder_;
};

// The screen's dots per inch (LOGPIXELSX or LOGPIXELSY), for twips in pixels.
int Dpi(int index);

} // namespace kxtest
