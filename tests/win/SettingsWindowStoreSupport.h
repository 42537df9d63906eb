// Helpers for the settings window's store tests: raw registry values and key
// times, list.txt bytes and times, a user's click on a control, and an
// accepted file handed to the open dialog's accept handler.
#pragma once

#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "SettingsWindowFixture.h"
#include "toolkit/ErrorReport.h"

namespace settings_window_test {

// A value of any type and any bytes (shorter or longer than its type's size).
inline void SetRaw(const char* key, const char* name, DWORD type, const std::string& bytes) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), 0);
    ASSERT_EQ(RegSetValueExA(k, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              0);
    RegCloseKey(k);
}

inline void CreateKey(const char* key, DWORD options = REG_OPTION_NON_VOLATILE) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, options, KEY_ALL_ACCESS, nullptr, &k, nullptr), 0);
    RegCloseKey(k);
}

inline void DeleteTree(const char* key) {
    RegDeleteTreeA(HKEY_CURRENT_USER, key);
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
}

// Gives a key the access list in the security descriptor string `sddl`
// ("D:P(A;;KR;;;WD)": everyone may read, nothing else; "D:P": nobody may do
// anything). Its owner can always change the list again.
inline void SetKeyAccess(const char* key, const char* sddl) {
    HKEY k;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, WRITE_DAC, &k), 0) << key;
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr));
    EXPECT_EQ(RegSetKeySecurity(k, DACL_SECURITY_INFORMATION, sd), 0);
    LocalFree(sd);
    RegCloseKey(k);
}
inline constexpr char kReadOnlyAccess[] = "D:P(A;;KR;;;WD)";
inline constexpr char kNoAccess[] = "D:P";
inline constexpr char kFullAccess[] = "D:P(A;;KA;;;WD)";

inline bool KeyExists(const char* key) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

// Number of values in a key and the time it was last written; {-1, 0} when missing.
struct KeyInfo {
    long values = -1;
    ULONGLONG lastWrite = 0;
};
inline KeyInfo InfoOf(const char* key) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &k) != ERROR_SUCCESS)
        return {};
    DWORD values = 0;
    FILETIME time{};
    KeyInfo info;
    if (RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                         &time) == ERROR_SUCCESS) {
        info.values = static_cast<long>(values);
        info.lastWrite = (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    }
    RegCloseKey(k);
    return info;
}

// list.txt and other files, byte for byte.
inline void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

// The file's bytes; "<missing>" when it cannot be opened.
inline std::string ReadBytes(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(f, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(f);
    return bytes;
}

inline bool FileExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// A fixed, long-past write time, so any rewrite of the file shows.
inline constexpr ULONGLONG kOldFileTime = 126227808000000000ULL;  // 2001-01-01
inline void AgeFile(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    FILETIME t{static_cast<DWORD>(kOldFileTime), static_cast<DWORD>(kOldFileTime >> 32)};
    SetFileTime(f, nullptr, nullptr, &t);
    CloseHandle(f);
}
inline ULONGLONG WriteTimeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// Text of a system error as the list file's messages carry it: no trailing
// blanks, line breaks or full stops.
inline std::string SystemText(DWORD code) {
    char text[1024] = "";
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                   sizeof text, nullptr);
    std::string s(text, n);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\r' || s.back() == '\n' || s.back() == '.'))
        s.pop_back();
    return s;
}

// A user's click on a button or check box: the notification goes through the
// form's own message handling, which shows (here: records) any error.
inline void Click(SettingsWindow& form, const toolkit::Control& control) {
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control.Handle()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(control.Handle()));
}

// The open dialog's accept step for a file, with the dialog's error handling
// (an error is shown): answers whether the handler ran to its end.
inline bool Accept(SettingsWindow& form, const std::string& file) {
    form.programDialog.FileName = file;
    bool canClose = true;
    try {
        form.AddChosenProgram(canClose);
    } catch (...) {
        toolkit::HandleCurrentException();
        canClose = false;
    }
    return canClose;
}

inline std::vector<std::string> Entries(const SettingsWindow& form) {
    std::vector<std::string> entries;
    for (int i = 0; i < form.programList.Count(); ++i)
        entries.push_back(form.programList.Item(i));
    return entries;
}

using Strings = std::vector<std::string>;

}  // namespace settings_window_test
