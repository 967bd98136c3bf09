// What the page and version-dialog tests share: Kestrix.OCX registered
// from beside the test program, Demlet1's saved form (or another) loaded
// in design mode by the form runtime, a page of the OCX driven through its
// COM interface with a page site of our own, and the message boxes the
// code under test shows, read and answered.
#pragma once
#include <windows.h>
#include "NonCopyable.h"
#include <ocidl.h>
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ComObject.h"
#include "FormTest.h"
#include "MessageBoxes.h"
#include "TestPaths.h"
#include "ComPtr.h"
#include "Form.h"
#include "Runtime.h"
#include "UniqueHandle.h"

namespace kxtest {

// Registers Kestrix.OCX (beside the test program) once per process.
inline bool RegisterOcx() { return RegisterDllOnce(L"Kestrix.OCX"); }

// The page site: records every status the page reports.
class TestPageSite : public kx::ComObject<TestPageSite, IPropertyPageSite> {
public:
    STDMETHODIMP OnStatusChange(DWORD flags) override;
    STDMETHODIMP GetLocaleID(LCID* lcid) override;
    STDMETHODIMP GetPageContainer(IUnknown** out) override;
    STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }
    std::vector<DWORD> statuses;

private:
    friend class kx::ComObject<TestPageSite, IPropertyPageSite>;
    TestPageSite() = default;
};

// One property page of the OCX, created by its class id through the
// registry, with a site of ours, the given objects, and shown in a window
// of ours.
class PageDriver : private kx::NonCopyable {
public:
    PageDriver(const CLSID& clsid, std::vector<IDispatch*> objects);
    ~PageDriver();

    // Activates (which fills) and shows the page; the HRESULT of Activate.
    HRESULT Activate();
    IPropertyPage2* page() const { return page_.Get(); }
    HWND hwnd() const; // the page's own window
    HWND Item(int id) const; // one of its controls
    std::wstring Text(int id) const;
    bool Dirty() const { return page_->IsPageDirty() == S_OK; }
    const std::vector<DWORD>& Statuses() const { return site_->statuses; }
    HRESULT Apply() { return page_->Apply(); }
    // The description of the error the last failed call set.
    static std::wstring ErrorText();

    // A click on a button, as the user makes it.
    void Click(int id);
    // Rows of a list box.
    LONG Rows(int list) const;
    std::wstring Row(int list, LONG i) const;
    LONG SelectedCount(int list) const;
    LONG CurrentRow(int list) const;
    // Selects rows (and no others) and tells the page as a click does.
    void SelectRows(int list, const std::vector<LONG>& rows);
    // Makes a row current, as clicking it does, without changing selections.
    void MakeCurrent(int list, LONG row);
    void SetCheck(int id, bool checked);
    void Type(int id, const std::wstring& text);

private:
    kx::ComPtr<IPropertyPage2> page_;
    kx::ComPtr<TestPageSite> site_;
    kx::UniqueHwnd parent_;
};

// Steps run by a thread timer inside a modal loop (a property frame, a
// dialog) while find() gives its window: each step returns true when done,
// false to be tried again at the next tick. Past the deadline giveUp()
// ends the modal loop, so that a test never waits for a user.
class ModalScript : private kx::NonCopyable {
public:
    using Finder = std::function<HWND()>;
    using Step = std::function<bool(HWND window)>;
    ModalScript(Finder find, std::vector<Step> steps, std::function<void(HWND)> giveUp, DWORD ms = 20000);
    ~ModalScript();
    // Every step ran, before the deadline.
    void Check() const;
    bool WindowSeen() const { return seen_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    Finder find_;
    std::vector<Step> steps_;
    std::function<void(HWND)> giveUp_;
    size_t next_ = 0;
    DWORD deadline_;
    bool seen_ = false;
    bool timedOut_ = false;
    bool busy_ = false;
    UINT_PTR timer_ = 0;
    ModalScript* outer_ = nullptr;
};

// Whether a form with a Kestrix control has been loaded in this process
// (the control does some things once per thread's store, and this test
// program loads its forms on one thread).
bool KestrixLoadedInProcess();
void NoteKestrixLoaded();

// A runtime in design mode with a loaded form.
class PageTest : public FormTest {
protected:
    void SetUp() override;

    // Demlet1's saved form, DragDropFrm, with its Kestrix1.
    kxhost::Form& LoadDemlet1();
    // A saved form given as text.
    kxhost::Form& LoadText(const std::wstring& text, kxhost::Mode mode = kxhost::Mode::Design);
    // Another form of the same program.
    std::unique_ptr<kxhost::Form> LoadAnother(const std::wstring& text);
    // The extender of a control of the loaded form, as the designer selects it.
    IDispatch* Ext(const std::wstring& name = L"Kestrix1") const;
    std::wstring Get(const std::wstring& prop, const std::wstring& ctl = L"Kestrix1") const;
};

} // namespace kxtest
