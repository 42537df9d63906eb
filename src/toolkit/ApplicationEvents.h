// Application events: application-wide settings carried by a component of the
// settings window's layout and handed to the application object.
#pragma once

#include <string>

#include "toolkit/Application.h"
#include "toolkit/Component.h"

namespace toolkit {

class ApplicationEvents : public Component {
public:
    ApplicationEvents(Component* owner, std::string name);

    // Takes effect at once, so a main window loaded with the layout is not
    // shown when the message loop starts.
    bool ShowMainForm() const { return showMainForm_; }
    void SetShowMainForm(bool show);

    int HintPause = 500;
    int HintShortPause = 50;
    int HintHidePause = 2500;
    COLORREF HintColor = kInfoBackgroundColor;

    // The layout is complete: every property is copied into the application.
    void Loaded() override;

private:
    bool showMainForm_ = true;
};

}  // namespace toolkit
