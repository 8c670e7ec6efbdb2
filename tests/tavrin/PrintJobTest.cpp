// Print jobs end to end: a PostScript printer on a file port, the main window's print commands,
// the jobs read back from the file. Each job is kept as <test name>.ps in the output folder
// (TAVRIN_PRINT_OUT, a Unix path, when set) for the text checks of print_jobs.sh.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <string>

#include "Modal.h"
#include "RichFormat.h"
#include "RichText.h"
#include "TestEnv.h"
#include "TestPrinter.h"
#include "Texts.h"
#include "basTavrin.h"
#include "frmMain.h"

namespace {

std::wstring OutDir() {
    static std::wstring dir = [] {
        wchar_t buf[1024] = {};
        if (GetEnvironmentVariableW(L"TAVRIN_PRINT_OUT", buf, 1024) && buf[0] == L'/') {
            std::wstring d = std::wstring(L"Z:") + buf;
            for (auto& c : d)
                if (c == L'/') c = L'\\';
            return d;
        }
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"tavrin-print-" + std::to_wstring(GetCurrentProcessId());
    }();
    return dir;
}
std::wstring PortFile() { return OutDir() + L"\\job.ps"; }

std::wstring* g_installError = nullptr;

// One test printer for the whole run.
class PrinterEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        CreateDirectoryW(OutDir().c_str(), nullptr);
        static std::wstring error;
        error = testenv::InstallFilePrinter(testenv::kTestPrinterName, PortFile());
        g_installError = &error;
    }
    void TearDown() override { testenv::RemovePrinter(testenv::kTestPrinterName); }
};
const auto* const g_env = ::testing::AddGlobalTestEnvironment(new PrinterEnvironment);

size_t Count(const std::string& s, const std::string& what) {
    size_t n = 0;
    for (size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + what.size())) ++n;
    return n;
}

class PrintJobs : public ::testing::Test {
protected:
    frmMain& f = form::Single<frmMain>();
    std::vector<modal::MsgBoxCall> boxes;

    void SetUp() override {
        ASSERT_TRUE(g_installError && g_installError->empty()) << (g_installError ? *g_installError : L"");
        ASSERT_TRUE(richtext::LoadLibraryClass());
        settings::KeyPath = L"Software\\TavrinTests\\Settings";
        ASSERT_TRUE(f.Load());
        DeleteFileW(PortFile().c_str());
    }
    void TearDown() override {
        if (f.IsLoaded()) {
            f.Doc().ExitConfirmed = true;
            f.Unload();
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TavrinTests");
    }
    ::testing::AssertionResult NoBoxes() {
        if (boxes.empty()) return ::testing::AssertionSuccess();
        std::string all;
        for (const auto& b : boxes)
            for (wchar_t c : b.title + L": " + b.text + L"\n") all.push_back(c < 128 ? static_cast<char>(c) : '?');
        return ::testing::AssertionFailure() << "message boxes: " << all;
    }
    modal::Hooks Hooks(std::function<BOOL(PRINTDLGW&)> printDlg) {
        modal::Hooks h;
        h.msgBox = [this](const modal::MsgBoxCall& c) {
            boxes.push_back(c);
            return IDOK;
        };
        h.printDlg = std::move(printDlg);
        return h;
    }
    // Printer Setup answered with the default printer, in landscape or portrait; true when the
    // command showed the setup dialog.
    bool ChooseDefaultInSetup(bool landscape) {
        bool setupFlag = false;
        modal::ScopedHooks hooks(Hooks([&](PRINTDLGW& pd) {
            setupFlag = (pd.Flags & PD_PRINTSETUP) != 0;
            PRINTDLGW def{};
            def.lStructSize = sizeof(def);
            def.Flags = PD_RETURNDEFAULT;
            if (!PrintDlgW(&def)) return FALSE;
            auto* dm = static_cast<DEVMODEW*>(GlobalLock(def.hDevMode));
            dm->dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
            dm->dmFields |= DM_ORIENTATION;
            GlobalUnlock(def.hDevMode);
            if (pd.hDevMode) GlobalFree(pd.hDevMode);
            if (pd.hDevNames) GlobalFree(pd.hDevNames);
            pd.hDevMode = def.hDevMode;
            pd.hDevNames = def.hDevNames;
            return TRUE;
        }));
        f.mnufile_Click(6);
        return setupFlag;
    }
    // The finished job, kept under the test's name.
    std::string TakeJob() {
        const std::string ps = testenv::ReadBytes(PortFile());
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = std::string(info->name()) + ".ps";
        const std::wstring keep = OutDir() + L"\\" + std::wstring(name.begin(), name.end());
        MoveFileExW(PortFile().c_str(), keep.c_str(), MOVEFILE_REPLACE_EXISTING);
        return ps;
    }
};

BOOL ThreeCopies(PRINTDLGW& pd) {
    pd.nCopies = 3;
    return TRUE;
}
BOOL OneCopy(PRINTDLGW& pd) {
    pd.nCopies = 1;
    return TRUE;
}
BOOL CancelPrint(PRINTDLGW&) { return FALSE; }

}  // namespace

