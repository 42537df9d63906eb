// Naming a window's process: version classes, both listings, the single
// process lookup that must give what the full listing gives, and the lowering.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/ProcessNaming.h"

namespace {

using engine::VersionClass;

struct FakeEntry {
    uint32_t Id;
    std::string ExeFile;
};

// A platform whose processes, ids and paths the test sets.
class FakeSource : public engine::ProcessSource {
public:
    std::vector<FakeEntry> Snapshot;
    bool SnapshotFails = false;
    std::vector<uint32_t> Ids;
    bool IdsFail = false;
    std::map<uint32_t, std::string> Paths;
    // Ids whose path read fails the first time it is asked for.
    std::map<uint32_t, int> FailFirstReads;

    std::map<uint32_t, std::string> FullPaths;
    int FullPathFailures = 0;  // the next reads that fail

    int Walks = 0;
    int EntriesVisited = 0;
    int PathReads = 0;
    int FullPathReads = 0;

    bool WalkSnapshot(const SnapshotVisitor& visit) override {
        ++Walks;
        if (SnapshotFails)
            return false;
        for (const FakeEntry& e : Snapshot) {
            ++EntriesVisited;
            if (!visit(e.Id, e.ExeFile))
                break;
        }
        return true;
    }
    bool EnumProcessIds(std::vector<uint32_t>& ids) override {
        if (IdsFail)
            return false;
        ids = Ids;
        return true;
    }
    std::string QueryProcessPath(uint32_t id) override {
        ++PathReads;
        auto flaky = FailFirstReads.find(id);
        if (flaky != FailFirstReads.end() && flaky->second-- > 0)
            return {};
        auto it = Paths.find(id);
        return it == Paths.end() ? std::string() : it->second;
    }
    std::string QueryFullImagePath(uint32_t id) override {
        ++FullPathReads;
        if (FullPathFailures > 0) {
            --FullPathFailures;
            return {};
        }
        auto it = FullPaths.find(id);
        return it == FullPaths.end() ? std::string() : it->second;
    }
};

// "p<id>.exe", built by appending (GCC 12 warns falsely on "p" + string&&).
std::string ExeName(uint32_t id) {
    std::string name = "p";
    name += std::to_string(id);
    name += ".exe";
    return name;
}

std::vector<std::pair<std::string, uint32_t>> Listed(engine::ProcessSource& source, VersionClass vc) {
    engine::ProcessList list;
    EXPECT_TRUE(engine::ListRunningProcesses(source, vc, list));
    std::vector<std::pair<std::string, uint32_t>> out;
    for (const auto& e : list)
        out.emplace_back(e.Name, e.ProcessId);
    return out;
}

TEST(VersionClass, FollowsPlatformIdMajorAndMinor) {
    struct Case {
        uint32_t platform, major, minor;
        VersionClass expected;
    } cases[] = {
        {engine::kPlatformNT, 3, 10, VersionClass::NT3},
        {engine::kPlatformNT, 3, 50, VersionClass::NT3},
        {engine::kPlatformNT, 3, 51, VersionClass::NT3},
        {engine::kPlatformNT, 3, 0, VersionClass::Other},
        {engine::kPlatformNT, 4, 0, VersionClass::NT4},
        {engine::kPlatformNT, 4, 90, VersionClass::NT4},
        {engine::kPlatformNT, 5, 0, VersionClass::Windows2000},
        {engine::kPlatformNT, 5, 1, VersionClass::WindowsXP},
        {engine::kPlatformNT, 5, 2, VersionClass::Other},
        {engine::kPlatformNT, 6, 0, VersionClass::Other},
        {engine::kPlatformNT, 6, 1, VersionClass::Other},
        {engine::kPlatformNT, 10, 0, VersionClass::Other},
        {engine::kPlatformWindows9x, 4, 10, VersionClass::Other},
        {engine::kPlatformWindows9x, 4, 90, VersionClass::Other},
        {engine::kPlatformWin32s, 3, 10, VersionClass::Other},
    };
    for (const Case& c : cases)
        EXPECT_EQ(engine::ClassifyVersion({c.platform, c.major, c.minor}), c.expected)
            << c.platform << " " << c.major << "." << c.minor;
}

TEST(VersionClass, FullImagePathIsReadOnlyOnTheNtPlatformInClassOther) {
    struct Case {
        uint32_t platform, major, minor;
        bool fullPath, limited;
    } cases[] = {
        {engine::kPlatformNT, 4, 0, false, false},  {engine::kPlatformNT, 5, 0, false, false},
        {engine::kPlatformNT, 5, 1, false, false},  {engine::kPlatformNT, 5, 2, true, false},
        {engine::kPlatformNT, 6, 0, true, true},    {engine::kPlatformNT, 10, 0, true, true},
        {engine::kPlatformWindows9x, 4, 10, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(engine::ReadsFullImagePath({c.platform, c.major, c.minor}), c.fullPath) << c.major << "." << c.minor;
        EXPECT_EQ(engine::HasLimitedQuery({c.platform, c.major, c.minor}), c.limited) << c.major << "." << c.minor;
    }
}

TEST(SnapshotListing, NamesEachEntryByItsVersionClass) {
    FakeSource source;
    source.Snapshot = {{0, "[System Process]"}, {4, "System"}, {812, "app.exe"}, {900, ""}};
    source.Paths = {{812, "C:\\Apps\\app.exe"}};

    using L = std::vector<std::pair<std::string, uint32_t>>;
    // Windows 2000 and XP read each path, falling back to the snapshot's name.
    const L pathWithFallback = {{"System Idle Process", 0}, {"System", 4}, {"C:\\Apps\\app.exe", 812}, {"", 900}};
    EXPECT_EQ(Listed(source, VersionClass::Windows2000), pathWithFallback);
    EXPECT_EQ(Listed(source, VersionClass::WindowsXP), pathWithFallback);
    // Everything else keeps the snapshot's names; no process is opened.
    source.PathReads = 0;
    EXPECT_EQ(Listed(source, VersionClass::Other), (L{{"System Idle Process", 0}, {"System", 4}, {"app.exe", 812}, {"", 900}}));
    EXPECT_EQ(source.PathReads, 0);
}

TEST(SnapshotListing, FailsWhenNoSnapshotCanBeTaken) {
    FakeSource source;
    source.SnapshotFails = true;
    engine::ProcessList list;
    EXPECT_FALSE(engine::ListRunningProcesses(source, VersionClass::Other, list));
    EXPECT_TRUE(list.empty());
}

TEST(IdListing, GivesFixedNamesAndLeavesOutProcessesWithoutAPath) {
    FakeSource source;
    source.Ids = {0, 2, 8, 40, 41};
    source.Paths = {{2, "C:\\WINNT\\system32\\smss.exe"}, {40, "C:\\Apps\\app.exe"}};
    // The snapshot must not be used on NT 3 and NT 4.
    source.SnapshotFails = true;

    using L = std::vector<std::pair<std::string, uint32_t>>;
    EXPECT_EQ(Listed(source, VersionClass::NT4), (L{{"System Idle Process", 0}, {"System Process", 2}, {"C:\\Apps\\app.exe", 40}}));
    EXPECT_EQ(Listed(source, VersionClass::NT3),
              (L{{"System Idle Process", 0}, {"C:\\WINNT\\system32\\smss.exe", 2}, {"C:\\Apps\\app.exe", 40}}));

    source.IdsFail = true;
    engine::ProcessList list;
    EXPECT_FALSE(engine::ListRunningProcesses(source, VersionClass::NT4, list));
}

// Random platforms for every class: naming one process must give exactly what
// the full listing's first entry for its id gives.
TEST(NameOfProcess, GivesWhatTheFullListingGivesForEveryProcessAndClass) {
    std::mt19937 random(20240611);
    const VersionClass classes[] = {VersionClass::NT3, VersionClass::NT4, VersionClass::Windows2000,
                                    VersionClass::WindowsXP, VersionClass::Other};
    for (int round = 0; round < 300; ++round) {
        FakeSource source;
        source.SnapshotFails = random() % 10 == 0;
        source.IdsFail = random() % 10 == 0;
        const int count = random() % 12;
        for (int i = 0; i < count; ++i) {
            const uint32_t id = random() % 6;  // small ids: duplicates, 0 and 2 occur
            const std::string exe = random() % 4 ? ExeName(id) : "";
            source.Snapshot.push_back({id, exe});
            source.Ids.push_back(id);
            if (random() % 2)
                source.Paths[id] = "C:\\P\\" + exe;
            if (random() % 5 == 0)
                source.FailFirstReads[id] = 1;
        }
        for (VersionClass vc : classes) {
            for (uint32_t id : {0u, 1u, 2u, 3u, 4u, 5u, 7u, engine::kPresetProcessId}) {
                FakeSource listed = source, single = source;
                engine::ProcessList list;
                engine::ListRunningProcesses(listed, vc, list);
                EXPECT_EQ(engine::NameOfProcess(single, vc, id), engine::NameInList(list, id))
                    << "round " << round << " class " << static_cast<int>(vc) << " id " << id;
            }
        }
    }
}

TEST(NameOfProcess, ReadsOnlyTheOneProcessAndStopsTheWalkAtIt) {
    FakeSource source;
    for (uint32_t id = 1; id <= 100; ++id) {
        source.Snapshot.push_back({id * 4, "p.exe"});
        source.Paths[id * 4] = "C:\\" + ExeName(id);
    }
    EXPECT_EQ(engine::NameOfProcess(source, VersionClass::WindowsXP, 40), "C:\\p10.exe");
    EXPECT_EQ(source.PathReads, 1);
    EXPECT_EQ(source.EntriesVisited, 10);

    engine::ProcessList list;
    engine::ListRunningProcesses(source, VersionClass::WindowsXP, list);
    EXPECT_EQ(source.PathReads, 1 + 100);  // the full listing opens every process
}

const engine::PlatformVersion kWindows10{engine::kPlatformNT, 10, 0};
const engine::PlatformVersion kWindowsXP{engine::kPlatformNT, 5, 1};

TEST(ProcessNamesMemo, GivesTheNamesAFreshLookupGives) {
    std::mt19937 random(7);
    for (const engine::PlatformVersion& version : {kWindows10, kWindowsXP, engine::PlatformVersion{2, 4, 0}}) {
        FakeSource source;
        for (uint32_t id = 0; id < 8; ++id) {
            source.Snapshot.push_back({id, random() % 4 ? ExeName(id) : ""});
            source.Ids.push_back(id);
            if (random() % 2)
                source.Paths[id] = "C:\\P\\" + ExeName(id);
            if (random() % 3)
                source.FullPaths[id] = "C:\\Full\\" + ExeName(id);
        }
        engine::ProcessNamesMemo memo(source, version);
        for (int i = 0; i < 60; ++i) {
            const uint32_t id = random() % 10;
            FakeSource fresh = source;
            const engine::WindowProcessNames expected = engine::NamesOfProcess(fresh, version, id);
            const engine::WindowProcessNames got = memo.NamesOf(id);
            EXPECT_EQ(got.Name, expected.Name) << id;
            EXPECT_EQ(got.FullPath, expected.FullPath) << id;
        }
    }
}

TEST(ProcessNamesMemo, AsksThePlatformOncePerProcess) {
    FakeSource source;
    source.Snapshot = {{4, "System"}, {812, "app.exe"}, {900, "other.exe"}};
    source.FullPaths = {{812, "C:\\Apps\\app.exe"}, {900, "C:\\Apps\\other.exe"}};
    engine::ProcessNamesMemo memo(source, kWindows10);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(memo.NamesOf(812).FullPath, "C:\\Apps\\app.exe");
        EXPECT_EQ(memo.NamesOf(900).Name, "other.exe");
    }
    EXPECT_EQ(source.Walks, 0) << "the full paths name both";
    EXPECT_EQ(source.FullPathReads, 2);
}

TEST(ProcessNamesMemo, AsksAgainAfterAnIncompleteAnswer) {
    FakeSource source;
    source.Snapshot = {{812, "app.exe"}};
    source.FullPaths = {{812, "C:\\Apps\\app.exe"}};
    source.FullPathFailures = 1;
    engine::ProcessNamesMemo memo(source, kWindows10);
    EXPECT_EQ(memo.NamesOf(812).FullPath, "");
    EXPECT_EQ(memo.NamesOf(812).FullPath, "C:\\Apps\\app.exe");
    EXPECT_EQ(memo.NamesOf(812).FullPath, "C:\\Apps\\app.exe");
    EXPECT_EQ(source.FullPathReads, 2);
    // A process missing from the listing is asked for again each time.
    EXPECT_EQ(memo.NamesOf(77).Name, "");
    EXPECT_EQ(memo.NamesOf(77).Name, "");
    EXPECT_EQ(source.Walks, 3) << "the failed path read, then 77 twice";
}

TEST(NamesOfProcess, ReadsTheFullPathOnlyWhereTheSnapshotNamesTheFileAlone) {
    FakeSource source;
    source.Snapshot = {{812, "app.exe"}};
    source.Paths = {{812, "C:\\Apps\\app.exe"}};
    source.FullPaths = {{812, "C:\\Apps\\app.exe"}};
    const engine::WindowProcessNames now = engine::NamesOfProcess(source, kWindows10, 812);
    EXPECT_EQ(now.Name, "app.exe");
    EXPECT_EQ(now.FullPath, "C:\\Apps\\app.exe");
    // 2000 and XP name the full path already; 9x snapshots give full paths.
    const engine::WindowProcessNames xp = engine::NamesOfProcess(source, kWindowsXP, 812);
    EXPECT_EQ(xp.Name, "C:\\Apps\\app.exe");
    EXPECT_EQ(xp.FullPath, "");
    EXPECT_EQ(engine::NamesOfProcess(source, {engine::kPlatformWindows9x, 4, 10}, 812).FullPath, "");
    // A window whose process could not be found asks for no path.
    engine::NamesOfProcess(source, kWindows10, engine::kPresetProcessId);
    EXPECT_EQ(source.FullPathReads, 1);
}

TEST(NamesOfProcess, OnCurrentSystemsTakesTheFileNameFromTheFullPathAndListsNoProcesses) {
    FakeSource source;
    source.Snapshot = {{4, "System"}, {812, "app.exe"}, {900, "locked.exe"}};
    source.FullPaths = {{812, "C:\\Apps\\app.exe"}};
    const engine::WindowProcessNames app = engine::NamesOfProcess(source, kWindows10, 812);
    EXPECT_EQ(app.Name, "app.exe") << "as the snapshot names it";
    EXPECT_EQ(app.FullPath, "C:\\Apps\\app.exe");
    EXPECT_EQ(source.Walks, 0);
    // A process whose path cannot be read is named by the snapshot.
    const engine::WindowProcessNames locked = engine::NamesOfProcess(source, kWindows10, 900);
    EXPECT_EQ(locked.Name, "locked.exe");
    EXPECT_EQ(locked.FullPath, "");
    EXPECT_EQ(source.Walks, 1);
    // For every process that has both, the two rules give the same name.
    for (const auto& entry : source.Snapshot) {
        FakeSource fresh = source;
        fresh.FullPaths[entry.Id] = "D:\\x\\" + entry.ExeFile;
        EXPECT_EQ(engine::NamesOfProcess(fresh, kWindows10, entry.Id).Name,
                  engine::NameOfProcess(fresh, VersionClass::Other, entry.Id));
    }
}

TEST(LowerAscii, LowersOnlyTheAsciiCapitals) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"", ""},
        {"C:\\Program Files\\App.EXE", "c:\\program files\\app.exe"},
        {"AZ@[`az{", "az@[`az{"},
        // CP1250 capitals (Ő, Á, Š) stay as they are.
        {"\xD5R\xC1\x8A.EXE", "\xD5r\xC1\x8A.exe"},
        {std::string("A\0B", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(engine::LowerAscii(c.in), c.out) << c.in;
}

}  // namespace
