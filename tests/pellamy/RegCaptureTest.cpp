// Captured keys: the machine's classes folded into HKEY_CLASSES_ROOT once, prepared keys dropped,
// what a per-user run could not place, and the export's summary.
#include <gtest/gtest.h>

#include "RegCapture.h"
#include "ResultTexts.h"

using namespace pellamy;

namespace {

std::vector<std::wstring> Paths(const std::vector<RegKeyEntry>& keys) {
    std::vector<std::wstring> p;
    for (const RegKeyEntry& k : keys) p.push_back(k.path);
    return p;
}

const std::vector<std::wstring> kSkeleton = {L"HKEY_LOCAL_MACHINE\\Software", L"HKEY_LOCAL_MACHINE\\Software\\Classes"};

TEST(PellamyRegCapture, MachineClassesFoldIntoClassesRootOnceAndPreparedKeysGo) {
    std::vector<RegKeyEntry> captured = {
        {L"HKEY_CLASSES_ROOT\\CLSID", {}},
        {L"HKEY_CLASSES_ROOT\\CLSID\\{1}", {StringValue(L"", L"One")}},
        {L"HKEY_LOCAL_MACHINE\\Software", {}},
        {L"HKEY_LOCAL_MACHINE\\Software\\Classes", {}},
        {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\clsid", {}},
        {L"HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{1}", {StringValue(L"", L"Two"), DwordValue(L"x", 1)}},
        {L"HKEY_LOCAL_MACHINE\\Software\\Classes\\TypeLib", {}},
    };
    std::vector<RegKeyEntry> folded = FoldCapturedKeys(captured, kSkeleton);
    EXPECT_EQ(Paths(folded), (std::vector<std::wstring>{L"HKEY_CLASSES_ROOT\\CLSID", L"HKEY_CLASSES_ROOT\\CLSID\\{1}",
                                                         L"HKEY_CLASSES_ROOT\\TypeLib"}));
    ASSERT_EQ(folded[1].values.size(), 2u);
    EXPECT_EQ(RegValueText(folded[1].values[0]), L"@=\"Two\"");  // the later write wins, once

    // Prepared keys that the module filled stay; a sibling of the classes keeps its parent.
    captured = {{L"HKEY_LOCAL_MACHINE\\Software", {}},
                {L"HKEY_LOCAL_MACHINE\\Software\\Classes", {}},
                {L"HKEY_LOCAL_MACHINE\\Software\\Vendor", {DwordValue(L"v", 1)}}};
    EXPECT_EQ(Paths(FoldCapturedKeys(captured, kSkeleton)),
              (std::vector<std::wstring>{L"HKEY_LOCAL_MACHINE\\Software", L"HKEY_LOCAL_MACHINE\\Software\\Vendor"}));
    EXPECT_TRUE(FoldCapturedKeys({{L"HKEY_LOCAL_MACHINE\\Software", {}}, {L"HKEY_LOCAL_MACHINE\\Software\\Classes", {}}},
                                 kSkeleton)
                    .empty());

    // Not folded (a per-user run reports them where they were written).
    captured = {{L"HKEY_LOCAL_MACHINE\\Software", {}},
                {L"HKEY_LOCAL_MACHINE\\Software\\Classes", {}},
                {L"HKEY_LOCAL_MACHINE\\Software\\Classes\\X", {DwordValue(L"v", 1)}}};
    EXPECT_EQ(Paths(FoldCapturedKeys(captured, kSkeleton, false)),
              (std::vector<std::wstring>{L"HKEY_LOCAL_MACHINE\\Software", L"HKEY_LOCAL_MACHINE\\Software\\Classes",
                                         L"HKEY_LOCAL_MACHINE\\Software\\Classes\\X"}));
}

TEST(PellamyRegCapture, SortsParentsFirstAndSiblingsWithoutCase) {
    std::vector<RegKeyEntry> keys = {{L"R\\b", {}}, {L"R\\A\\x", {}}, {L"R\\a-z", {}}, {L"R\\A", {}}, {L"R", {}}};
    SortKeys(keys);
    EXPECT_EQ(Paths(keys), (std::vector<std::wstring>{L"R", L"R\\A", L"R\\A\\x", L"R\\a-z", L"R\\b"}));
}

TEST(PellamyRegCapture, WrittenKeysAreThoseWithValuesAndTheLeaves) {
    const std::vector<RegKeyEntry> keys = {
        {L"HKEY_LOCAL_MACHINE\\Software", {}},
        {L"HKEY_LOCAL_MACHINE\\Software\\Vendor", {DwordValue(L"v", 1)}},
        {L"HKEY_LOCAL_MACHINE\\Software\\Vendor\\Empty", {}},
        {L"HKEY_USERS\\.DEFAULT\\X", {StringValue(L"", L"x")}},
    };
    EXPECT_EQ(WrittenKeyPaths(keys),
              (std::vector<std::wstring>{L"HKEY_LOCAL_MACHINE\\Software\\Vendor", L"HKEY_LOCAL_MACHINE\\Software\\Vendor\\Empty",
                                         L"HKEY_USERS\\.DEFAULT\\X"}));
}

TEST(PellamyRegCapture, SummaryCountsClassesProgIdsTypeLibsAndInterfaces) {
    const std::vector<RegKeyEntry> keys = {
        {L"HKEY_CLASSES_ROOT\\CLSID", {}},
        {L"HKEY_CLASSES_ROOT\\CLSID\\{1}", {StringValue(L"", L"First Class")}},
        {L"HKEY_CLASSES_ROOT\\CLSID\\{1}\\InprocServer32", {StringValue(L"", L"x.dll")}},
        {L"HKEY_CLASSES_ROOT\\CLSID\\{2}", {}},
        {L"HKEY_CLASSES_ROOT\\Lib.First.1", {StringValue(L"", L"First Class")}},
        {L"HKEY_CLASSES_ROOT\\Lib.First.1\\CLSID", {StringValue(L"", L"{1}")}},
        {L"HKEY_CLASSES_ROOT\\Interface\\{I1}", {}},
        {L"HKEY_CLASSES_ROOT\\Interface\\{I2}", {}},
        {L"HKEY_CLASSES_ROOT\\Interface\\{I2}\\ProxyStubClsid32", {}},
        {L"HKEY_CLASSES_ROOT\\TypeLib\\{T}", {}},
        {L"HKEY_CLASSES_ROOT\\TypeLib\\{T}\\1.0", {}},
        {L"HKEY_LOCAL_MACHINE\\Software\\Lib\\CLSID", {}},  // not a ProgID: not under the classes
    };
    const RegistrationSummary s = Summarize(keys);
    EXPECT_EQ(s.classes, (std::vector<std::wstring>{L"First Class", L"{2}"}));
    EXPECT_EQ(s.progIds, 1u);
    EXPECT_EQ(s.interfaces, 2u);
    EXPECT_EQ(s.typeLibs, 1u);
    EXPECT_EQ(ExportSummaryText(s, L"C:\\out\\lib.reg"),
              L"Registration exported to C:\\out\\lib.reg\r\n\r\nClasses: 2\r\n    First Class\r\n    {2}\r\n"
              L"ProgIDs: 1\r\nType libraries: 1\r\nInterfaces: 2\r\n\r\n"
              L"Nothing in the registry was changed. The file holds what the module wrote to the registry; its code "
              L"may have done other things as well (such as writing files).");
}

TEST(PellamyRegCapture, CurrentUserOutcomeNamesWhereItWentAndWhatWasLeftOut) {
    EXPECT_EQ(CurrentUserText(L"Process completed", true, false, {}),
              L"Process completed\r\n\r\nRegistered for the current user only (under "
              L"HKEY_CURRENT_USER\\Software\\Classes).\r\nPrograms running elevated (as administrator) do not see "
              L"registrations made for the current user.");
    const std::wstring failed = CurrentUserText(L"Process failed", false, false, {L"HKEY_LOCAL_MACHINE\\Software\\V"});
    EXPECT_EQ(failed, L"Process failed\r\n\r\nThe module also wrote these keys, which could not be written for the "
                      L"current user and were left out:\r\n    HKEY_LOCAL_MACHINE\\Software\\V");
    EXPECT_NE(CurrentUserText(L"Process completed", true, true, {}).find(L"Unregistered for the current user only."),
              std::wstring::npos);
}

}  // namespace
