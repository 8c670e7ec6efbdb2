// The main window's menu bar as tables, the command ids of its items (base + item index) and the
// names of the items the window and its shortcuts address. Hidden items keep their index.
#pragma once
#include <windows.h>

#include "MenuBar.h"

namespace mainmenu {

inline constexpr int FileBase = 100, EditBase = 200, ViewBase = 300, FormatBase = 400, ToolsBase = 500,
                     HelpBase = 600;

enum FileItem : int { FileNew = 0, FileOpen = 1, FileSave = 3, FileSaveAs = 4, FilePrinterSetup = 6,
                      FilePrintPreview = 7, FilePrint = 8, FileSend = 10, FileRecentFiles = 12, FileExit = 14,
                      FileReopenEncoding = 15 };
enum EditItem : int { EditUndo = 0, EditCut = 2, EditCopy = 3, EditPaste = 4, EditSelectAll = 5, EditFind = 7,
                      EditFindNext = 8, EditReplace = 10, EditGoTo = 11, EditFindInFiles = 12 };
enum ViewItem : int { ViewToolbar = 0, ViewStatusBar = 1, ViewSyntaxColouring = 2, ViewLineNumbers = 3,
                      ViewOutput = 4, ViewFolding = 5, ViewWordWrap = 6, ViewZoom = 7 };
enum FormatItem : int { FormatFont = 0, FormatTextColor = 1, FormatForecolor = 2, FormatLineEnds = 3 };
enum ToolsItem : int { ToolsOptions = 0, ToolsCompilerSetup = 1, ToolsCompileBorland = 2, ToolsCompile = 3,
                       ToolsBuild = 5, ToolsRun = 6, ToolsStopBuild = 7, ToolsNextError = 8,
                       ToolsPreviousError = 9 };

const form::MenuDef* Menus(size_t& count);

// Where a command id belongs: a menu of the bar or a submenu, and the item's index in it.
enum class Menu { None, File, Edit, View, Format, Tools, Help, LineEnds, Reopen, Recent, Zoom };
struct Command {
    Menu menu = Menu::None;
    int index = 0;  // for Recent, the command id itself
};
Command CommandOf(int id);
// The bar with the View items that start checked.
HMENU CreateBar();
// The shortcuts of the menu items.
HACCEL CreateAccelerators();

}  // namespace mainmenu
