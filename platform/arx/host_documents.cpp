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
            std::lock_guard<std::mutex> guard(s->resourceLock);
            s->resourceStacks[std::this_thread::get_id()].push_back(resource);
            AddToTally(Tally::ResourceSources, 1);
        }
    }
    void popResourceHandle() override
    {
        AcadHost::State* s = HostState();
        if (!s)
            return;
        std::lock_guard<std::mutex> guard(s->resourceLock);
        auto it = s->resourceStacks.find(std::this_thread::get_id());
        if (it != s->resourceStacks.end() && !it->second.empty()) {
            it->second.pop_back();
            if (it->second.empty())
                s->resourceStacks.erase(it);
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
