// Print jobs end to end: a PostScript printer on a file port (the platform's PostScript driver
// printing into a file, no print server), the main window's print commands, the jobs read back from
// the file. Each job is kept as <name>.ps in the output folder (TAVRIN_PRINT_OUT, a Unix path, when
// set) for the text checks of print_jobs.sh.
#include "MainWindowFixture.h"

#include <winspool.h>

#include <algorithm>

#include "Texts.h"

namespace {

const wchar_t kTestPrinterName[] = L"Tavrin Test PostScript";

std::wstring Failed(const wchar_t* what) { return std::wstring(what) + L" failed, error " + std::to_wstring(GetLastError()); }

// The driver's generic PPD, taken from the spooler's resources.
std::wstring WritePpd(const std::wstring& path) {
    raii::Module spool(LoadLibraryExW(L"winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!spool) return Failed(L"LoadLibraryEx(winspool.drv)");
    HRSRC res = FindResourceW(spool.get(), MAKEINTRESOURCEW(1), L"PPDFILE");
    HGLOBAL data = res ? LoadResource(spool.get(), res) : nullptr;
    const char* p = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (!p) return Failed(L"PPDFILE resource");
    const DWORD size = SizeofResource(spool.get(), res);
    std::string ppd(p, size);
    ppd.resize(strnlen(ppd.c_str(), ppd.size()));
    if (!testenv::WriteBytes(path, ppd)) return Failed(L"writing the PPD file");
    return {};
}

// The printer and its driver deleted; true when it is gone.
bool RemovePrinter(const std::wstring& name) {
    HANDLE h = nullptr;
    PRINTER_DEFAULTSW pd{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &h, &pd)) {
        DeletePrinter(h);
        ClosePrinter(h);
    }
    DeletePrinterDriverW(nullptr, nullptr, const_cast<wchar_t*>(name.c_str()));
    HANDLE again = nullptr;
    if (OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &again, nullptr)) {
        ClosePrinter(again);
        return false;
    }
    return true;
}

// A PostScript printer (replacing one of that name) on the file `portPath`, appended to, made the
// default; an empty result on success, else what failed.
std::wstring InstallFilePrinter(const std::wstring& name, const std::wstring& portPath) {
    RemovePrinter(name);
    // The driver looks for its data file in the printer driver folder.
    wchar_t dir[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof(dir), &needed))
        return Failed(L"GetPrinterDriverDirectory");
    CreateDirectoryW(dir, nullptr);
    const std::wstring ppd = std::wstring(dir) + L"\\tavrin-test-printer.ppd";
    std::wstring err = WritePpd(ppd);
    if (!err.empty()) return err;

    const auto w = [](const std::wstring& t) { return const_cast<wchar_t*>(t.c_str()); };
    const std::wstring ps = L"wineps.drv", raw = L"RAW";
    DRIVER_INFO_3W di{.cVersion = 3, .pName = w(name), .pDriverPath = w(ps), .pDataFile = w(ppd), .pConfigFile = w(ps),
                      .pDefaultDataType = w(raw)};
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&di), 0)) return Failed(L"AddPrinterDriverEx");
    const std::wstring processor = L"winprint";
    PRINTER_INFO_2W pi{.pPrinterName = w(name), .pPortName = w(portPath), .pDriverName = w(name),
                       .pPrintProcessor = w(processor), .pDatatype = w(raw), .Attributes = PRINTER_ATTRIBUTE_LOCAL};
    HANDLE h = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&pi));
    if (!h) return Failed(L"AddPrinter");
    ClosePrinter(h);
    if (!SetDefaultPrinterW(name.c_str())) return Failed(L"SetDefaultPrinter");
    return {};
}

