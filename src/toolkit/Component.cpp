// Owner bookkeeping for components.
#include "toolkit/Component.h"

#include <algorithm>

namespace toolkit {

Component::Component(Component* owner, std::string name) : owner_(owner), name_(std::move(name)) {
    if (owner_)
        owner_->Insert(this);
}

Component::~Component() {
    destroying_ = true;
    if (owner_)
        owner_->Remove(this);
}

void Component::Remove(Component* child) {
    auto it = std::find(components_.begin(), components_.end(), child);
    if (it != components_.end())
        components_.erase(it);
}

void Component::LoadedAll() {
    // Copy: a Loaded handler may create further components.
    const std::vector<Component*> children = components_;
    for (Component* child : children)
        if (child->Loading())
            child->Loaded();
    if (loading_)
        Loaded();
}

}  // namespace toolkit
