// The running-program scan against real windows of testwin.exe and a real
// combo box as the program list: what matches, what never does, which windows
// are looked up, and what nested handlers see while the scan runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestWinClient.h"
#include "engine/ProgramScan.h"

namespace {

using engine::WindowList;
using engine::WindowProcessNames;
using testsupport::TestWinProcess;

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The settings window's side of a scan: a real combo box holds the program
// list, and every port call can be watched or given extra work.
class ScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        combo_ = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWN, 0, 0, 300, 200, host_, nullptr, nullptr,
                                 nullptr);
        ASSERT_TRUE(combo_);
        programScan.SetInterval(1000);
    }
    void TearDown() override { DestroyWindow(host_); }

    void SetList(const std::vector<std::string>& entries) {
        entries_ = entries;
        SendMessageA(combo_, CB_RESETCONTENT, 0, 0);
        for (const std::string& e : entries)
            SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.c_str()));
    }
    int FindExact(const std::string& text) const {
        if (SearchFindsBlankLines) {
            for (size_t i = 0; i < entries_.size(); ++i)
                if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, entries_[i].c_str(), -1, text.c_str(), -1) ==
                    CSTR_EQUAL)
                    return static_cast<int>(i);
            return -1;
        }
        return static_cast<int>(SendMessageA(combo_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(text.c_str())));
    }
    // Wine's combo box never finds an empty text, Windows' finds a blank line;
    // this search behaves like the latter.
    bool SearchFindsBlankLines = false;

    // Runs one scan; OnPump runs inside each message pump, Namer replaces the lookup.
    void Scan() {
        engine::ScanPorts ports;
        ports.LowerPriority = [this] { journal.push_back(programScan.Enabled() ? "lower(on)" : "lower(off)"); };
        ports.ProcessMessages = [this] {
            pumpsSawWatched.push_back(WatchedRunning);
            pumpsSawTimerOn.push_back(programScan.Enabled());
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            if (OnPump)
                OnPump(static_cast<int>(pumpsSawWatched.size()));
        };
        ports.FindExact = [this](const std::string& text) {
            searched.push_back(text);
            return FindExact(text);
        };
        // Recording lookups costs the scan's own namer; it is kept where
        // the test does not need to see the lookups.
        engine::ProcessNamesMemo memo(engine::SystemProcesses(), engine::CurrentPlatformVersion());
        if (!UseScansOwnNamer)
            ports.NameWindow = [this, &memo](HWND w) {
                WindowProcessNames names = Namer ? Namer(w) : engine::NamesOfWindowProcess(w, &memo);
                looked.push_back({w, names});
                return names;
            };
        engine::RunProgramScan(programScan, WatchedRunning, list, ports);
    }

    std::vector<std::string> entries_;
    HWND host_ = nullptr;
    HWND combo_ = nullptr;
    engine::TimerEvent programScan{nullptr, "programScan"};
    WindowList list{nullptr};
    bool WatchedRunning = false;

    bool UseScansOwnNamer = false;
    std::function<void(int pump)> OnPump;
    std::function<WindowProcessNames(HWND)> Namer;
    std::vector<std::string> journal, searched;
    std::vector<bool> pumpsSawWatched, pumpsSawTimerOn;
    std::vector<std::pair<HWND, WindowProcessNames>> looked;
};

TEST_F(ScanTest, NothingListedRunningEndsTheScanWithWatchedRunningFalse) {
    TestWinProcess program({"visible", "SC plain"});
    SetList({"c:\\nowhere\\absent.exe", "absent.exe"});
    UseScansOwnNamer = true;
    WatchedRunning = true;
    Scan();
    EXPECT_FALSE(WatchedRunning);
    EXPECT_GT(list.Count(), 0);
}

