// The settings window's program list for real under Wine: list.txt beside the
// executable, loading and saving it, adding through the open dialog, deleting
// by name, and what a failing load or save leaves of the list and the file.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SettingsWindowFixture.h"
#include "SettingsWindowStoreSupport.h"
#include "OpenDialogDriver.h"

namespace {
using app::SettingsWindow;
using namespace settings_window_test;
using namespace dialog_test;

constexpr char kEditText[] = "Programok listája";

class SettingsWindowList : public SettingsWindowFixture {
protected:
    // Starts with list.txt holding these bytes.
    SettingsWindow& StartWith(const std::string& bytes) {
        WriteBytes(listPath, bytes);
        return Start();
    }
    // Presses "Töröl" with this text in the edit field.
    void DeleteByName(SettingsWindow& f, const std::string& text) {
        f.programList.SetText(text);
        Click(f, f.removeButton);
    }
    std::string OpenErrorText() const {
        return "Cannot open file \"" + listPath + "\". " + SystemText(ERROR_SHARING_VIOLATION);
    }
};

TEST_F(SettingsWindowList, MissingListIsCreatedEmptyBesideTheExecutableNotInTheWorkingFolder) {
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    const std::string elsewhere = folder + "-cwd";
    ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryA(elsewhere.c_str()));
    SettingsWindow& f = Start();
    const bool strayList = FileExists(elsewhere + "\\list.txt");
    SetCurrentDirectoryA(previous);
    DeleteFileA((elsewhere + "\\list.txt").c_str());
    RemoveDirectoryA(elsewhere.c_str());

    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(f.ListPath, listPath);
    EXPECT_EQ(ReadBytes(listPath), "");
    EXPECT_FALSE(strayList) << "list.txt went into the working folder";
    EXPECT_EQ(f.programList.Count(), 0);
    EXPECT_EQ(f.programList.Text(), kEditText);
    EXPECT_TRUE(f.ListLoaded);
}

struct StoredList {
    const char* name;
    std::string bytes;
    Strings entries;
};

class SettingsWindowListFormats : public SettingsWindowList, public ::testing::WithParamInterface<StoredList> {};