TEST_F(PrintJobs, ThreeCopiesFollowOneAnotherInOneJob) {
    f.SetEditorText(L"alpha line\r\nbeta line\r\ngamma line");
    modal::ScopedHooks hooks(Hooks(ThreeCopies));
    f.mnufile_Click(8);
    EXPECT_TRUE(NoBoxes());
    const std::string ps = TakeJob();
    ASSERT_FALSE(ps.empty());
    EXPECT_EQ(Count(ps, "%%Page:"), 1u);  // nine short lines: one page
    EXPECT_EQ(Count(ps, "%%EOF"), 1u);    // one job
}

TEST_F(PrintJobs, CancelledPrintDialogPrintsNothingAndSaysNothing) {
    f.SetEditorText(L"never printed");
    modal::ScopedHooks hooks(Hooks(CancelPrint));
    f.mnufile_Click(8);
    EXPECT_TRUE(NoBoxes());
    EXPECT_FALSE(testenv::Exists(PortFile()));
}

TEST_F(PrintJobs, QuickPrintUsesTheSelectionsRedFourteenPointsAndTheAreasFace) {
    f.SetEditorText(L"quick red text\r\nsecond line");
    SendMessageW(f.t1(), EM_SETSEL, 0, -1);
    richformat::SetSelectionColor(f.t1(), RGB(255, 0, 0));
    richformat::SetSelectionFont(f.t1(), false, false, 14);
    richformat::SetFaceName(f.t1(), L"Tahoma", DEFAULT_CHARSET);  // a face the test machine has
    SendMessageW(f.t1(), EM_SETSEL, 2, 5);
    bool dialogShown = false;
    modal::ScopedHooks hooks(Hooks([&](PRINTDLGW&) {
        dialogShown = true;
        return FALSE;
    }));
    f.tbToolbar_ButtonClick(L"Print");
    EXPECT_FALSE(dialogShown);  // no dialog
    EXPECT_TRUE(NoBoxes());
    const std::string ps = TakeJob();
    ASSERT_FALSE(ps.empty());
    EXPECT_NE(ps.find("1.00 0.00 0.00 setrgbcolor"), std::string::npos);
    EXPECT_NE(ps.find("Tahoma"), std::string::npos);  // the face the printer drew with
    EXPECT_NE(ps.find("[58 0 0 -58 0 0]"), std::string::npos);  // 14 points at 300 dpi
    EXPECT_EQ(ps.find("0.00 0.00 0.00 setrgbcolor"), std::string::npos);
    EXPECT_EQ(Count(ps, "%%Page:"), 1u);
}

TEST_F(PrintJobs, ALongDocumentRunsOnAcrossPagesWithoutLosingALine) {
    std::wstring text;
    for (int i = 1; i <= 2000; ++i) {
        wchar_t line[64];
        swprintf(line, 64, L"Line %04d of the long document%s", i, i < 2000 ? L"\r\n" : L"");
        text += line;
    }
    f.SetEditorText(text);
    modal::ScopedHooks hooks(Hooks(OneCopy));
    f.mnufile_Click(8);
    EXPECT_TRUE(NoBoxes());
    const std::string ps = TakeJob();
    // 10 points on 9.5 printable inches: about 60 lines a page.
    const size_t pages = Count(ps, "%%Page:");
    EXPECT_GE(pages, 25u);
    EXPECT_LE(pages, 45u);
}

TEST_F(PrintJobs, ALongLineWrapsInsteadOfRunningOffThePage) {
    std::wstring line;
    for (int i = 1; i <= 60; ++i) line += L"word" + std::to_wstring(i) + L" ";
    f.SetEditorText(line + L"\r\n\tindented\r\nend");
    modal::ScopedHooks hooks(Hooks(OneCopy));
    f.mnufile_Click(8);
    EXPECT_TRUE(NoBoxes());
    EXPECT_FALSE(TakeJob().empty());
}

