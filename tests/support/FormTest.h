// The ground of every test that loads forms of the form runtime: a runtime
// of the mode asked for, errors that escape a handler collected (and
// failed when the test ends), and message boxes answered while it runs.
// For test programs that link kxhost.
#pragma once
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "Form.h"
#include "FormFile.h"
#include "MessageBoxes.h"
#include "Runtime.h"

namespace kxtest {

class FormTest : public ::testing::Test {
protected:
    void TearDown() override {
        form_.reset();
        rt_.reset();
        boxes_.reset();
        EXPECT_TRUE(unhandled_.empty()) << unhandled_.size() << " error(s) escaped a handler";
    }
    // A fresh runtime (the form and runtime before it are gone) and a form of it.
    kxhost::Form& LoadForm(const kxhost::FormDesc& desc, kxhost::Mode mode, const wchar_t* title) {
        form_.reset();
        rt_.reset();
        rt_ = std::make_unique<kxhost::Runtime>(mode, title);
        rt_->SetUnhandledErrorPolicy([this](const kx::AutomationError& e) { unhandled_.push_back(e); });
        form_ = kxhost::Form::Create(*rt_, desc);
        return *form_;
    }
    // The message boxes shown so far in this test.
    const std::vector<SeenBox>& Boxes() const { return boxes_->Seen(); }

    std::unique_ptr<BoxAnswerer> boxes_;
    std::unique_ptr<kxhost::Runtime> rt_;
    std::unique_ptr<kxhost::Form> form_;
    std::vector<kx::AutomationError> unhandled_;
};

} // namespace kxtest
