// Application events: applies its settings to the application object.
#include "ui/AppEvent.h"

#include "toolkit/Application.h"

namespace ui {

ApplicationEvents::ApplicationEvents(toolkit::Component* owner, std::string name) : Component(owner, std::move(name)) {}

void ApplicationEvents::SetShowMainForm(bool show) {
    showMainForm_ = show;
    toolkit::Application::Instance().ShowMainForm = show;
}

void ApplicationEvents::Loaded() {
    Component::Loaded();
    toolkit::Application& app = toolkit::Application::Instance();
    app.ShowMainForm = showMainForm_;
    app.HintPause = HintPause;
    app.HintShortPause = HintShortPause;
    app.HintHidePause = HintHidePause;
    app.HintColor = HintColor;
}

}  // namespace ui
