// The settings window's registry side for real under Wine: the start-up load
// of the two switches, the store actions of the two check boxes, and what an
// error leaves behind (the rest of the settings load skipped, the other
// start-up loads run, nothing written into a key left current by an earlier
// error).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "SettingsWindowFixture.h"
#include "SettingsWindowStoreSupport.h"

namespace {
using app::SettingsWindow;
using namespace settings_window_test;

constexpr char kSettingsParent[] = "Software\\Orvaneth";
constexpr char kRunParent[] = "Software\\Microsoft\\Windows\\CurrentVersion";

// A list.txt with an entry and an autostart entry of another copy: what a
// start-up that runs to its end would load and rewrite.
constexpr char kStoredList[] = "C:\\Tools\\figyelt.exe\r\n";
constexpr char kOtherCopy[] = "C:\\Régi hely\\tavrin2.exe";

std::string WithNul(const std::string& text) {
    return text + std::string(1, '\0');
}

void ExpectControlsEnabled(SettingsWindow& f, bool buttons, bool combo) {
    EXPECT_EQ(f.addButton.Enabled(), buttons);
    EXPECT_EQ(f.removeButton.Enabled(), buttons);
    EXPECT_EQ(f.programList.Enabled(), combo);
}

// ---- the start-up load --------------------------------------------------

class SettingsWindowSwitchesLoad : public SettingsWindowFixture {};

TEST_F(SettingsWindowSwitchesLoad, FirstStartStoresTheSwitchOffAndLeavesEverythingEnabled) {
    SettingsWindow& f = Start();
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(Value(kSettingsKey, "Inteligens"), std::make_pair(DWORD{REG_DWORD}, Dword(0)));
    EXPECT_EQ(InfoOf(kSettingsKey).values, 1) << "the settings key holds one value";
    EXPECT_FALSE(f.intelligentModeBox.Checked());
    EXPECT_FALSE(f.autostartBox.Checked());
    ExpectControlsEnabled(f, true, true);
    EXPECT_EQ(Value(kRunKey, "Tavrin2").first, 0u) << "no autostart entry unless asked";
    EXPECT_TRUE(f.ListLoaded);
    EXPECT_FALSE(f.Registry()->HasCurrentKey());
}

TEST_F(SettingsWindowSwitchesLoad, StoredOffDisablesTheControlsAndWritesNothing) {
    // A two-byte zero reads as off; any write would store four bytes.
    SetRaw(kSettingsKey, "Inteligens", REG_DWORD, std::string(2, '\0'));
    const KeyInfo before = InfoOf(kSettingsKey);
    Sleep(30);
    SettingsWindow& f = Start();
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_FALSE(f.intelligentModeBox.Checked());
    ExpectControlsEnabled(f, false, false);
    EXPECT_EQ(Value(kSettingsKey, "Inteligens").second, std::string(2, '\0')) << "the switch was written";
    const KeyInfo after = InfoOf(kSettingsKey);
    EXPECT_EQ(after.values, 1);
    EXPECT_EQ(after.lastWrite, before.lastWrite) << "the settings key was written at start";
    EXPECT_FALSE(f.Registry()->HasCurrentKey());
}

struct StoredOn {
    const char* name;
    std::string bytes;  // REG_DWORD data as stored
};

class SettingsWindowSwitchesStoredOn : public SettingsWindowFixture, public ::testing::WithParamInterface<StoredOn> {};

TEST_P(SettingsWindowSwitchesStoredOn, ChecksTheBoxRewritesOneAndEnablesEverything) {
    SetRaw(kSettingsKey, "Inteligens", REG_DWORD, GetParam().bytes);
    WriteBytes(listPath, kStoredList);
    SettingsWindow& f = Start();
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_TRUE(f.intelligentModeBox.Checked());
    EXPECT_EQ(Value(kSettingsKey, "Inteligens"), std::make_pair(DWORD{REG_DWORD}, Dword(1)));
    ExpectControlsEnabled(f, true, true);
    EXPECT_EQ(f.programList.Count(), 1) << "the rest of the start-up ran";
    EXPECT_FALSE(f.Registry()->HasCurrentKey());
}

INSTANTIATE_TEST_SUITE_P(Values, SettingsWindowSwitchesStoredOn,
                         ::testing::Values(StoredOn{"One", std::string("\x01\0\0\0", 4)},
                                           StoredOn{"Seven", std::string("\x07\0\0\0", 4)},
                                           StoredOn{"HighByteOnly", std::string("\0\0\0\x01", 4)},
                                           StoredOn{"TwoByteOne", std::string("\x01\0", 2)},
                                           StoredOn{"OneByteNonZero", std::string("\x80", 1)}),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadSwitch {
    const char* name;
    bool present;  // false: the settings key exists without the value
    DWORD type;
    std::string bytes;
    const char* message;
};

class SettingsWindowSwitchesBadSwitch : public SettingsWindowFixture,
                                        public ::testing::WithParamInterface<BadSwitch> {};

TEST_P(SettingsWindowSwitchesBadSwitch, IsReportedAndStopsTheSettingsLoadButNotTheList) {
    const BadSwitch& c = GetParam();
    if (c.present)
        SetRaw(kSettingsKey, "Inteligens", c.type, c.bytes);
    else
        CreateKey(kSettingsKey);
    SetString(kRunKey, "Tavrin2", kOtherCopy);
    WriteBytes(listPath, kStoredList);
    SettingsWindow& f = Start();

    ASSERT_EQ(errors, Strings{c.message});
    EXPECT_EQ(toolkit::ErrorBoxText(errors[0]), errors[0]) << "no full stop after a closing quote";
    EXPECT_FALSE(f.intelligentModeBox.Checked());
    ExpectControlsEnabled(f, true, true);
    // Nothing after the failing read ran in the settings load: the autostart
    // entry is left as it was. The program list is a load of its own.
    EXPECT_FALSE(f.autostartBox.Checked());
    EXPECT_EQ(Value(kRunKey, "Tavrin2").second, Sz(kOtherCopy)) << "the autostart entry was rewritten";
    EXPECT_TRUE(f.ListLoaded);
    EXPECT_EQ(Entries(f), Strings{"C:\\Tools\\figyelt.exe"});
    EXPECT_EQ(ReadBytes(listPath), kStoredList);
    // The value stays as the user left it.
    EXPECT_EQ(Value(kSettingsKey, "Inteligens").first, c.present ? c.type : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsWindowSwitchesBadSwitch,
    ::testing::Values(
        BadSwitch{"OneCharacterText", true, REG_SZ, std::string("1\0", 2), "Invalid data type for 'Inteligens'"},
        BadSwitch{"ThreeCharacterText", true, REG_SZ, std::string("igy\0", 4), "Invalid data type for 'Inteligens'"},
        BadSwitch{"FourCharacterText", true, REG_SZ, std::string("igen\0", 5), "Failed to get data for 'Inteligens'"},
        BadSwitch{"LongText", true, REG_SZ, std::string("bekapcsolva\0", 12), "Failed to get data for 'Inteligens'"},
        BadSwitch{"FourBinaryBytes", true, REG_BINARY, std::string("\x01\0\0\0", 4),
                  "Invalid data type for 'Inteligens'"},
        BadSwitch{"EightByteNumber", true, REG_DWORD, std::string("\x01\0\0\0\0\0\0\0", 8),
                  "Failed to get data for 'Inteligens'"},
        BadSwitch{"KeyWithoutValue", false, 0, "", "Failed to get data for 'Inteligens'"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsWindowSwitchesLoad, AutostartEntryOfAnotherTypeIsReportedAndTheListStillLoads) {
    SetDword(kRunKey, "Tavrin2", 1);
    WriteBytes(listPath, kStoredList);
    SettingsWindow& f = Start();
    ASSERT_EQ(errors, Strings{"Invalid data type for 'Tavrin2'"});
    EXPECT_EQ(toolkit::ErrorBoxText(errors[0]), errors[0]);
    EXPECT_FALSE(f.autostartBox.Checked());
    EXPECT_EQ(Value(kRunKey, "Tavrin2"), std::make_pair(DWORD{REG_DWORD}, Dword(1)));
    EXPECT_TRUE(f.ListLoaded);
    EXPECT_EQ(f.programList.Count(), 1);
}

// ---- start-up loads that fail independently ---------------------------------

struct StartFailure {
    const char* name;
    bool listIsFolder;     // list.txt is a folder: the list file cannot be made
    bool listLocked;       // list.txt held by another program: it cannot be read
    bool badSwitch;        // "Inteligens" stored as text
    Strings errors;        // as shown, in order; {folder} and {locked} stand for the list's texts
};

class SettingsWindowStartLoads : public SettingsWindowFixture, public ::testing::WithParamInterface<StartFailure> {};

TEST_P(SettingsWindowStartLoads, EachLoadRunsEachErrorIsShownOnceInStepOrder) {
    const StartFailure& c = GetParam();
    // What a start that runs to its end takes in: the switch on, autostart on
    // from another place, one listed program.
    SetRaw(kSettingsKey, "Inteligens", c.badSwitch ? REG_SZ : REG_DWORD,
           c.badSwitch ? std::string("be\0", 3) : Dword(1));
    SetString(kRunKey, "Tavrin2", kOtherCopy);
    HANDLE lock = INVALID_HANDLE_VALUE;
    if (c.listIsFolder) {
        ASSERT_TRUE(CreateDirectoryA(listPath.c_str(), nullptr));
    } else {
        WriteBytes(listPath, kStoredList);
        if (c.listLocked)
            lock = CreateFileA(listPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    SettingsWindow& f = Start();
    if (lock != INVALID_HANDLE_VALUE)
        CloseHandle(lock);
    const bool isFolder = c.listIsFolder;
    if (isFolder)
        RemoveDirectoryA(listPath.c_str());

    Strings expected;
    for (const std::string& e : c.errors) {
        if (e == "{folder}")
            expected.push_back("File access denied");
        else if (e == "{locked}")
            expected.push_back("Cannot open file \"" + listPath + "\". " + SystemText(ERROR_SHARING_VIOLATION));
        else
            expected.push_back(e);
    }
    EXPECT_EQ(errors, expected);
    // The settings load ran whatever happened to the list.
    EXPECT_EQ(f.intelligentModeBox.Checked(), !c.badSwitch);
    EXPECT_EQ(f.autostartBox.Checked(), !c.badSwitch) << "autostart comes after the switch in the same load";
    if (!c.badSwitch)
        EXPECT_EQ(Value(kRunKey, "Tavrin2").second, Sz(exePath));
    // The list loaded whenever it could be read.
    const bool readable = !c.listIsFolder && !c.listLocked;
    EXPECT_EQ(f.ListLoaded, readable);
    EXPECT_EQ(f.programList.Count(), readable ? 1 : 0);
    EXPECT_EQ(f.StepX, 10);
    EXPECT_EQ(f.StepY, 10);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsWindowStartLoads,
    ::testing::Values(
        StartFailure{"ListIsAFolder", true, false, false, {"{folder}"}},
        StartFailure{"ListLocked", false, true, false, {"{locked}"}},
        StartFailure{"BadSwitch", false, false, true, {"Invalid data type for 'Inteligens'"}},
        StartFailure{
            "ListIsAFolderAndBadSwitch", true, false, true, {"{folder}", "Invalid data type for 'Inteligens'"}},
        StartFailure{"BadSwitchAndListLocked", false, true, true, {"Invalid data type for 'Inteligens'", "{locked}"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct AutostartAtStart {
    const char* name;
    DWORD type;
    std::string bytes;
    bool checked;
};

class SettingsWindowSwitchesAutostartAtStart : public SettingsWindowFixture,
                                               public ::testing::WithParamInterface<AutostartAtStart> {};

TEST_P(SettingsWindowSwitchesAutostartAtStart, NonEmptyEntryChecksTheBoxAndIsRewrittenWithThisPath) {
    const AutostartAtStart& c = GetParam();
    SetRaw(kRunKey, "Tavrin2", c.type, c.bytes);
    SettingsWindow& f = Start();
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(f.autostartBox.Checked(), c.checked);
    if (c.checked)
        EXPECT_EQ(Value(kRunKey, "Tavrin2"), std::make_pair(DWORD{REG_SZ}, Sz(exePath)));
    else
        EXPECT_EQ(Value(kRunKey, "Tavrin2"), std::make_pair(c.type, c.bytes)) << "an empty entry is left alone";
    EXPECT_TRUE(f.ListLoaded);
    EXPECT_FALSE(f.Registry()->HasCurrentKey());
}

INSTANTIATE_TEST_SUITE_P(
    Entries, SettingsWindowSwitchesAutostartAtStart,
    ::testing::Values(AutostartAtStart{"OtherPath", REG_SZ, WithNul(kOtherCopy), true},
                      AutostartAtStart{"QuotedOtherPath", REG_SZ, WithNul(std::string("\"") + kOtherCopy + "\""), true},
                      AutostartAtStart{"ExpandableText", REG_EXPAND_SZ, WithNul("%SystemDrive%\\x\\tavrin2.exe"), true},
                      AutostartAtStart{"TextWithoutNul", REG_SZ, "C:\\x.exe", true},
                      AutostartAtStart{"EmptyText", REG_SZ, std::string(1, '\0'), false},
                      AutostartAtStart{"NoBytes", REG_SZ, "", false},
                      AutostartAtStart{"NulFirst", REG_SZ, std::string("\0C:\\x.exe\0", 10), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsWindowSwitchesLoad, UnusableRunKeyReadsNothingFromTheKeyLeftCurrent) {
    // The Run key cannot be created under a volatile parent. The settings key,
    // current from the switch's read, must not be asked for the entry instead.
    SetRaw(kSettingsKey, "Inteligens", REG_DWORD, Dword(0));
    SetString(kSettingsKey, "Tavrin2", kOtherCopy);
    CreateKey("Software\\Microsoft\\Windows");
    CreateKey(kRunParent, REG_OPTION_VOLATILE);
    SettingsWindow& f = Start();
    ASSERT_FALSE(KeyExists(kRunKey)) << "the platform let a lasting key be made under a volatile one";
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_FALSE(f.autostartBox.Checked());
    EXPECT_EQ(Value(kSettingsKey, "Tavrin2").second, Sz(kOtherCopy));
    EXPECT_FALSE(f.Registry()->HasCurrentKey());
}

// ---- the store actions ----------------------------------------------------

class SettingsWindowSwitchesStore : public SettingsWindowFixture {};

TEST_F(SettingsWindowSwitchesStore, AutostartBoxWritesThePathByteForByteAndRemovesIt) {
    SettingsWindow& f = Start();
    ASSERT_EQ(exePath.find(' '), std::string::npos) << "this case needs a path without a space";
    Click(f, f.autostartBox);
    EXPECT_TRUE(f.autostartBox.Checked());
    EXPECT_EQ(Value(kRunKey, "Tavrin2"), std::make_pair(DWORD{REG_SZ}, Sz(exePath)));
    EXPECT_FALSE(f.Registry()->HasCurrentKey());

    Click(f, f.autostartBox);
    EXPECT_FALSE(f.autostartBox.Checked());
    EXPECT_EQ(Value(kRunKey, "Tavrin2").first, 0u) << "unchecking left the entry";
    EXPECT_FALSE(f.Registry()->HasCurrentKey());

    // Removed behind the program's back: unchecking then has nothing to do.
    Click(f, f.autostartBox);
    ASSERT_EQ(Value(kRunKey, "Tavrin2").first, static_cast<DWORD>(REG_SZ));
    HKEY run;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &run), 0);
    RegDeleteValueA(run, "Tavrin2");
    RegCloseKey(run);
    Click(f, f.autostartBox);
    EXPECT_FALSE(f.autostartBox.Checked());
    EXPECT_EQ(Value(kRunKey, "Tavrin2").first, 0u);
    EXPECT_FALSE(f.Registry()->HasCurrentKey());
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(SettingsWindowSwitchesStore, UncheckingAutostartThatCannotBeRemovedIsReportedNamingTheValue) {
    struct Case {
        const char* name;
        const char* access;  // of the Run key once the box is checked
        bool valueThere;     // the entry is still there when the box is unchecked
        bool reported;
    };
    const Case cases[] = {
        {"read-only key with the entry", kReadOnlyAccess, true, true},
        {"key denied to the user", kNoAccess, true, true},
        {"read-only key, entry already gone", kReadOnlyAccess, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        errors.clear();
        DeleteTree(kRunKey);
        SettingsWindow& f = Start();
        Click(f, f.autostartBox);
        ASSERT_EQ(Value(kRunKey, "Tavrin2").first, static_cast<DWORD>(REG_SZ));
        if (!c.valueThere)
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Tavrin2");
        SetKeyAccess(kRunKey, c.access);

        Click(f, f.autostartBox);
        EXPECT_FALSE(f.autostartBox.Checked()) << "the box keeps its new state";
        EXPECT_EQ(errors, c.reported ? Strings{"Failed to delete data for 'Tavrin2'"} : Strings{});
        if (!errors.empty()) {
            EXPECT_EQ(toolkit::ErrorBoxText(errors[0]), errors[0]) << "no full stop after a closing quote";
        }
        EXPECT_FALSE(f.Registry()->HasCurrentKey());
        SetKeyAccess(kRunKey, kFullAccess);
        EXPECT_EQ(Value(kRunKey, "Tavrin2").first, c.valueThere ? static_cast<DWORD>(REG_SZ) : 0u);

        // Once the key can be written again, unchecking removes the entry.
        if (c.valueThere) {
            Click(f, f.autostartBox);
            Click(f, f.autostartBox);
            EXPECT_EQ(Value(kRunKey, "Tavrin2").first, 0u);
            EXPECT_EQ(errors.size(), 1u);
        }
    }
}

TEST_F(SettingsWindowSwitchesStore, UncheckingTheSwitchDisablesTheButtonsAndLeavesTheListAlone) {
    struct Case {
        const char* start;  // how the switch was stored
        bool comboEnabled;  // programList after the start
    };
    for (const Case c : {Case{"first start", true}, Case{"stored off", false}}) {
        SCOPED_TRACE(c.start);
        form.reset();
        DeleteTree("Software\\Orvaneth");
        if (!c.comboEnabled)
            SetDword(kSettingsKey, "Inteligens", 0);
        SettingsWindow& f = Start();
        ASSERT_EQ(f.programList.Enabled(), c.comboEnabled);

        Click(f, f.intelligentModeBox);
        EXPECT_TRUE(f.intelligentModeBox.Checked());
        EXPECT_EQ(Value(kSettingsKey, "Inteligens").second, Dword(1));
        ExpectControlsEnabled(f, true, c.comboEnabled);
        EXPECT_FALSE(f.Registry()->HasCurrentKey());

        Click(f, f.intelligentModeBox);
        EXPECT_FALSE(f.intelligentModeBox.Checked());
        EXPECT_EQ(Value(kSettingsKey, "Inteligens").second, Dword(0));
        ExpectControlsEnabled(f, false, c.comboEnabled);
        EXPECT_FALSE(f.Registry()->HasCurrentKey());
    }
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(SettingsWindowSwitchesStore, RemovedSettingsKeyIsReportedAndNothingGoesIntoTheKeyLeftOpen) {
    SetDword(kSettingsKey, "Inteligens", 0);
    SettingsWindow& f = Start();
    ASSERT_TRUE(errors.empty()) << errors.front();
    // An earlier error left the Run key current; then the settings key went.
    ASSERT_TRUE(f.Registry()->UseKey(kRunKey, true));
    const KeyInfo run = InfoOf(kRunKey);
    DeleteTree(kSettingsKey);

    Click(f, f.intelligentModeBox);
    EXPECT_EQ(errors, Strings{"Failed to set data for 'Inteligens'"});
    EXPECT_TRUE(f.intelligentModeBox.Checked()) << "the box keeps its new state";
    ExpectControlsEnabled(f, false, false);  // not updated after the failure
    EXPECT_EQ(Value(kRunKey, "Inteligens").first, 0u) << "the switch went into the Run key";
    EXPECT_EQ(InfoOf(kRunKey).values, run.values);
    EXPECT_FALSE(KeyExists(kSettingsKey)) << "the store action must not create the key";
    EXPECT_FALSE(f.Registry()->HasCurrentKey());
}

TEST_F(SettingsWindowSwitchesStore, UnusableRunKeyIsReportedAndNothingGoesIntoTheKeyLeftOpen) {
    SettingsWindow& f = Start();
    Click(f, f.autostartBox);
    ASSERT_TRUE(f.autostartBox.Checked());
    // The Run key is gone and can no longer be made (its parent is volatile);
    // the settings key, with an entry of that name, was left current.
    DeleteTree(kRunParent);
    CreateKey(kRunParent, REG_OPTION_VOLATILE);
    SetString(kSettingsKey, "Tavrin2", kOtherCopy);
    ASSERT_TRUE(f.Registry()->UseKey(kSettingsKey, false));

    Click(f, f.autostartBox);  // unchecking removes nothing elsewhere
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(Value(kSettingsKey, "Tavrin2").second, Sz(kOtherCopy)) << "the value was removed from the wrong key";
    EXPECT_FALSE(f.Registry()->HasCurrentKey());

    ASSERT_TRUE(f.Registry()->UseKey(kSettingsKey, false));
    Click(f, f.autostartBox);  // checking writes nothing elsewhere
    EXPECT_EQ(errors, Strings{"Failed to set data for 'Tavrin2'"});
    EXPECT_TRUE(f.autostartBox.Checked());
    EXPECT_EQ(Value(kSettingsKey, "Tavrin2").second, Sz(kOtherCopy)) << "the path went into the wrong key";
    EXPECT_EQ(InfoOf(kSettingsKey).values, 2);
    EXPECT_FALSE(KeyExists(kRunKey));
    EXPECT_FALSE(f.Registry()->HasCurrentKey());
}

// ---- a program folder with a space in its name ----------------------------

class SettingsWindowSwitchesSpacedPath : public SettingsWindowFixture {
protected:
    void SetUp() override {
        SettingsWindowFixture::SetUp();
        spaced_ = folder + "\\Tavrin 2 mappa";
        ASSERT_TRUE(CreateDirectoryA(spaced_.c_str(), nullptr));
        exePath = spaced_ + "\\tavrin2.exe";
        baseList_ = listPath;
        listPath = spaced_ + "\\list.txt";
    }
    void TearDown() override {
        form.reset();
        DeleteFileA(listPath.c_str());
        RemoveDirectoryA(spaced_.c_str());
        listPath = baseList_;
        SettingsWindowFixture::TearDown();
    }
    std::string Quoted() const { return "\"" + exePath + "\""; }

private:
    std::string spaced_, baseList_;
};

TEST_F(SettingsWindowSwitchesSpacedPath, AutostartPathIsQuotedWhenWrittenAndReadBackAsOn) {
    SettingsWindow& f = Start();
    Click(f, f.autostartBox);
    EXPECT_EQ(Value(kRunKey, "Tavrin2"), std::make_pair(DWORD{REG_SZ}, Sz(Quoted())));

    // The next start finds the quoted entry on and writes it the same way.
    form.reset();
    SetString(kRunKey, "Tavrin2", Quoted());
    SettingsWindow& again = Start();
    EXPECT_TRUE(again.autostartBox.Checked());
    EXPECT_EQ(Value(kRunKey, "Tavrin2"), std::make_pair(DWORD{REG_SZ}, Sz(Quoted())));

    Click(again, again.autostartBox);
    EXPECT_EQ(Value(kRunKey, "Tavrin2").first, 0u);
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_FALSE(again.Registry()->HasCurrentKey());
}

TEST_F(SettingsWindowSwitchesSpacedPath, EntryOfAnotherCopyIsRewrittenQuotedAtStart) {
    SetString(kRunKey, "Tavrin2", "C:\\Tavrin2\\tavrin2.exe");
    SettingsWindow& f = Start();
    EXPECT_TRUE(f.autostartBox.Checked());
    EXPECT_EQ(Value(kRunKey, "Tavrin2").second, Sz(Quoted()));
    EXPECT_EQ(f.ListPath, listPath);
    EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
