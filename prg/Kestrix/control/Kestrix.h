// Kestrix: the control class. Placed on a form, it turns the window
// messages of the form's controls into GetEvents events. Its property
// values live in its thread's store in KestrixBas, shared by every instance
// of that thread; the instance is mostly the COM face of it.
#pragma once
#include <windows.h>
#include <string>

#include "ControlBase.h"
#include "Kestrix32.h"
#include "PersistedProperties.h"
#include <optional>
#include <vector>

struct Delivery;

namespace kestrix {

extern const kx::ole::ControlClassInfo kKestrixClass;

class Kestrix : public kx::ole::ControlBase<Kestrix, _Kestrix2> {
public:
    // _Kestrix, in slot order
    STDMETHODIMP gFn_ErrMsg(LONG* ml_ErrNo, BSTR* ms_Description, LONG* ml_HelpContext, VARIANT_BOOL* result) override;
    STDMETHODIMP get_TargetControls(BSTR* value) override;
    STDMETHODIMP put_TargetControls(BSTR* value) override;
    STDMETHODIMP EventsStop() override;
    STDMETHODIMP IsEventsStart(VARIANT_BOOL* result) override;
    STDMETHODIMP EventsStart() override;
    STDMETHODIMP DoGetEvents(LONG_PTR* ml_CtlhWnd, LONG* ml_Msg, LONG_PTR* ml_wParam, LONG_PTR* ml_lParam,
                             VARIANT_BOOL* result) override;
    STDMETHODIMP get_TargetEvents(BSTR* value) override;
    STDMETHODIMP put_TargetEvents(BSTR* value) override;
    STDMETHODIMP get_DebugMode(VARIANT_BOOL* value) override;
    STDMETHODIMP put_DebugMode(VARIANT_BOOL* value) override;
    STDMETHODIMP get_FileDropMode(VARIANT_BOOL* value) override;
    STDMETHODIMP put_FileDropMode(VARIANT_BOOL* value) override;
    STDMETHODIMP ShowAboutDlg() override;
    STDMETHODIMP get_DebugFile(BSTR* value) override;
    STDMETHODIMP put_DebugFile(BSTR* value) override;
    STDMETHODIMP GetEventName(LONG* EventValue, BSTR* result) override;
    STDMETHODIMP get_hwnd(LONG_PTR* value) override;
    STDMETHODIMP get_TargetHandle(LONG_PTR* value) override;
    STDMETHODIMP put_TargetHandle(LONG_PTR value) override;
    STDMETHODIMP HandleCheck(LONG_PTR* hwnd, VARIANT_BOOL* result) override;
    STDMETHODIMP LinkSend(BSTR* LinkName, BSTR* LinkData, VARIANT_BOOL* result) override;
    STDMETHODIMP get_LinkName(BSTR* value) override;
    STDMETHODIMP put_LinkName(BSTR value) override;
    // _Kestrix2: answering the message being handled
    STDMETHODIMP get_ReturnValue(LONG_PTR* value) override;
    STDMETHODIMP put_ReturnValue(LONG_PTR value) override;
    STDMETHODIMP CallOriginal(LONG EventValue, LONG_PTR Parameter1, LONG_PTR Parameter2, LONG_PTR* result) override;

    ~Kestrix() override;

private:
    friend ComBase;
    Kestrix();

    // Container events of the control
    HRESULT OnInitNew() override;
    HRESULT OnLoad(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT OnSave(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
    void OnSiteChanged() override;
    void OnSetExtent(SIZEL* himetric) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    bool InvokeDirect(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, HRESULT* hr) override;
    void OnWindowCreated(HWND hwnd) override;

    // The error reporter: a message box at design time, a raised error
    // (kx::RaisedError) at run time. Always "returns False".
    void ErrMsg(LONG number, const std::wstring& text, LONG helpContext);

    // The persisted properties, and what their defaults depend on now.
    static const std::vector<PersistedProperty>& Persisted();
    DefaultNames Defaults(IDispatch* form) const;

    // Container services
    kx::ComPtr<IDispatch> Extender() const; // the extender, or this control itself
    kx::ComPtr<IDispatch> ParentFormOf(IDispatch* extender) const;
    std::wstring FormName(IDispatch* form) const; // the form's Name, "(Nothing)" without one
    std::wstring OwnName() const; // the extender's Name
    bool IsSelf(IDispatch* object) const; // identity with this control's extender
    bool UserModeFromContainer() const;
    void PrepareReceiver(); // run time: child of the form, titled with the link name
    void Terminate() noexcept;

    // Property set operations, with their design-time and run-time rules
    void SetTargetControls(std::wstring v);
    void SetTargetEvents(std::wstring v);
    void SetDebugFile(std::wstring v);
    void SetLinkName(std::wstring v);
    void SetFileDropMode(bool v);
    void SetTargetHandle(LONG_PTR v);
    void SetDebugMode(bool v);
    // The rule of a text that only a designer sets and that cannot be blank.
    struct TextRule {
        LONG runTimeNumber;
        const wchar_t* runTimeText;
        LONG blankNumber;
        const wchar_t* blankText;
        DISPID id;
    };
    void SetRequiredText(std::wstring v, std::wstring& store, const TextRule& rule);

    // Starting a capture: what keeps it from starting comes back as the
    // report it gives (number and text, help context 100).
    struct CaptureReport {
        LONG number;
        std::wstring text;
    };
    void StartCapture();
    std::optional<CaptureReport> CheckCaptureSettings();
    std::optional<CaptureReport> ResolveTargets();
    std::optional<CaptureReport> ResolveName(const std::wstring& name, IDispatch* controls, IDispatch* ext);
    std::optional<CaptureReport> InstallTargets();
    bool CheckHandle(LONG_PTR hwnd);
    bool DeliverEvent(LONG_PTR* hwnd, LONG* msg, LONG_PTR* wp, LONG_PTR* lp);
    // The innermost message of the thread; outside a handler, reported as
    // the mistake it is (at design time shown, and then null).
    Delivery* MessageOrReport();
    void DeliverDrop(IDispatch* control, const std::vector<std::wstring>& files, LONG count);
    bool SendLink(std::wstring& name, const std::wstring& data);
    void ReceiveLink();

    bool terminated_ = false;
    bool sited_ = false;
};

} // namespace kestrix
