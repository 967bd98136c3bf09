// A program of the runtime with one start-up form, the way a VB-kind
// program starts: make the form, load and show it, run until it closes.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "Form.h"
#include "Runtime.h"

namespace kxhost {

using FormFactory = std::function<std::unique_ptr<Form>(Runtime&)>;

// A form made from the saved form in a resource of the module (null: the
// running program), with its handlers registered by attach; Form_Load has
// not run yet.
std::unique_ptr<Form> CreateFormFromResource(Runtime& rt, HMODULE module, const wchar_t* resourceName,
                                             const std::function<void(Form&)>& attach);

// Returns the program's exit code. A form that cannot be made (its control
// not registered, say) is reported in a message box naming what and where.
int RunProgram(const std::wstring& title, const FormFactory& makeStartupForm);

} // namespace kxhost
