// The child windows of our forms (property pages, the version dialog) as
// tables: kind, caption, position in twips, tab index and font, the way the
// form designer keeps them. Controls are ANSI windows; captions are UTF-16
// here and reach the window through the ANSI code page.
#pragma once
#include <windows.h>
#include <cstddef>
#include <string>
#include <vector>

#include "UniqueHandle.h"

namespace kestrix::forms {

enum class Kind { Label, ListBox, TextBox, Button, CheckBox };

struct FontDesc {
    const wchar_t* face;
    int centipoints; // 1125 is 11.25 pt
    bool bold;
};

struct ChildDesc {
    int id; // control id, as WM_COMMAND names it
    Kind kind;
    const wchar_t* caption; // nullptr: none
    LONG left, top, width, height; // twips
    int tabIndex;
    const FontDesc* font; // nullptr: the form's font
};

// The fonts of one form, alive as long as its windows.
class FontSet {
public:
    HFONT Get(const FontDesc& desc);

private:
    struct Entry {
        const FontDesc* desc;
        kx::UniqueGdi font;
    };
    std::vector<Entry> fonts_;
};

// Creates the children in tab order, so that the order of the windows is
// the tab order, each with its font. False when a window could not be made.
bool CreateChildren(HWND parent, const ChildDesc* children, size_t count, const FontDesc& formFont, FontSet& fonts);

// Window text through the ANSI code page.
void SetText(HWND window, const std::wstring& text);
std::wstring GetText(HWND window);

} // namespace kestrix::forms