TEST_P(SettingsWindowListFormats, LoadsEveryLineAndSavesEachWithCrLf) {
    const StoredList& c = GetParam();
    SettingsWindow& f = StartWith(c.bytes);
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(Entries(f), c.entries);
    EXPECT_EQ(f.programList.Text(), kEditText) << "loading changed the edit text";
    EXPECT_EQ(ReadBytes(listPath), c.bytes) << "the start-up touched an existing list";

    EXPECT_TRUE(Accept(f, "C:\\Új\\program.exe"));
    std::string expected;
    for (const std::string& e : c.entries)
        expected += e + "\r\n";
    expected += "C:\\Új\\program.exe\r\n";
    EXPECT_EQ(ReadBytes(listPath), expected);
    EXPECT_TRUE(errors.empty()) << errors.front();
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsWindowListFormats,
    ::testing::Values(StoredList{"CrLfWithoutFinalBreak", "C:\\a.exe\r\nC:\\b.exe", {"C:\\a.exe", "C:\\b.exe"}},
                      StoredList{"LfOnly", "C:\\a.exe\nC:\\b.exe\n", {"C:\\a.exe", "C:\\b.exe"}},
                      StoredList{"EmptyLineBetween", "C:\\a.exe\r\n\r\nC:\\b.exe\r\n", {"C:\\a.exe", "", "C:\\b.exe"}},
                      StoredList{"Empty", "", {}},
                      StoredList{"AccentedAndSpaced", "C:\\Program Files\\Árvíztűrő.exe\r\n",
                                 {"C:\\Program Files\\Árvíztűrő.exe"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsWindowList, SameProgramAddedTwiceIsDeletedFirstMatchFirst) {
    SettingsWindow& f = Start();
    EXPECT_TRUE(Accept(f, "C:\\x.exe"));
    EXPECT_TRUE(Accept(f, "C:\\y.exe"));
    EXPECT_TRUE(Accept(f, "C:\\x.exe"));
    EXPECT_EQ(Entries(f), (Strings{"C:\\x.exe", "C:\\y.exe", "C:\\x.exe"}));
    EXPECT_EQ(ReadBytes(listPath), "C:\\x.exe\r\nC:\\y.exe\r\nC:\\x.exe\r\n");

    DeleteByName(f, "C:\\x.exe");
    EXPECT_EQ(Entries(f), (Strings{"C:\\y.exe", "C:\\x.exe"}));
    EXPECT_EQ(ReadBytes(listPath), "C:\\y.exe\r\nC:\\x.exe\r\n");
    EXPECT_EQ(f.programList.Text(), kEditText);
    EXPECT_TRUE(errors.empty()) << errors.front();
}

struct CaseBlind {
    const char* name;
    std::string entry, typed;
};

class SettingsWindowListCaseBlindDelete : public SettingsWindowList, public ::testing::WithParamInterface<CaseBlind> {};

TEST_P(SettingsWindowListCaseBlindDelete, TextDifferingOnlyInLetterCaseDeletesTheEntry) {
    const CaseBlind& c = GetParam();
    SettingsWindow& f = StartWith("C:\\elso.exe\r\n" + c.entry + "\r\nC:\\utolso.exe\r\n");
    DeleteByName(f, c.typed);
    EXPECT_EQ(Entries(f), (Strings{"C:\\elso.exe", "C:\\utolso.exe"}));
    EXPECT_EQ(ReadBytes(listPath), "C:\\elso.exe\r\nC:\\utolso.exe\r\n");
    EXPECT_EQ(f.programList.Text(), kEditText);
    EXPECT_TRUE(errors.empty()) << errors.front();
}

INSTANTIATE_TEST_SUITE_P(Texts, SettingsWindowListCaseBlindDelete,
                         ::testing::Values(CaseBlind{"Ascii", "C:\\Prog\\Tool.exe", "c:\\PROG\\tool.EXE"},
                                           CaseBlind{"AccentedLowerToUpper", "C:\\ő\\tűz.exe", "C:\\Ő\\TŰZ.EXE"},
                                           CaseBlind{"AccentedUpperToLower", "C:\\ÁRVÍZ.EXE", "c:\\árvíz.exe"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsWindowList, DeleteWithoutAMatchWritesNothing) {
    SettingsWindow& f = StartWith("C:\\a.exe\r\nC:\\b.exe\r\n");
    AgeFile(listPath);
    for (const char* text : {kEditText, "C:\\a.ex", "C:\\a.exe ", ""}) {
        SCOPED_TRACE(text);
        DeleteByName(f, text);
        EXPECT_EQ(Entries(f), (Strings{"C:\\a.exe", "C:\\b.exe"}));
        EXPECT_EQ(f.programList.Text(), kEditText);
    }
    EXPECT_EQ(ReadBytes(listPath), "C:\\a.exe\r\nC:\\b.exe\r\n");
    EXPECT_EQ(WriteTimeOf(listPath), kOldFileTime) << "list.txt was rewritten";
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(SettingsWindowList, DeletingTheOnlyEntryLeavesAnEmptyFile) {
    SettingsWindow& f = StartWith("C:\\egyetlen.exe\r\n");
    DeleteByName(f, "C:\\egyetlen.exe");
    EXPECT_EQ(f.programList.Count(), 0);
    EXPECT_EQ(ReadBytes(listPath), "");
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(SettingsWindowList, ReadOnlyListKeepsTheChangeInTheListAndTheFileAsItWas) {
    // Stored off, then switched on: the buttons work, programList waits for an add.
    SetDword(kSettingsKey, "Inteligens", 0);
    SettingsWindow& f = StartWith("C:\\a.exe\r\nC:\\b.exe\r\n");
    Click(f, f.intelligentModeBox);
    ASSERT_FALSE(f.programList.Enabled());
    ASSERT_TRUE(SetFileAttributesA(listPath.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string cannotCreate = "Cannot create file \"" + listPath + "\". ";

    EXPECT_FALSE(Accept(f, "C:\\c.exe"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].substr(0, cannotCreate.size()), cannotCreate);
    EXPECT_EQ(errors[0], cannotCreate + SystemText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Entries(f), (Strings{"C:\\a.exe", "C:\\b.exe", "C:\\c.exe"})) << "the change stays in the list";
    EXPECT_FALSE(f.programList.Enabled()) << "a failed add enabled the list";
    EXPECT_EQ(ReadBytes(listPath), "C:\\a.exe\r\nC:\\b.exe\r\n");

    DeleteByName(f, "C:\\a.exe");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1], errors[0]);
    EXPECT_EQ(Entries(f), (Strings{"C:\\b.exe", "C:\\c.exe"}));
    EXPECT_EQ(f.programList.Text(), "C:\\a.exe") << "a failed delete reset the edit text";
    EXPECT_EQ(ReadBytes(listPath), "C:\\a.exe\r\nC:\\b.exe\r\n");

    // Writable again: the next save brings the file up to date.
    SetFileAttributesA(listPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(Accept(f, "C:\\d.exe"));
    EXPECT_EQ(ReadBytes(listPath), "C:\\b.exe\r\nC:\\c.exe\r\nC:\\d.exe\r\n");
    EXPECT_TRUE(f.programList.Enabled());
    EXPECT_EQ(errors.size(), 2u);
}

// list.txt held open by another program, without sharing.
class LockedFile {
public:
    explicit LockedFile(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~LockedFile() { Unlock(); }
    bool Locked() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Unlock() {
        if (Locked())
            CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

TEST_F(SettingsWindowList, LockedListAtStartIsReportedAndALaterAddKeepsEveryStoredEntry) {
    WriteBytes(listPath, "C:\\a.exe\r\nC:\\b.exe\r\n");
    LockedFile lock(listPath);
    ASSERT_TRUE(lock.Locked());
    SettingsWindow& f = Start();
    ASSERT_EQ(errors, Strings{OpenErrorText()});
    EXPECT_FALSE(f.ListLoaded);
    EXPECT_EQ(f.programList.Count(), 0);

    // Still locked: the add cannot load the stored list first, so it adds nothing.
    EXPECT_FALSE(Accept(f, "C:\\c.exe"));
    EXPECT_EQ(errors, (Strings{OpenErrorText(), OpenErrorText()}));
    EXPECT_EQ(f.programList.Count(), 0);
    DeleteByName(f, "C:\\a.exe");
    EXPECT_EQ(errors.size(), 3u);
    EXPECT_EQ(f.programList.Count(), 0);
    EXPECT_FALSE(f.ListLoaded);

    lock.Unlock();
    EXPECT_EQ(ReadBytes(listPath), "C:\\a.exe\r\nC:\\b.exe\r\n");
    EXPECT_TRUE(Accept(f, "C:\\c.exe"));
    EXPECT_EQ(Entries(f), (Strings{"C:\\a.exe", "C:\\b.exe", "C:\\c.exe"}));
    EXPECT_EQ(ReadBytes(listPath), "C:\\a.exe\r\nC:\\b.exe\r\nC:\\c.exe\r\n");
    EXPECT_TRUE(f.ListLoaded);
    EXPECT_EQ(errors.size(), 3u);
}

TEST_F(SettingsWindowList, ChangeAfterAStartThatCouldNotReadTheListKeepsEveryStoredEntry) {
    struct Case {
        const char* name;
        std::function<void(SettingsWindow&)> change;
        Strings entries;   // the list afterwards
        std::string file;  // list.txt afterwards
    };
    const Case cases[] = {
        {"add",
         [](SettingsWindow& f) { EXPECT_TRUE(Accept(f, "C:\\c.exe")); },
         {"C:\\a.exe", "C:\\b.exe", "C:\\c.exe"},
         "C:\\a.exe\r\nC:\\b.exe\r\nC:\\c.exe\r\n"},
        {"delete", [this](SettingsWindow& f) { DeleteByName(f, "C:\\b.exe"); }, {"C:\\a.exe"}, "C:\\a.exe\r\n"},
        {"delete without a match",
         [this](SettingsWindow& f) { DeleteByName(f, "C:\\x.exe"); },
         {"C:\\a.exe", "C:\\b.exe"},
         "C:\\a.exe\r\nC:\\b.exe\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        errors.clear();
        WriteBytes(listPath, "C:\\a.exe\r\nC:\\b.exe\r\n");
        {
            LockedFile lock(listPath);  // held by another program during the start only
            Start();
        }
        SettingsWindow& f = *form;
        ASSERT_EQ(errors, Strings{OpenErrorText()});
        ASSERT_FALSE(f.ListLoaded);
        c.change(f);
        EXPECT_EQ(Entries(f), c.entries);
        EXPECT_EQ(ReadBytes(listPath), c.file);
        EXPECT_EQ(errors.size(), 1u);
    }
}

TEST_F(SettingsWindowList, ChangeAfterAStartThatCouldNotReadTheListWithTheListGoneStartsANewOne) {
    WriteBytes(listPath, "C:\\a.exe\r\n");
    {
        LockedFile lock(listPath);
        Start();
    }
    SettingsWindow& f = *form;
    ASSERT_FALSE(f.ListLoaded);
    ASSERT_TRUE(DeleteFileA(listPath.c_str()));
    EXPECT_TRUE(Accept(f, "C:\\c.exe"));
    EXPECT_EQ(Entries(f), Strings{"C:\\c.exe"});
    EXPECT_EQ(ReadBytes(listPath), "C:\\c.exe\r\n");

    // What is on disk now is the list; a second change keeps it.
    EXPECT_TRUE(Accept(f, "C:\\d.exe"));
    EXPECT_EQ(Entries(f), (Strings{"C:\\c.exe", "C:\\d.exe"}));
    EXPECT_EQ(ReadBytes(listPath), "C:\\c.exe\r\nC:\\d.exe\r\n");
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(SettingsWindowList, SwitchedOnFromStoredOffTheListStaysDisabledUntilAnAdd) {
    SetDword(kSettingsKey, "Inteligens", 0);
    SettingsWindow& f = Start();
    ASSERT_FALSE(f.programList.Enabled());
    Click(f, f.intelligentModeBox);
    EXPECT_TRUE(f.addButton.Enabled());
    EXPECT_TRUE(f.removeButton.Enabled());
    EXPECT_FALSE(f.programList.Enabled());
    EXPECT_TRUE(Accept(f, "C:\\x.exe"));
    EXPECT_TRUE(f.programList.Enabled());
    EXPECT_EQ(Entries(f), Strings{"C:\\x.exe"});
    EXPECT_EQ(ReadBytes(listPath), "C:\\x.exe\r\n");
    EXPECT_TRUE(errors.empty()) << errors.front();
}

// ---- the real open dialog ---------------------------------------------------

// The settings window's tests cancel a dialog as soon as their steps are done.
struct PromptDriver : DialogDriver {
    explicit PromptDriver(std::vector<Step> steps) : DialogDriver(std::move(steps), 0) {}
};
using D = PromptDriver;

TEST_F(SettingsWindowList, AddThroughTheDialogTakesTheTypedPath) {
    SetDword(kSettingsKey, "Inteligens", 1);
    SettingsWindow& f = StartWith("C:\\a.exe\r\n");
    const std::string chosen = folder + "\\Árvíztűrő tükörfúrógép.exe";
    {
        D driver({[&](HWND d) { D::Type(d, chosen); }, [](HWND d) { D::Press(d, IDOK); }});
        Click(f, f.addButton);
        EXPECT_GT(driver.ticksWhileOpen, 0) << "the dialog did not open";
    }
    EXPECT_EQ(FindOpenDialog(), nullptr);
    EXPECT_EQ(Entries(f), (Strings{"C:\\a.exe", chosen}));
    EXPECT_EQ(ReadBytes(listPath), "C:\\a.exe\r\n" + chosen + "\r\n");
    EXPECT_EQ(f.programDialog.FileName, chosen);
    EXPECT_TRUE(errors.empty()) << errors.front();

    // Cancelling adds nothing.
    {
        D driver({[](HWND d) { D::Press(d, IDCANCEL); }});
        Click(f, f.addButton);
        EXPECT_GT(driver.ticksWhileOpen, 0);
    }
    EXPECT_EQ(f.programList.Count(), 2);
    EXPECT_EQ(ReadBytes(listPath), "C:\\a.exe\r\n" + chosen + "\r\n");
}

TEST_F(SettingsWindowList, AddWhileTheListIsLockedShowsTheErrorWithoutOpeningTheDialog) {
    WriteBytes(listPath, "C:\\a.exe\r\n");
    LockedFile lock(listPath);
    SettingsWindow& f = Start();
    ASSERT_EQ(errors, Strings{OpenErrorText()});
    D driver({});
    Click(f, f.addButton);
    EXPECT_EQ(driver.ticksWhileOpen, 0) << "the dialog opened over a list that could not be loaded";
    EXPECT_EQ(errors, (Strings{OpenErrorText(), OpenErrorText()}));
    EXPECT_EQ(f.programList.Count(), 0);
    lock.Unlock();
    EXPECT_EQ(ReadBytes(listPath), "C:\\a.exe\r\n");
}

TEST_F(SettingsWindowList, FailedSaveInTheDialogIsShownTheDialogClosesAndTheNextSaveStoresTheEntry) {
    SettingsWindow& f = StartWith("C:\\a.exe\r\n");
    ASSERT_TRUE(SetFileAttributesA(listPath.c_str(), FILE_ATTRIBUTE_READONLY));
    bool openAfterFailure = false;
    {
        D driver({[](HWND d) { D::Type(d, "C:\\b.exe"); }, [](HWND d) { D::Press(d, IDOK); },
                  [&](HWND d) { openAfterFailure = IsWindowVisible(d) != FALSE; }});
        Click(f, f.addButton);
        EXPECT_GT(driver.ticksWhileOpen, 0) << "the dialog did not open";
    }
    EXPECT_FALSE(openAfterFailure) << "the dialog stayed open after the failed save";
    EXPECT_EQ(FindOpenDialog(), nullptr);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Cannot create file \"" + listPath + "\". " + SystemText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadBytes(listPath), "C:\\a.exe\r\n");
    EXPECT_EQ(Entries(f), (Strings{"C:\\a.exe", "C:\\b.exe"})) << "the new entry stays in the list, once";

    // Writable again: the next add stores both new entries, each once.
    SetFileAttributesA(listPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    {
        D driver({[](HWND d) { D::Type(d, "C:\\c.exe"); }, [](HWND d) { D::Press(d, IDOK); }});
        Click(f, f.addButton);
    }
    EXPECT_EQ(FindOpenDialog(), nullptr);
    EXPECT_EQ(ReadBytes(listPath), "C:\\a.exe\r\nC:\\b.exe\r\nC:\\c.exe\r\n");
    EXPECT_EQ(errors.size(), 1u);
}

}  // namespace
