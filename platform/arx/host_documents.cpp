// The document manager of the current host and its resource-source stack.
#include "acad_host_state.h"

#include "leak_tally.h"

namespace {

AcadHost::State* HostState()
{
    AcadHost* host = AcadHost::current();
    return host ? &host->state() : nullptr;
}

struct MainWindow {
};
MainWindow g_mainWindow;

class HostDocManager : public AcApDocManager {
public:
    AcApDocument* curDocument() const override
    {
        AcadHost::State* s = HostState();
        return s ? s->current : nullptr;
    }
    AcApDocument* mdiActiveDocument() const override { return curDocument(); }
    int documentCount() const override
    {
        AcadHost::State* s = HostState();
        return s ? static_cast<int>(s->documents.size()) : 0;
    }
    void pushResourceHandle(HINSTANCE resource) override
    {
        if (AcadHost::State* s = HostState()) {
            s->resourceStack.push_back(resource);
            AddToTally(Tally::ResourceSources, 1);
        }
    }
    void popResourceHandle() override
    {
        AcadHost::State* s = HostState();
        if (s && !s->resourceStack.empty()) {
            s->resourceStack.pop_back();
            AddToTally(Tally::ResourceSources, -1);
        }
    }
    void sendStringToExecute(AcApDocument*, const char* text, bool, bool, bool) override
    {
        AcadHost::State* s = HostState();
        if (!s || !text)
            return;
        // Each line end of the string is an Enter.
        std::string line;
        for (const char* c = text; *c; ++c) {
            if (*c == '\n') {
                s->pendingInput.push_back(line);
                line.clear();
            } else {
                line += *c;
            }
        }
        if (!line.empty())
            s->pendingInput.push_back(line);
    }
};

} // namespace

AcApDocManager* acDocManagerPtr()
{
    static HostDocManager manager;
    return &manager;
}

HWND adsw_acadMainWnd() { return reinterpret_cast<HWND>(&g_mainWindow); }
