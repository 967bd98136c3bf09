#include "PageFixture.h"

#include <algorithm>

#include "Ansi.h"
#include "Bstr.h"
#include "Control.h"
#include "FormFile.h"
#include "Object.h"

namespace kxtest {

// ---- the page site and the page ---------------------------------------------------

STDMETHODIMP TestPageSite::OnStatusChange(DWORD flags) {
    statuses.push_back(flags);
    return S_OK;
}

STDMETHODIMP TestPageSite::GetLocaleID(LCID* lcid) {
    if (!lcid) return E_POINTER;
    *lcid = LOCALE_USER_DEFAULT;
    return S_OK;
}

STDMETHODIMP TestPageSite::GetPageContainer(IUnknown** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

PageDriver::PageDriver(const CLSID& clsid, std::vector<IDispatch*> objects) {
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&page_));
    if (FAILED(hr)) {
        ADD_FAILURE() << "page not created: 0x" << std::hex << hr;
        return;
    }
    TestPageSite::Make(site_);
    EXPECT_HRESULT_SUCCEEDED(page_->SetPageSite(site_.Get()));
    std::vector<IUnknown*> unknowns(objects.begin(), objects.end());
    EXPECT_HRESULT_SUCCEEDED(page_->SetObjects(static_cast<ULONG>(unknowns.size()), unknowns.data()));
}

PageDriver::~PageDriver() {
    if (page_) {
        page_->Deactivate();
        page_->SetObjects(0, nullptr);
        page_->SetPageSite(nullptr);
    }
}

HRESULT PageDriver::Activate() {
    if (!page_) return E_POINTER;
    PROPPAGEINFO info{};
    info.cb = sizeof info;
    HRESULT hr = page_->GetPageInfo(&info);
    if (FAILED(hr)) return hr;
    CoTaskMemFree(info.pszTitle);
    RECT r{0, 0, info.size.cx + 16, info.size.cy + 40};
    parent_.reset(CreateWindowExA(0, "STATIC", "PageHost", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE | WS_CLIPCHILDREN,
                                  40, 40, r.right, r.bottom, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    RECT at{0, 0, info.size.cx, info.size.cy};
    hr = page_->Activate(parent_.get(), &at, TRUE);
    if (hwnd()) page_->Show(SW_SHOW);
    return hr;
}

HWND PageDriver::hwnd() const { return parent_ ? FindWindowExA(parent_.get(), nullptr, "#32770", nullptr) : nullptr; }
HWND PageDriver::Item(int id) const { return GetDlgItem(hwnd(), id); }

std::wstring PageDriver::Text(int id) const {
    HWND h = Item(id);
    const int n = GetWindowTextLengthA(h);
    std::string s(static_cast<size_t>(n > 0 ? n : 0) + 1, '\0');
    const int got = GetWindowTextA(h, &s[0], n + 1);
    s.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return kx::FromAnsi(s);
}

std::wstring PageDriver::ErrorText() {
    kx::ComPtr<IErrorInfo> info;
    kx::Bstr text;
    if (GetErrorInfo(0, &info) != S_OK || !info) return L"";
    info->GetDescription(text.put());
    return text.str();
}

void PageDriver::Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }

LONG PageDriver::Rows(int list) const { return static_cast<LONG>(SendMessageA(Item(list), LB_GETCOUNT, 0, 0)); }

std::wstring PageDriver::Row(int list, LONG i) const {
    const LRESULT n = SendMessageA(Item(list), LB_GETTEXTLEN, i, 0);
    if (n < 0) return L"<no row>";
    std::string s(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(Item(list), LB_GETTEXT, i, reinterpret_cast<LPARAM>(&s[0]));
    s.resize(static_cast<size_t>(n));
    return kx::FromAnsi(s);
}

LONG PageDriver::SelectedCount(int list) const {
    return static_cast<LONG>(SendMessageA(Item(list), LB_GETSELCOUNT, 0, 0));
}

LONG PageDriver::CurrentRow(int list) const {
    return static_cast<LONG>(SendMessageA(Item(list), LB_GETCARETINDEX, 0, 0));
}

void PageDriver::SelectRows(int list, const std::vector<LONG>& rows) {
    HWND l = Item(list);
    SendMessageA(l, LB_SETSEL, FALSE, -1);
    for (LONG r : rows) SendMessageA(l, LB_SETSEL, TRUE, r);
    if (!rows.empty()) SendMessageA(l, LB_SETCARETINDEX, static_cast<WPARAM>(rows.back()), FALSE);
    SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE), reinterpret_cast<LPARAM>(l));
}

