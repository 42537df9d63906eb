// The bad-input matrix of what is stored: damaged, odd, locked or denied
// list.txt files and registry values of every type and size, met by the real
// settings window under Wine. Every row checks the same three things: the
// program runs on, the user is shown exactly the expected errors, and nothing
// stored is lost (list.txt and both values compared before and after; an add
// may append the user's new entry, nothing else).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include <shlobj.h>

#include "SettingsWindowFixture.h"
#include "SettingsWindowStoreSupport.h"
#include "OpenDialogDriver.h"
#include "store/ListFile.h"

namespace {
using app::SettingsWindow;
using namespace settings_window_test;

using Stored = std::pair<DWORD, std::string>;  // (type, bytes); type 0: missing
constexpr char kOtherCopy[] = "C:\\Regi\\tavrin2.exe";
constexpr char kNewEntry[] = "C:\\Uj\\program.exe";
constexpr char kTwoEntries[] = "C:\\a.exe\r\nC:\\b.exe\r\n";

class BadInput;

struct Row {
    std::string name;
    std::function<void(BadInput&)> arrange;    // before the start
    Strings startErrors;                       // "{list}" and "{sys:N}" are filled in
    std::function<Stored(const BadInput&)> inteligensAfterStart;  // null: as stored
    std::function<Stored(const BadInput&)> tavrin2AfterStart;     // null: as stored
    std::function<void(BadInput&)> whileRunning;  // after the start, before the user acts
    const char* deniedKey = nullptr;  // denied again (deniedAccess) for the user's actions
    const char* deniedAccess = nullptr;
    bool addIsSaved = true;   // the user's add reaches list.txt
    bool addIsListed = true;  // the user's add stays in the list shown
    std::string listAfterAdd;  // empty: list.txt as before plus the new entry
    Strings actionErrors;      // of the add and of toggling both boxes twice
};

class BadInput : public SettingsWindowFixture, public ::testing::WithParamInterface<Row> {
public:
    using SettingsWindowFixture::exePath;
    using SettingsWindowFixture::folder;
    using SettingsWindowFixture::listPath;
    using SettingsWindowFixture::SetString;
    using SettingsWindowFixture::Value;
    std::string Expand(std::string text) const {
        for (size_t at; (at = text.find("{list}")) != std::string::npos;)
            text.replace(at, 6, listPath);
        for (size_t at; (at = text.find("{sys:")) != std::string::npos;) {
            const size_t end = text.find('}', at);
            text.replace(at, end - at + 1, SystemText(std::stoul(text.substr(at + 5, end - at - 5))));
        }
        return text;
    }
    Strings Expand(const Strings& texts) const {
        Strings out;
        for (const std::string& t : texts)
            out.push_back(Expand(t));
        return out;
    }
    // The keys' owner may always change their access lists back.
    void RestoreAccess() {
        for (const char* key : {kSettingsKey, kRunKey}) {
            HKEY k;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, WRITE_DAC, &k) == ERROR_SUCCESS) {
                RegCloseKey(k);
                SetKeyAccess(key, kFullAccess);
            }
        }
    }
    void TearDown() override {
        form.reset();
        for (HANDLE h : locks)
            CloseHandle(h);
        RestoreAccess();
        RemoveDirectoryA(listPath.c_str());
        for (const std::string& f : extraFiles)
            DeleteFileA(f.c_str());
        SetFileAttributesA(listPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        SettingsWindowFixture::TearDown();
    }
    std::vector<HANDLE> locks;
    std::vector<std::string> extraFiles;
};

Stored Sz(const std::string& text) {
    return {REG_SZ, text + std::string(1, '\0')};
}
Stored DwordOf(DWORD v) {
    return {REG_DWORD, std::string(reinterpret_cast<const char*>(&v), 4)};
}
Stored SettingsValue() {
    return BadInput::Value(kSettingsKey, "Inteligens");
}
Stored RunValue() {
    return BadInput::Value(kRunKey, "Tavrin2");
}
void Store(const char* key, const char* name, const Stored& v) {
    SetRaw(key, name, v.first, v.second);
}

