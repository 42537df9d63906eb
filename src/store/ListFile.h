// The program list file on disk: making sure it exists, loading it and saving
// it whole. A save never leaves a half-written list.txt behind when it can
// avoid it: the new text goes to a temporary file beside it, which then
// replaces list.txt in one step.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace store {

// Creates an empty file at path unless a file is already there; an existing
// file is never truncated, also when another instance creates it at the same
// moment. Failures (a folder of that name included) raise toolkit::FileIoError.
void EnsureListFile(const std::string& path);

// Reads the whole file (sharing it with readers only) and splits it into
// entries. Raises toolkit::FileOpenError "Cannot open file "<path>". <system text>".
// Unicode text with a byte order mark is read as the ANSI text it holds, or
// refused with the same error when the ANSI code page cannot hold it.
std::vector<std::string> LoadListFile(const std::string& path);

// The platform steps of a save that tests make fail on purpose; both are set.
struct SaveSteps {
    // Writes bytes to an open file, with WriteFile's contract.
    std::function<BOOL(HANDLE file, const void* data, DWORD size, DWORD* written)> write;
    // Names the temporary file for the given attempt (0, 1, ...).
    std::function<std::string(const std::string& listPath, unsigned attempt)> tempName;
};

// The platform's own steps: WriteFile and ListTempName.
const SaveSteps& PlatformSaveSteps();

// "<listPath>.<process id>-<attempt>.tmp": beside the list, on the same volume,
// so the replacement is a rename.
std::string ListTempName(const std::string& listPath, unsigned attempt);

// Writes every entry followed by CR LF. Raises toolkit::FileCreateError "Cannot create
// file "<path>". <system text>" when list.txt cannot be written (read-only,
// locked, no access), leaving it untouched, and toolkit::StreamWriteError "Stream write
// error" when fewer bytes are written than the text holds.
void SaveListFile(const std::string& path, const std::vector<std::string>& entries,
                  const SaveSteps& steps = PlatformSaveSteps());

}  // namespace store
