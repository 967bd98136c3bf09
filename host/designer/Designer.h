// Design mode: the runtime's stand-in for the development environment. Its
// main window (titled as that environment, so controls can find it) opens a
// saved form, places new controls, shows a control's property pages in the
// system's property-page frame, calls its about entry and saves the form.
#pragma once
#include <windows.h>
#include "NonCopyable.h"
#include <memory>
#include <optional>
#include <string>

#include "Form.h"
#include "Runtime.h"
#include "UniqueHandle.h"

namespace kxhost {

class ActiveXControl;

class Designer : private kx::NonCopyable {
public:
    // The window procedure of the class's windows (each window is given its object at creation).
    static LRESULT CALLBACK WndProc(HWND h, UINT m, WPARAM w, LPARAM l);
    // rt must be in design mode.
    explicit Designer(Runtime& rt, std::wstring project = L"Project1");
    ~Designer();

    HWND hwnd() const { return hwnd_.get(); }
    static std::wstring TitleFor(const std::wstring& project);

    void Open(const std::wstring& path);
    void OpenDesc(const FormDesc& desc);
    // Places a new ActiveX control (it starts fresh: InitNew); returns it.
    ActiveXControl& PlaceControl(const std::wstring& progId, const std::wstring& name, LONG left = 120, LONG top = 120);
    // Selects a control by name (and index, for a member of a control array).
    void Select(const std::wstring& name, std::optional<LONG> index = std::nullopt);
    ActiveXControl* Selected() const;
    // The system's property-page frame over the selected control's extender;
    // returns when it closes. S_FALSE, and no frame, when the control names
    // no property pages.
    HRESULT ShowPropertyPages();
    // The selected control's about entry (dispatch id -552).
    HRESULT ShowAbout();
    void Save(const std::wstring& path);
    Form* CurrentForm() const { return form_.get(); }

private:
    LRESULT Handle(HWND h, UINT m, WPARAM w, LPARAM l);
    void Command(WORD id);
    void RefreshList();
    std::wstring AskPath(bool save);

    Runtime& rt_;
    std::wstring project_;
    std::wstring path_;
    kx::UniqueHwnd hwnd_;
    HWND list_ = nullptr;
    std::unique_ptr<Form> form_;
    std::wstring selected_;
    std::optional<LONG> selectedIndex_;
};

} // namespace kxhost
