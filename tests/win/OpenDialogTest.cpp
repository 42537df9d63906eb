// The open-file dialog for real: a timer on the same thread finds the modal
// dialog, types into its file-name field and presses its buttons, which also
// shows that timers keep firing while the dialog is open.
#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/ErrorReport.h"
#include "toolkit/Exceptions.h"
#include "toolkit/OpenDialog.h"
#include "OpenDialogDriver.h"

namespace {
using namespace dialog_test;

constexpr int kFileTypeField = 1136;  // cmb1
constexpr int kReadOnlyBox = 1040;    // chx1

class OpenDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder_ = temp;
        dialog_.Filter = "Alkalmaz\xe1s|*.exe";  // "Alkalmazás" in the 8-bit code page
        dialog_.FilterIndex = 1;
        dialog_.DefaultExt = "*.exe";
        dialog_.InitialDir = folder_;
        previous_ = toolkit::SetExceptionHandler([this](const std::string& m) { errors_.push_back(m); });
    }
    void TearDown() override { toolkit::SetExceptionHandler(previous_); }

    // Runs the dialog driven by the steps; records every OnCanClose call.
    bool Run(std::vector<DialogDriver::Step> steps, std::function<bool(int call)> answer = nullptr) {
        dialog_.OnCanClose = [this, answer](toolkit::OpenDialog& sender, bool& canClose) {
            EXPECT_EQ(&sender, &dialog_);
            EXPECT_TRUE(canClose) << "preset to true";
            calls_.push_back({sender.FileName, IsWindowVisible(sender.Handle()) != FALSE});
            if (answer)
                canClose = answer(static_cast<int>(calls_.size()));
        };
        DialogDriver driver(std::move(steps));
        const bool taken = dialog_.Execute(nullptr);
        EXPECT_FALSE(driver.watchdogFired) << "the dialog had to be cancelled by the watchdog";
        EXPECT_GT(driver.ticksWhileOpen, 1) << "timers fire while the dialog is open";
        EXPECT_EQ(dialog_.Handle(), nullptr);
        return taken;
    }

    struct Call {
        std::string fileName;
        bool dialogVisible;
    };

    toolkit::Component owner_{nullptr, "SettingsWindow"};
    toolkit::OpenDialog dialog_{&owner_, "programDialog"};
    std::string folder_;
    std::vector<Call> calls_;
    std::vector<std::string> errors_;
    toolkit::ExceptionHandler previous_;
};

using D = DialogDriver;

