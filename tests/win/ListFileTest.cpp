// list.txt on a real (Wine) file system: creation, loading, saving, and the
// errors for folders, read-only and locked files and writes that fail part way.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "store/ListFile.h"
#include "toolkit/Exceptions.h"

namespace {

using Entries = std::vector<std::string>;

std::string ReadBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

// The system's text for a code as it stands inside our messages.
std::string SystemText(DWORD code) {
    char text[1024] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                             sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '.' || text[n - 1] == ' ' || text[n - 1] == '\r' || text[n - 1] == '\n'))
        --n;
    return std::string(text, n);
}

// Every test works in a folder of its own under the prefix's temp folder.
class ListFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static unsigned counter = 0;
        dir_ = std::string(temp) + "tavrin-list-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(++counter) + "\\";
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
        path_ = dir_ + "list.txt";
    }
    void TearDown() override {
        for (const std::string& name : Files()) {
            const std::string full = dir_ + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileA(full.c_str()))
                RemoveDirectoryA(full.c_str());
        }
        RemoveDirectoryA(dir_.c_str());
    }

    // Names in the test folder, so stray temporary files show.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((dir_ + "*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do {
            const std::string name = data.cFileName;
            if (name != "." && name != "..")
                names.push_back(name);
        } while (FindNextFileA(find, &data));
        FindClose(find);
        return names;
    }

    std::string dir_;
    std::string path_;
};

TEST_F(ListFileTest, MissingFileIsCreatedEmpty) {
    store::EnsureListFile(path_);
    EXPECT_EQ(ReadBytes(path_), "");
    EXPECT_EQ(store::LoadListFile(path_), Entries{});
}

TEST_F(ListFileTest, ExistingFileIsNeverTouched) {
    WriteBytes(path_, "c:\\a.exe\r\nc:\\b.exe");
    store::EnsureListFile(path_);
    EXPECT_EQ(ReadBytes(path_), "c:\\a.exe\r\nc:\\b.exe");

    // Also when it is read-only or held open by someone else.
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    store::EnsureListFile(path_);
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE locker = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locker, INVALID_HANDLE_VALUE);
    store::EnsureListFile(path_);
    CloseHandle(locker);
    EXPECT_EQ(ReadBytes(path_), "c:\\a.exe\r\nc:\\b.exe");
}

