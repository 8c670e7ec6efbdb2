// The messages a registration run ends with (window-free): what they hold beyond their fixed words.
#include <gtest/gtest.h>

#include "ResultTexts.h"

using namespace pellamy;

namespace {

TEST(PellamyResults, StatusesCodesAndReasons) {
    EXPECT_TRUE(IsFailureStatus(0x80004005u));
    EXPECT_FALSE(IsFailureStatus(1));  // S_FALSE is a success
    EXPECT_EQ(HexCode(3), L"0x00000003");
    const std::pair<std::wstring, const wchar_t*> texts[] = {  // the code, and the reason when the system has one
        {EntryFailedText(0x80070005u, L"Access denied."), L"0x80070005.\r\nAccess denied.\r\nRun Pellamy as"},
        {EntryCrashedText(0xC0000005u), L"0xC0000005 (access violation)."},
        {LoadFailedText(126, L""), L"DLL\r\nError 126"},
        {NotRedirectedText(false, 5, L""), L"Could not redirect the registry for this run: Error 5"},
        {NotRedirectedText(false, 5, L"Access denied."), L"this run: Access denied."},
        {NotRedirectedText(true, 170, L"Busy."), L"still running with the registry redirected"},
        {OtherBitnessText(Bitness::Bits32, true), L"Use Pellamy.exe.\r\n\r\nOpen it in Pellamy.exe?"},
        {OtherProcessorText(0xAA64), L"another processor (ARM64)."}};
    for (const auto& [text, part] : texts) {
        EXPECT_NE(text.find(part), std::wstring::npos) << text;
        EXPECT_EQ(text.find(L'%'), std::wstring::npos) << text;
    }
    EXPECT_EQ(EntryFailedText(0x80004005u, L"").find(L"administrator"), std::wstring::npos);
}

}  // namespace
