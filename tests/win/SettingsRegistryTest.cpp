// The settings accessor against Wine's real registry. Every test works under a
// scratch key of its own; the one test of the default root redirects
// HKEY_CURRENT_USER there, so the user's own settings are never touched.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <variant>
#include <vector>

#include "store/SettingsRegistry.h"
#include "toolkit/Exceptions.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Of(const std::string& text) { return Bytes(text.begin(), text.end()); }
// The text and its terminating NUL.
Bytes Sz(std::string text) {
    text.push_back('\0');
    return Of(text);
}
Bytes Dword(DWORD n) { return {BYTE(n), BYTE(n >> 8), BYTE(n >> 16), BYTE(n >> 24)}; }

class ScratchKey {
public:
    ScratchKey() {
        static unsigned counter = 0;
        path_ = "Software\\TavrinTests\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key_, nullptr);
    }
    ~ScratchKey() {
        RegCloseKey(key_);
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    }
    HKEY get() const { return key_; }

private:
    std::string path_;
    HKEY key_ = nullptr;
};

class SettingsRegistryTest : public ::testing::Test {
protected:
    // Stores raw data under root\Data, the key the tests make current.
    void Store(const char* name, DWORD type, const Bytes& data) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(root_.get(), "Data", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())), 0);
        RegCloseKey(key);
    }
    // Stores 16-bit text data as it is, terminated or not.
    void StoreWide(const char* name, DWORD type, const std::wstring& data, DWORD bytes) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(root_.get(), "Data", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
        const std::wstring wname(name, name + strlen(name));
        ASSERT_EQ(RegSetValueExW(key, wname.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()), bytes), 0);
        RegCloseKey(key);
    }
    // What is stored under a key of the root, as the platform reads it.
    bool Load(const char* keyPath, const char* name, DWORD* type, Bytes* data) {
        Bytes buffer(1024);
        DWORD size = static_cast<DWORD>(buffer.size());
        if (RegGetValueA(root_.get(), keyPath, name, RRF_RT_ANY | RRF_NOEXPAND, type, buffer.data(), &size) != 0)
            return false;
        buffer.resize(size);
        *data = buffer;
        return true;
    }

    ScratchKey root_;
    store::SettingsRegistry registry_{root_.get()};
};

// ReadFlag: what each stored form reads as.
struct FlagCase {
    const char* name;
    DWORD type;
    Bytes data;
    std::variant<bool, const char*> result;  // the answer, or the message
};

void PrintTo(const FlagCase& c, std::ostream* os) { *os << c.name; }

class ReadFlagCases : public SettingsRegistryTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(ReadFlagCases, AnswersOrRaisesByStoredTypeAndSize) {
    const FlagCase& c = GetParam();
    Store("Inteligens", c.type, c.data);
    ASSERT_TRUE(registry_.UseKey("Data", false));
    if (std::holds_alternative<bool>(c.result)) {
        EXPECT_EQ(registry_.ReadFlag("Inteligens"), std::get<bool>(c.result));
    } else {
        try {
            registry_.ReadFlag("Inteligens");
            FAIL() << "no error";
        } catch (const toolkit::RegistryError& e) {
            EXPECT_STREQ(e.what(), std::get<const char*>(c.result));
        }
    }
}

constexpr const char* kGetFailed = "Failed to get data for 'Inteligens'";
constexpr const char* kInvalidType = "Invalid data type for 'Inteligens'";