std::wstring OutDir() {
    static std::wstring dir = [] {
        wchar_t buf[1024] = {};
        if (GetEnvironmentVariableW(L"TAVRIN_PRINT_OUT", buf, 1024) && buf[0] == L'/') {
            std::wstring d = std::wstring(L"Z:") + buf;
            std::replace(d.begin(), d.end(), L'/', L'\\');
            return d;
        }
        GetTempPathW(1024, buf);
        return std::wstring(buf) + L"tavrin-print-" + std::to_wstring(GetCurrentProcessId());
    }();
    return dir;
}
std::wstring PortFile() { return OutDir() + L"\\job.ps"; }

std::wstring g_installError = L"not installed";

// One test printer for the whole run.
class PrinterEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        CreateDirectoryW(OutDir().c_str(), nullptr);
        g_installError = InstallFilePrinter(kTestPrinterName, PortFile());
    }
    void TearDown() override { RemovePrinter(kTestPrinterName); }
};
const auto* const g_env = ::testing::AddGlobalTestEnvironment(new PrinterEnvironment);

size_t Pages(const std::string& ps) {
    size_t n = 0;
    for (size_t p = ps.find("%%Page:"); p != std::string::npos; p = ps.find("%%Page:", p + 1)) ++n;
    return n;
}

class PrintJobs : public testenv::MainWindowTest {
protected:
    int copies = 1, dialogs = 0;  // the print dialog's answer (0: cancel) and how often it showed
    modal::ScopedHooks hooks{Hooks()};

    void SetUp() override {
        ASSERT_EQ(g_installError, L"");
        MainWindowTest::SetUp();
        DeleteFileW(PortFile().c_str());
    }
    modal::Hooks Hooks() {
        modal::Hooks h = Recording();
        h.printDlg = [this](PRINTDLGW& pd) { return ++dialogs, pd.nCopies = static_cast<WORD>(copies), copies > 0; };
        return h;
    }
    // Printer Setup answered with the default printer in the given orientation; true when the
    // command showed the setup dialog.
    bool ChooseDefaultInSetup(bool landscape) {
        bool setupFlag = false;
        modal::Hooks h = Hooks();
        h.printDlg = [&](PRINTDLGW& pd) {
            setupFlag = (pd.Flags & PD_PRINTSETUP) != 0;
            PRINTDLGW def{.lStructSize = sizeof(def), .Flags = PD_RETURNDEFAULT};
            if (!PrintDlgW(&def)) return FALSE;
            auto* dm = static_cast<DEVMODEW*>(GlobalLock(def.hDevMode));
            dm->dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
            dm->dmFields |= DM_ORIENTATION;
            GlobalUnlock(def.hDevMode);
            GlobalFree(pd.hDevMode);
            GlobalFree(pd.hDevNames);
            pd.hDevMode = def.hDevMode;
            pd.hDevNames = def.hDevNames;
            return TRUE;
        };
        modal::ScopedHooks setup(h);
        f.mnufile_Click(6);
        return setupFlag;
    }
    // The finished job, kept under the given name.
    std::string TakeJob(const std::wstring& name) {
        const std::string ps = testenv::ReadBytes(PortFile());
        MoveFileExW(PortFile().c_str(), (OutDir() + L"\\" + name + L".ps").c_str(), MOVEFILE_REPLACE_EXISTING);
        return ps;
    }
};

}  // namespace

