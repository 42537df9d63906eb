// The settings window's program list: loading list.txt into programList, adding
// through the open dialog, deleting by name, saving after every change.
#include "app/SettingsWindow.h"

#include "store/ListFile.h"
#include "store/ListFileText.h"

#include "app/SettingsWindowTexts.h"

namespace app {

void SettingsWindow::LoadProgramList() {
    const std::vector<std::string> entries = store::LoadListFile(ListPath);
    programList.BeginUpdate();
    try {
        programList.Clear();
        for (const std::string& entry : entries)
            programList.Add(entry);
    } catch (...) {
        programList.EndUpdate();
        throw;
    }
    programList.EndUpdate();
    ListLoaded = true;
}

void SettingsWindow::SaveProgramList() {
    std::vector<std::string> entries;
    const int n = programList.Count();
    entries.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        entries.push_back(programList.Item(i));
    store::SaveListFile(ListPath, entries);
}

// A change saved over a list that was never loaded (start-up stopped early)
// would wipe list.txt: load it first. A failing load raises, so the change
// that called this does not happen.
bool SettingsWindow::EnsureProgramListLoaded() {
    if (ListLoaded)
        return true;
    if (ListPath.empty())
        ListPath = store::ListPathFor(ExePath());
    const DWORD attributes = GetFileAttributesA(ListPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    LoadProgramList();
    return true;
}

void SettingsWindow::AddProgram() {
    EnsureProgramListLoaded();
    programDialog.Execute(Handle());
}

void SettingsWindow::AddChosenProgram(bool& canClose) {
    (void)canClose;
    EnsureProgramListLoaded();
    programList.Add(programDialog.FileName);
    SaveProgramList();
    programList.SetEnabled(true);
}

void SettingsWindow::RemoveProgram() {
    EnsureProgramListLoaded();
    const int index = programList.FindExact(programList.Text());
    if (index >= 0) {
        programList.Delete(index);
        SaveProgramList();
    }
    programList.SetText(kProgramListText);
}

}  // namespace app
