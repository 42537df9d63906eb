// A form: a top-level window owned by the application window, laid out in
// pixels, with dialog keyboard handling and the controls it contains.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/UniqueHandle.h"
#include "toolkit/WindowMessage.h"

namespace toolkit {

// The window class of every form.
constexpr char kFormWindowClass[] = "Tavrin2Form";

class Control;

struct FormLayout {
    std::string caption;
    int left = 0, top = 0;
    int clientWidth = 0, clientHeight = 0;
    bool centreOnFirstShow = true;
    std::string fontName = "MS Sans Serif";
    int fontHeight = -11;
};

class Form : public Component {
public:
    Form(Component* owner, std::string name, const FormLayout& layout);
    ~Form() override;

    HWND Handle() const { return hwnd_; }
    HFONT Font() const { return font_.get(); }
    // The DPI the form is laid out for: its monitor's.
    int Dpi() const { return dpi_; }
    // Lays the form and every control out again for that DPI, keeping the
    // window's top-left corner; WM_DPICHANGED does it with the system's rectangle.
    void ApplyDpi(int dpi);

    std::string Caption() const;
    void SetCaption(const std::string& caption);

    void Show();  // visible and in front; centred the first time
    void Hide();
    bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
    void Close() { PostMessageA(hwnd_, WM_CLOSE, 0, 0); }

    // Runs on every close request; leaving canClose true closes (hides) the form.
    std::function<void(bool& canClose)> OnCloseQuery;

    void AddControl(Control* control);
    void RemoveControl(Control* control);
    Control* FindControl(HWND hwnd) const;
    int NextControlId() { return nextControlId_++; }

    // The procedure every message of the window goes through; at first the
    // form's own handling. A message hook saves it, puts its dispatcher in
    // its place and calls the saved one from there.
    using MessageProcedure = std::function<void(WindowMessage&)>;
    const MessageProcedure& WindowProcedure() const { return procedure_; }
    void SetWindowProcedure(MessageProcedure procedure) { procedure_ = std::move(procedure); }

protected:
    // Messages not handled here go to DefWindowProc. Overrides call the base.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void MakeFont();
    SIZE OuterSize() const;
    void ChangeDpi(int dpi, const RECT& suggested);

    HWND hwnd_ = nullptr;
    MessageProcedure procedure_;
    UniqueGdi<HFONT> font_;
    bool shownOnce_ = false;
    bool centreOnFirstShow_ = true;
    FormLayout layout_;  // the designed sizes, at 96 DPI
    int dpi_ = 96;
    std::vector<Control*> controls_;
    int nextControlId_ = 100;
};

}  // namespace toolkit
