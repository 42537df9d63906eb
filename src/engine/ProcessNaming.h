// How a running process is named: the version classes, the two process
// listings and the lookup of one process's name. Platform-free: the platform's
// process services are reached through ProcessSource, so the rules run natively.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace engine {

// Platform ids as the version information reports them.
inline constexpr uint32_t kPlatformWin32s = 0;
inline constexpr uint32_t kPlatformWindows9x = 1;  // Windows 95/98/Me
inline constexpr uint32_t kPlatformNT = 2;

inline constexpr uint32_t kPresetProcessId = 0xFFFFFFFF;
inline constexpr size_t kProcessIdBufferCount = 1025;  // ids, 4100 bytes
inline constexpr size_t kPathBufferSize = 260;         // characters, zero included
inline constexpr char kIdleProcessName[] = "System Idle Process";
inline constexpr char kSystemProcessName[] = "System Process";

enum class VersionClass { NT3, NT4, Windows2000, WindowsXP, Other };

struct PlatformVersion {
    uint32_t PlatformId = kPlatformNT;
    uint32_t Major = 0;
    uint32_t Minor = 0;
};

VersionClass ClassifyVersion(const PlatformVersion& version);

// Since Vista the program list holds full paths while the snapshot names only
// the file, so on the NT platform in class Other the window's process is also
// named by its full image path.
bool ReadsFullImagePath(const PlatformVersion& version);

// 6.0 and later can open any process for the limited query right and read its
// full image name, elevated and other-bitness processes included.
bool HasLimitedQuery(const PlatformVersion& version);

// What the naming needs from the platform.
class ProcessSource {
public:
    using SnapshotVisitor = std::function<bool(uint32_t processId, std::string_view exeFile)>;

    virtual ~ProcessSource() = default;
    // Calls visit for each snapshot entry in order until it returns false.
    // False when no snapshot could be taken; no entries when the snapshot
    // functions are absent.
    virtual bool WalkSnapshot(const SnapshotVisitor& visit) = 0;
    // At most kProcessIdBufferCount ids. False when the enumeration fails.
    virtual bool EnumProcessIds(std::vector<uint32_t>& ids) = 0;
    // The main executable's path (0x410 access), or empty.
    virtual std::string QueryProcessPath(uint32_t processId) = 0;
    // The full image path for ReadsFullImagePath systems, or empty.
    virtual std::string QueryFullImagePath(uint32_t processId) = 0;
};

struct ProcessEntry {
    std::string Name;
    uint32_t ProcessId = 0;
};
using ProcessList = std::vector<ProcessEntry>;

// Fills list with every running process, in the platform's order: the id
// listing on NT 3 and NT 4, the snapshot listing elsewhere. False when the
// platform's listing failed.
bool ListRunningProcesses(ProcessSource& source, VersionClass versionClass, ProcessList& list);

// The name of the first entry of list with processId, or empty.
std::string NameInList(const ProcessList& list, uint32_t processId);

// The name ListRunningProcesses followed by NameInList would give, found by
// naming only the one process: the snapshot walk stops at it and only its path
// is read.
std::string NameOfProcess(ProcessSource& source, VersionClass versionClass, uint32_t processId);

// The names the scan compares with the program list.
struct WindowProcessNames {
    std::string Name;      // as the process listing names the process
    std::string FullPath;  // the full image path where ReadsFullImagePath, else empty
};

// Both names of one process.
WindowProcessNames NamesOfProcess(ProcessSource& source, const PlatformVersion& version, uint32_t processId);

// Names processes for one scan, asking the platform once per process. A
// process keeps its names for life, and a window still alive at its lookup
// means its process id still names the same process, so a remembered name is
// the name a fresh lookup would give. Incomplete results are not remembered:
// they are asked for again at the next window.
class ProcessNamesMemo {
public:
    ProcessNamesMemo(ProcessSource& source, const PlatformVersion& version) : source_(source), version_(version) {}
    WindowProcessNames NamesOf(uint32_t processId);

private:
    ProcessSource& source_;
    PlatformVersion version_;
    std::vector<std::pair<uint32_t, WindowProcessNames>> known_;
};

// Lowers the ASCII capitals A to Z; every other byte stays as it is.
std::string LowerAscii(std::string text);

}  // namespace engine