TEST_F(ScanTest, AListedProgramMatchesByFullPathInAnyCaseOrByItsFileNameAlone) {
    TestWinProcess program({"visible", "SC match"});
    const std::string path = program.Path();
    struct Case {
        std::string entry;
        bool matches;
    } cases[] = {
        {path, true},
        {Upper(path), true},
        {engine::LowerAscii(path), true},
        {"TESTWIN.EXE", true},
        {"testwin.exe", true},
        {"tools\\testwin.exe", false},
        {path + "x", false},
        {"testwin", false},
    };
    UseScansOwnNamer = true;
    for (const Case& c : cases) {
        SetList({"c:\\other.exe", c.entry});
        WatchedRunning = !c.matches;
        Scan();
        EXPECT_EQ(WatchedRunning, c.matches) << c.entry;
    }
}

TEST_F(ScanTest, OnlyVisibleTitledWindowsCountAndMinimisedOnesAreVisible) {
    struct Case {
        std::vector<std::string> windows;
        bool counts;
    } cases[] = {
        {{"hidden", "SC hidden"}, false},
        {{"untitled"}, false},
        {{"hidden", "SC hidden", "untitled", "hidden", ""}, false},
        {{"minimised", "SC minimised"}, true},
        {{"hidden", "SC hidden", "visible", "SC visible"}, true},
    };
    UseScansOwnNamer = true;
    for (const Case& c : cases) {
        TestWinProcess program(c.windows);
        SetList({program.Path()});
        WatchedRunning = !c.counts;
        Scan();
        EXPECT_EQ(WatchedRunning, c.counts) << c.windows.front() << " " << c.windows.size();
    }
}

TEST_F(ScanTest, AnEmptyListNeverMatches) {
    TestWinProcess program({"visible", "SC empty list"});
    SetList({});
    Scan();
    EXPECT_FALSE(WatchedRunning);
    EXPECT_TRUE(searched.empty() || std::all_of(searched.begin(), searched.end(),
                                                [this](const std::string& s) { return FindExact(s) < 0; }));
}

TEST_F(ScanTest, ABlankEntryDoesNotMatchAProcessThatCannotBeNamed) {
    TestWinProcess program({"visible", "SC blank"});
    SetList({"c:\\other.exe", ""});
    SearchFindsBlankLines = true;
    ASSERT_EQ(FindExact(""), 1);  // the list's own search would find the blank line
    Namer = [](HWND) { return WindowProcessNames{}; };
    WatchedRunning = true;
    Scan();
    EXPECT_FALSE(WatchedRunning);
    EXPECT_GT(looked.size(), 0u);
    EXPECT_EQ(std::count(searched.begin(), searched.end(), ""), 0);
}

TEST_F(ScanTest, NamesAreSearchedWithTheirAsciiCapitalsLowered) {
    TestWinProcess program({"visible", "SC lowered"});
    SetList({});
    Namer = [](HWND) { return WindowProcessNames{"C:\\ÁRVÍZ\\App.EXE", "Z:\\Ő\\T.Exe"}; };
    Scan();
    ASSERT_FALSE(searched.empty());
    EXPECT_EQ(searched[0], "c:\\ÁrvÍz\\app.exe");
    EXPECT_EQ(searched[1], "z:\\Ő\\t.exe");
}

TEST_F(ScanTest, EveryListedWindowIsLookedUpAlsoAfterAMatch) {
    TestWinProcess program({"many", "3", "SC several"});
    SetList({program.Path()});
    Scan();
    EXPECT_TRUE(WatchedRunning);
    ASSERT_EQ(static_cast<int>(looked.size()), list.Count());
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_EQ(looked[i].first, list.GetWindowHandle(i)) << i;
    int programs = 0;
    for (const auto& [window, names] : looked)
        if (names.Name == "testwin.exe")
            ++programs;
    EXPECT_EQ(programs, 3);
    // One pump before the walk and one before each window.
    EXPECT_EQ(static_cast<int>(pumpsSawWatched.size()), list.Count() + 1);
}