void PageDriver::MakeCurrent(int list, LONG row) {
    HWND l = Item(list);
    SendMessageA(l, LB_SETCARETINDEX, static_cast<WPARAM>(row), FALSE);
    SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE), reinterpret_cast<LPARAM>(l));
}

void PageDriver::SetCheck(int id, bool checked) {
    const bool now = SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (now != checked) Click(id);
}

void PageDriver::Type(int id, const std::wstring& text) { SetWindowTextA(Item(id), kx::ToAnsi(text).c_str()); }

// ---- scripts inside modal loops ----------------------------------------------------

namespace {
ModalScript* g_script = nullptr;
bool g_kestrixLoaded = false;
} // namespace

bool KestrixLoadedInProcess() { return g_kestrixLoaded; }
void NoteKestrixLoaded() { g_kestrixLoaded = true; }

ModalScript::ModalScript(Finder find, std::vector<Step> steps, std::function<void(HWND)> giveUp, DWORD ms)
    : find_(std::move(find)), steps_(std::move(steps)), giveUp_(std::move(giveUp)), deadline_(GetTickCount() + ms) {
    outer_ = g_script;
    g_script = this;
    timer_ = SetTimer(nullptr, 0, 50, Tick);
}

ModalScript::~ModalScript() {
    KillTimer(nullptr, timer_);
    g_script = outer_;
}

void ModalScript::Check() const {
    EXPECT_TRUE(seen_) << "the window never appeared";
    EXPECT_FALSE(timedOut_) << "the script stopped at step " << next_;
    EXPECT_EQ(next_, steps_.size());
}

void CALLBACK ModalScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalScript* s = g_script;
    // A step may itself wait in a modal loop of its own: no second entry.
    if (!s || s->busy_) return;
    HWND w = s->find_();
    if (!w) return;
    s->seen_ = true;
    s->busy_ = true;
    if (GetTickCount() > s->deadline_) {
        s->timedOut_ = true;
        s->giveUp_(w);
    } else if (s->next_ < s->steps_.size() && s->steps_[s->next_](w)) {
        ++s->next_;
    }
    s->busy_ = false;
}

// ---- the fixture ------------------------------------------------------------------

void PageTest::SetUp() {
    ASSERT_TRUE(RegisterOcx()) << "Kestrix.OCX could not be registered";
    // The library's own boxes only: the frame and the version dialog stay.
    boxes_ = std::make_unique<BoxAnswerer>(L"Kestrix");
}

kxhost::Form& PageTest::LoadDemlet1() {
    LoadForm(kxhost::LoadFormFile(ExeDir() + L"DragDropFrm.frm"), kxhost::Mode::Design, L"Demlet1");
    g_kestrixLoaded = true;
    form_->Show();
    return *form_;
}

kxhost::Form& PageTest::LoadText(const std::wstring& text, kxhost::Mode mode) {
    LoadForm(kxhost::ParseForm(text, L"Test.frm"), mode, L"PageTests");
    g_kestrixLoaded = true;
    form_->Show();
    return *form_;
}

std::unique_ptr<kxhost::Form> PageTest::LoadAnother(const std::wstring& text) {
    auto f = kxhost::Form::Create(*rt_, kxhost::ParseForm(text, L"Another.frm"));
    g_kestrixLoaded = true;
    f->Show();
    return f;
}

IDispatch* PageTest::Ext(const std::wstring& name) const {
    kxhost::Control* c = form_ ? form_->Find(name) : nullptr;
    return c ? c->Dispatch() : nullptr;
}

std::wstring PageTest::Get(const std::wstring& prop, const std::wstring& ctl) const {
    return kxhost::Object(Ext(ctl)).Call(prop.c_str()).AsString();
}

} // namespace kxtest
