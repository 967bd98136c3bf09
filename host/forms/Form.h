// A form of the runtime: a top-level ANSI window, its controls, its
// automation object (Name, hwnd, Caption, Controls, ...) and the event
// handlers that C++ code registers by control name and event name.
#pragma once
#include <windows.h>
#include "NonCopyable.h"
#include <oaidl.h>
#include <oleidl.h>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "AutoObject.h"
#include "ComPtr.h"
#include "EventArgs.h"
#include "LateBound.h"
#include "FormFile.h"
#include "Object.h"
#include "UniqueHandle.h"

namespace kxhost {

class ActiveXControl;
class Control;
class FormContainer;
class Runtime;

class Form : private kx::NonCopyable {
public:
    // The window procedure of the class's windows (each window is given its object at creation).
    static LRESULT CALLBACK WndProc(HWND h, UINT m, WPARAM w, LPARAM l);
    using Handler = std::function<void(EventArgs&)>;

    // Creates the form's window and every control on it (each ActiveX
    // control reads its saved properties, an empty bag when the form holds
    // none); nothing is shown yet and Form_Load has not run.
    static std::unique_ptr<Form> Create(Runtime& rt, const FormDesc& desc);
    ~Form();

    // Handlers: source is the form's own name or a control's name; event as
    // VB names it ("Load", "Unload", "Click", "GetEvents", ...).
    void On(const std::wstring& source, const std::wstring& event, Handler h);
    // Runs Form_Load (VB loads a form before its first Show).
    void Load();
    void Show();
    void Hide();
    // Asks the form to close: Form_Unload may cancel. True when it closed.
    bool Unload();

    const std::wstring& Name() const { return name_; }
    // Where the form was read from, as errors about its controls name it
    // (the form's name when it was built in code).
    const std::wstring& Source() const { return desc_.source.empty() ? name_ : desc_.source; }
    HWND hwnd() const { return hwnd_.get(); }
    Runtime& runtime() const { return rt_; }
    IDispatch* Dispatch() const { return object_.Get(); }
    Object AsObject() const { return Object(Dispatch()); }
    // What the ActiveX controls' sites give as their container.
    IOleContainer* Container() const;

    // Every control in form order.
    const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }
    Control* Find(const std::wstring& name, std::optional<LONG> index = std::nullopt) const;
    template <class T>
    T& Get(const std::wstring& name, std::optional<LONG> index = std::nullopt) const {
        T* c = dynamic_cast<T*>(Find(name, index));
        if (!c) throw kx::RaisedError(NotFound(name));
        return *c;
    }
    // The automation object of a named control (the extender of an ActiveX control).
    Object Ctl(const std::wstring& name, std::optional<LONG> index = std::nullopt) const;

    // Raises an event to the registered handler; errors the handler does not
    // catch go to the runtime's unhandled-error handling. False when no handler.
    bool Raise(const std::wstring& source, const std::wstring& event, EventArgs& args);
    // The same for names already in upper case, as an event sink keeps them:
    // what raises an event on every window message looks it up without a copy.
    bool RaiseUpper(const std::wstring& sourceUpper, const std::wstring& eventUpper, EventArgs& args);

    // Font and scale shared by the form's controls.
    HFONT FontFor(const std::vector<Property>& props) const;

    // Places a new ActiveX control on the form (design time: fresh starts it with InitNew).
    ActiveXControl& AddControl(const ControlDesc& desc, bool fresh);

    // Marks the form changed (a control's property changed in the designer).
    void SetDirty(bool d = true) { dirty_ = d; }
    bool Dirty() const { return dirty_; }
    // The form as a saved form, with each ActiveX control's current properties.
    FormDesc Describe() const;

private:
    Form(Runtime& rt, const FormDesc& desc);
    LRESULT Handle(HWND h, UINT m, WPARAM w, LPARAM l);
    void CreateWindowAndControls();
    void DefineMembers();
    static kx::AutomationError NotFound(const std::wstring& name);

    Runtime& rt_;
    FormDesc desc_;
    std::wstring name_;
    kx::UniqueHwnd hwnd_;
    kx::ComPtr<kx::AutoObject> object_;
    kx::ComPtr<IDispatch> controlsCollection_;
    kx::ComPtr<FormContainer> container_;
    std::vector<std::unique_ptr<Control>> controls_;
    // Keyed by (source, event) in upper case: a pair, so that names with
    // underscores cannot meet ("A_B"+"C" and "A"+"B_C").
    // Looked up by a pair of references too, so that a look-up copies no name.
    struct KeyLess {
        using is_transparent = void;
        template <class A, class B>
        bool operator()(const A& a, const B& b) const {
            return std::tie(a.first, a.second) < std::tie(b.first, b.second);
        }
    };
    std::map<std::pair<std::wstring, std::wstring>, Handler, KeyLess> handlers_;
    mutable std::vector<std::pair<LOGFONTW, kx::UniqueGdi>> fonts_;
    bool dirty_ = false;
    bool unloading_ = false;
};

} // namespace kxhost
