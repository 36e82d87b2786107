// The host's drawing-side state: the working database, the implied
// selection, the allocated selection sets and where the interactive pick
// reads its input. gwhost and test fixtures create one, install it as
// current, and point it at the database they opened; the module reaches it
// only through the host's API (dbapserv.h, acedads.h, acdbads.h).
#pragma once
#include "dbid.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class AcDbDatabase;

class DrawingHost {
public:
    DrawingHost();
    ~DrawingHost();
    DrawingHost(const DrawingHost&) = delete;
    DrawingHost& operator=(const DrawingHost&) = delete;

    // Makes this the current host until it is destroyed or another is installed.
    void install();

    // Not owned.
    void setWorkingDatabase(AcDbDatabase* database);
    AcDbDatabase* workingDatabase() const;

    // The references picked before a command; acedSSGet "_I" takes them.
    // They stay until a selection takes them or new ones are set.
    void setImpliedSelection(std::vector<AcDbObjectId> ids);

    // Input and output of the interactive pick. `readLine` answers false on
    // cancel or end of input.
    using ReadLine = std::function<bool(std::string& line)>;
    using WriteText = std::function<void(const std::string& text)>;
    void setPromptIO(ReadLine readLine, WriteText writeText);

    // Selection sets made by acedSSGet and not yet freed.
    int openSelectionSetCount() const;

    struct State;
    State& state() { return *m_state; }

private:
    std::unique_ptr<State> m_state;
};
