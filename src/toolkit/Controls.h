// The standard controls the settings window uses, as thin wrappers of real
// Win32 controls. Positions are client pixels of the form.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "toolkit/Component.h"
#include "toolkit/DpiScale.h"

namespace toolkit {

class Form;

// Cursor numbers of the toolkit.
constexpr int kDefaultCursor = 0;
constexpr int kHelpCursor = -20;

class Control : public Component {
public:
    ~Control() override;

    HWND Handle() const { return hwnd_; }
    Form& Parent() const { return form_; }

    bool Enabled() const;
    void SetEnabled(bool enabled);

    std::string Text() const;
    void SetText(const std::string& text);

    // Toolkit cursor number shown over the control (kDefaultCursor, kHelpCursor).
    int Cursor() const { return cursor_; }
    void SetCursor(int cursor) { cursor_ = cursor; }

    std::string Hint;
    bool ShowHint = false;

    // WM_COMMAND notification from the control, routed by the form.
    virtual void Notify(WORD code) { (void)code; }

    // The place and size given at 96 DPI.
    const Bounds& DesignedBounds() const { return designed_; }
    // Places the control for the form's DPI and gives it the form's font.
    virtual void ApplyDpi(int dpi);

protected:
    Control(Form& form, std::string name, const char* className, DWORD style, const Bounds& bounds,
            const std::string& text);
    HWND hwnd_ = nullptr;

private:
    Form& form_;
    Bounds designed_;
    int cursor_ = kDefaultCursor;
};

class GroupBox : public Control {
public:
    GroupBox(Form& form, std::string name, const Bounds& bounds, const std::string& caption);
};

class Button : public Control {
public:
    Button(Form& form, std::string name, const Bounds& bounds, const std::string& caption);
    std::function<void()> OnClick;
    void Click();
    void Notify(WORD code) override;
};

// Its OnClick runs when, and only when, the checked state changes, whoever
// changed it (a click, the space key, or the program).
class CheckBox : public Control {
public:
    CheckBox(Form& form, std::string name, const Bounds& bounds, const std::string& caption);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    std::function<void()> OnClick;
    void Notify(WORD code) override;

private:
    bool checked_ = false;
};

// An editable drop-down list, unsorted, with auto-completion while typing.
class ComboBox : public Control {
public:
    ComboBox(Form& form, std::string name, const Bounds& bounds, int itemHeight);
    ~ComboBox() override;
    void ApplyDpi(int dpi) override;

    int Count() const;
    std::string Item(int index) const;
    // Appends; throws toolkit::OutOfResourcesError("Unable to insert a line") when refused.
    void Add(const std::string& item);
    void Delete(int index);
    void Clear();
    // First item equal to the text as a whole, letter case ignored; -1 if none.
    int FindExact(const std::string& text) const;

    // Suspends redrawing while many items change.
    void BeginUpdate();
    void EndUpdate();

private:
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void AutoComplete();

    int itemHeight_;
    HWND edit_ = nullptr;
    WNDPROC editProc_ = nullptr;
    int updating_ = 0;
};

}  // namespace toolkit
