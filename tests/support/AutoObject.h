// Tests use the runtime's automation object as their stand-in control.
#pragma once
#include "../../common/AutoObject.h"

namespace kxtest {
using kx::AutoObject;
using kx::ArgLong;
using kx::ArgLongRef;
using kx::ArgString;
using kx::MemberFn;
}
