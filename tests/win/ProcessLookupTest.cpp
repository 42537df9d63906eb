// Naming a window's process on the real platform: the version read, both
// names of a program's process, the quick lookup agreeing with the full
// listing, the path query, the lazily loaded library, and no handle left open.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "TestWinClient.h"
#include "engine/ProcessLookup.h"
#include "engine/WindowList.h"

namespace {

using testsupport::TestWinProcess;

std::string OwnPath() {
    char path[MAX_PATH];
    return std::string(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
}

std::string FileName(const std::string& path) {
    return path.substr(path.find_last_of("\\/") + 1);
}

TEST(ProcessLookup, ReadsTheTrueVersionOfTheNtPlatform) {
    const engine::PlatformVersion& v = engine::CurrentPlatformVersion();
    EXPECT_EQ(v.PlatformId, engine::kPlatformNT);
    // Without a manifest GetVersionEx would cap this at 6.2.
    OSVERSIONINFOW truth{};
    truth.dwOSVersionInfoSize = sizeof(truth);
    using Fn = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto rtl = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    ASSERT_TRUE(rtl);
    rtl(&truth);
    EXPECT_EQ(v.Major, truth.dwMajorVersion);
    EXPECT_EQ(v.Minor, truth.dwMinorVersion);
    EXPECT_GE(v.Major, 6u);
    EXPECT_EQ(engine::CurrentVersionClass(), engine::VersionClass::Other);
}

TEST(ProcessLookup, NamesAProgramsWindowByFileNameAndByFullPath) {
    TestWinProcess program({"visible", "PL named"});
    const HWND window = program.WindowTitled("PL named");
    ASSERT_TRUE(window);
    const engine::WindowProcessNames names = engine::NamesOfWindowProcess(window);
    // Current systems' snapshots give the file name alone.
    EXPECT_EQ(names.Name, "testwin.exe");
    EXPECT_EQ(engine::ProcessNameOfWindow(window), "testwin.exe");
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, names.FullPath.c_str(), -1, program.Path().c_str(), -1),
              CSTR_EQUAL)
        << names.FullPath << " vs " << program.Path();
}

TEST(ProcessLookup, AGoneWindowHasNoNames) {
    TestWinProcess program({"visible", "PL gone"});
    const HWND window = program.WindowTitled("PL gone");
    ASSERT_TRUE(program.CloseWindow(window));
    const engine::WindowProcessNames names = engine::NamesOfWindowProcess(window);
    EXPECT_EQ(names.Name, "");
    EXPECT_EQ(names.FullPath, "");
    EXPECT_EQ(engine::ProcessNameOfWindowByListing(window), "");
    EXPECT_EQ(engine::NamesOfWindowProcess(nullptr).Name, "");
}

TEST(ProcessLookup, QuickLookupGivesTheFullListingsNameForEveryListedWindow) {
    TestWinProcess program({"visible", "PL one", "minimised", "PL two"});
    engine::WindowList list(nullptr);
    list.Refresh();
    ASSERT_GE(list.Count(), 2);
    for (int i = 0; i < list.Count(); ++i) {
        const HWND w = list.GetWindowHandle(i);
        EXPECT_EQ(engine::ProcessNameOfWindow(w), engine::ProcessNameOfWindowByListing(w))
            << list.Entries.Title(i);
    }
}

TEST(ProcessLookup, ListsRunningProcessesWithTheirSnapshotNames) {
    TestWinProcess program({"visible", "PL listed"});
    engine::ProcessList list;
    ASSERT_TRUE(engine::ListRunningProcesses(list));
    EXPECT_EQ(engine::NameInList(list, GetCurrentProcessId()), FileName(OwnPath()));
    EXPECT_EQ(engine::NameInList(list, program.ProcessId()), "testwin.exe");
    for (const engine::ProcessEntry& e : list) {
        if (e.ProcessId == 0) {
            EXPECT_EQ(e.Name, "System Idle Process");
        }
    }
}

TEST(ProcessLookup, QueryProcessPathGivesTheMainExecutableOrNothing) {
    EXPECT_EQ(engine::QueryProcessPath(GetCurrentProcessId()), OwnPath());
    EXPECT_EQ(engine::QueryProcessPath(0), "");
    EXPECT_EQ(engine::QueryProcessPath(0xFFFFFFF0), "");
}

TEST(ProcessLookup, LeavesNoProcessOrSnapshotHandleOpen) {
    TestWinProcess program({"visible", "PL handles"});
    const HWND window = program.WindowTitled("PL handles");
    const long before = toolkit::UniqueKernelHandle::Live();
    engine::NamesOfWindowProcess(window);
    engine::ProcessNameOfWindowByListing(window);
    engine::QueryProcessPath(program.ProcessId());
    engine::ProcessList list;
    engine::ListRunningProcesses(list);
    EXPECT_EQ(toolkit::UniqueKernelHandle::Live(), before);
    // An exception from inside the snapshot walk still closes the snapshot.
    EXPECT_THROW(engine::SystemProcesses().WalkSnapshot([](uint32_t, std::string_view) -> bool { throw 1; }), int);
    EXPECT_EQ(toolkit::UniqueKernelHandle::Live(), before);
}

TEST(PsapiLibrary, IsLoadedAtFirstUseAndKept) {
    engine::PsapiLibrary psapi;
    EXPECT_FALSE(psapi.Loaded());
    EXPECT_EQ(psapi.LoadAttempts(), 0);
    DWORD ids[1025];
    DWORD written = 0;
    EXPECT_TRUE(psapi.EnumProcesses(ids, sizeof(ids), &written));
    EXPECT_GT(written, 0u);
    EXPECT_TRUE(psapi.EnumProcesses(ids, sizeof(ids), &written));
    EXPECT_EQ(psapi.LoadAttempts(), 1);

    engine::SystemProcessSource source(psapi, engine::CurrentPlatformVersion());
    std::vector<uint32_t> listed;
    ASSERT_TRUE(source.EnumProcessIds(listed));
    EXPECT_NE(std::find(listed.begin(), listed.end(), GetCurrentProcessId()), listed.end());
    EXPECT_EQ(source.QueryProcessPath(GetCurrentProcessId()), OwnPath());
}

TEST(PsapiLibrary, AMissingLibraryFailsBothCallsAndIsTriedAgainAtEachUse) {
    engine::PsapiLibrary psapi("tavrin-no-such-library.dll");
    DWORD ids[16];
    DWORD written = 0;
    EXPECT_FALSE(psapi.EnumProcesses(ids, sizeof(ids), &written));
    char path[MAX_PATH];
    EXPECT_EQ(psapi.GetModuleFileNameEx(GetCurrentProcess(), path, MAX_PATH), 0u);
    EXPECT_EQ(psapi.LoadAttempts(), 2);
    EXPECT_FALSE(psapi.Loaded());

    // The id listing then fails, and so every window gets the empty name.
    engine::SystemProcessSource source(psapi, engine::CurrentPlatformVersion());
    engine::ProcessList list;
    EXPECT_FALSE(engine::ListRunningProcesses(source, engine::VersionClass::NT4, list));
    EXPECT_EQ(source.QueryProcessPath(GetCurrentProcessId()), "");
    EXPECT_EQ(engine::NameOfProcess(source, engine::VersionClass::WindowsXP, GetCurrentProcessId()),
              FileName(OwnPath()));  // XP falls back to the snapshot's name
}

}  // namespace
