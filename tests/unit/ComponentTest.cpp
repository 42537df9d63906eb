// Owners, the loading phase and destruction order of components.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/Component.h"

namespace {

std::vector<std::string> journal;

class Recorder : public toolkit::Component {
public:
    Recorder(Component* owner, std::string name) : Component(owner, std::move(name)) {}
    ~Recorder() override { journal.push_back("destroy " + Name()); }
    void Loaded() override {
        journal.push_back("loaded " + Name() + (Loading() ? " while loading" : ""));
        Component::Loaded();
    }
};

class Owner : public toolkit::Component {
public:
    Owner() : Component(nullptr, "form") { LoadedAll(); }
    Recorder first{this, "first"};
    Recorder second{this, "second"};
    Recorder third{this, "third"};
};

TEST(Component, LoadedRunsOnceForEveryComponentInCreationOrder) {
    journal.clear();
    toolkit::Component form(nullptr, "form");
    Recorder a(&form, "a");
    Recorder b(&form, "b");
    EXPECT_TRUE(a.Loading());
    form.LoadedAll();
    form.LoadedAll();  // a second call finds nothing still loading
    EXPECT_FALSE(a.Loading());
    EXPECT_FALSE(form.Loading());
    EXPECT_EQ(journal, (std::vector<std::string>{"loaded a while loading", "loaded b while loading"}));
}

TEST(Component, OwnerDestroysItsComponentsInReverseOrderOfCreation) {
    {
        Owner owner;
        journal.clear();
    }
    EXPECT_EQ(journal, (std::vector<std::string>{"destroy third", "destroy second", "destroy first"}));
}

TEST(Component, ADestroyedComponentLeavesItsOwnersList) {
    toolkit::Component form(nullptr, "form");
    {
        Recorder temporary(&form, "temporary");
        EXPECT_EQ(form.Components().size(), 1u);
    }
    EXPECT_TRUE(form.Components().empty());
}

}  // namespace