// Each job once: its text is read back by print_jobs.sh.
TEST_F(PrintJobs, PrintAndQuickPrintJobs) {
    f.SetEditorText(L"never printed");
    copies = 0;  // a cancelled dialog prints nothing and says nothing
    f.mnufile_Click(8);
    EXPECT_FALSE(testenv::Exists(PortFile()));

    f.SetEditorText(L"alpha line\r\nbeta line\r\ngamma line");
    copies = 3;
    f.mnufile_Click(8);
    std::string ps = TakeJob(L"copies");
    EXPECT_EQ(Pages(ps), 1u);  // nine short lines, one job
    EXPECT_EQ(ps.find("%%EOF"), ps.rfind("%%EOF"));

    std::wstring text;
    for (int i = 10001; i <= 12000; ++i) text += L"Line " + std::to_wstring(i).substr(1) + L" of the long document\r\n";
    f.SetEditorText(text.substr(0, text.size() - 2));
    copies = 1;
    f.mnufile_Click(8);
    const size_t pages = Pages(TakeJob(L"long"));  // 10 points on 9.5 printable inches: about 60 lines a page
    EXPECT_GE(pages, 25u);
    EXPECT_LE(pages, 45u);

    // Quick print: no dialog, the selection's colour and size, the area's face.
    f.SetEditorText(L"quick red text\r\nsecond line");
    editarea::SelectAll(f.t1());
    editarea::SetSelectionColor(f.t1(), RGB(255, 0, 0));
    editarea::SetSelectionFont(f.t1(), false, false, 14);
    editarea::SetBaseFont(f.t1(), L"Tahoma", DEFAULT_CHARSET, 0);  // a face the test machine has
    editarea::Select(f.t1(), 2, 5);
    f.tbToolbar_ButtonClick(L"Print");
    ps = TakeJob(L"quick");
    EXPECT_NE(ps.find("1.00 0.00 0.00 setrgbcolor"), std::string::npos);
    EXPECT_EQ(ps.find("0.00 0.00 0.00 setrgbcolor"), std::string::npos);
    EXPECT_NE(ps.find("Tahoma"), std::string::npos);
    EXPECT_NE(ps.find("[58 0 0 -58 0 0]"), std::string::npos);  // 14 points at 300 dpi
    EXPECT_EQ(dialogs, 3);  // not for quick print
    EXPECT_TRUE(boxes.empty());
}

// Without any printer, then with one whose port cannot be written; then Printer Setup's choice is
// used by later printing.
TEST_F(PrintJobs, FailuresAreReportedAndSetupChoicesAreUsed) {
    f.SetEditorText(L"nowhere to go");
    ASSERT_TRUE(RemovePrinter(kTestPrinterName));
    DWORD defaultName = 0;  // the length of the default printer's name: 0 when there is none
    GetDefaultPrinterW(nullptr, &defaultName);
    if (defaultName == 0) {
        f.mnufile_Click(8);
        f.mnufile_Click(6);
        f.tbToolbar_ButtonClick(L"Print");
        EXPECT_EQ(dialogs, 0);
        ASSERT_EQ(boxes.size(), 3u);
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(boxes[i].title + L": " + boxes[i].text, i < 2 ? L"Tavrin: " + std::wstring(texts::NoPrinter) : L"error: There has been an error with the printer!");
    }
    EXPECT_EQ(InstallFilePrinter(kTestPrinterName, PortFile()), L"");

    const std::wstring broken = L"Tavrin Test Broken Port";
    ASSERT_EQ(InstallFilePrinter(broken, OutDir() + L"\\no such folder\\job.ps"), L"");
    ASSERT_TRUE(ChooseDefaultInSetup(false));  // the user picks it
    boxes.clear();
    f.mnufile_Click(8);
    f.tbToolbar_ButtonClick(L"Print");
    RemovePrinter(broken);
    SetDefaultPrinterW(kTestPrinterName);
    ChooseDefaultInSetup(false);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text.rfind(texts::PrintFailed, 0), 0u);
    EXPECT_GT(boxes[0].text.size(), wcslen(texts::PrintFailed));  // with the reason
    EXPECT_EQ(boxes[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(boxes[1].text, texts::PrinterError);
    EXPECT_EQ(boxes[1].title, L"error");
    EXPECT_TRUE(ChooseDefaultInSetup(true));
    EXPECT_FALSE(testenv::Exists(PortFile()));  // the setup prints nothing
    f.tbToolbar_ButtonClick(L"Print");
    EXPECT_NE(TakeJob(L"landscape").find("%%Orientation: Landscape"), std::string::npos);
    EXPECT_TRUE(ChooseDefaultInSetup(false));  // portrait again for later tests
    EXPECT_EQ(boxes.size(), 2u);
}
