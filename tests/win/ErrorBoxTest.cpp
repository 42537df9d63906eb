// The standard error box as the user meets it: an exception stopped at a
// window procedure of a real form or control, or at a timer tick, opens a
// message box with the message (full-stop rule), the application title as
// caption, an OK button and the stop icon; closing it lets the loop go on.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ApplicationTestSupport.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Form.h"

namespace {

using apptest::BoxWatcher;
using apptest::InOwnProcess;
using apptest::LoopWatchdog;
using apptest::SeenBox;
using apptest::TickingList;

constexpr UINT kThrowMessage = WM_APP + 7;

toolkit::Application& App() {
    return toolkit::Application::Instance();
}

HICON SystemIcon(LPCSTR id) {
    return LoadIconA(nullptr, id);
}

toolkit::FormLayout SmallLayout() {
    toolkit::FormLayout layout;
    layout.caption = "Tavrin2";
    layout.clientWidth = 235;
    layout.clientHeight = 153;
    return layout;
}

// A form whose window procedure fails on one message, as a handler would.
class ThrowingForm : public toolkit::Form {
public:
    explicit ThrowingForm(std::string message)
        : Form(nullptr, "SettingsWindow", SmallLayout()), message_(std::move(message)) {}

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kThrowMessage)
            throw toolkit::StreamWriteError(message_);
        return Form::HandleMessage(message, wParam, lParam);
    }

private:
    std::string message_;
};

// Checks what every standard error box shows besides its text.
void ExpectStandardBox(const SeenBox& box) {
    EXPECT_EQ(box.caption, App().Title());
    EXPECT_EQ(box.okText, "OK");
    EXPECT_EQ(box.otherButtons, 0);
    EXPECT_EQ(box.icon, SystemIcon(IDI_HAND)) << "not the stop icon";
}

TEST(ErrorBoxIcons, TheStopIconDiffersFromTheOtherBoxIcons) {
    // Without this the icon comparison above would prove nothing.
    ASSERT_NE(SystemIcon(IDI_HAND), nullptr);
    for (LPCSTR other : {IDI_EXCLAMATION, IDI_ASTERISK, IDI_QUESTION, IDI_APPLICATION})
        EXPECT_NE(SystemIcon(IDI_HAND), SystemIcon(other));
}

struct BoxCase {
    const char* message;
    const char* shown;
};

class ErrorBoxText : public ::testing::TestWithParam<BoxCase> {};

TEST_P(ErrorBoxText, AnExceptionInAFormsWindowProcedureShowsTheStandardBox) {
    ThrowingForm form(GetParam().message);
    BoxWatcher watcher(App().Title(), true);
    SendMessageA(form.Handle(), kThrowMessage, 0, 0);
    watcher.Stop();
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, GetParam().shown);
    ExpectStandardBox(boxes[0]);
    EXPECT_TRUE(boxes[0].gone) << "the call returned while the box was still open";
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ErrorBoxText,
    ::testing::Values(BoxCase{"Stream write error", "Stream write error."},
                      BoxCase{"Invalid data type for 'X'", "Invalid data type for 'X'"},
                      BoxCase{"I/O error 32", "I/O error 32."},
                      BoxCase{"Cannot create file \"C:\\Tavrin2\\list.txt\". Hozzáférés megtagadva",
                              "Cannot create file \"C:\\Tavrin2\\list.txt\". Hozzáférés megtagadva."},
                      BoxCase{"Első sor\rmásodik: ő", "Első sor\rmásodik: ő."},
                      BoxCase{"Nincs elég hely.", "Nincs elég hely."}));

TEST(ErrorBox, AnExceptionInAControlsClickHandlerShowsTheBoxOverTheDisabledForm) {
    toolkit::Form form(nullptr, "SettingsWindow", SmallLayout());
    toolkit::Button button(form, "addButton", {8, 72, 75, 25}, "Hozzáad");
    int clicks = 0;
    button.OnClick = [&] {
        ++clicks;
        throw toolkit::FileCreateError("Cannot create file \"list.txt\"");
    };
    form.Show();
    BoxWatcher watcher(App().Title(), true);
    // A second click shows a second box: the failure left the form working.
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    watcher.Stop();
    const bool enabledAfter = IsWindowEnabled(form.Handle()) != FALSE;
    form.Hide();

    EXPECT_EQ(clicks, 2);
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    for (const SeenBox& box : boxes) {
        EXPECT_EQ(box.text, "Cannot create file \"list.txt\"");
        ExpectStandardBox(box);
        EXPECT_EQ(box.owner, form.Handle()) << "the box belongs to the window the user works in";
        EXPECT_FALSE(box.ownerEnabled) << "the form took input while the box was open";
    }
    EXPECT_TRUE(enabledAfter);
}

// ---- With the message loop (each in a fresh process) --------------------

TEST(ErrorBoxInTheLoop, AFailingTickShowsTheBoxAndTheTimerKeepsTickingAfterIt) {
    if (!InOwnProcess())
        return;
    BoxWatcher watcher(App().Title(), true);
    int ticks = 0, ticksAfterBox = 0;
    TickingList timer(100, [&] {
        if (++ticks == 1)
            throw toolkit::StreamWriteError("Stream write error");
        if (watcher.ClosedCount() > 0 && ++ticksAfterBox == 5)
            App().Terminate();
    });
    LoopWatchdog watchdog(15000);
    App().Run();
    watcher.Stop();
    EXPECT_FALSE(watchdog.Fired()) << "the timer stopped after the box";
    EXPECT_EQ(ticksAfterBox, 5);
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Stream write error.");
    ExpectStandardBox(boxes[0]);
}

TEST(ErrorBoxInTheLoop, TerminateWhileTheBoxIsOpenClosesItAndEndsTheLoop) {
    if (!InOwnProcess())
        return;
    // Nobody presses OK: "Kilépés" chosen (here: Terminate from a tick inside
    // the box's own loop) must not wait for the user to close the box.
    BoxWatcher watcher(App().Title(), false, 5000);
    int ticks = 0;
    TickingList timer(100, [&] {
        ++ticks;
        if (ticks == 1)
            throw toolkit::StreamWriteError("Stream write error");
        if (ticks == 4)
            App().Terminate();
    });
    LoopWatchdog watchdog(15000);
    App().Run();
    watcher.Stop();
    EXPECT_FALSE(watchdog.Fired());
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].gone);
    EXPECT_FALSE(boxes[0].pressedOk) << "the box stayed open until OK was pressed";
}

TEST(ApplicationTitle, IsTheExecutablesNameUntilTheProgramNamesItAndCaptionsTheBox) {
    if (!InOwnProcess())
        return;
    char caption[256] = "";
    EXPECT_EQ(App().Title(), "application_tests");
    GetWindowTextA(App().Handle(), caption, sizeof caption);
    EXPECT_STREQ(caption, "application_tests");

    App().SetTitle("Tavrin2 próba");
    GetWindowTextA(App().Handle(), caption, sizeof caption);
    EXPECT_STREQ(caption, "Tavrin2 próba");
    BoxWatcher watcher("Tavrin2 próba", true);
    toolkit::ReportError("Invalid data type for 'Inteligens'");
    watcher.Stop();
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Invalid data type for 'Inteligens'");
    ExpectStandardBox(boxes[0]);
}

}  // namespace
