#include "FormLayout.h"
#include "Units.h"

#include <algorithm>
#include <string>

#include "Ansi.h"

namespace kestrix::forms {

namespace {

struct WindowKind {
    const char* cls;
    DWORD style;
    DWORD exStyle;
};

WindowKind KindOf(Kind k) {
    switch (k) {
    case Kind::Label:
        return {"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case Kind::ListBox:
        // Unsorted, extended multiple selection, as the pages' lists are.
        return {"LISTBOX", LBS_NOTIFY | LBS_EXTENDEDSEL | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case Kind::TextBox:
        return {"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case Kind::Button:
        return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case Kind::CheckBox:
        return {"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    }
    return {"STATIC", 0, 0};
}

} // namespace

HFONT FontSet::Get(const FontDesc& desc) {
    for (const Entry& e : fonts_)
        if (e.desc == &desc) return static_cast<HFONT>(e.font.get());
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(desc.centipoints, kx::ScreenDpi(LOGPIXELSY), 7200);
    lf.lfWeight = desc.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, desc.face, LF_FACESIZE);
    kx::UniqueGdi font(CreateFontIndirectW(&lf));
    HFONT made = static_cast<HFONT>(font.get());
    if (made) fonts_.push_back({&desc, std::move(font)});
    return made;
}

bool CreateChildren(HWND parent, const ChildDesc* children, size_t count, const FontDesc& formFont, FontSet& fonts) {
    std::vector<const ChildDesc*> order;
    for (size_t i = 0; i < count; ++i) order.push_back(&children[i]);
    std::stable_sort(order.begin(), order.end(),
                     [](const ChildDesc* a, const ChildDesc* b) { return a->tabIndex < b->tabIndex; });
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    for (const ChildDesc* s : order) {
        const WindowKind k = KindOf(s->kind);
        const std::string caption = s->caption ? kx::ToAnsi(s->caption) : std::string();
        HWND w = CreateWindowExA(k.exStyle, k.cls, caption.c_str(), WS_CHILD | WS_VISIBLE | k.style,
                                 kx::TwipsToPixelsX(s->left), kx::TwipsToPixelsY(s->top), kx::TwipsToPixelsX(s->width),
                                 kx::TwipsToPixelsY(s->height), parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(s->id)), instance, nullptr);
        if (!w) return false;
        if (HFONT f = fonts.Get(s->font ? *s->font : formFont))
            SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
    }
    return true;
}

void SetText(HWND window, const std::wstring& text) { SetWindowTextA(window, kx::ToAnsi(text).c_str()); }

std::wstring GetText(HWND window) {
    const int n = GetWindowTextLengthA(window);
    if (n <= 0) return std::wstring();
    std::string text(static_cast<size_t>(n) + 1, '\0');
    const int got = GetWindowTextA(window, &text[0], n + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return kx::FromAnsi(text);
}

} // namespace kestrix::forms
