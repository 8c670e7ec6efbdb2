#include "mFileOpenSave.h"

#include <commdlg.h>

#include "AppInfo.h"
#include "ErrRecord.h"
#include "Modal.h"
#include "Texts.h"

bool ShowOpenDialog(std::wstring& FileName, std::wstring& FileTitle, bool& FileMustExist, bool& MultiSelect,
                    bool& ReadOnly, bool& HideReadOnly, std::wstring& Filter, int32_t& FilterIndex,
                    std::wstring& InitDir, std::wstring& DlgTitle, std::wstring& DefaultExt, HWND& Owner,
                    int32_t& Flags) {
    DWORD flags = static_cast<DWORD>(Flags) & ~static_cast<DWORD>(OFN_ENABLEHOOK | OFN_ENABLETEMPLATE);
    if (FileMustExist) flags |= OFN_FILEMUSTEXIST;
    if (MultiSelect) flags |= OFN_ALLOWMULTISELECT;
    if (ReadOnly) flags |= OFN_READONLY;
    if (HideReadOnly) flags |= OFN_HIDEREADONLY;

    const std::wstring filter = pellamy::ConvertFilter(Filter);
    // Room for the longest path the system takes (the programs declare long-path support), and for
    // a multiple selection of several names.
    const size_t size = 32768;
    if (FileName.size() >= size || FileTitle.size() >= size)
        RaiseError(5, ExeName(), texts::InvalidArgument);
    std::wstring file = FileName, title = FileTitle;
    file.resize(size, L'\0');
    title.resize(size, L'\0');

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    if (Owner != NoOwner()) ofn.hwndOwner = Owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(size);
    ofn.lpstrFileTitle = title.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(size);
    ofn.lpstrInitialDir = InitDir.empty() ? nullptr : InitDir.c_str();
    ofn.lpstrTitle = DlgTitle.empty() ? nullptr : DlgTitle.c_str();
    ofn.Flags = flags;
    ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();

    if (modal::OpenFile(ofn) == 1) {
        if (ofn.Flags & OFN_ALLOWMULTISELECT) {
            FileTitle.clear();
            FileName = pellamy::MultiSelectResult(file);
        } else {
            FileName = pellamy::StripAtNull(file);
            FileTitle = pellamy::StripAtNull(title);
        }
        Flags = static_cast<int32_t>(ofn.Flags);
        FilterIndex = static_cast<int32_t>(ofn.nFilterIndex);
        Filter = pellamy::GetFilterPair(filter, FilterIndex);
        if (ofn.Flags & OFN_READONLY) ReadOnly = true;
        return true;
    }
    FileName.clear();
    FileTitle.clear();
    Flags = 0;
    FilterIndex = -1;
    Filter.clear();
    return false;
}

bool ShowSaveDialog(std::wstring& fileName, const std::wstring& filter, const std::wstring& defaultExt,
                    const std::wstring& title, HWND owner) {
    const std::wstring converted = pellamy::ConvertFilter(filter);
    std::wstring file = fileName;
    file.resize(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = converted.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (modal::SaveFile(ofn) != 1) return false;
    fileName = pellamy::StripAtNull(file);
    return true;
}
