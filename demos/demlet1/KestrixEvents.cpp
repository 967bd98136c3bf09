// What Kestrix1 reports: focus moves and two keys from GetEvents, and files
// dropped on the form, listed and sent over the link.
#include "Demlet1.h"
#include "Control.h"

namespace demlet1 {

using kxhost::Object;

namespace {

// One statement of a handler that ignores its errors: a statement that
// fails is skipped and the handler goes on with the next one.
template <class Statement>
void Resume(Statement&& statement) noexcept {
    try {
        statement();
    } catch (...) {
        // On Error Resume Next: the handler goes on with its next statement
    }
}

bool IsForm(const kxhost::Runtime& rt, const Object& object) {
    for (kxhost::Form* f : rt.Forms()) {
        if (f && object.Is(f->AsObject())) return true;
    }
    return false;
}

// Adds an item at the end of List1 and selects it, each step on its own.
void ListAndSelect(const kxhost::Form& form, const std::wstring& item) {
    Object list;
    Resume([&] { list = form.Ctl(L"List1"); });
    Resume([&] { list.Call(L"AddItem", {item}); });
    Resume([&] { list.Let(L"ListIndex", list.Call(L"NewIndex")); });
}

} // namespace

std::wstring FocusMovedItem(const std::wstring& from, const std::wstring& to) {
    return from + L"から" + to + L"へフォーカスが移動しました(GotFocus,LostFocusは使ってません)";
}

std::wstring KeyItem(const std::wstring& control, LONG virtualKey) {
    if (virtualKey == VK_SHIFT) return control + L"で" + L"SHIFTキーが押されました";
    if (virtualKey == VK_NUMLOCK) return control + L"で" + L"NumLockキーが押されました";
    return std::wstring();
}

std::wstring NotFoundMessage(const std::wstring& linkName) {
    return L"通信名：'" + linkName + L"'のKestrixｺﾝﾄﾛｰﾙが見つかりません";
}

void Kestrix1_GetEvents(kxhost::Form& form, kxhost::EventArgs& args) {
    LONG eventValue = 0;
    LONG_PTR parameter1 = 0; // LongPtr: in a 64-bit program a window handle
    Resume([&] { eventValue = args.Long(1); });
    Resume([&] { parameter1 = args.LongPtr(2); });

    if (eventValue == WM_KILLFOCUS) {
        // The focus goes from Control to the window in Parameter1.
        std::wstring from;
        Resume([&] { from = args.Obj(0).Call(L"Name").AsString(); });
        bool toForm = false;
        Resume([&] { toForm = parameter1 == form.AsObject().Call(L"hwnd").AsLongPtr(); });
        if (toForm) {
            ListAndSelect(form, FocusMovedItem(from, form.Name()));
        } else {
            // Every control with that window, not only the first.
            std::vector<const kxhost::Control*> controls;
            Resume([&] {
                for (const auto& c : form.Controls()) controls.push_back(c.get());
            });
            for (const kxhost::Control* c : controls) {
                if (!c || std::wstring(c->Kind()) == L"Label") continue;
                bool match = false;
                Resume([&] { match = reinterpret_cast<LONG_PTR>(c->hwnd()) == parameter1; });
                if (match) ListAndSelect(form, FocusMovedItem(from, c->Name()));
            }
        }
    }

    if (eventValue == WM_KEYDOWN && (parameter1 == VK_SHIFT || parameter1 == VK_NUMLOCK)) {
        std::wstring control;
        Resume([&] { control = args.Obj(0).Call(L"Name").AsString(); });
        ListAndSelect(form, KeyItem(control, parameter1));
    }
    // Cancel is never set: every message goes on to its window.
}

void Kestrix1_FileDrop(kxhost::Form& form, kxhost::EventArgs& args) {
    // Only drops on the form itself are listed and sent.
    if (!IsForm(form.runtime(), args.Obj(0))) return;
    const LONG fileCount = args.Long(2);
    // A drop always carries a file; an empty one has nothing to list or send.
    if (fileCount <= 0) return;
    const std::vector<std::wstring> files = args.Strings(1);
    if (files.size() < static_cast<size_t>(fileCount)) throw kx::RaisedError(kx::ErrorFromStatus(DISP_E_BADINDEX));

    const Object list = form.Ctl(L"List1");
    std::wstring joined;
    for (LONG i = 0; i < fileCount; ++i) {
        list.Call(L"AddItem", {files[static_cast<size_t>(i)]});
        joined += L"," + files[static_cast<size_t>(i)];
    }
    joined.erase(0, 1);
    list.Let(L"ListIndex", list.Call(L"NewIndex"));
    form.AsObject().Call(L"SetFocus");

    const Object kestrix = form.Ctl(L"Kestrix1");
    const std::wstring linkName = kestrix.Call(L"LinkName").AsString();
    if (!kestrix.Call(L"LinkSend", {linkName, joined}).AsBool())
        form.runtime().MsgBox(NotFoundMessage(linkName), MB_OK, kTitle);
}

} // namespace demlet1
