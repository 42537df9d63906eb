// Registry reads and writes through the 8-bit API.
#include "store/SettingsRegistry.h"

#include <algorithm>
#include <vector>

#include "toolkit/Exceptions.h"

namespace store {
namespace {

static_assert(SettingsRegistry::kProbeRights == 0x20009);
static_assert(SettingsRegistry::kUseRights == 0xF003F);

[[noreturn]] void ThrowGetFailed(const std::string& name) {
    throw toolkit::RegistryError(toolkit::Format("Failed to get data for '%s'", name.c_str()));
}
[[noreturn]] void ThrowInvalidType(const std::string& name) {
    throw toolkit::RegistryError(toolkit::Format("Invalid data type for '%s'", name.c_str()));
}
[[noreturn]] void ThrowSetFailed(const std::string& name) {
    throw toolkit::RegistryError(toolkit::Format("Failed to set data for '%s'", name.c_str()));
}

[[noreturn]] void ThrowDeleteFailed(const std::string& name) {
    throw toolkit::RegistryError(toolkit::Format("Failed to delete data for '%s'", name.c_str()));
}

}  // namespace

bool SettingsRegistry::HasKey(const std::string& path) const noexcept {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root_, path.c_str(), 0, kProbeRights, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool SettingsRegistry::UseKey(const std::string& path, bool mayCreate) noexcept {
    HKEY key = nullptr;
    const LONG result =
        mayCreate ? RegCreateKeyExA(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kUseRights, nullptr,
                                    &key, nullptr)
                  : RegOpenKeyExA(root_, path.c_str(), 0, kUseRights, &key);
    if (result != ERROR_SUCCESS)
        return false;
    current_.reset();  // the old key closes before the new one becomes current
    current_.reset(key);
    return true;
}

bool SettingsRegistry::ReadFlag(const std::string& name) {
    if (!current_)
        ThrowGetFailed(name);
    // Zeroed first: a shorter REG_DWORD fills only its own bytes.
    BYTE data[4] = {};
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(current_.get(), name.c_str(), nullptr, &type, data, &size) != ERROR_SUCCESS)
        ThrowGetFailed(name);  // missing, or longer than 4 bytes (ERROR_MORE_DATA)
    if (type != REG_DWORD)
        ThrowInvalidType(name);
    return (data[0] | data[1] | data[2] | data[3]) != 0;
}

void SettingsRegistry::WriteFlag(const std::string& name, bool value) {
    const DWORD number = value ? 1 : 0;
    if (!current_ || RegSetValueExA(current_.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                    sizeof number) != ERROR_SUCCESS)
        ThrowSetFailed(name);
}

std::string SettingsRegistry::ReadText(const std::string& name) {
    if (!current_)
        return {};
    DWORD size = 0;
    if (RegQueryValueExA(current_.get(), name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return {};
    // The data need not end in a NUL, and the size the query reports for an
    // 8-bit read can exceed what the read returns: only the bytes the read
    // reports are looked at.
    std::vector<char> data(size);
    DWORD type = REG_NONE;
    DWORD got = size;
    if (RegQueryValueExA(current_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got) !=
        ERROR_SUCCESS)
        ThrowGetFailed(name);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        ThrowInvalidType(name);
    const size_t length = std::min<size_t>(got, data.size());
    size_t end = 0;
    while (end < length && data[end] != '\0')
        ++end;
    return std::string(data.data(), end);
}

void SettingsRegistry::WriteText(const std::string& name, const std::string& text) {
    if (!current_ || text.size() >= MAXDWORD ||
        RegSetValueExA(current_.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS)
        ThrowSetFailed(name);
}

bool SettingsRegistry::RemoveValue(const std::string& name) noexcept {
    return current_ && RegDeleteValueA(current_.get(), name.c_str()) == ERROR_SUCCESS;
}

void SettingsRegistry::DeleteValue(const std::string& name) {
    if (!current_)
        ThrowDeleteFailed(name);
    const LONG result = RegDeleteValueA(current_.get(), name.c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        ThrowDeleteFailed(name);
}

bool SettingsRegistry::ValueMissing(const std::string& path, const std::string& name) const noexcept {
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExA(root_, path.c_str(), 0, kProbeRights, &key);
    if (opened != ERROR_SUCCESS)
        return opened == ERROR_FILE_NOT_FOUND;
    const LONG queried = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return queried == ERROR_FILE_NOT_FOUND;
}

}  // namespace store