INSTANTIATE_TEST_SUITE_P(
    StoredForms, ReadFlagCases,
    ::testing::Values(FlagCase{"DwordOne", REG_DWORD, Dword(1), true},
                      FlagCase{"DwordZero", REG_DWORD, Dword(0), false},
                      FlagCase{"DwordLarge", REG_DWORD, Dword(0x80000000u), true},
                      FlagCase{"DwordHighByteOnly", REG_DWORD, Dword(0x01000000u), true},
                      FlagCase{"TwoByteDwordIsZeroExtended", REG_DWORD, Bytes{0, 0}, false},
                      FlagCase{"TwoByteDwordHighByte", REG_DWORD, Bytes{0, 1}, true},
                      FlagCase{"OneByteDword", REG_DWORD, Bytes{7}, true},
                      FlagCase{"EmptyDword", REG_DWORD, Bytes{}, false},
                      FlagCase{"EightByteDword", REG_DWORD, Bytes(8, 0), kGetFailed},
                      FlagCase{"Qword", REG_QWORD, Bytes(8, 1), kGetFailed},
                      FlagCase{"EightByteBinary", REG_BINARY, Bytes(8, 1), kGetFailed},
                      FlagCase{"FourByteBinary", REG_BINARY, Dword(1), kInvalidType},
                      FlagCase{"BigEndianDword", REG_DWORD_BIG_ENDIAN, Dword(1), kInvalidType},
                      FlagCase{"OneCharText", REG_SZ, Sz("1"), kInvalidType},
                      FlagCase{"ThreeCharText", REG_SZ, Sz("abc"), kInvalidType},
                      FlagCase{"FourCharText", REG_SZ, Sz("abcd"), kGetFailed},
                      FlagCase{"LongText", REG_SZ, Sz("igen, bekapcsolva"), kGetFailed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsRegistryTest, ReadFlagOfAMissingValueOrWithoutAKeyFailsToGetData) {
    EXPECT_THROW(
        {
            try {
                registry_.ReadFlag("Inteligens");
            } catch (const toolkit::RegistryError& e) {
                EXPECT_STREQ(e.what(), kGetFailed);
                throw;
            }
        },
        toolkit::RegistryError);
    Store("Other", REG_DWORD, Dword(1));
    ASSERT_TRUE(registry_.UseKey("Data", false));
    try {
        registry_.ReadFlag("Inteligens");
        FAIL() << "no error";
    } catch (const toolkit::RegistryError& e) {
        EXPECT_STREQ(e.what(), kGetFailed);
    }
}

// ReadText: what each stored form reads as.
struct TextCase {
    const char* name;
    DWORD type;
    Bytes data;
    std::variant<std::string, const char*> result;  // the text, or the message
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class ReadTextCases : public SettingsRegistryTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(ReadTextCases, AnswersOrRaisesByStoredType) {
    const TextCase& c = GetParam();
    Store("Tavrin2", c.type, c.data);
    ASSERT_TRUE(registry_.UseKey("Data", false));
    if (std::holds_alternative<std::string>(c.result)) {
        EXPECT_EQ(registry_.ReadText("Tavrin2"), std::get<std::string>(c.result));
    } else {
        try {
            registry_.ReadText("Tavrin2");
            FAIL() << "no error";
        } catch (const toolkit::RegistryError& e) {
            EXPECT_STREQ(e.what(), std::get<const char*>(c.result));
        }
    }
}

const std::string kExe = "C:\\Program Files\\Tavrin2\\tavrin2.exe";

INSTANTIATE_TEST_SUITE_P(
    StoredForms, ReadTextCases,
    ::testing::Values(
        TextCase{"Path", REG_SZ, Sz(kExe), kExe},
        TextCase{"ExpandableIsNotExpanded", REG_EXPAND_SZ, Sz("%SystemRoot%\\x.exe"),
                 std::string("%SystemRoot%\\x.exe")},
        TextCase{"EmptyText", REG_SZ, Bytes{0}, std::string()},
        TextCase{"NoBytes", REG_SZ, Bytes{}, std::string()},
        TextCase{"NoBytesOfAnotherType", REG_DWORD, Bytes{}, std::string()},
        TextCase{"UpToTheFirstNul", REG_SZ, Of(std::string("ab\0cd\0", 6)), std::string("ab")},
        TextCase{"EightBitText", REG_SZ, Sz("C:\\\xc1llat\\\xf5r.exe"),
                 std::string("C:\\\xc1llat\\\xf5r.exe")},
        TextCase{"Dword", REG_DWORD, Dword(1), "Invalid data type for 'Tavrin2'"},
        TextCase{"Binary", REG_BINARY, Of("abc"), "Invalid data type for 'Tavrin2'"},
        TextCase{"MultiText", REG_MULTI_SZ, Of(std::string("a\0b\0\0", 5)), "Invalid data type for 'Tavrin2'"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsRegistryTest, ReadTextOfAMissingValueOrWithoutAKeyIsEmpty) {
    EXPECT_EQ(registry_.ReadText("Tavrin2"), "");
    Store("Other", REG_SZ, Of("x"));
    ASSERT_TRUE(registry_.UseKey("Data", false));
    EXPECT_EQ(registry_.ReadText("Tavrin2"), "");
}

TEST_F(SettingsRegistryTest, TextWithoutTerminatingNulReadsToTheEndOfItsData) {
    StoreWide("Tavrin2", REG_SZ, L"abcd", 8);  // four characters, no NUL
    StoreWide("Odd", REG_SZ, L"xyz", 5);        // two characters and half of one
    StoreWide("OneByte", REG_SZ, L"q", 1);
    ASSERT_TRUE(registry_.UseKey("Data", false));
    EXPECT_EQ(registry_.ReadText("Tavrin2"), "abcd");
    const std::string odd = registry_.ReadText("Odd");
    EXPECT_TRUE(odd == "xy" || odd == "xyz") << odd;
    EXPECT_LE(registry_.ReadText("OneByte").size(), 1u);
}

TEST_F(SettingsRegistryTest, HugeTextReadsWhole) {
    std::string text(300000, 'x');
    for (size_t i = 0; i < text.size(); i += 7)
        text[i] = static_cast<char>('a' + i % 26);
    Store("Tavrin2", REG_SZ, Sz(text));
    StoreWide("Wide", REG_SZ, std::wstring(70001, L'w'), 140002);  // unterminated and long
    ASSERT_TRUE(registry_.UseKey("Data", false));
    EXPECT_EQ(registry_.ReadText("Tavrin2"), text);
    EXPECT_EQ(registry_.ReadText("Wide"), std::string(70001, 'w'));
}

TEST_F(SettingsRegistryTest, WriteFlagStoresFourByteDwordOverAnyType) {
    Store("Inteligens", REG_SZ, Sz("igen"));
    ASSERT_TRUE(registry_.UseKey("Data", false));
    registry_.WriteFlag("Inteligens", true);
    DWORD type = 0;
    Bytes data;
    ASSERT_TRUE(Load("Data", "Inteligens", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, Dword(1));
    EXPECT_TRUE(registry_.ReadFlag("Inteligens"));

    registry_.WriteFlag("Inteligens", false);
    ASSERT_TRUE(Load("Data", "Inteligens", &type, &data));
    EXPECT_EQ(data, Dword(0));
    EXPECT_FALSE(registry_.ReadFlag("Inteligens"));
}

TEST_F(SettingsRegistryTest, WriteTextStoresTextAndOneNul) {
    Store("Tavrin2", REG_DWORD, Dword(5));
    ASSERT_TRUE(registry_.UseKey("Data", false));
    registry_.WriteText("Tavrin2", "Z:\\work\\\xc1rv\xedz\\tavrin2.exe");
    DWORD type = 0;
    Bytes data;
    ASSERT_TRUE(Load("Data", "Tavrin2", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, Sz("Z:\\work\\\xc1rv\xedz\\tavrin2.exe"));
    EXPECT_EQ(registry_.ReadText("Tavrin2"), "Z:\\work\\\xc1rv\xedz\\tavrin2.exe");
}

TEST_F(SettingsRegistryTest, WritesWithoutACurrentKeyFailToSetData) {
    for (int round = 0; round < 2; ++round) {
        try {
            registry_.WriteFlag("Inteligens", true);
            ADD_FAILURE() << "flag: no error";
        } catch (const toolkit::RegistryError& e) {
            EXPECT_STREQ(e.what(), "Failed to set data for 'Inteligens'");
        }
        try {
            registry_.WriteText("Tavrin2", "x");
            ADD_FAILURE() << "text: no error";
        } catch (const toolkit::RegistryError& e) {
            EXPECT_STREQ(e.what(), "Failed to set data for 'Tavrin2'");
        }
        // Also after a key was current and was released.
        ASSERT_TRUE(registry_.UseKey("Data", true));
        registry_.ReleaseKey();
    }
}

TEST_F(SettingsRegistryTest, RemoveValueAnswersWithoutRaising) {
    EXPECT_FALSE(registry_.RemoveValue("Tavrin2"));  // no current key
    Store("Tavrin2", REG_SZ, Of("x"));
    ASSERT_TRUE(registry_.UseKey("Data", false));
    EXPECT_TRUE(registry_.RemoveValue("Tavrin2"));
    DWORD type = 0;
    Bytes data;
    EXPECT_FALSE(Load("Data", "Tavrin2", &type, &data));
    EXPECT_FALSE(registry_.RemoveValue("Tavrin2"));  // already gone
}

TEST_F(SettingsRegistryTest, FailedUseKeyKeepsThePreviousKeyCurrent) {
    ASSERT_TRUE(registry_.UseKey("First", true));
    EXPECT_FALSE(registry_.UseKey("Missing", false));
    EXPECT_FALSE(registry_.UseKey("Too long\\" + std::string(300, 'k'), true));
    EXPECT_TRUE(registry_.HasCurrentKey());
    registry_.WriteFlag("Inteligens", true);
    DWORD type = 0;
    Bytes data;
    EXPECT_TRUE(Load("First", "Inteligens", &type, &data));
    EXPECT_FALSE(registry_.HasKey("Missing"));
}

TEST_F(SettingsRegistryTest, UseKeyClosesThePreviousKeyAndReleaseClosesTheLast) {
    const long before = toolkit::UniqueKey::Live();
    ASSERT_TRUE(registry_.UseKey("First", true));
    EXPECT_EQ(toolkit::UniqueKey::Live(), before + 1);
    ASSERT_TRUE(registry_.UseKey("Software\\Orvaneth\\Tavrin2", true));  // nested keys made on the way
    EXPECT_EQ(toolkit::UniqueKey::Live(), before + 1);
    registry_.WriteFlag("Inteligens", false);
    DWORD type = 0;
    Bytes data;
    EXPECT_TRUE(Load("Software\\Orvaneth\\Tavrin2", "Inteligens", &type, &data));
    EXPECT_FALSE(Load("First", "Inteligens", &type, &data));
    registry_.ReleaseKey();
    EXPECT_FALSE(registry_.HasCurrentKey());
    EXPECT_EQ(toolkit::UniqueKey::Live(), before);
    registry_.ReleaseKey();  // nothing open: nothing happens
    EXPECT_EQ(toolkit::UniqueKey::Live(), before);
}

TEST_F(SettingsRegistryTest, UseKeyWithoutCreateOpensOnlyExistingKeys) {
    EXPECT_FALSE(registry_.UseKey("Software\\Orvaneth\\Tavrin2", false));
    EXPECT_FALSE(registry_.HasKey("Software\\Orvaneth\\Tavrin2"));
    EXPECT_FALSE(registry_.HasKey("Software\\Orvaneth"));
    ASSERT_TRUE(registry_.UseKey("Software\\Orvaneth\\Tavrin2", true));
    EXPECT_TRUE(registry_.HasKey("Software\\Orvaneth\\Tavrin2"));
    registry_.ReleaseKey();
    EXPECT_TRUE(registry_.UseKey("Software\\Orvaneth\\Tavrin2", false));
}

TEST_F(SettingsRegistryTest, HasKeyLeavesTheCurrentKeyAlone) {
    ASSERT_TRUE(registry_.UseKey("Run", true));
    const long open = toolkit::UniqueKey::Live();
    EXPECT_TRUE(registry_.HasKey("Run"));
    EXPECT_FALSE(registry_.HasKey("Settings"));
    EXPECT_TRUE(registry_.UseKey("Settings", true) && registry_.UseKey("Run", false));
    EXPECT_TRUE(registry_.HasKey("Settings"));
    EXPECT_EQ(toolkit::UniqueKey::Live(), open);
    EXPECT_TRUE(registry_.HasCurrentKey());
    registry_.WriteText("Tavrin2", "x");
    DWORD type = 0;
    Bytes data;
    EXPECT_TRUE(Load("Run", "Tavrin2", &type, &data));
    EXPECT_FALSE(Load("Settings", "Tavrin2", &type, &data));
}

TEST(SettingsRegistryDefaultRoot, WorksUnderTheCurrentUser) {
    ScratchKey scratch;
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, scratch.get()), 0);
    {
        store::SettingsRegistry registry;
        ASSERT_TRUE(registry.UseKey("Software\\Orvaneth\\Tavrin2", true));
        registry.WriteFlag("Inteligens", true);
        EXPECT_TRUE(registry.HasKey("Software\\Orvaneth\\Tavrin2"));
    }
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, nullptr), 0);
    // The value landed in the redirected root, not in the user's settings.
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(RegGetValueA(scratch.get(), "Software\\Orvaneth\\Tavrin2", "Inteligens", RRF_RT_REG_DWORD, nullptr,
                           &value, &size),
              0);
    EXPECT_EQ(value, 1u);
    EXPECT_FALSE(store::SettingsRegistry().HasKey("Software\\Orvaneth\\Tavrin2"));
}

}  // namespace
