// The messages a registration run ends with (window-free).
#include <gtest/gtest.h>


#include "ResultTexts.h"

using namespace pellamy;

namespace {

TEST(PellamyResults, StatusAndFailureTexts) {
    EXPECT_EQ(HexCode(0x80070005u), L"0x80070005");
    EXPECT_EQ(HexCode(0), L"0x00000000");
    EXPECT_TRUE(IsFailureStatus(0x80004005u));
    EXPECT_FALSE(IsFailureStatus(0));
    EXPECT_FALSE(IsFailureStatus(1));  // S_FALSE is a success
    EXPECT_EQ(EntryFailedText(0x80070005u, L"Access denied."),
              L"Process failed: the entry point returned 0x80070005.\r\nAccess denied.\r\n"
              L"Run Pellamy as administrator to register this file.");
    EXPECT_EQ(EntryFailedText(0x80004005u, L""), L"Process failed: the entry point returned 0x80004005.");
    EXPECT_EQ(EntryCrashedText(0xC0000005u),
              L"Process failed: the entry point stopped with exception 0xC0000005 (access violation).");
    EXPECT_EQ(EntryCrashedText(0xC0000094u), L"Process failed: the entry point stopped with exception 0xC0000094.");
    EXPECT_EQ(EntryEndedThreadText(3), L"Process failed: the entry point ended its thread with code 0x00000003.");
    EXPECT_EQ(LoadFailedText(193, L"Bad EXE format."), L"Failure loading control DLL\r\nBad EXE format.");
    EXPECT_EQ(LoadFailedText(126, L""), L"Failure loading control DLL\r\nError 126");
    EXPECT_EQ(OtherBitnessText(Bitness::Bits64, false),
              L"Failure loading control DLL\r\nThis is a 64-bit module; the 32-bit Pellamy cannot load it. "
              L"Use Pellamy64.exe.");
    EXPECT_EQ(OtherBitnessText(Bitness::Bits32, true),
              L"Failure loading control DLL\r\nThis is a 32-bit module; the 64-bit Pellamy cannot load it. "
              L"Use Pellamy.exe.\r\n\r\nOpen it in Pellamy.exe?");
}

}  // namespace
