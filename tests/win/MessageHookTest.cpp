// The window message hook on real windows under Wine: taking over a form's
// procedure and giving it back, records going with their windows, and the
// raw-window path through the window procedure.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "ui/hook/MessageHook.h"

namespace {
using toolkit::WindowMessage;
using ui::MessageHookPlace;
using ui::MessageHook;

constexpr UINT kPing = WM_APP + 7;

class PingForm : public toolkit::Form {
public:
    PingForm() : Form(nullptr, "PingForm", toolkit::FormLayout{"ping", 10, 10, 100, 50}) {}
    int own = 0;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kPing) {
            ++own;
            return 5;
        }
        return Form::HandleMessage(message, wParam, lParam);
    }
};

struct Handler {
    std::string* log;
    const char* tag;
    bool consume;
    bool Handle(WindowMessage& m) {
        if (m.Msg == kPing || m.Msg == WM_SETTEXT)
            *log += std::string(tag) + "=" + std::to_string(m.Result) + " ";
        return consume && (m.Msg == kPing || m.Msg == WM_SETTEXT);
    }
    ui::MessageHandler H() { return ui::MakeMessageHandler<&Handler::Handle>(this); }
};

struct Hook : ::testing::Test {
    static void SetUpTestSuite() { toolkit::Application::Instance().Initialize(GetModuleHandleA(nullptr)); }
    MessageHook& hooks = MessageHook::Instance();
    std::string log;
};

TEST_F(Hook, FormProcedureIsTakenOverAndGivenBackWhenBothChainsEmpty) {
    PingForm form;
    Handler before{&log, "before", false}, after{&log, "after", false};
    const int records = hooks.RecordCount();
    ASSERT_TRUE(ui::AddMessageHook(&form, before.H(), MessageHookPlace::Before));
    ASSERT_TRUE(ui::AddMessageHook(&form, after.H(), MessageHookPlace::After));
    EXPECT_EQ(hooks.RecordCount(), records + 1);
    EXPECT_TRUE(hooks.Installed(&form));
    EXPECT_EQ(SendMessageA(form.Handle(), kPing, 0, 0), 5);
    EXPECT_EQ(log, "before=0 after=5 ");
    EXPECT_EQ(form.own, 1);

    EXPECT_TRUE(ui::RemoveMessageHook(&form, before.H(), MessageHookPlace::Before));
    EXPECT_TRUE(hooks.Installed(&form)) << "the after chain still holds a handler";
    EXPECT_TRUE(ui::RemoveMessageHook(&form, after.H(), MessageHookPlace::After));
    EXPECT_FALSE(hooks.Installed(&form));
    log.clear();
    EXPECT_EQ(SendMessageA(form.Handle(), kPing, 0, 0), 5);
    EXPECT_EQ(log, "");
    EXPECT_EQ(form.own, 2);
}

TEST_F(Hook, AConsumingBeforeHandlerKeepsTheMessageFromTheForm) {
    PingForm form;
    Handler eater{&log, "eater", true}, after{&log, "after", false};
    ui::AddMessageHook(&form, eater.H(), MessageHookPlace::Before);
    ui::AddMessageHook(&form, after.H(), MessageHookPlace::After);
    EXPECT_EQ(SendMessageA(form.Handle(), kPing, 0, 0), 0);
    EXPECT_EQ(form.own, 0);
    EXPECT_EQ(log, "eater=0 ");
    ui::RemoveMessageHook(&form, eater.H(), MessageHookPlace::Before);
    ui::RemoveMessageHook(&form, after.H(), MessageHookPlace::After);
}

TEST_F(Hook, MissingControlOrProcedureRegistersNothing) {
    PingForm form;
    const int records = hooks.RecordCount();
    EXPECT_FALSE(ui::AddMessageHook(static_cast<toolkit::Form*>(nullptr), Handler{&log, "x", false}.H(),
                                    MessageHookPlace::Before));
    EXPECT_FALSE(ui::AddMessageHook(&form, ui::MessageHandler{&form, nullptr}, MessageHookPlace::Before));
    EXPECT_EQ(hooks.RecordCount(), records);
    EXPECT_FALSE(ui::RemoveMessageHook(&form, Handler{&log, "x", false}.H(), MessageHookPlace::Before)) << "no record";
}

TEST_F(Hook, TheRecordGoesWithTheForm) {
    const int records = hooks.RecordCount();
    Handler after{&log, "after", false};
    {
        PingForm form;
        ui::AddMessageHook(&form, after.H(), MessageHookPlace::After);
        EXPECT_EQ(hooks.RecordCount(), records + 1);
    }
    EXPECT_EQ(hooks.RecordCount(), records);
}

TEST_F(Hook, RawWindowIsSubclassedAndReleasedAfterItsDestruction) {
    HWND hwnd = CreateWindowExA(0, "STATIC", "start", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(hwnd);
    const LONG_PTR ownProcedure = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
    const int records = hooks.RecordCount();
    Handler eater{&log, "eater", true}, after{&log, "after", false};
    ASSERT_TRUE(hooks.AddMessageHook(hwnd, after.H(), MessageHookPlace::After));
    EXPECT_NE(GetWindowLongPtrA(hwnd, GWLP_WNDPROC), ownProcedure);
    SetWindowTextA(hwnd, "one");
    EXPECT_EQ(log, "after=1 ");  // the static control answered TRUE
    char text[16] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    EXPECT_STREQ(text, "one");

    ASSERT_TRUE(hooks.AddMessageHook(hwnd, eater.H(), MessageHookPlace::Before));
    SetWindowTextA(hwnd, "two");
    GetWindowTextA(hwnd, text, sizeof text);
    EXPECT_STREQ(text, "one") << "a consumed WM_SETTEXT reached the window";

    hooks.RemoveMessageHook(hwnd, eater.H(), MessageHookPlace::Before);
    hooks.RemoveMessageHook(hwnd, after.H(), MessageHookPlace::After);
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_WNDPROC), ownProcedure) << "not given back when both chains emptied";

    hooks.AddMessageHook(hwnd, after.H(), MessageHookPlace::After);
    EXPECT_EQ(hooks.RecordCount(), records + 1);
    DestroyWindow(hwnd);
    EXPECT_EQ(hooks.RecordCount(), records);
    // The release waits in the queue; dispatching it must free the record cleanly.
    toolkit::Application::Instance().ProcessMessages();
}

}  // namespace
