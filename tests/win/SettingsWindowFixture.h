// A real SettingsWindow in a scratch world: HKEY_CURRENT_USER redirected to a key of
// its own, the program placed in a temporary folder (so list.txt lands
// there), and error boxes recorded instead of shown.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PointerInput.h"
#include "app/SettingsWindow.h"
#include "toolkit/Application.h"
#include "toolkit/ErrorReport.h"

namespace settings_window_test {

using app::SettingsWindow;

inline constexpr char kSettingsKey[] = "Software\\Orvaneth\\Tavrin2";
inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Initialises the application object once per test process.
inline void InitializeApplicationOnce() {
    static bool done = false;
    if (!done) {
        toolkit::Application::Instance().Initialize(GetModuleHandleA(nullptr));
        done = true;
    }
}

class SettingsWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeApplicationOnce();
        previousHandler_ = toolkit::SetExceptionHandler([this](const std::string& m) { errors.push_back(m); });
        static int serial = 0;
        const std::string scratch = "Software\\Tavrin2Tests\\" + std::to_string(GetCurrentProcessId()) + "-" +
                                    std::to_string(++serial);
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, scratch.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &scratchKey_, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, scratchKey_), ERROR_SUCCESS);

        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "tavrin2-form-" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(serial);
        CreateDirectoryA(folder.c_str(), nullptr);
        exePath = folder + "\\tavrin2.exe";
        listPath = folder + "\\list.txt";
    }

    void TearDown() override {
        form.reset();
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(scratchKey_);
        DeleteFileA(listPath.c_str());
        RemoveDirectoryA(folder.c_str());
        toolkit::SetExceptionHandler(previousHandler_);
    }

    SettingsWindow& Start() {
        form = std::make_unique<SettingsWindow>(exePath);
        return *form;
    }
    // Started and shown, with its first paints done.
    SettingsWindow& StartShown() {
        SettingsWindow& f = Start();
        f.Show();
        PumpFor(300);
        return f;
    }

    // Registry helpers on the redirected HKEY_CURRENT_USER.
    static void SetDword(const char* key, const char* name, DWORD value) {
        HKEY k;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), 0);
        RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        RegCloseKey(k);
    }
    static void SetString(const char* key, const char* name, const std::string& text, DWORD type = REG_SZ) {
        HKEY k;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), 0);
        RegSetValueExA(k, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(k);
    }
    // (type, bytes) of a value; type 0 when missing.
    static std::pair<DWORD, std::string> Value(const char* key, const char* name) {
        HKEY k;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &k) != ERROR_SUCCESS)
            return {0, {}};
        DWORD type = 0, size = 0;
        std::string data;
        if (RegQueryValueExA(k, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            data.resize(size);
            RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        } else {
            type = 0;
        }
        RegCloseKey(k);
        return {type, data};
    }
    static std::string Dword(DWORD v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
    static std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

    std::vector<std::string> errors;
    std::unique_ptr<SettingsWindow> form;
    std::string folder, exePath, listPath;

private:
    HKEY scratchKey_ = nullptr;
    toolkit::ExceptionHandler previousHandler_;
};

// Dispatches what is waiting (a posted key, a click) through the
// application's own pump, so dialog keys take their real path.
inline void Pump() {
    toolkit::Application::Instance().ProcessMessages();
}

}  // namespace settings_window_test