TEST_F(ListFileTest, FolderNamedLikeTheListIsAccessDenied) {
    ASSERT_TRUE(CreateDirectoryA(path_.c_str(), nullptr));
    try {
        store::EnsureListFile(path_);
        FAIL() << "no error";
    } catch (const toolkit::FileIoError& e) {
        EXPECT_STREQ(e.what(), "File access denied");
        EXPECT_EQ(e.ErrorCode, 5);
    }
    EXPECT_EQ(GetFileAttributesA(path_.c_str()) & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(ListFileTest, MissingFolderIsAnInOutErrorByCode) {
    const std::string path = dir_ + "no such folder\\list.txt";
    try {
        store::EnsureListFile(path);
        FAIL() << "no error";
    } catch (const toolkit::FileIoError& e) {
        EXPECT_EQ(e.ErrorCode, 3);
        EXPECT_STREQ(e.what(), "Invalid filename");
    }
}

TEST_F(ListFileTest, TwoLinesWithoutFinalBreakLoadAsTwoAndSaveWithCrLf) {
    WriteBytes(path_, "c:\\a.exe\r\nc:\\b.exe");
    const Entries entries = store::LoadListFile(path_);
    EXPECT_EQ(entries, (Entries{"c:\\a.exe", "c:\\b.exe"}));
    store::SaveListFile(path_, entries);
    EXPECT_EQ(ReadBytes(path_), "c:\\a.exe\r\nc:\\b.exe\r\n");
    EXPECT_EQ(Files(), std::vector<std::string>{"list.txt"});
}

TEST_F(ListFileTest, LfOnlyFileIsSavedBackWithCrLf) {
    WriteBytes(path_, "a\n\nC:\\\xc1llat.exe\n");
    const Entries entries = store::LoadListFile(path_);
    EXPECT_EQ(entries, (Entries{"a", "", "C:\\\xc1llat.exe"}));
    store::SaveListFile(path_, entries);
    EXPECT_EQ(ReadBytes(path_), "a\r\n\r\nC:\\\xc1llat.exe\r\n");
}

TEST_F(ListFileTest, LargeFileLoadsWhole) {
    std::string bytes;
    Entries expected;
    for (int i = 0; i < 5000; ++i) {
        expected.push_back("c:\\folder " + std::to_string(i) + "\\program.exe");
        bytes += expected.back() + "\r\n";
    }
    WriteBytes(path_, bytes);
    EXPECT_EQ(store::LoadListFile(path_), expected);
}

TEST_F(ListFileTest, EmptyListSavesZeroBytes) {
    WriteBytes(path_, "old\r\n");
    store::SaveListFile(path_, {});
    EXPECT_EQ(ReadBytes(path_), "");
    EXPECT_EQ(Files(), std::vector<std::string>{"list.txt"});
}

TEST_F(ListFileTest, SaveCreatesAMissingFile) {
    store::SaveListFile(path_, {"x"});
    EXPECT_EQ(ReadBytes(path_), "x\r\n");
}

TEST_F(ListFileTest, ReadOnlyFileIsRefusedAndKept) {
    WriteBytes(path_, "old\r\n");
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    try {
        store::SaveListFile(path_, {"new"});
        FAIL() << "no error";
    } catch (const toolkit::FileCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + path_ + "\". " + SystemText(ERROR_ACCESS_DENIED));
    }
    EXPECT_EQ(ReadBytes(path_), "old\r\n");
    EXPECT_EQ(GetFileAttributesA(path_.c_str()) & FILE_ATTRIBUTE_READONLY, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Files(), std::vector<std::string>{"list.txt"});
}

TEST_F(ListFileTest, FileLockedByAnotherHandleIsRefusedAndKept) {
    WriteBytes(path_, "old\r\n");
    HANDLE locker = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locker, INVALID_HANDLE_VALUE);
    try {
        store::SaveListFile(path_, {"new"});
        ADD_FAILURE() << "save: no error";
    } catch (const toolkit::FileCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + path_ + "\". " + SystemText(ERROR_SHARING_VIOLATION));
    }
    try {
        store::LoadListFile(path_);
        ADD_FAILURE() << "load: no error";
    } catch (const toolkit::FileOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + path_ + "\". " + SystemText(ERROR_SHARING_VIOLATION));
    }
    CloseHandle(locker);
    EXPECT_EQ(ReadBytes(path_), "old\r\n");
    EXPECT_EQ(Files(), std::vector<std::string>{"list.txt"});
}

TEST_F(ListFileTest, LoadRefusesAFileOpenForWriting) {
    WriteBytes(path_, "a\r\n");
    HANDLE writer = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_THROW(store::LoadListFile(path_), toolkit::FileOpenError);
    CloseHandle(writer);

    // Readers are welcome.
    HANDLE reader = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(store::LoadListFile(path_), Entries{"a"});
    CloseHandle(reader);
}

TEST_F(ListFileTest, MissingFileCannotBeOpened) {
    try {
        store::LoadListFile(path_);
        FAIL() << "no error";
    } catch (const toolkit::FileOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + path_ + "\". " + SystemText(ERROR_FILE_NOT_FOUND));
    }
}

// A writer that puts part of the text down and then fails, as a full disk does.
store::SaveSteps FailingPartWay(BOOL result, DWORD error, std::string* seenDuringWrite, const std::string& path) {
    store::SaveSteps steps = store::PlatformSaveSteps();
    steps.write = [=](HANDLE file, const void* data, DWORD size, DWORD* written) {
        if (seenDuringWrite)
            *seenDuringWrite = ReadBytes(path);
        DWORD half = 0;
        WriteFile(file, data, size / 2, &half, nullptr);
        *written = half;
        SetLastError(error);
        return result;
    };
    return steps;
}

