// A form's Controls collection: the form itself first, then every control
// in form order; counted, indexed by position or name, and enumerable.
#pragma once
#include <oaidl.h>
#include "ComPtr.h"

namespace kxhost {
class Form;
kx::ComPtr<IDispatch> MakeControlCollection(Form& form);
} // namespace kxhost
