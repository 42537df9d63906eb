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
    NotifyRemoval();
    if (owner_)
        owner_->Remove(this);
}

void Component::Remove(Component* child) {
    auto it = std::find(components_.begin(), components_.end(), child);
    if (it != components_.end())
        components_.erase(it);
}

int Component::AddRemovalNotice(std::function<void(Component*)> notice) {
    const int id = nextNoticeId_++;
    removalNotices_.push_back({id, std::move(notice)});
    return id;
}

void Component::RemoveRemovalNotice(int id) {
    std::erase_if(removalNotices_, [id](const RemovalNotice& n) { return n.id == id; });
}

void Component::NotifyRemoval() {
    // A watcher usually removes its notice while being told: work on a copy,
    // and leave none behind so a second call tells nobody twice.
    std::vector<RemovalNotice> notices;
    notices.swap(removalNotices_);
    for (RemovalNotice& n : notices)
        n.notice(this);
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
