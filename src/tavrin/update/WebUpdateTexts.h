// Texts of the editor's Help menu and web update window, and the messages the window shows.
#pragma once
#include <string>

namespace webtexts {

// Web update window. The label's blank before the full stop and its trailing blank are kept.
inline constexpr const wchar_t* kWebUpdateCaption = L"Web Update";
inline constexpr const wchar_t* kCheckForUpdate = L"Check For Update";
inline constexpr const wchar_t* kWebUpdateLabel =
    L"Press the check button to Check for the Latest Version . For the test to fully work, "
    L"you should be connected to the internet. ";
inline constexpr const wchar_t* kClose = L"C&lose";
inline constexpr const wchar_t* kCurrentVersionPrefix = L"Current Version ";
inline constexpr const wchar_t* kCouldNotConnect = L"Could not connect to web site or file not found";
inline constexpr const wchar_t* kUpToDateTitle = L"You Have the most recent version";

inline std::wstring NewVersionTitle(const std::wstring& appTitle) {
    return L"A new version of " + appTitle + L" has been found";
}

inline std::wstring NewVersionText(const std::wstring& appTitle, const std::wstring& available,
                                   const std::wstring& current, const std::wstring& download,
                                   const std::wstring& information) {
    return appTitle + L" Version available is :" + available + L"\n" + appTitle + L" CurrentVersion is : " +
           current + L"\n\nDownload URL : " + download + L"\n\nInformation : " + information;
}

inline std::wstring UpToDateText(const std::wstring& current) {
    return L"You have the most recent version available (" + current + L")";
}

}  // namespace webtexts
