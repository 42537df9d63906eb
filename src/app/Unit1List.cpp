// The settings window's program list: loading list.txt into ComboBox1, adding
// through the open dialog, deleting by name, saving after every change.
#include "app/Unit1.h"

#include "store/ListFile.h"
#include "store/ListFileText.h"

#include "app/SettingsWindowTexts.h"

void TForm1::LoadProgramList() {
    const std::vector<std::string> entries = store::LoadListFile(ListPath);
    ComboBox1.BeginUpdate();
    try {
        ComboBox1.Clear();
        for (const std::string& entry : entries)
            ComboBox1.Add(entry);
    } catch (...) {
        ComboBox1.EndUpdate();
        throw;
    }
    ComboBox1.EndUpdate();
    ListLoaded = true;
}

void TForm1::SaveProgramList() {
    std::vector<std::string> entries;
    const int n = ComboBox1.Count();
    entries.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        entries.push_back(ComboBox1.Item(i));
    store::SaveListFile(ListPath, entries);
}

// A change saved over a list that was never loaded (start-up stopped early)
// would wipe list.txt: load it first. A failing load raises, so the change
// that called this does not happen.
bool TForm1::EnsureProgramListLoaded() {
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

void TForm1::Button1Click() {
    EnsureProgramListLoaded();
    OpenDialog1.Execute(Handle());
}

void TForm1::OpenDialog1CanClose(bool& canClose) {
    (void)canClose;
    EnsureProgramListLoaded();
    ComboBox1.Add(OpenDialog1.FileName);
    SaveProgramList();
    ComboBox1.SetEnabled(true);
}

void TForm1::Button2Click() {
    EnsureProgramListLoaded();
    const int index = ComboBox1.FindExact(ComboBox1.Text());
    if (index >= 0) {
        ComboBox1.Delete(index);
        SaveProgramList();
    }
    ComboBox1.SetText(app::kProgramListText);
}
