// Win32 controls of the settings window.
#include "toolkit/Controls.h"

#include <vector>

#include "toolkit/Application.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Form.h"

namespace toolkit {

Control::Control(Form& form, std::string name, const char* className, DWORD style, const Bounds& bounds,
                 const std::string& text)
    : Component(&form, std::move(name)), form_(form), designed_(bounds) {
    // Each control gets an id of its own: the dialog keys address controls by id.
    const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(form.NextControlId()));
    const Bounds b = ScaleBounds(bounds, form.Dpi());
    hwnd_ = CreateWindowExA(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, b.left, b.top, b.width,
                            b.height, form.Handle(), id, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(form.Font()), FALSE);
    form.AddControl(this);
}

Control::~Control() {
    // A later control made at the same address must not pass for this one.
    Application::Instance().Hints().ControlGone(this);
    form_.RemoveControl(this);
    if (hwnd_)
        DestroyWindow(hwnd_);
}

void Control::ApplyDpi(int dpi) {
    const Bounds b = ScaleBounds(designed_, dpi);
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(form_.Font()), FALSE);
    SetWindowPos(hwnd_, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

bool Control::Enabled() const {
    return IsWindowEnabled(hwnd_) != FALSE;
}

void Control::SetEnabled(bool enabled) {
    EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

std::string Control::Text() const {
    const int length = GetWindowTextLengthA(hwnd_);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(hwnd_, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

void Control::SetText(const std::string& text) {
    SetWindowTextA(hwnd_, text.c_str());
}

GroupBox::GroupBox(Form& form, std::string name, const Bounds& bounds, const std::string& caption)
    : Control(form, std::move(name), "BUTTON", BS_GROUPBOX, bounds, caption) {}

// BS_NOTIFY: a focused button shows itself as the default one, so Enter
// presses the button that has the focus, as in any dialog.
Button::Button(Form& form, std::string name, const Bounds& bounds, const std::string& caption)
    : Control(form, std::move(name), "BUTTON", BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP, bounds, caption) {}

void Button::Click() {
    if (OnClick)
        OnClick();
}

void Button::Notify(WORD code) {
    switch (code) {
    case BN_CLICKED:
        Click();
        break;
    case BN_SETFOCUS:
        SendMessageA(hwnd_, BM_SETSTYLE, BS_DEFPUSHBUTTON | BS_NOTIFY, TRUE);
        break;
    case BN_KILLFOCUS:
        SendMessageA(hwnd_, BM_SETSTYLE, BS_PUSHBUTTON | BS_NOTIFY, TRUE);
        break;
    }
}

// BS_CHECKBOX, not BS_AUTOCHECKBOX: the state changes here, so the click
// handler runs for the user's changes and the program's alike.
CheckBox::CheckBox(Form& form, std::string name, const Bounds& bounds, const std::string& caption)
    : Control(form, std::move(name), "BUTTON", BS_CHECKBOX | WS_TABSTOP, bounds, caption) {}

void CheckBox::SetChecked(bool checked) {
    if (checked == checked_)
        return;
    checked_ = checked;
    SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (OnClick)
        OnClick();
}

void CheckBox::Notify(WORD code) {
    if (code == BN_CLICKED)
        SetChecked(!checked_);
}

ComboBox::ComboBox(Form& form, std::string name, const Bounds& bounds, int itemHeight)
    // The height given is the edit part's; the drop-down needs room below it.
    : Control(form, std::move(name), "COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
              Bounds{bounds.left, bounds.top, bounds.width, bounds.height + 8 * (itemHeight + 2)}, ""),
      itemHeight_(itemHeight) {
    SendMessageA(hwnd_, CB_SETITEMHEIGHT, 0, ScaleForDpi(itemHeight, form.Dpi()));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(hwnd_, &info) && info.hwndItem) {
        edit_ = info.hwndItem;
        SetWindowLongPtrA(edit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        editProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ComboBox::EditProc)));
    }
}

ComboBox::~ComboBox() {
    if (edit_ && editProc_) {
        SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc_));
        SetWindowLongPtrA(edit_, GWLP_USERDATA, 0);
    }
}

// The list's items grow with the font; the whole height, drop-down included,
// scales, which leaves room for eight of them.
void ComboBox::ApplyDpi(int dpi) {
    Control::ApplyDpi(dpi);
    SendMessageA(hwnd_, CB_SETITEMHEIGHT, 0, ScaleForDpi(itemHeight_, dpi));
}

int ComboBox::Count() const {
    const LRESULT n = SendMessageA(hwnd_, CB_GETCOUNT, 0, 0);
    return n < 0 ? 0 : static_cast<int>(n);
}

std::string ComboBox::Item(int index) const {
    const LRESULT length = SendMessageA(hwnd_, CB_GETLBTEXTLEN, index, 0);
    if (length < 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(hwnd_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

void ComboBox::Add(const std::string& item) {
    const LRESULT r = SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (r == CB_ERR || r == CB_ERRSPACE)
        throw toolkit::OutOfResourcesError("Unable to insert a line");
}

void ComboBox::Delete(int index) {
    SendMessageA(hwnd_, CB_DELETESTRING, index, 0);
}

void ComboBox::Clear() {
    // CB_RESETCONTENT would also clear the edit text, which must stay.
    const std::string text = Text();
    SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
    SetText(text);
}

int ComboBox::FindExact(const std::string& text) const {
    const LRESULT r = SendMessageA(hwnd_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(text.c_str()));
    return r == CB_ERR ? -1 : static_cast<int>(r);
}

void ComboBox::BeginUpdate() {
    if (updating_++ == 0)
        SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
}

void ComboBox::EndUpdate() {
    if (updating_ > 0 && --updating_ == 0) {
        SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

// Completes the typed text to the first item that begins with it, letter case
// ignored (also for accented letters, which the list's own prefix search
// treats case-sensitively on some systems), selecting the added remainder.
void ComboBox::AutoComplete() {
    const int length = GetWindowTextLengthA(edit_);
    std::string typed(static_cast<size_t>(length) + 1, '\0');
    typed.resize(static_cast<size_t>(GetWindowTextA(edit_, typed.data(), length + 1)));
    if (typed.empty())
        return;
    DWORD selStart = 0, selEnd = 0;
    SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
    if (selEnd != typed.size())
        return;  // typing in the middle: leave the text alone
    std::string upperTyped = typed;
    CharUpperBuffA(upperTyped.data(), static_cast<DWORD>(upperTyped.size()));
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        std::string item = Item(i);
        if (item.size() < typed.size())
            continue;
        std::string head = item.substr(0, typed.size());
        CharUpperBuffA(head.data(), static_cast<DWORD>(head.size()));
        if (head == upperTyped) {
            SetWindowTextA(edit_, item.c_str());
            SendMessageA(edit_, EM_SETSEL, typed.size(), static_cast<LPARAM>(item.size()));
            return;
        }
    }
}

LRESULT CALLBACK ComboBox::EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<ComboBox*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    try {
        result = CallWindowProcA(self->editProc_, hwnd, message, wParam, lParam);
        // Printable characters only: Backspace and control keys must be able to
        // remove a completion.
        if (message == WM_CHAR && static_cast<unsigned char>(wParam) >= 0x20 && wParam != 0x7F)
            self->AutoComplete();
    } catch (...) {
        HandleCurrentException();
    }
    return result;
}

}  // namespace toolkit
