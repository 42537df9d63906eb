// The order in which hooked handlers and the window's own handling see a
// message, and what consuming and removing a handler do to that order.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ui/hook/MessageHookChains.h"

namespace {
using toolkit::WindowMessage;
using ui::MessageHookChains;
using ui::MessageHookPlace;

struct Recorder {
    Recorder(std::string* l, std::string t) : log(l), tag(std::move(t)) {}
    std::string* log;
    std::string tag;
    bool consume = false;
    std::function<void()> action;
    bool Handle(WindowMessage& m) {
        *log += tag + "(" + std::to_string(m.Result) + ") ";
        m.Result += 10;
        if (action)
            action();
        return consume;
    }
    ui::MessageHandler Handler() { return ui::MakeMessageHandler<&Recorder::Handle>(this); }
};

struct Chains : ::testing::Test {
    std::string log;
    MessageHookChains chains;
    WindowMessage Send(std::intptr_t start = 99) {
        WindowMessage m{0x10, 0, 0, start};
        chains.Dispatch(m, [&](WindowMessage& msg) {
            log += "own(" + std::to_string(msg.Result) + ") ";
            msg.Result += 1;
        });
        return m;
    }
};

TEST_F(Chains, BeforeHandlersInOrderThenOwnThenAfterHandlers) {
    Recorder b1{&log, "b1"}, b2{&log, "b2"}, a1{&log, "a1"}, a2{&log, "a2"};
    chains.Add(a1.Handler(), MessageHookPlace::After);
    chains.Add(b1.Handler(), MessageHookPlace::Before);
    chains.Add(a2.Handler(), MessageHookPlace::After);
    chains.Add(b2.Handler(), MessageHookPlace::Before);
    const WindowMessage m = Send();
    // The result starts at 0 whatever it held, and every step sees the last.
    EXPECT_EQ(log, "b1(0) b2(10) own(20) a1(21) a2(31) ");
    EXPECT_EQ(m.Result, 41);
}

TEST_F(Chains, ConsumingStopsTheMessageWhereItIs) {
    struct Case {
        const char* consumer;
        const char* expected;
    } cases[] = {
        {"b1", "b1(0) "},
        {"b2", "b1(0) b2(10) "},
        {"a1", "b1(0) b2(10) own(20) a1(21) "},
        {"a2", "b1(0) b2(10) own(20) a1(21) a2(31) "},
    };
    for (const Case& c : cases) {
        log.clear();
        MessageHookChains fresh;
        Recorder b1{&log, "b1"}, b2{&log, "b2"}, a1{&log, "a1"}, a2{&log, "a2"};
        for (Recorder* r : {&b1, &b2, &a1, &a2})
            r->consume = r->tag == c.consumer;
        fresh.Add(b1.Handler(), MessageHookPlace::Before);
        fresh.Add(b2.Handler(), MessageHookPlace::Before);
        fresh.Add(a1.Handler(), MessageHookPlace::After);
        fresh.Add(a2.Handler(), MessageHookPlace::After);
        WindowMessage m{0x10, 0, 0, 0};
        fresh.Dispatch(m, [&](WindowMessage& msg) {
            log += "own(" + std::to_string(msg.Result) + ") ";
            msg.Result += 1;
        });
        EXPECT_EQ(log, c.expected) << "consumed by " << c.consumer;
    }
}

TEST_F(Chains, RemovingOneOfTwoEqualHandlersLeavesTheOther) {
    Recorder r{&log, "r"};
    chains.Add(r.Handler(), MessageHookPlace::Before);
    chains.Add(r.Handler(), MessageHookPlace::Before);
    EXPECT_FALSE(chains.Remove(r.Handler(), MessageHookPlace::After));  // wrong place: nothing there
    EXPECT_TRUE(chains.Remove(r.Handler(), MessageHookPlace::Before));
    EXPECT_EQ(chains.Count(MessageHookPlace::Before), 1);
    Send();
    EXPECT_EQ(log, "r(0) own(10) ");
    EXPECT_TRUE(chains.Remove(r.Handler(), MessageHookPlace::Before));
    EXPECT_FALSE(chains.Remove(r.Handler(), MessageHookPlace::Before));
    EXPECT_TRUE(chains.Empty());
}

TEST_F(Chains, HandlersOfOtherObjectsOrMethodsAreNotEqual) {
    Recorder r1{&log, "r1"}, r2{&log, "r2"};
    chains.Add(r1.Handler(), MessageHookPlace::Before);
    EXPECT_FALSE(chains.Remove(r2.Handler(), MessageHookPlace::Before));
    EXPECT_NE(r1.Handler(), r2.Handler());
    EXPECT_EQ(r1.Handler(), r1.Handler());
}

TEST_F(Chains, AHandlerRemovedOnTheWayIsNotCalledAndOneAddedWaits) {
    Recorder b1{&log, "b1"}, b2{&log, "b2"}, late{&log, "late"};
    b1.action = [&] {
        chains.Remove(b2.Handler(), MessageHookPlace::Before);
        chains.Add(late.Handler(), MessageHookPlace::Before);
    };
    chains.Add(b1.Handler(), MessageHookPlace::Before);
    chains.Add(b2.Handler(), MessageHookPlace::Before);
    Send();
    EXPECT_EQ(log, "b1(0) own(10) ");
    log.clear();
    b1.action = nullptr;
    Send();
    EXPECT_EQ(log, "b1(0) late(10) own(20) ");
}

TEST_F(Chains, AHandlerMayRemoveItselfWhileHandling) {
    Recorder self{&log, "self"}, after{&log, "after"};
    self.action = [&] { chains.Remove(self.Handler(), MessageHookPlace::Before); };
    chains.Add(self.Handler(), MessageHookPlace::Before);
    chains.Add(after.Handler(), MessageHookPlace::After);
    Send();
    Send();
    EXPECT_EQ(log, "self(0) own(10) after(11) own(0) after(1) ");
}

}  // namespace