// A start that loads everything: the switch on, autostart on from another
// place, two listed programs.
void Usual(BadInput& t) {
    Store(kSettingsKey, "Inteligens", DwordOf(1));
    BadInput::SetString(kRunKey, "Tavrin2", kOtherCopy);
    WriteBytes(t.listPath, kTwoEntries);
}
Stored ThisCopy(const BadInput& t) {
    return Sz(t.exePath);
}
HANDLE Hold(const std::string& path, DWORD access, DWORD share) {
    return CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

// ---- list.txt ----------------------------------------------------------------

std::vector<Row> ListRows() {
    std::vector<Row> rows;
    auto row = [&](std::string name, std::function<void(BadInput&)> arrange) {
        Row r;
        r.name = std::move(name);
        r.arrange = [arrange](BadInput& t) {
            Usual(t);
            arrange(t);
        };
        r.inteligensAfterStart = [](const BadInput&) { return DwordOf(1); };
        r.tavrin2AfterStart = ThisCopy;
        rows.push_back(r);
        return &rows.back();
    };
    row("TenMegabytesOfText", [](BadInput& t) {
        std::string text;
        for (int i = 0; text.size() < 10 * 1024 * 1024; ++i)
            text += "C:\\Programok\\sok\\program" + std::to_string(i) + ".exe\r\n";
        WriteBytes(t.listPath, text);
    });
    row("OneLineOfOneMegabyte", [](BadInput& t) { WriteBytes(t.listPath, std::string(1024 * 1024, 'x') + "\r\n"); });
    {
        Row* r = row("OnlyNulBytes", [](BadInput& t) { WriteBytes(t.listPath, std::string(4096, '\0')); });
        r->listAfterAdd = std::string(kNewEntry) + "\r\n";  // a NUL ends the text: there was none
    }
    {
        // Written by an editor as Unicode: read as the text it holds.
        Row* r = row("Utf16WithByteOrderMark", [](BadInput& t) {
            const std::string ascii = "C:\\a.exe\r\nC:\\\xe1rv\xedz.exe\r\n";  // "árvíz" in code page 1250
            std::wstring wide(ascii.size(), L'\0');
            MultiByteToWideChar(CP_ACP, 0, ascii.data(), static_cast<int>(ascii.size()), wide.data(),
                                static_cast<int>(wide.size()));
            WriteBytes(t.listPath, std::string("\xff\xfe", 2) +
                                       std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2));
        });
        r->listAfterAdd = std::string("C:\\a.exe\r\nC:\\\xe1rv\xedz.exe\r\n") + kNewEntry + "\r\n";
    }
    {
        // The same with a letter the 8-bit code page lacks: refused, not changed.
        Row* r = row("Utf16BeyondTheCodePage", [](BadInput& t) {
            // The byte order mark, then "C:\" and two CJK letters before ".exe".
            const wchar_t wide[] = {0xfeff, 'C', ':', '\\', 0x65e5, 0x672c, '.', 'e', 'x', 'e', '\r', '\n'};
            WriteBytes(t.listPath, std::string(reinterpret_cast<const char*>(wide), sizeof wide));
        });
        const char* refused = "Cannot open file \"{list}\". The Unicode text holds characters the ANSI code page lacks";
        r->startErrors = {refused};
        r->addIsSaved = false;
        r->addIsListed = false;
        r->actionErrors = {refused};
    }
    {
        Row* r = row("ReadOnly", [](BadInput& t) { SetFileAttributesA(t.listPath.c_str(), FILE_ATTRIBUTE_READONLY); });
        r->addIsSaved = false;
        r->actionErrors = {"Cannot create file \"{list}\". {sys:5}"};
    }
    {
        Row* r = row("LockedForReading", [](BadInput& t) {
            t.locks.push_back(Hold(t.listPath, GENERIC_READ | GENERIC_WRITE, 0));
        });
        r->startErrors = {"Cannot open file \"{list}\". {sys:32}"};
        r->addIsSaved = false;
        r->addIsListed = false;  // a list that could not be read is not changed
        r->actionErrors = {"Cannot open file \"{list}\". {sys:32}"};  // the add loads the list first
    }
    {
        Row* r = row("LockedForWriting", [](BadInput& t) {
            t.locks.push_back(Hold(t.listPath, GENERIC_READ, FILE_SHARE_READ));
        });
        r->addIsSaved = false;
        r->actionErrors = {"Cannot create file \"{list}\". {sys:32}"};
    }
    {
        // Another program holds a lock on the first bytes. Wine reads through
        // it (Windows would refuse the read: "Stream read error"), but the
        // file cannot be replaced while the lock stands.
        Row* r = row("LockedRange", [](BadInput& t) {
            HANDLE h = Hold(t.listPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
            LockFile(h, 0, 0, 4, 0);
            t.locks.push_back(h);
        });
        r->addIsSaved = false;
        r->actionErrors = {"Cannot create file \"{list}\". {sys:5}"};
    }
    {
        Row* r = row("FolderNamedListTxt", [](BadInput& t) {
            DeleteFileA(t.listPath.c_str());
            CreateDirectoryA(t.listPath.c_str(), nullptr);
        });
        r->startErrors = {"File access denied"};
        r->addIsSaved = false;
        r->actionErrors = {"Cannot create file \"{list}\". {sys:5}"};
    }
    {
        // Wine run as root writes through file permissions: a program folder
        // that is not there stands in for one that refuses new files.
        Row* r = row("ProgramFolderRefusesNewFiles", [](BadInput& t) {
            DeleteFileA(t.listPath.c_str());
            t.exePath = t.folder + "\\nincs\\tavrin2.exe";
            t.listPath = t.folder + "\\nincs\\list.txt";
        });
        r->startErrors = {"Invalid filename"};
        r->addIsSaved = false;
        r->actionErrors = {"Cannot create file \"{list}\". {sys:3}"};
    }
    row("LeftoverTemporaryFiles", [](BadInput& t) {
        // An interrupted save of this process (the name it would use first)
        // and of another one.
        for (const std::string& name : {store::ListTempName(t.listPath, 0), t.listPath + ".99999-0.tmp"}) {
            WriteBytes(name, "C:\\felbe\r\n");
            t.extraFiles.push_back(name);
        }
    });
    return rows;
}

// ---- the registry values -------------------------------------------------------

// What the start-up makes of a stored "Inteligens": the error, or the value after.
struct SwitchOutcome {
    std::string error;
    Stored after;
};
SwitchOutcome ReadSwitch(const Stored& v) {
    // The 8-bit read of a text without its NUL reports the NUL it adds (Wine).
    const bool text = v.first == REG_SZ || v.first == REG_EXPAND_SZ;
    const size_t size = v.second.size() + (text && (v.second.empty() || v.second.back() != '\0') ? 1 : 0);
    if (v.first == 0 || size > 4)
        return {"Failed to get data for 'Inteligens'", v};
    if (v.first != REG_DWORD)
        return {"Invalid data type for 'Inteligens'", v};
    const bool on = v.second.find_first_not_of('\0') != std::string::npos;
    return {"", on ? DwordOf(1) : v};
}

// The same for "Tavrin2" (rewritten with this copy's path when it holds text).
std::string ReadAutostart(const Stored& v, bool* on) {
    *on = false;
    if (v.first == 0 || v.second.empty())
        return "";
    if (v.first != REG_SZ && v.first != REG_EXPAND_SZ)
        return "Invalid data type for 'Tavrin2'";
    *on = v.second[0] != '\0';
    return "";
}

std::vector<Stored> EveryTypeAndSize() {
    std::vector<Stored> values = {{0, ""}};
    const std::string text = "C:\\abcde";
    for (size_t n = 0; n <= 8; ++n) {
        values.push_back({REG_SZ, text.substr(0, n)});
        values.push_back({REG_SZ, text.substr(0, n) + std::string(1, '\0')});
        values.push_back({REG_BINARY, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", n)});
    }
    values.push_back({REG_EXPAND_SZ, std::string("%SystemRoot%\\x.exe\0", 19)});
    values.push_back({REG_EXPAND_SZ, std::string("\0", 1)});
    values.push_back(DwordOf(0));
    values.push_back(DwordOf(1));
    values.push_back(DwordOf(0x80000000u));
    values.push_back({REG_QWORD, std::string("\x01\0\0\0\0\0\0\0", 8)});
    values.push_back({REG_QWORD, std::string(8, '\0')});
    return values;
}

std::string Describe(const Stored& v) {
    if (v.first == 0)
        return "Missing";
    static const char* const kTypes[] = {"None", "Sz", "ExpandSz", "Binary", "Dword", "", "", "", "", "", "", "Qword"};
    std::string name = kTypes[v.first < 12 ? v.first : 0];
    name += std::to_string(v.second.size());
    if (v.first == REG_SZ || v.first == REG_EXPAND_SZ) {
        if (!v.second.empty() && v.second.back() == '\0')
            name += "Nul";
    } else if (v.first != REG_BINARY) {
        char hex[3];
        for (unsigned char c : v.second) {
            std::snprintf(hex, sizeof hex, "%02x", c);
            name += hex;
        }
    }
    return name;
}

std::vector<Row> RegistryRows() {
    std::vector<Row> rows;
    for (const Stored& v : EveryTypeAndSize()) {
        Row r;
        r.name = "Inteligens" + Describe(v);
        r.arrange = [v](BadInput& t) {
            CreateKey(kSettingsKey);
            if (v.first)
                Store(kSettingsKey, "Inteligens", v);
            BadInput::SetString(kRunKey, "Tavrin2", kOtherCopy);
            WriteBytes(t.listPath, kTwoEntries);
        };
        const SwitchOutcome o = ReadSwitch(v);
        if (!o.error.empty())
            r.startErrors = {o.error};
        if (o.error.empty() && o.after != v)
            r.inteligensAfterStart = [o](const BadInput&) { return o.after; };
        // The autostart entry is read after the switch, in the same load.
        if (o.error.empty())
            r.tavrin2AfterStart = ThisCopy;
        rows.push_back(r);
    }
    for (const Stored& v : EveryTypeAndSize()) {
        Row r;
        r.name = "Tavrin2" + Describe(v);
        r.arrange = [v](BadInput& t) {
            Store(kSettingsKey, "Inteligens", DwordOf(0));
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Tavrin2");
            CreateKey(kRunKey);
            if (v.first)
                Store(kRunKey, "Tavrin2", v);
            WriteBytes(t.listPath, kTwoEntries);
        };
        bool on = false;
        const std::string error = ReadAutostart(v, &on);
        if (!error.empty())
            r.startErrors = {error};
        if (on)
            r.tavrin2AfterStart = ThisCopy;
        rows.push_back(r);
    }
    return rows;
}

// ---- keys: without values, denied, deleted while running ------------------------

std::vector<Row> KeyRows() {
    std::vector<Row> rows;
    Row r;
    r.name = "SettingsKeyWithoutValues";
    r.arrange = [](BadInput& t) {
        CreateKey(kSettingsKey);
        WriteBytes(t.listPath, kTwoEntries);
    };
    r.startErrors = {"Failed to get data for 'Inteligens'"};
    rows.push_back(r);

    struct Denied {
        const char* name;
        const char* key;
        const char* access;
        Strings startErrors, actionErrors;
    };
    const Denied denied[] = {
        // Not readable: taken for missing, so the start tries to create it.
        {"SettingsKeyDenied", kSettingsKey, kNoAccess, {"Failed to set data for 'Inteligens'"},
         {"Failed to set data for 'Inteligens'", "Failed to set data for 'Inteligens'"}},
        {"SettingsKeyReadOnly", kSettingsKey, kReadOnlyAccess, {"Failed to get data for 'Inteligens'"},
         {"Failed to set data for 'Inteligens'", "Failed to set data for 'Inteligens'"}},
        // The entry cannot be read: the box shows off, and neither writing nor
        // removing it can work; each attempt says so.
        {"RunKeyDenied", kRunKey, kNoAccess, {},
         {"Failed to set data for 'Tavrin2'", "Failed to delete data for 'Tavrin2'"}},
        {"RunKeyReadOnly", kRunKey, kReadOnlyAccess, {},
         {"Failed to set data for 'Tavrin2'", "Failed to delete data for 'Tavrin2'"}},
    };
    for (const Denied& d : denied) {
        Row k;
        k.name = d.name;
        const std::string key = d.key, access = d.access;
        k.arrange = Usual;
        k.startErrors = d.startErrors;
        k.actionErrors = d.actionErrors;
        k.deniedKey = d.key;
        k.deniedAccess = d.access;
        rows.push_back(k);
    }

    Row gone;
    gone.name = "BothKeysDeletedWhileRunning";
    gone.arrange = Usual;
    gone.inteligensAfterStart = [](const BadInput&) { return DwordOf(1); };
    gone.tavrin2AfterStart = ThisCopy;
    gone.whileRunning = [](BadInput&) {
        DeleteTree("Software\\Orvaneth");
        DeleteTree(kRunKey);
    };
    // The switch's key is not made again by a click; the Run key is.
    gone.actionErrors = {"Failed to set data for 'Inteligens'", "Failed to set data for 'Inteligens'"};
    rows.push_back(gone);
    return rows;
}

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

std::string WithNewEntry(const std::string& bytes) {
    std::string text = bytes;
    if (!text.empty() && text.back() != '\n' && text.back() != '\r')
        text += "\r\n";
    return text + kNewEntry + "\r\n";
}

TEST_P(BadInput, RunsOnShowsTheExpectedErrorsAndLosesNothing) {
    const Row& row = GetParam();
    row.arrange(*this);
    const std::string listBefore = ReadBytes(listPath);
    const Stored inteligensBefore = SettingsValue(), tavrin2Before = RunValue();
    if (row.deniedKey)
        SetKeyAccess(row.deniedKey, row.deniedAccess);

    SettingsWindow& f = Start();
    EXPECT_EQ(errors, Expand(row.startErrors)) << "at start";
    errors.clear();

    // Runs on: the timers tick. (The window is not shown: other tests click
    // on the same display.)
    EXPECT_TRUE(f.timers.Active());
    EXPECT_TRUE(IsWindow(f.Handle()));
    const DWORD until = GetTickCount() + 150;
    while (static_cast<int>(until - GetTickCount()) > 0) {
        Pump();
        Sleep(10);
    }

    // Nothing stored was lost by the start (denied keys are read back with
    // their access restored, and denied again for the user's actions).
    EXPECT_EQ(ReadBytes(listPath), listBefore) << "list.txt changed at start";
    RestoreAccess();
    EXPECT_EQ(SettingsValue(), row.inteligensAfterStart ? row.inteligensAfterStart(*this) : inteligensBefore);
    EXPECT_EQ(RunValue(), row.tavrin2AfterStart ? row.tavrin2AfterStart(*this) : tavrin2Before);
    if (row.deniedKey)
        SetKeyAccess(row.deniedKey, row.deniedAccess);
    if (row.whileRunning)
        row.whileRunning(*this);

    // The user adds a program and toggles both boxes twice.
    Accept(f, kNewEntry);
    for (toolkit::CheckBox* box : {&f.intelligentModeBox, &f.autostartBox}) {
        const bool was = box->Checked();
        Click(f, *box);
        Click(f, *box);
        EXPECT_EQ(box->Checked(), was) << box->Name();
    }
    EXPECT_EQ(errors, Expand(row.actionErrors)) << "while the user acted";
    const std::string expectedList =
        !row.addIsSaved ? listBefore : row.listAfterAdd.empty() ? WithNewEntry(listBefore) : row.listAfterAdd;
    EXPECT_EQ(ReadBytes(listPath), expectedList);
    const Strings entries = Entries(f);
    EXPECT_EQ(entries.empty() ? "" : entries.back(), row.addIsListed ? kNewEntry : "")
        << "the new entry is not kept in the list";
    EXPECT_TRUE(f.timers.Active());

    // What the user set is what is stored, wherever the keys could be written.
    RestoreAccess();
    if (row.actionErrors.empty()) {
        EXPECT_EQ(SettingsValue(), DwordOf(f.intelligentModeBox.Checked() ? 1 : 0));
        EXPECT_EQ(RunValue(), (f.autostartBox.Checked() ? ThisCopy(*this) : Stored{0, ""}));
        EXPECT_FALSE(f.Registry()->HasCurrentKey());
    }
}

std::vector<Row> AllRows() {
    std::vector<Row> rows = ListRows();
    for (std::vector<Row> more : {RegistryRows(), KeyRows()})
        rows.insert(rows.end(), more.begin(), more.end());
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Matrix, BadInput, ::testing::ValuesIn(AllRows()),
                         [](const auto& info) { return info.param.name; });

// ---- drops the shell did not make -------------------------------------------------

// A drop block of this process: the header, then `list` as it stands (names
// each ended by a NUL, the list by an empty name, unless the row leaves it open).
HGLOBAL DropBlock(const std::string& list) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    return memory;
}

std::string NameList(int count, size_t length) {
    std::string list;
    for (int i = 0; i < count; ++i) {
        std::string name = "C:\\ejtett\\" + std::to_string(i);
        name.resize(length, 'x');
        list += name + '\0';
    }
    return list + '\0';
}

class ForeignDrops : public SettingsWindowFixture {};

TEST_F(ForeignDrops, RunOnLoseNothingAndShowOnlyWholeNameLists) {
    struct Case {
        const char* name;
        std::function<WPARAM()> handle;
        int names;  // the caption then lists this many; -1: the caption stays
    };
    const Case cases[] = {
        {"no handle", [] { return WPARAM{0}; }, -1},
        {"a small number", [] { return WPARAM{0x1234}; }, -1},
        {"all ones", [] { return ~WPARAM{0}; }, -1},
        {"a block too small for the header", [] { return reinterpret_cast<WPARAM>(GlobalAlloc(GMEM_MOVEABLE, 4)); }, -1},
        {"a name list without its end", [] { return reinterpret_cast<WPARAM>(DropBlock(std::string(300, 'n'))); }, -1},
        {"five thousand names", [] { return reinterpret_cast<WPARAM>(DropBlock(NameList(5000, 40))); }, 5000},
        {"two thousand names of 259 letters", [] { return reinterpret_cast<WPARAM>(DropBlock(NameList(2000, 259))); },
         2000},
    };
    WriteBytes(listPath, kTwoEntries);
    SettingsWindow& f = Start();
    const std::string settings = Value(kSettingsKey, "Inteligens").second;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.SetCaption("Tavrin2");
        SendMessageA(f.Handle(), WM_DROPFILES, c.handle(), 0);
        if (c.names < 0) {
            EXPECT_EQ(f.Caption(), "Tavrin2") << "a drop that was none changed the caption";
        } else {
            EXPECT_EQ(static_cast<int>(f.dropTarget.Files().size()), c.names);
            const std::string caption = f.Caption();
            EXPECT_EQ(std::count(caption.begin(), caption.end(), ','), c.names - 1);
        }
        EXPECT_TRUE(f.timers.Active());
    }
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(Entries(f), (Strings{"C:\\a.exe", "C:\\b.exe"})) << "a drop changed the program list";
    EXPECT_EQ(ReadBytes(listPath), kTwoEntries);
    EXPECT_EQ(Value(kSettingsKey, "Inteligens").second, settings);
}

TEST_F(ForeignDrops, ADropWhileTheOpenDialogIsUpIsShownAndTheDialogWorksOn) {
    WriteBytes(listPath, kTwoEntries);
    SettingsWindow& f = Start();
    bool openAfterDrop = false;
    {
        dialog_test::DialogDriver driver(
            {[&](HWND) { PostMessageA(f.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropBlock(NameList(3, 20))), 0); },
             [&](HWND d) { openAfterDrop = IsWindowVisible(d) != FALSE; },
             [](HWND d) { dialog_test::DialogDriver::Type(d, "C:\\Uj\\program.exe"); },
             [](HWND d) { dialog_test::DialogDriver::Press(d, IDOK); }},
            0);
        Click(f, f.addButton);
        EXPECT_GT(driver.ticksWhileOpen, 2) << "the dialog did not open";
    }
    EXPECT_TRUE(openAfterDrop) << "the drop closed the dialog";
    EXPECT_EQ(f.dropTarget.Files().size(), 3u) << "the drop was not taken while the dialog was up";
    EXPECT_EQ(ReadBytes(listPath), std::string(kTwoEntries) + "C:\\Uj\\program.exe\r\n");
    EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
