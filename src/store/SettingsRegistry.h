// The registry accessor of the settings: one root, at most one open ("current")
// key, and typed reads and writes of values in it with the program's own
// error texts. Reads never trust the stored data to be well formed.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/UniqueHandle.h"

namespace store {

class SettingsRegistry {
public:
    // root: the predefined key all paths are under (tests pass a scratch key).
    explicit SettingsRegistry(HKEY root = HKEY_CURRENT_USER) noexcept : root_(root) {}

    // Whether the key can be opened with read rights; the current key stays.
    bool HasKey(const std::string& path) const noexcept;

    // Opens (with mayCreate: creates if needed) the key with full access and
    // makes it current, closing the previous one. On failure the previous key
    // stays current and the answer is false.
    bool UseKey(const std::string& path, bool mayCreate) noexcept;

    // Closes the current key, if any.
    void ReleaseKey() noexcept { current_.reset(); }

    bool HasCurrentKey() const noexcept { return static_cast<bool>(current_); }

    // A REG_DWORD of at most 4 bytes; true when not zero.
    // Raises toolkit::RegistryError "Failed to get data for '<name>'" (missing,
    // longer than 4 bytes, no current key) or "Invalid data type for '<name>'".
    bool ReadFlag(const std::string& name);

    // REG_DWORD 1 or 0, replacing any value of that name.
    // Raises toolkit::RegistryError "Failed to set data for '<name>'".
    void WriteFlag(const std::string& name, bool value);

    // The text of a REG_SZ or REG_EXPAND_SZ (not expanded) up to its first NUL
    // or the end of its data; empty when the value is missing or empty.
    // Raises "Invalid data type for '<name>'" for other types and "Failed to
    // get data for '<name>'" when the data cannot be read.
    std::string ReadText(const std::string& name);

    // REG_SZ: the text and one NUL. Raises "Failed to set data for '<name>'".
    void WriteText(const std::string& name, const std::string& text);

    // Deletes the value; whether that worked. Never raises.
    bool RemoveValue(const std::string& name) noexcept;

    // Deletes the value from the current key; a value that is not there is
    // no error. Raises "Failed to delete data for '<name>'" when no key is
    // current or the platform refuses.
    void DeleteValue(const std::string& name);

    // Whether the value is known to be missing under path (its key missing
    // included), asked with read rights; the current key stays. A key that
    // cannot be read leaves it unknown: false.
    bool ValueMissing(const std::string& path, const std::string& name) const noexcept;

    // The rights HasKey asks for: STANDARD_RIGHTS_READ, KEY_QUERY_VALUE and
    // KEY_ENUMERATE_SUB_KEYS.
    static constexpr REGSAM kProbeRights = STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;
    static constexpr REGSAM kUseRights = KEY_ALL_ACCESS;

private:
    HKEY root_;
    toolkit::UniqueKey current_;
};

}  // namespace store