// A file that exists for the length of a test (the dialog adds a default
// extension to a typed name only when the file so named exists).
class TempFile {
public:
    explicit TempFile(std::string path) : path_(std::move(path)) {
        CloseHandle(CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    ~TempFile() { DeleteFileA(path_.c_str()); }

private:
    std::string path_;
};

// The first test of this process: the dialog's library comes with the first
// dialog, not with the program.
TEST_F(OpenDialogTest, ItsLibraryIsLoadedWhenTheFirstDialogOpens) {
    EXPECT_EQ(GetModuleHandleA("comdlg32.dll"), nullptr) << "loaded at start";
    EXPECT_FALSE(Run({[](HWND) {}, [](HWND d) { D::Press(d, IDCANCEL); }}));
    EXPECT_NE(GetModuleHandleA("comdlg32.dll"), nullptr);
}

TEST_F(OpenDialogTest, AcceptAsksCanCloseWithTheFullPathWhileTheDialogIsOpen) {
    const TempFile file(folder_ + "program.exe");
    const bool taken = Run({[](HWND d) { D::Type(d, "program"); }, [](HWND d) { D::Press(d, IDOK); }});
    EXPECT_TRUE(taken);
    const std::string expected = folder_ + "program.exe";
    EXPECT_STRCASEEQ(dialog_.FileName.c_str(), expected.c_str());
    ASSERT_EQ(calls_.size(), 1u);
    EXPECT_EQ(calls_[0].fileName, dialog_.FileName);
    EXPECT_TRUE(calls_[0].dialogVisible);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(OpenDialogTest, StoredDefaultExtensionIsAddedWithoutItsWildcard) {
    // With a filter that names no extension the dialog falls back on the
    // default one; "*.exe" passed on unchanged would look for "program.*.exe".
    const TempFile file(folder_ + "tool.exe");
    dialog_.Filter = "Minden|*.*";
    EXPECT_TRUE(Run({[](HWND d) { D::Type(d, "tool"); }, [](HWND d) { D::Press(d, IDOK); }}));
    EXPECT_STRCASEEQ(dialog_.FileName.c_str(), (folder_ + "tool.exe").c_str());
}

TEST_F(OpenDialogTest, AccentedNamesArriveInTheEightBitCodePage) {
    const std::string name = "\xc1rv\xedzt\xfbr\xf5 t\xfck\xf6rf\xfar\xf3g\xe9p.exe";  // Árvíztűrő tükörfúrógép
    EXPECT_TRUE(Run({[&](HWND d) { D::Type(d, folder_ + name); }, [](HWND d) { D::Press(d, IDOK); }}));
    EXPECT_EQ(dialog_.FileName, folder_ + name);
}

TEST_F(OpenDialogTest, CancelTakesNothing) {
    dialog_.FileName = "C:\\keep\\this.exe";
    EXPECT_FALSE(Run({[](HWND d) { D::Type(d, "other"); }, [](HWND d) { D::Press(d, IDCANCEL); }}));
    EXPECT_TRUE(calls_.empty());
    EXPECT_EQ(dialog_.FileName, "C:\\keep\\this.exe");
}

TEST_F(OpenDialogTest, TakenFileIsOfferedAgainNextTime) {
    ASSERT_TRUE(Run({[](HWND d) { D::Type(d, "first"); }, [](HWND d) { D::Press(d, IDOK); }}));
    const std::string first = dialog_.FileName;
    std::string shown;
    EXPECT_TRUE(Run({[&](HWND d) { shown = FieldText(d, kFileNameField); }, [](HWND d) { D::Press(d, IDOK); }}));
    EXPECT_NE(shown, "");
    EXPECT_NE(first.find(shown), std::string::npos) << "field shows " << shown;
    EXPECT_EQ(dialog_.FileName, first);
    ASSERT_EQ(calls_.size(), 2u);
    EXPECT_EQ(calls_[1].fileName, first);
}

TEST_F(OpenDialogTest, RefusalKeepsTheDialogOpen) {
    const TempFile refused(folder_ + "refused.exe"), accepted(folder_ + "accepted.exe");
    std::vector<bool> openAfterRefusal;
    const bool taken = Run(
        {[](HWND d) { D::Type(d, "refused"); }, [](HWND d) { D::Press(d, IDOK); },
         [&](HWND d) { openAfterRefusal.push_back(IsWindowVisible(d) != FALSE); },
         [](HWND d) { D::Type(d, "accepted"); }, [](HWND d) { D::Press(d, IDOK); }},
        [](int call) { return call > 1; });
    EXPECT_TRUE(taken);
    EXPECT_EQ(openAfterRefusal, std::vector<bool>{true});
    ASSERT_EQ(calls_.size(), 2u);
    EXPECT_STRCASEEQ(calls_[0].fileName.c_str(), (folder_ + "refused.exe").c_str());
    EXPECT_STRCASEEQ(dialog_.FileName.c_str(), (folder_ + "accepted.exe").c_str());
}

TEST_F(OpenDialogTest, FailingHandlerIsReportedAndTheDialogClosesUnlessItRefusedFirst) {
    for (const bool refuseFirst : {false, true}) {
        SCOPED_TRACE(refuseFirst ? "refusing, then failing" : "failing");
        errors_.clear();
        int calls = 0;
        dialog_.OnCanClose = [&](toolkit::OpenDialog&, bool& canClose) {
            ++calls;
            if (refuseFirst)
                canClose = false;
            throw toolkit::StreamWriteError("Stream write error");
        };
        std::vector<bool> openAfterFailure;
        bool taken = false;
        {
            DialogDriver driver({[](HWND d) { D::Type(d, "x"); }, [](HWND d) { D::Press(d, IDOK); },
                                 [&](HWND d) { openAfterFailure.push_back(IsWindowVisible(d) != FALSE); },
                                 [](HWND d) { D::Press(d, IDCANCEL); }});
            taken = dialog_.Execute(nullptr);
            EXPECT_FALSE(driver.watchdogFired);
        }
        EXPECT_EQ(errors_, std::vector<std::string>{"Stream write error"});
        EXPECT_EQ(calls, 1);
        // Nothing asked the dialog to stay: it closes, the file taken.
        EXPECT_EQ(taken, !refuseFirst);
        EXPECT_EQ(openAfterFailure, refuseFirst ? std::vector<bool>{true} : std::vector<bool>{});
    }
}

TEST_F(OpenDialogTest, ShowsTheFilterAndHidesTheReadOnlyBox) {
    std::string fileType;
    bool readOnlyVisible = true;
    LONG_PTR style = 0;
    std::string title;
    dialog_.Title = "";
    EXPECT_FALSE(Run({[&](HWND d) {
                          fileType = FieldText(d, kFileTypeField);
                          HWND box = GetDlgItem(d, kReadOnlyBox);
                          readOnlyVisible = box && IsWindowVisible(box);
                          style = GetWindowLongPtrA(d, GWL_STYLE);
                          char text[256] = {};
                          GetWindowTextA(d, text, sizeof text);
                          title = text;
                      },
                      [](HWND d) { D::Press(d, IDCANCEL); }}));
    EXPECT_EQ(fileType, "Alkalmaz\xe1s");
    EXPECT_FALSE(readOnlyVisible);
    EXPECT_TRUE(style & WS_THICKFRAME) << "resizable";
    EXPECT_NE(title, "") << "the platform's own title";

    dialog_.Title = "Program v\xe1laszt\xe1sa";
    EXPECT_FALSE(Run({[&](HWND d) {
                          char text[256] = {};
                          GetWindowTextA(d, text, sizeof text);
                          title = text;
                      },
                      [](HWND d) { D::Press(d, IDCANCEL); }}));
    EXPECT_EQ(title, "Program v\xe1laszt\xe1sa");
}

}  // namespace
