// The drawing side of gwhost: the DXF drawing opened as the current
// document, the drawing host behind the database API, the "select" command
// that leaves an implied selection for the next command, and the save at
// the end.
#include "exit_teardown.h"
#include "input_file_check.h"
#include "sessions.h"

#include <dbdatabase.h>
#include <acad_host.h>
#include <dbapserv.h>
#include <dbmain.h>
#include <dbsymtb.h>
#include <drawing_host.h>
#include <host_io.h>

#include <cctype>
#include <cstdint>
#include <memory>
#include <sstream>
#include <vector>

namespace {

struct DrawingSession {
    DrawingHost host;
    std::unique_ptr<AcDbDatabase> database;
    AcApDocument* document = nullptr;
    // The database's change count at the last save (or attempt): autosave
    // writes only when there is something new.
    std::uint64_t savedChanges = 0;
};

std::unique_ptr<DrawingSession> g_session;

bool IsWord(const std::string& word, const char* expected)
{
    if (word.size() != std::char_traits<char>::length(expected))
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(word[i])) != expected[i])
            return false;
    return true;
}

// Every entity of the current space that is not erased.
std::vector<AcDbObjectId> EntitiesOfCurrentSpace(AcDbDatabase& database)
{
    std::vector<AcDbObjectId> ids;
    AcDbBlockTableRecord* space = nullptr;
    if (acdbOpenObject(space, database.currentSpaceId(), AcDb::kForRead) != Acad::eOk)
        return ids;
    AcDbBlockTableRecordIterator* it = nullptr;
    if (space->newIterator(it) == Acad::eOk) {
        for (; !it->done(); it->step()) {
            AcDbObjectId id;
            if (it->getEntityId(id) == Acad::eOk)
                ids.push_back(id);
        }
        delete it;
    }
    space->close();
    return ids;
}

} // namespace

bool OpenDrawingSession(const HostOptions& options, std::string& error)
{
    auto session = std::make_unique<DrawingSession>();
    session->host.install();
    session->database = std::make_unique<AcDbDatabase>(options.drawing.empty());
    if (!options.drawing.empty()) {
        if (!CheckInputFile(options.drawing, InputFileKind::Drawing, error)) {
            error = "cannot open drawing: " + error;
            return false;
        }
        if (session->database->readDxfFile(options.drawing.c_str()) != Acad::eOk) {
            error = "cannot open drawing: " + DxfErrorMessage(*session->database);
            return false;
        }
    }
    session->host.setWorkingDatabase(session->database.get());
    session->host.setPromptIO(
        [](std::string& line) { return HostReadInputLine(line) == HostInputResult::Line; },
        [](const std::string& text) { HostWriteOutput(text); });
    if (AcadHost* host = AcadHost::current())
        session->document = host->openDocument(session->database.get(),
                                               options.drawing.empty() ? "Drawing1.dwg" : options.drawing);
    g_session = std::move(session);
    return true;
}

AcDbDatabase* SessionDrawing() { return g_session ? g_session->database.get() : nullptr; }

bool AutosaveDrawing(const HostOptions& options, std::string& error)
{
    if (!g_session || !options.autosave)
        return true;
    const std::uint64_t changes = DatabaseChangeCount(*g_session->database);
    if (changes == g_session->savedChanges)
        return true;
    g_session->savedChanges = changes;
    const std::string& target = options.saveAs.empty() ? options.drawing : options.saveAs;
    if (target.empty())
        return true; // an empty drawing without --save-as has no file (refused at start)
    if (g_session->database->dxfOut(target.c_str()) != Acad::eOk) {
        error = "cannot save drawing: " + DxfErrorMessage(*g_session->database);
        return false;
    }
    return true;
}

bool EndDrawingSession(const HostOptions& options, std::string& error)
{
    if (!g_session)
        return true;
    bool ok = true;
    if (!options.saveAs.empty() && g_session->database->dxfOut(options.saveAs.c_str()) != Acad::eOk) {
        error = "cannot save drawing: " + DxfErrorMessage(*g_session->database);
        ok = false;
    } else if (options.saveAs.empty() && !AutosaveDrawing(options, error)) {
        ok = false;
    }
    if (AcadHost* host = AcadHost::current(); host && g_session->document)
        host->closeDocument(g_session->document);
    EndAtExit(g_session);
    return ok;
}

bool RunDrawingHostCommand(const std::string& command)
{
    std::istringstream words(command);
    std::string word;
    if (!(words >> word) || !IsWord(word, "select") || !g_session)
        return false;
    AcDbDatabase& database = *g_session->database;
    std::vector<AcDbObjectId> picked;
    int unknown = 0;
    while (words >> word) {
        if (IsWord(word, "all")) {
            for (AcDbObjectId id : EntitiesOfCurrentSpace(database))
                picked.push_back(id);
            continue;
        }
        AcDbObjectId id;
        if (database.getAcDbObjectId(id, false, AcDbHandle(word.c_str())) == Acad::eOk && !id.isErased())
            picked.push_back(id);
        else
            ++unknown;
    }
    HostWriteOutput(std::to_string(picked.size()) + " found");
    if (unknown > 0)
        HostWriteOutput(", " + std::to_string(unknown) + " not in the drawing");
    HostWriteOutput("\n");
    g_session->host.setImpliedSelection(std::move(picked));
    return true;
}
