#include "Designer.h"
#include "WindowProc.h"
#include "ReturnIf.h"
#include "ExcepInfo.h"
#include "ActiveXControl.h"
#include "Ansi.h"
#include "LateBound.h"
#include "Text.h"
#include <commdlg.h>
#include <olectl.h>

namespace kxhost {

namespace {

const char kDesignerClass[] = "KestrixDesigner";

enum MenuId : WORD {
    kOpen = 100,
    kSave,
    kSaveAs,
    kExit,
    kPlace,
    kProperties,
    kAbout,
    kControlList = 200,
};

HMENU BuildMenu() {
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kOpen, L"開く(&O)...");
    AppendMenuW(file, MF_STRING, kSave, L"上書き保存(&S)");
    AppendMenuW(file, MF_STRING, kSaveAs, L"名前を付けて保存(&A)...");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, kExit, L"終了(&X)");
    HMENU insert = CreatePopupMenu();
    AppendMenuW(insert, MF_STRING, kPlace, L"Kestrix コントロールを配置(&K)");
    HMENU view = CreatePopupMenu();
    AppendMenuW(view, MF_STRING, kProperties, L"プロパティ ページ(&P)...");
    AppendMenuW(view, MF_STRING, kAbout, L"バージョン情報(&B)...");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"ファイル(&F)");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(insert), L"挿入(&I)");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"表示(&V)");
    return bar;
}

void Register() {
    static const ATOM atom = kx::RegisterObjectClass(kDesignerClass, Designer::WndProc, COLOR_APPWORKSPACE);
    (void)atom;
}

} // namespace

std::wstring Designer::TitleFor(const std::wstring& project) {
    return project + L" - Microsoft Visual Basic [デザイン]";
}

Designer::Designer(Runtime& rt, std::wstring project) : rt_(rt), project_(std::move(project)) {
    Register();
    HWND h = CreateWindowExA(0, kDesignerClass, kx::ToAnsi(TitleFor(project_)).c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 360,
                             300, nullptr, BuildMenu(), GetModuleHandleA(nullptr), this);
    if (!h) throw kx::RaisedError(kx::ErrorFromStatus(HRESULT_FROM_WIN32(GetLastError())));
    hwnd_.reset(h);
    // The designer's window keeps the program running while it lives, with or without a form.
    rt_.Hold();
    list_ = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, 8, 8, 330,
                            220, h, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlList)),
                            GetModuleHandleA(nullptr), nullptr);
}

Designer::~Designer() {
    form_.reset();
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_.get(), GWLP_USERDATA, 0);
        hwnd_.reset();
        rt_.Unhold();
    }
}

void Designer::Open(const std::wstring& path) {
    OpenDesc(LoadFormFile(path));
    path_ = path;
}

void Designer::OpenDesc(const FormDesc& desc) {
    form_.reset();
    selected_.clear();
    selectedIndex_.reset();
    form_ = Form::Create(rt_, desc);
    form_->Show();
    for (const auto& c : form_->Controls()) {
        if (dynamic_cast<ActiveXControl*>(c.get())) {
            Select(c->Name(), c->Index());
            break;
        }
    }
    RefreshList();
}

ActiveXControl& Designer::PlaceControl(const std::wstring& progId, const std::wstring& name, LONG left, LONG top) {
    if (!form_) {
        FormDesc blank;
        blank.name = L"Form1";
        OpenDesc(blank);
    }
    ControlDesc d;
    d.kind = L"Control";
    d.progId = progId;
    d.name = name;
    d.props = {{L"Left", left}, {L"Top", top}};
    ActiveXControl& c = form_->AddControl(d, /*fresh=*/true);
    Select(name);
    form_->SetDirty();
    RefreshList();
    return c;
}

void Designer::Select(const std::wstring& name, std::optional<LONG> index) {
    selected_ = name;
    selectedIndex_ = index;
}

ActiveXControl* Designer::Selected() const {
    return form_ && !selected_.empty() ? dynamic_cast<ActiveXControl*>(form_->Find(selected_, selectedIndex_))
                                       : nullptr;
}

