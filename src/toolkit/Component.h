// Components: objects with an owner, a loading phase and a Loaded call once
// the owner's layout is complete. The owner holds its components as members
// declared in creation order, so C++ destroys them in reverse order of creation.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace toolkit {

class Component {
public:
    explicit Component(Component* owner, std::string name = {});
    virtual ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    Component* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }

    // True between construction and Loaded(): stored properties are being applied.
    bool Loading() const { return loading_; }
    // True once destruction has started (members may already be gone).
    bool Destroying() const { return destroying_; }

    // The owner's layout is complete: the component may act on its properties.
    virtual void Loaded() { loading_ = false; }

    // Calls Loaded on every owned component in creation order, then on itself.
    void LoadedAll();

    const std::vector<Component*>& Components() const { return components_; }

    // Others that refer to this component ask to be told when it goes, so
    // they can drop their reference first. Returns an id for RemoveRemovalNotice.
    int AddRemovalNotice(std::function<void(Component*)> notice);
    void RemoveRemovalNotice(int id);

protected:
    void BeginDestroy() { destroying_ = true; }
    // Tells the watchers, once. A derived class whose destructor tears down
    // something they use (a window) calls it first; ~Component calls it last.
    void NotifyRemoval();

private:
    void Insert(Component* child) { components_.push_back(child); }
    void Remove(Component* child);

    Component* owner_;
    std::string name_;
    bool loading_ = true;
    bool destroying_ = false;
    std::vector<Component*> components_;
    struct RemovalNotice {
        int id;
        std::function<void(Component*)> notice;
    };
    std::vector<RemovalNotice> removalNotices_;
    int nextNoticeId_ = 1;
};

}  // namespace toolkit
