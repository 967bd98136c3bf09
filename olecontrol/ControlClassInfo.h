// What the control base needs to know of a control class: one constant
// table per class, defined in the control's own DLL (its address also tells
// the base which module holds the type library, bitmaps and window class).
#pragma once
#include <windows.h>
#include <ole2.h>

namespace kx::ole {

struct ControlClassInfo {
    const CLSID* clsid;
    const IID* dispatchIid; // the dual interface the control answers calls on
    const IID* eventIid; // default source dispinterface; nullptr: no events
    DWORD miscStatus; // OLEMISC_*; OLEMISC_INVISIBLEATRUNTIME hides the
        // window (it still exists) when the ambient user
        // mode is True or not given
    SIZEL extent; // initial size, HIMETRIC
    const CLSID* pages; // property pages, in order
    UINT pageCount;
    UINT faceBitmapId; // bitmap resource drawn as the face; 0: none
    const char* windowClass; // ANSI class name of the control's window;
        // nullptr: "KxOleControl"
    // A published interface that the dual one extends, answered too for
    // programs compiled against it; nullptr: none.
    const IID* extendedIid = nullptr;
};

} // namespace kx::ole