TEST_F(ListFileTest, SaveThatFailsPartWayLeavesTheOldFileWhole) {
    WriteBytes(path_, "c:\\old one.exe\r\nc:\\old two.exe\r\n");
    std::string seen;
    for (const BOOL result : {TRUE, FALSE}) {
        try {
            store::SaveListFile(path_, {"c:\\new one.exe", "c:\\new two.exe", "c:\\new three.exe"},
                                FailingPartWay(result, ERROR_DISK_FULL, &seen, path_));
            FAIL() << "no error";
        } catch (const toolkit::StreamWriteError& e) {
            EXPECT_STREQ(e.what(), "Stream write error");
        }
        // The list was whole while the new text was being written, and is whole after.
        EXPECT_EQ(seen, "c:\\old one.exe\r\nc:\\old two.exe\r\n");
        EXPECT_EQ(ReadBytes(path_), "c:\\old one.exe\r\nc:\\old two.exe\r\n");
        EXPECT_EQ(Files(), std::vector<std::string>{"list.txt"});
    }
    // The next save that works brings the file up to date.
    store::SaveListFile(path_, {"c:\\new one.exe"});
    EXPECT_EQ(ReadBytes(path_), "c:\\new one.exe\r\n");
}

TEST_F(ListFileTest, ListLockedWhileTheNewTextIsWrittenIsRefusedAndKept) {
    WriteBytes(path_, "old\r\n");
    HANDLE locker = INVALID_HANDLE_VALUE;
    store::SaveSteps steps = store::PlatformSaveSteps();
    steps.write = [&](HANDLE file, const void* data, DWORD size, DWORD* written) {
        // Another program takes list.txt after it was found writable.
        locker = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        return WriteFile(file, data, size, written, nullptr);
    };
    try {
        store::SaveListFile(path_, {"new"}, steps);
        ADD_FAILURE() << "no error";
    } catch (const toolkit::FileCreateError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot create file \"" + path_ + "\". ", 0), 0u) << e.Message();
    }
    ASSERT_NE(locker, INVALID_HANDLE_VALUE);
    CloseHandle(locker);
    EXPECT_EQ(ReadBytes(path_), "old\r\n");
    EXPECT_EQ(Files(), std::vector<std::string>{"list.txt"});
}

TEST_F(ListFileTest, TemporaryNameInUseIsLeftAloneAndAnotherIsTaken) {
    const std::string taken = store::ListTempName(path_, 0);
    WriteBytes(taken, "someone else's");
    store::SaveListFile(path_, {"a"});
    EXPECT_EQ(ReadBytes(path_), "a\r\n");
    EXPECT_EQ(ReadBytes(taken), "someone else's");
    EXPECT_EQ(Files().size(), 2u);
}

TEST_F(ListFileTest, WithoutRoomForATemporaryFileTheListIsWrittenInPlace) {
    WriteBytes(path_, "old\r\n");
    store::SaveSteps steps = store::PlatformSaveSteps();
    steps.tempName = [&](const std::string&, unsigned) { return dir_ + "missing folder\\list.tmp"; };
    store::SaveListFile(path_, {"new", ""}, steps);
    EXPECT_EQ(ReadBytes(path_), "new\r\n\r\n");
    EXPECT_EQ(Files(), std::vector<std::string>{"list.txt"});

    // In place a short write is still reported.
    steps.write = FailingPartWay(TRUE, ERROR_DISK_FULL, nullptr, path_).write;
    EXPECT_THROW(store::SaveListFile(path_, {"newer"}, steps), toolkit::StreamWriteError);
    // Refusals come from list.txt itself, before anything is written.
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_THROW(store::SaveListFile(path_, {"newest"}, steps), toolkit::FileCreateError);
}

TEST_F(ListFileTest, SaveIntoAMissingFolderIsACreateError) {
    const std::string path = dir_ + "gone\\list.txt";
    try {
        store::SaveListFile(path, {"a"});
        FAIL() << "no error";
    } catch (const toolkit::FileCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + path + "\". " + SystemText(ERROR_PATH_NOT_FOUND));
    }
    EXPECT_EQ(Files(), std::vector<std::string>{});
}

TEST_F(ListFileTest, FolderNamedLikeTheListCannotBeLoadedOrSaved) {
    ASSERT_TRUE(CreateDirectoryA(path_.c_str(), nullptr));
    EXPECT_THROW(store::LoadListFile(path_), toolkit::FileOpenError);
    EXPECT_THROW(store::SaveListFile(path_, {"a"}), toolkit::FileCreateError);
    EXPECT_EQ(Files(), std::vector<std::string>{"list.txt"});
}

}  // namespace
