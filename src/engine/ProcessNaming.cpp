// The naming rules of the two process listings, once as full listings and
// once for a single process, kept side by side so they cannot drift apart.
#include "engine/ProcessNaming.h"

namespace engine {
namespace {

bool UsesIdListing(VersionClass versionClass) {
    return versionClass == VersionClass::NT3 || versionClass == VersionClass::NT4;
}

// Name of a snapshot entry; never skipped, even when empty.
std::string SnapshotEntryName(ProcessSource& source, VersionClass versionClass, uint32_t processId,
                              std::string_view exeFile) {
    if (processId == 0)
        return kIdleProcessName;
    if (versionClass == VersionClass::Windows2000 || versionClass == VersionClass::WindowsXP) {
        std::string path = source.QueryProcessPath(processId);
        if (!path.empty())
            return path;
    }
    return std::string(exeFile);
}

// Name of an id of the id listing; an empty name leaves the id out.
std::string IdEntryName(ProcessSource& source, VersionClass versionClass, uint32_t processId) {
    if (processId == 0)
        return kIdleProcessName;
    if (processId == 2 && versionClass == VersionClass::NT4)
        return kSystemProcessName;
    return source.QueryProcessPath(processId);
}

}  // namespace

VersionClass ClassifyVersion(const PlatformVersion& version) {
    if (version.PlatformId != kPlatformNT)
        return VersionClass::Other;
    // NT 3.1, 3.5 and 3.51 report the minor numbers 10, 50 and 51.
    if (version.Major == 3 && (version.Minor == 10 || version.Minor == 50 || version.Minor == 51))
        return VersionClass::NT3;
    if (version.Major == 4)
        return VersionClass::NT4;
    if (version.Major == 5 && version.Minor == 0)
        return VersionClass::Windows2000;
    if (version.Major == 5 && version.Minor == 1)
        return VersionClass::WindowsXP;
    return VersionClass::Other;
}

bool ReadsFullImagePath(const PlatformVersion& version) {
    return version.PlatformId == kPlatformNT && ClassifyVersion(version) == VersionClass::Other;
}

bool HasLimitedQuery(const PlatformVersion& version) {
    return version.PlatformId == kPlatformNT && version.Major >= 6;
}

bool ListRunningProcesses(ProcessSource& source, VersionClass versionClass, ProcessList& list) {
    if (UsesIdListing(versionClass)) {
        std::vector<uint32_t> ids;
        if (!source.EnumProcessIds(ids))
            return false;
        for (uint32_t id : ids) {
            std::string name = IdEntryName(source, versionClass, id);
            if (!name.empty())
                list.push_back({std::move(name), id});
        }
        return true;
    }
    return source.WalkSnapshot([&](uint32_t id, std::string_view exeFile) {
        list.push_back({SnapshotEntryName(source, versionClass, id, exeFile), id});
        return true;
    });
}

std::string NameInList(const ProcessList& list, uint32_t processId) {
    for (const ProcessEntry& entry : list)
        if (entry.ProcessId == processId)
            return entry.Name;
    return {};
}

std::string NameOfProcess(ProcessSource& source, VersionClass versionClass, uint32_t processId) {
    std::string name;
    if (UsesIdListing(versionClass)) {
        std::vector<uint32_t> ids;
        if (!source.EnumProcessIds(ids))
            return {};
        // An id listed twice whose first path read failed would be named by
        // its second occurrence in the full listing, so ask again.
        for (uint32_t id : ids) {
            if (id != processId)
                continue;
            name = IdEntryName(source, versionClass, id);
            if (!name.empty())
                break;
        }
        return name;
    }
    source.WalkSnapshot([&](uint32_t id, std::string_view exeFile) {
        if (id != processId)
            return true;
        name = SnapshotEntryName(source, versionClass, id, exeFile);
        return false;
    });
    return name;
}

WindowProcessNames NamesOfProcess(ProcessSource& source, const PlatformVersion& version, uint32_t processId) {
    WindowProcessNames names;
    if (processId != kPresetProcessId && processId != 0 && ReadsFullImagePath(version)) {
        names.FullPath = source.QueryFullImagePath(processId);
        // The snapshot names a process by its image's file name, the last
        // part of the full image path: with the path read, the snapshot (the
        // costliest call of a scan, a list of every process) is not needed.
        if (!names.FullPath.empty()) {
            names.Name = names.FullPath.substr(names.FullPath.find_last_of("\\/") + 1);
            return names;
        }
    }
    names.Name = NameOfProcess(source, ClassifyVersion(version), processId);
    return names;
}

WindowProcessNames ProcessNamesMemo::NamesOf(uint32_t processId) {
    for (const auto& [id, names] : known_)
        if (id == processId)
            return names;
    WindowProcessNames names = NamesOfProcess(source_, version_, processId);
    if (!names.Name.empty() && (!names.FullPath.empty() || !ReadsFullImagePath(version_)))
        known_.emplace_back(processId, names);
    return names;
}

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace engine
