#include "ToolsCommands.h"

#include "BuildCommand.h"
#include "BuildOutput.h"
#include "BuildRunner.h"
#include "CompileCommand.h"
#include "EditArea.h"
#include "MainMenus.h"
#include "Paths.h"
#include "Texts.h"

void ToolsCommands::Attach(Window window) {
    w_ = std::move(window);
    pane_.BuildEnded = [this] { EnableStop(false); };
}

void ToolsCommands::EnableStop(bool on) {
    EnableMenuItem(GetMenu(w_.owner), mainmenu::ToolsBase + mainmenu::ToolsStopBuild,
                   MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

void ToolsCommands::Run(int index) {
    switch (index) {
    case mainmenu::ToolsCompileBorland: CompileHello(); break;
    case mainmenu::ToolsBuild: Build(); break;
    case mainmenu::ToolsRun: RunBuiltProgram(); break;
    case mainmenu::ToolsStopBuild:
        pane_.Stop();
        filesSearch_.Stop();
        break;
    case mainmenu::ToolsNextError:
    case mainmenu::ToolsPreviousError:
        if (auto place = pane_.Step(index == mainmenu::ToolsNextError)) GoToPlace(*place);
        else MessageBeep(MB_OK);
        break;
    default: break;
    }
}

void ToolsCommands::Build() {
    if (pane_.Running()) return w_.tell(texts::BuildAlreadyRunning);
    Document& doc = *w_.doc;
    // What is built is the file on disk: a new or changed document is saved first.
    if ((doc.DocumentPath.empty() || doc.IsModified()) && !doc.Save(w_.settings->initDir)) return;
    const std::wstring batch = w_.programFolder + L"\\code\\compile.bat";
    if (!paths::IsFile(batch)) return w_.tell(texts::CompileBatchMissing + batch);
    w_.showOutput(true);
    if (pane_.Build(MakeBuildCommand(batch, w_.systemFolder, doc.DocumentPath, ProcessEnvironment()), doc.DocumentPath))
        EnableStop(true);
}

void ToolsCommands::RunBuiltProgram() {
    const std::wstring& program = pane_.BuiltProgram();
    if (!paths::IsFile(program)) return w_.tell(texts::NothingToRun);
    const launch::Started started = StartInConsole(MakeRunCommand(program, w_.systemFolder, ProcessEnvironment()));
    if (!started) w_.tell(texts::RunCannotStart + program + L"\n\n" + ReasonText(started.error));
}

void ToolsCommands::CompileHello() {
    const CompileCommand cmd = MakeCompileCommand(w_.programFolder, w_.systemFolder);
    const launch::Started started = StartCompile(cmd);
    if (started) return;
    if (started.error == ERROR_FILE_NOT_FOUND) w_.tell(texts::CompileBatchMissing + cmd.batchPath);
    else w_.tell(texts::CompileCannotStart + cmd.batchPath + L"\n\n" + ReasonText(started.error));
}

void ToolsCommands::FindInFiles(findfiles::Request request, search::Pattern pattern, const std::wstring& what) {
    pane_.Clear(request.folder);
    w_.showOutput(true);
    pane_.Append({texts::FindInFilesStarting + what + texts::FindInFilesIn + request.folder});
    EnableStop(true);  // Ctrl+Break stops it
    const FilesSearch::Sink sink{[this](std::vector<findfiles::Hit>&& hits) { AddFoundPlaces(hits); },
                                 [this](const std::wstring& summary) {
                                     pane_.Append({summary});
                                     if (!pane_.Running()) EnableStop(false);
                                 }};
    filesSearch_.Start(std::move(request), std::move(pattern),
                       [poster = mailbox_.GetPoster()](std::function<void()> task) { return poster.Post(std::move(task)); },
                       sink);
}

void ToolsCommands::AddFoundPlaces(const std::vector<findfiles::Hit>& hits) {
    std::vector<Diagnostic> places;
    places.reserve(hits.size());
    // The pane's line shows the text: the place keeps none of its own.
    for (const findfiles::Hit& h : hits)
        places.push_back({*h.path, static_cast<int>(h.line), static_cast<int>(h.column), Severity::Note, {}});
    pane_.AppendPlaces(findfiles::ResultLinesUtf8(hits), std::move(places));
}

void ToolsCommands::OnPaneNotify(const NMHDR& header) {
    if (auto place = pane_.OnNotify(header)) GoToPlace(*place);
}

void ToolsCommands::GoToPlace(const BuildPane::Place& place) {
    // A file that is not there: said in the status bar, and nothing else changes.
    if (!paths::IsFile(place.path)) return w_.note(texts::PlaceFileMissing + place.path);
    // Another file is opened first, asking about unsaved changes as opening does.
    Document& doc = *w_.doc;
    if (CompareStringOrdinal(place.path.c_str(), -1, paths::Full(doc.DocumentPath).c_str(), -1, TRUE) != CSTR_EQUAL &&
        !doc.Drop(place.path, w_.settings->initDir))
        return;
    const int64_t line = place.line - 1;
    editarea::GoToPlace(w_.edit, line, CharacterOfColumn(editarea::LineText(w_.edit, line), place.column, place.columns));
    SetFocus(w_.edit);
    w_.note(L"");  // an earlier "not found" is no longer about where the caret is
}
