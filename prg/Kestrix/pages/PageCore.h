// What every property page of the control does for the property-page
// frame: its window (a child form built from a layout table), the objects
// the frame selected, the changed flag, and applying. PropertyPage.h gives
// it its COM face; each page adds its handlers (KestrixProp1.cpp...).
//
// The changed flag is told to the frame through the page site
// (PROPPAGESTATUS_DIRTY, PROPPAGESTATUS_CLEAN). A frame that is a property
// sheet (the system's frame) also hears PSM_CHANGED / PSM_UNCHANGED, and the
// page applies itself on the sheet's PSN_APPLY: Wine's frame never asks a
// page whether it is dirty nor tells it to apply.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <string>
#include <vector>

#include "ComPtr.h"
#include "FormDialog.h"
#include "FormLayout.h"
#include "LateBound.h"

namespace kestrix::pages {

struct PageLayout {
    const wchar_t* caption;
    LONG width, height; // client area, twips
    const forms::ChildDesc* children;
    size_t childCount;
    int keyedList; // the list whose keys mark the page changed; 0: none
};

// "ＭＳ ゴシック" 11.25 pt, the font of every page.
extern const forms::FontDesc kPageFont;

class PageCore : public forms::FormDialog {
public:
    // IPropertyPage2 as the COM face forwards it; each is a COM boundary.
    HRESULT SetPageSite(IPropertyPageSite* site) noexcept;
    HRESULT Activate(HWND parent, LPCRECT rect, BOOL modal) noexcept;
    HRESULT Deactivate() noexcept;
    HRESULT GetPageInfo(PROPPAGEINFO* info) noexcept;
    HRESULT SetObjects(ULONG count, IUnknown** objects) noexcept;
    HRESULT Show(UINT cmd) noexcept;
    HRESULT Move(LPCRECT rect) noexcept;
    HRESULT IsPageDirty() noexcept;
    HRESULT Apply() noexcept;
    HRESULT TranslateAccelerator(MSG* msg) noexcept;

protected:
    PageCore(const PageLayout& layout, HMODULE module);
    ~PageCore() override;

    // ---- for the handlers
    // Element 0 of the frame's selection; raises error 91 without one.
    kx::ComPtr<IDispatch> Selected() const;
    const wchar_t* Caption() const { return layout_.caption; }
    void MarkChanged();
    void ClearChanged();
    // A message box titled with the library's title.
    void Message(const std::wstring& text, UINT style) const;
    // List box helpers: the current row is the caret (focus) row.
    LONG Rows(int list) const;
    bool RowSelected(int list, LONG row) const;
    void AddRow(int list, const std::wstring& text);
    std::wstring RowText(int list, LONG row) const;
    LONG CurrentRow(int list) const;
    void SetLabel(int id, const std::wstring& text);

    // ---- the page's handlers; they may raise (kx::RaisedError)
    virtual void SelectionChanged() = 0;
    virtual void ApplyChanges() = 0;
    // WM_COMMAND from a child: clicks, changes.
    virtual void Command(int id, WORD code) = 0;

private:
    BOOL OnInit() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR* result) override;
    static LRESULT CALLBACK FrameProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    static LRESULT CALLBACK ListKeysProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    LRESULT ApplyForSheet();
    void ReportError(const kx::AutomationError& e) const;
    HWND Sheet() const;
    void Unhook();
    void Tell(DWORD status);

    const PageLayout& layout_;
    HMODULE module_;
    kx::ComPtr<IPropertyPageSite> site_;
    std::vector<kx::ComPtr<IUnknown>> objects_;
    HWND parent_ = nullptr; // the frame's window of this page, while hooked
    bool dirty_ = false;
    forms::FontSet fonts_;
};

} // namespace kestrix::pages
