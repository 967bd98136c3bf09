// The control's about entry (dispatch id -552): the version dialog.
#include "Kestrix.h"
#include "AboutBox.h"
#include "ComTrap.h"

namespace kestrix {

STDMETHODIMP Kestrix::ShowAboutDlg() {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        ShowAboutBox(Module());
        return S_OK;
    });
}

} // namespace kestrix