TEST_F(PrintJobs, AnEmptyDocumentStillMakesAJob) {
    modal::ScopedHooks hooks(Hooks(OneCopy));
    f.tbToolbar_ButtonClick(L"Print");
    EXPECT_TRUE(NoBoxes());
    const std::string ps = TakeJob();
    EXPECT_EQ(Count(ps, "%%Page:"), 1u);
}

TEST_F(PrintJobs, PrinterSetupChoicesAreUsedByLaterPrinting) {
    EXPECT_TRUE(ChooseDefaultInSetup(true));
    EXPECT_TRUE(NoBoxes());
    EXPECT_FALSE(testenv::Exists(PortFile()));  // the setup prints nothing
    f.SetEditorText(L"landscape page");
    f.tbToolbar_ButtonClick(L"Print");
    const std::string ps = TakeJob();
    EXPECT_NE(ps.find("%%Orientation: Landscape"), std::string::npos);
    // Back to portrait for the tests after this one (the choice lasts as long as the program).
    EXPECT_TRUE(ChooseDefaultInSetup(false));
}

// Without any printer.
class NoPrinter : public PrintJobs {
protected:
    void SetUp() override {
        PrintJobs::SetUp();
        ASSERT_TRUE(testenv::RemovePrinter(testenv::kTestPrinterName));
        if (!testenv::DefaultPrinterName().empty()) GTEST_SKIP() << "another printer is installed";
    }
    void TearDown() override {
        PrintJobs::TearDown();
        EXPECT_EQ(testenv::InstallFilePrinter(testenv::kTestPrinterName, PortFile()), L"");
    }
};

TEST_F(NoPrinter, PrintAndPrinterSetupSayThereIsNoPrinterWithoutShowingTheDialog) {
    bool dialogShown = false;
    modal::ScopedHooks hooks(Hooks([&](PRINTDLGW&) {
        dialogShown = true;
        return FALSE;
    }));
    f.mnufile_Click(8);
    f.mnufile_Click(6);
    EXPECT_FALSE(dialogShown);
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& b : boxes) {
        EXPECT_EQ(b.text, texts::NoPrinter);
        EXPECT_EQ(b.title, L"Tavrin");
        EXPECT_EQ(b.flags & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    }
}

TEST_F(NoPrinter, QuickPrintShowsThePrinterErrorTitledError) {
    f.SetEditorText(L"nowhere to go");
    modal::ScopedHooks hooks(Hooks(OneCopy));
    f.tbToolbar_ButtonClick(L"Print");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"There has been an error with the printer!");
    EXPECT_EQ(boxes[0].title, L"error");
    EXPECT_EQ(boxes[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(boxes[0].flags & MB_TYPEMASK, static_cast<UINT>(MB_OK));
}

// A printer whose port cannot be written: the job fails and the user is told.
class BrokenPrinter : public PrintJobs {
protected:
    const std::wstring name = L"Tavrin Test Broken Port";
    void SetUp() override {
        PrintJobs::SetUp();
        ASSERT_EQ(testenv::InstallFilePrinter(name, OutDir() + L"\\no such folder\\job.ps"), L"");
        ASSERT_TRUE(ChooseDefaultInSetup(false));  // the user picks it
    }
    void TearDown() override {
        testenv::RemovePrinter(name);
        SetDefaultPrinterW(testenv::kTestPrinterName);
        ChooseDefaultInSetup(false);
        PrintJobs::TearDown();
    }
};

TEST_F(BrokenPrinter, PrintSaysTheDocumentCouldNotBePrinted) {
    f.SetEditorText(L"lost?");
    modal::ScopedHooks hooks(Hooks(OneCopy));
    f.mnufile_Click(8);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind(texts::PrintFailed, 0), 0u);
    EXPECT_GT(boxes[0].text.size(), wcslen(texts::PrintFailed));  // with the reason
    EXPECT_EQ(boxes[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
}

TEST_F(BrokenPrinter, QuickPrintShowsThePrinterError) {
    f.SetEditorText(L"lost?");
    modal::ScopedHooks hooks(Hooks(OneCopy));
    f.tbToolbar_ButtonClick(L"Print");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, texts::PrinterError);
    EXPECT_EQ(boxes[0].title, L"error");
}
