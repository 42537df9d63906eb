// System libraries come from the system folder only: the search limited to it
// first, the full path where an old loader rejects the limit, nothing else.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "toolkit/SystemLibrary.h"

namespace {

// What the fake platform answers and what it was asked.
struct FakeLoader {
    HMODULE fromSystemFolder = nullptr;
    DWORD error = ERROR_MOD_NOT_FOUND;
    std::wstring folder = L"C:\\Windows\\system32";
    HMODULE fromFullPath = nullptr;
    std::vector<std::wstring> searched, fullPaths;
};
FakeLoader* g_fake = nullptr;

const toolkit::SystemLoadCalls kFakeCalls{
    [](const wchar_t* name) {
        g_fake->searched.push_back(name);
        return g_fake->fromSystemFolder;
    },
    [] { return g_fake->error; },
    [] { return g_fake->folder; },
    [](const wchar_t* path) {
        g_fake->fullPaths.push_back(path);
        return g_fake->fromFullPath;
    },
};

HMODULE Module(int n) {
    return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x10000 * n));
}

TEST(SystemLibrary, LoadsFromTheSystemFolderOrNotAtAll) {
    struct Case {
        const char* what;
        HMODULE fromSystemFolder;
        DWORD error;
        std::wstring folder;
        HMODULE fromFullPath;
        HMODULE expected;
        std::vector<std::wstring> fullPaths;
    };
    const Case cases[] = {
        {"the limited search finds it", Module(1), 0, L"C:\\Windows\\system32", Module(2), Module(1), {}},
        {"not in the system folder: no other search", nullptr, ERROR_MOD_NOT_FOUND, L"C:\\Windows\\system32",
         Module(2), nullptr, {}},
        {"access denied: no other search", nullptr, ERROR_ACCESS_DENIED, L"C:\\Windows\\system32", Module(2),
         nullptr, {}},
        {"an old loader rejects the limit: the full path", nullptr, ERROR_INVALID_PARAMETER,
         L"C:\\Windows\\system32", Module(2), Module(2), {L"C:\\Windows\\system32\\version.dll"}},
        {"the full path is not there either", nullptr, ERROR_INVALID_PARAMETER, L"D:\\WINNT\\System32", nullptr,
         nullptr, {L"D:\\WINNT\\System32\\version.dll"}},
        {"a folder given with its backslash", nullptr, ERROR_INVALID_PARAMETER, L"C:\\", Module(3), Module(3),
         {L"C:\\version.dll"}},
        {"no system folder: never a bare name", nullptr, ERROR_INVALID_PARAMETER, L"", Module(2), nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeLoader fake{c.fromSystemFolder, c.error, c.folder, c.fromFullPath, {}, {}};
        g_fake = &fake;
        EXPECT_EQ(toolkit::LoadSystemLibrary("version.dll", kFakeCalls), c.expected);
        EXPECT_EQ(fake.searched, std::vector<std::wstring>{L"version.dll"});
        EXPECT_EQ(fake.fullPaths, c.fullPaths);
    }
    g_fake = nullptr;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

TEST(SystemLibrary, TheRealLoadGivesTheSystemFoldersCopy) {
    ASSERT_TRUE(toolkit::LimitLibrarySearchToSystemFolder());
    HMODULE module = toolkit::LoadSystemLibrary("version.dll");
    ASSERT_NE(module, nullptr);
    wchar_t path[MAX_PATH], folder[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(module, path, MAX_PATH), 0u);
    ASSERT_GT(GetSystemDirectoryW(folder, MAX_PATH), 0u);
    EXPECT_EQ(Lower(path), Lower(std::wstring(folder) + L"\\version.dll"));
    FreeLibrary(module);
    EXPECT_EQ(toolkit::LoadSystemLibrary("tavrin-nowhere.dll"), nullptr);
}

}  // namespace
