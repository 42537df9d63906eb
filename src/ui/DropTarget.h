// Files dropped on a form from the file manager: the form is registered as a
// drop target, and the drop message is taken ahead of the form's own handling
// and handed on as a list of names with the point of the drop.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Component.h"

namespace toolkit {
class Form;
struct WindowMessage;
}  // namespace toolkit

namespace ui {

class DropTarget : public toolkit::Component {
public:
    // The owner must be a form for drops to reach the component.
    explicit DropTarget(toolkit::Component* owner, std::string name = {});
    ~DropTarget() override;

    bool AcceptDrag() const { return acceptDrag_; }
    void SetAcceptDrag(bool accept);

    // Applies AcceptDrag once the owner's layout is complete.
    void Loaded() override;

    // The names of the latest drop, in the order the platform gave them.
    const std::vector<std::string>& Files() const { return files_; }
    bool Hooked() const { return hooked_; }

    // Pos is in the owner's client coordinates.
    std::function<void(DropTarget& sender, POINT pos, std::vector<std::string>& value)> OnDrop;

private:
    bool HookProc(toolkit::WindowMessage& m);
    void HandleDrop(HDROP drop);

    toolkit::Form* form_;
    bool acceptDrag_ = true;
    bool hooked_ = false;
    std::vector<std::string> files_;
};

}  // namespace ui