TEST_F(ScanTest, AWindowThatClosesDuringTheScanGetsTheEmptyName) {
    TestWinProcess program({"visible", "SC first", "visible", "SC second"});
    SetList({program.Path(), "testwin.exe", ""});
    SearchFindsBlankLines = true;
    // The window of the two that comes later in the walk closes just before
    // its lookup, after its process has been named for the other one.
    HWND closing = nullptr;
    int closeAtPump = 0;
    OnPump = [&](int pump) {
        if (pump == 2) {
            int later = -1;
            for (int i = 0; i < list.Count(); ++i)
                if (list.Entries.Title(i) == "SC first" || list.Entries.Title(i) == "SC second")
                    later = i;
            ASSERT_GE(later, 0);
            closing = list.GetWindowHandle(later);
            closeAtPump = later + 2;
        }
        if (pump == closeAtPump) {
            ASSERT_TRUE(program.CloseWindow(closing));
        }
    };
    WatchedRunning = false;
    Scan();
    auto it = std::find_if(looked.begin(), looked.end(), [&](const auto& l) { return l.first == closing; });
    ASSERT_NE(it, looked.end());
    EXPECT_EQ(it->second.Name, "");
    EXPECT_EQ(it->second.FullPath, "");
    const int named = static_cast<int>(std::count_if(looked.begin(), looked.end(), [](const auto& l) {
        return l.second.Name == "testwin.exe";
    }));
    EXPECT_EQ(named, 1);  // the other window, looked up first
    EXPECT_TRUE(WatchedRunning);
}

TEST_F(ScanTest, DecisionsInsideTheScanSeeThePreviousResultUntilItEnds) {
    TestWinProcess program({"visible", "SC previous"});
    struct Case {
        bool previous;
        bool listed;
    } cases[] = {{true, true}, {true, false}, {false, true}, {false, false}};
    for (const Case& c : cases) {
        SetList({c.listed ? program.Path() : "c:\\other.exe"});
        WatchedRunning = c.previous;
        pumpsSawWatched.clear();
        Scan();
        EXPECT_EQ(WatchedRunning, c.listed);
        ASSERT_GE(pumpsSawWatched.size(), 2u);
        // Before the first window the flag still holds the previous result,
        // and it only ever turns from false to true during the scan.
        EXPECT_EQ(pumpsSawWatched[0], c.previous) << c.previous << c.listed;
        EXPECT_EQ(pumpsSawWatched[1], c.previous) << c.previous << c.listed;
        if (c.previous) {
            EXPECT_EQ(std::count(pumpsSawWatched.begin(), pumpsSawWatched.end(), false), 0) << c.listed;
        } else {
            EXPECT_TRUE(std::is_sorted(pumpsSawWatched.begin(), pumpsSawWatched.end())) << c.listed;
        }
    }
}

TEST_F(ScanTest, ProgramEllIsOffThroughoutTheScanAndOnAgainAfterIt) {
    TestWinProcess program({"visible", "SC timer"});
    SetList({program.Path()});
    ASSERT_TRUE(programScan.Enabled());
    Scan();
    EXPECT_EQ(journal, (std::vector<std::string>{"lower(on)"}));  // lowering comes first
    ASSERT_FALSE(pumpsSawTimerOn.empty());
    EXPECT_EQ(std::count(pumpsSawTimerOn.begin(), pumpsSawTimerOn.end(), true), 0);
    EXPECT_TRUE(programScan.Enabled());
}

TEST_F(ScanTest, AFailureInsideTheScanLeavesProgramEllOffAndTheFlagAsItStands) {
    TestWinProcess program({"visible", "SC failing"});
    SetList({program.Path()});
    WatchedRunning = true;
    Namer = [](HWND) -> WindowProcessNames { throw std::runtime_error("lookup failed"); };
    EXPECT_THROW(Scan(), std::runtime_error);
    EXPECT_FALSE(programScan.Enabled());
    EXPECT_TRUE(WatchedRunning);
}

}  // namespace
