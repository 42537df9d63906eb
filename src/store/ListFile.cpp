// list.txt on disk through the 8-bit file API.
#include "store/ListFile.h"

#include "store/FileErrorText.h"
#include "store/ListFileText.h"
#include "toolkit/Exceptions.h"
#include "toolkit/UniqueHandle.h"

#include <memory>
#include <utility>

namespace store {
namespace {

std::string SystemErrorText(DWORD code) {
    char text[1024] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        text, sizeof text, nullptr);
    return std::string(text, length);
}

[[noreturn]] void ThrowCannotCreate(const std::string& path, DWORD code) {
    throw toolkit::FileCreateError(CannotCreateFileMessage(path, SystemErrorText(code)));
}

[[noreturn]] void ThrowWriteError() { throw toolkit::StreamWriteError("Stream write error"); }

// The whole text in one write; anything short of all of it is a write error.
void WriteAll(HANDLE file, const std::string& text, const SaveSteps& steps) {
    if (text.empty())
        return;
    if (text.size() > MAXDWORD)
        ThrowWriteError();
    const DWORD size = static_cast<DWORD>(text.size());
    DWORD written = 0;
    if (!steps.write(file, text.data(), size, &written) || written != size)
        ThrowWriteError();
}

// A temporary file being written: closed and deleted on every path that does
// not hand it over to list.txt.
class TempFile {
public:
    TempFile(std::string name, HANDLE file) : name_(std::move(name)), file_(file) {}
    ~TempFile() {
        file_.reset();
        if (!committed_)
            DeleteFileA(name_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    HANDLE Handle() const { return file_.get(); }
    const std::string& Name() const { return name_; }
    // Closes the handle; false when the platform reports a failure.
    bool Close() { return CloseHandle(file_.release()) != FALSE; }
    void Commit() { committed_ = true; }

private:
    std::string name_;
    toolkit::UniqueFile file_;
    bool committed_ = false;
};

std::unique_ptr<TempFile> CreateTempFile(const std::string& path, const SaveSteps& steps) {
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        std::string name = steps.tempName(path, attempt);
        // CREATE_NEW: a file of that name belongs to someone else; never touch it.
        HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return std::make_unique<TempFile>(std::move(name), file);
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    return nullptr;
}

// The save without a temporary file: truncate list.txt and write it.
void SaveInPlace(const std::string& path, const std::string& text, const SaveSteps& steps) {
    toolkit::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        ThrowCannotCreate(path, GetLastError());
    WriteAll(file.get(), text, steps);
}

// A list saved as Unicode text by an editor, with its byte order mark: read as
// the entries it holds. Read byte by byte, its first NUL would end the text,
// and the next save would keep only what came before it. Text that the ANSI
// code page cannot hold is refused rather than changed.
bool IsUtf16Text(const std::string& bytes) {
    return bytes.size() >= 2 &&
           ((bytes[0] == '\xff' && bytes[1] == '\xfe') || (bytes[0] == '\xfe' && bytes[1] == '\xff'));
}

std::string AnsiFromUtf16(const std::string& path, const std::string& bytes) {
    const bool bigEndian = bytes[0] == '\xfe';
    std::wstring wide((bytes.size() - 2) / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        const auto lo = static_cast<unsigned char>(bytes[2 + 2 * i + (bigEndian ? 1 : 0)]);
        const auto hi = static_cast<unsigned char>(bytes[2 + 2 * i + (bigEndian ? 0 : 1)]);
        wide[i] = static_cast<wchar_t>(lo | (hi << 8));
    }
    if (wide.empty())
        return {};
    BOOL lossy = FALSE;
    const int length = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, nullptr, &lossy);
    std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, text.data(), size, nullptr, &lossy);
    if (size <= 0 || lossy)
        throw toolkit::FileOpenError(
            CannotOpenFileMessage(path, "The Unicode text holds characters the ANSI code page lacks"));
    return text;
}

}  // namespace

void EnsureListFile(const std::string& path) {
    toolkit::UniqueFile file(
        CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return;  // a file is there already, perhaps just made by another instance
            error = ERROR_ACCESS_DENIED;  // a folder cannot be opened as the list file
        }
        throw toolkit::FileIoError(InOutErrorMessage(static_cast<int>(error)), static_cast<int>(error));
    }
    if (!CloseHandle(file.release())) {
        const DWORD error = GetLastError();
        throw toolkit::FileIoError(InOutErrorMessage(static_cast<int>(error)), static_cast<int>(error));
    }
}

std::vector<std::string> LoadListFile(const std::string& path) {
    toolkit::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw toolkit::FileOpenError(CannotOpenFileMessage(path, SystemErrorText(GetLastError())));
    std::string bytes;
    char chunk[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr))
            throw toolkit::StreamReadError("Stream read error");
        if (read == 0)
            break;
        bytes.append(chunk, read);
    }
    if (IsUtf16Text(bytes))
        bytes = AnsiFromUtf16(path, bytes);
    return ParseListText(bytes);
}

const SaveSteps& PlatformSaveSteps() {
    static const SaveSteps steps{
        [](HANDLE file, const void* data, DWORD size, DWORD* written) {
            return WriteFile(file, data, size, written, nullptr);
        },
        ListTempName,
    };
    return steps;
}

std::string ListTempName(const std::string& listPath, unsigned attempt) {
    return toolkit::Format("%s.%lx-%u.tmp", listPath.c_str(), GetCurrentProcessId(), attempt);
}

void SaveListFile(const std::string& path, const std::vector<std::string>& entries, const SaveSteps& steps) {
    const std::string text = FormatListText(entries);

    // Can list.txt itself be written? Asked the way the save in place opens it,
    // without truncating, so a read-only or locked file is refused untouched.
    // The read-only attribute is tested by hand as well: a rename must not get
    // round it where the file system would let a privileged user write anyway
    // (Wine run as root does).
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        ThrowCannotCreate(path, ERROR_ACCESS_DENIED);
    {
        toolkit::UniqueFile probe(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe && GetLastError() != ERROR_FILE_NOT_FOUND)
            ThrowCannotCreate(path, GetLastError());
    }

    const std::unique_ptr<TempFile> temp = CreateTempFile(path, steps);
    if (!temp) {
        // No room for a second file in that folder (rights, name length): the
        // old way is the only way left.
        SaveInPlace(path, text, steps);
        return;
    }
    WriteAll(temp->Handle(), text, steps);
    if (!FlushFileBuffers(temp->Handle()) || !temp->Close())
        ThrowWriteError();
    // The rename can still be refused (list.txt locked since the check): the
    // old file then stays as it was and the temporary file goes.
    if (!MoveFileExA(temp->Name().c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowCannotCreate(path, GetLastError());
    temp->Commit();
}

}  // namespace store
