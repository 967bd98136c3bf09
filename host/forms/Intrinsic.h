// The intrinsic controls of a form: list box, command button, text box,
// check box (windows of the system's own classes) and the windowless label.
#pragma once
#include "Control.h"

namespace kxhost {

// A control with a window of a system class.
class WindowedControl : public Control {
public:
    WindowedControl(Form& parent, const ControlDesc& desc, const char* cls, DWORD style);
    ~WindowedControl() override;
    HWND hwnd() const override { return hwnd_; }
    void Create() override;
    void SetFocus();
    std::wstring WindowText() const;
    void PutWindowText(const std::wstring& text);

protected:
    virtual void AfterCreate() {}
    HWND hwnd_ = nullptr;

private:
    const char* class_;
    DWORD style_;
};

class ListBox : public WindowedControl {
public:
    ListBox(Form& parent, const ControlDesc& desc);
    const wchar_t* Kind() const override { return L"ListBox"; }
    void AddItem(const std::wstring& item);
    void RemoveItem(LONG index);
    void Clear();
    LONG ListCount() const;
    LONG ListIndex() const;
    void SetListIndex(LONG index);
    std::wstring List(LONG index) const;
    void OnCommand(WORD code) override;

private:
    bool multi_ = false;
    LONG newIndex_ = -1;
};

class CommandButton : public WindowedControl {
public:
    CommandButton(Form& parent, const ControlDesc& desc);
    const wchar_t* Kind() const override { return L"CommandButton"; }
    void Click(); // as a user's click does
    void OnCommand(WORD code) override;
};

class TextBox : public WindowedControl {
public:
    TextBox(Form& parent, const ControlDesc& desc);
    const wchar_t* Kind() const override { return L"TextBox"; }
    std::wstring Text() const { return WindowText(); }
    void SetText(const std::wstring& t) { PutWindowText(t); }
    void OnCommand(WORD code) override;
};

class CheckBox : public WindowedControl {
public:
    CheckBox(Form& parent, const ControlDesc& desc);
    const wchar_t* Kind() const override { return L"CheckBox"; }
    LONG Value() const;
    void SetValue(LONG v);
    void OnCommand(WORD code) override;

protected:
    void AfterCreate() override;
};

class Label : public Control {
public:
    Label(Form& parent, const ControlDesc& desc);
    const wchar_t* Kind() const override { return L"Label"; }
    HWND hwnd() const override { return nullptr; }
    void Create() override {}
    void Paint(HDC dc) override;
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& c);

private:
    std::wstring caption_;
};

} // namespace kxhost
