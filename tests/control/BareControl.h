// The control started outside the form runtime, the way a script host or
// another container starts it, on the tests' own site (TestSite).
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <optional>
#include <vector>

#include "ComObject.h"
#include "TestSite.h"
#include "ComPtr.h"

namespace kxtest {

// The control made with CoCreateInstance, given the site (if any) and its
// change notifications connected, then started with InitNew.
struct BareControl {
    kx::ComPtr<IOleObject> ole;
    kx::ComPtr<IDispatch> dispatch;
    DWORD cookie = 0;
    HRESULT initNew = E_FAIL;
    ~BareControl();
};
// A site of the plainest kind: no ambient user mode or display name, no
// extender (set what a test needs).
kx::ComPtr<TestSite> BareSite();
void StartBare(BareControl& c, TestSite* site);

} // namespace kxtest
