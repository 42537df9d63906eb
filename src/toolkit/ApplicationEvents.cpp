// Application events: applies its settings to the application object.
#include "toolkit/ApplicationEvents.h"

#include "toolkit/Application.h"

namespace toolkit {

ApplicationEvents::ApplicationEvents(Component* owner, std::string name) : Component(owner, std::move(name)) {}

void ApplicationEvents::SetShowMainForm(bool show) {
    showMainForm_ = show;
    Application::Instance().ShowMainForm = show;
}

void ApplicationEvents::Loaded() {
    Component::Loaded();
    Application& app = Application::Instance();
    app.ShowMainForm = showMainForm_;
    app.HintPause = HintPause;
    app.HintShortPause = HintShortPause;
    app.HintHidePause = HintHidePause;
    app.HintColor = HintColor;
}

}  // namespace toolkit
