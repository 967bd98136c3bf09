// A control on a form, as the runtime and C++ handlers see it. Each control
// also has an automation object (Dispatch) that the form's Controls
// collection yields: its own for an intrinsic control, the extender for an
// ActiveX control.
#pragma once
#include <windows.h>
#include "NonCopyable.h"
#include <oaidl.h>
#include <optional>
#include <string>

#include "AutoObject.h"
#include "ComPtr.h"
#include "FormFile.h"

namespace kxhost {

class Form;

class Control : private kx::NonCopyable {
public:
    Control(Form& parent, const ControlDesc& desc);
    virtual ~Control();

    const std::wstring& Name() const { return name_; }
    // The name as handlers are keyed: in upper case (a control keeps its name).
    const std::wstring& UpperName() const { return upperName_; }
    const std::optional<LONG>& Index() const { return index_; }
    Form& Parent() const { return parent_; }
    virtual const wchar_t* Kind() const = 0;
    // Null for a windowless control (a label).
    virtual HWND hwnd() const = 0;
    IDispatch* Dispatch() const { return object_.Get(); }
    kx::AutoObject& Automation() const { return *object_.Get(); }
    LONG TabIndex() const { return tabIndex_; }

    // Position in twips within the form's client area.
    RECT TwipsRect() const { return twips_; }
    virtual void Move(LONG left, LONG top, LONG width, LONG height);

    // Builds the window (or whatever the control needs) once the form's window exists.
    virtual void Create() = 0;
    // Called by the form for WM_COMMAND/WM_NOTIFY from this control's window.
    virtual void OnCommand(WORD code) {}
    // Windowless controls draw on the form.
    virtual void Paint(HDC dc) {}
    // Writes the control back for a saved form.
    virtual ControlDesc Describe() const;

protected:
    // Raises an event of this control to the form's handlers (Index first for array members).
    void Raise(const wchar_t* event);
    const ControlDesc& Desc() const { return desc_; }

    ControlDesc desc_;
    RECT twips_{};
    kx::ComPtr<kx::AutoObject> object_;

private:
    Form& parent_;
    std::wstring name_;
    std::wstring upperName_;
    std::optional<LONG> index_;
    LONG tabIndex_ = 0;
};

} // namespace kxhost