HRESULT Designer::ShowPropertyPages() {
    ActiveXControl* c = Selected();
    if (!c) return E_UNEXPECTED;
    kx::ComPtr<ISpecifyPropertyPages> spp;
    RETURN_IF_FAILED(c->OleObject()->QueryInterface(IID_PPV_ARGS(&spp)));
    CAUUID pages{0, nullptr};
    RETURN_IF_FAILED(spp->GetPages(&pages));
    // A control without pages gets no empty frame (VB greys the menu entry).
    if (pages.cElems == 0) {
        CoTaskMemFree(pages.pElems);
        return S_FALSE;
    }
    // The pages work on what the designer selected: the extender, so that
    // the control's own rules run on every property they write.
    IUnknown* object = c->Dispatch();
    const std::wstring caption = c->Name();
    const HRESULT hr = OleCreatePropertyFrame(hwnd(), 0, 0, caption.c_str(), 1, &object, pages.cElems, pages.pElems,
                                              GetUserDefaultLCID(), 0, nullptr);
    CoTaskMemFree(pages.pElems);
    return hr;
}

HRESULT Designer::ShowAbout() {
    ActiveXControl* c = Selected();
    if (!c || !c->ControlObject()) return E_UNEXPECTED;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    kx::ExcepInfo ei;
    return c->ControlObject()->Invoke(DISPID_ABOUTBOX, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                                      ei.get(), nullptr);
}

void Designer::Save(const std::wstring& path) {
    if (!form_) return;
    SaveFormFile(form_->Describe(), path);
    path_ = path;
    form_->SetDirty(false);
}

void Designer::RefreshList() {
    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    if (!form_) return;
    for (const auto& c : form_->Controls()) {
        std::wstring line = c->Name();
        if (c->Index()) line += L"(" + std::to_wstring(*c->Index()) + L")";
        line += L" - ";
        line += c->Kind();
        const LRESULT at = SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kx::ToAnsi(line).c_str()));
        if (c->Name() == selected_ && c->Index() == selectedIndex_) SendMessageA(list_, LB_SETCURSEL, at, 0);
    }
}

std::wstring Designer::AskPath(bool save) {
    char file[MAX_PATH * 4] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hwnd();
    ofn.lpstrFilter = "Saved forms (*.frm)\0*.frm\0All files\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.Flags = save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
    const BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    return ok ? kx::FromAnsi(file) : std::wstring();
}

void Designer::Command(WORD id) {
    try {
        switch (id) {
        case kOpen: {
            const std::wstring p = AskPath(false);
            if (!p.empty()) Open(p);
            break;
        }
        case kSave: {
            const std::wstring p = path_.empty() ? AskPath(true) : path_;
            if (!p.empty()) Save(p);
            break;
        }
        case kSaveAs: {
            const std::wstring p = AskPath(true);
            if (!p.empty()) Save(p);
            break;
        }
        case kExit:
            PostMessageA(hwnd(), WM_CLOSE, 0, 0);
            break;
        case kPlace: {
            int n = 1;
            while (form_ && form_->Find(L"Kestrix" + std::to_wstring(n))) ++n;
            PlaceControl(L"Kestrix32.Kestrix", L"Kestrix" + std::to_wstring(n));
            break;
        }
        case kProperties:
            ShowPropertyPages();
            break;
        case kAbout:
            ShowAbout();
            break;
        default:
            break;
        }
    } catch (const FormFileError& e) {
        rt_.MsgBox(e.text(), MB_OK | MB_ICONEXCLAMATION);
    } catch (const kx::RaisedError& e) {
        rt_.MsgBox(e.error().description, MB_OK | MB_ICONEXCLAMATION);
    }
}

LRESULT CALLBACK Designer::WndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return kx::ObjectWindowMessage(h, m, w, l, &Designer::Handle);
}

LRESULT Designer::Handle(HWND h, UINT m, WPARAM w, LPARAM l) {
    switch (m) {
    case WM_COMMAND:
        if (LOWORD(w) == kControlList && HIWORD(w) == LBN_SELCHANGE) {
            const LRESULT i = SendMessageA(list_, LB_GETCURSEL, 0, 0);
            if (form_ && i >= 0 && static_cast<size_t>(i) < form_->Controls().size()) {
                const Control& c = *form_->Controls()[static_cast<size_t>(i)];
                Select(c.Name(), c.Index());
            }
            return 0;
        }
        if (l == 0) Command(LOWORD(w));
        return 0;
    case WM_CLOSE:
        form_.reset();
        DestroyWindow(h);
        return 0;
    case WM_DESTROY:
        // The window is going: what comes after (WM_NCDESTROY) goes straight to the default procedure.
        SetWindowLongPtrA(h, GWLP_USERDATA, 0);
        hwnd_.release();
        rt_.Unhold();
        return 0;
    default:
        return DefWindowProcA(h, m, w, l);
    }
}

} // namespace kxhost
