#include "acad_host_state.h"

#include <acdocman.h>
#include <windows.h>

#include <algorithm>
#include <cctype>

namespace {
AcadHost* g_currentHost = nullptr;
}

std::string HostUpper(const std::string& text)
{
    std::string upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(),
        [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

AcRx::AppRetCode AcadHost::State::send(HostApplication& application, AcRx::AppMsgCode message)
{
    HostApplication* outer = messageTarget;
    messageTarget = &application;
    // The packet of every message is the application's id: its record here.
    AcRx::AppRetCode result = application.entryPoint(message, &application);
    messageTarget = outer;
    return result;
}

AcadHost::AcadHost()
    : m_state(std::make_unique<State>())
{
    for (const std::string& title : defaultMenuBarTitles())
        m_state->menuBar.push_back({title, std::string(), 0});
}

AcadHost::~AcadHost()
{
    unloadApplications();
    if (m_state->windowMenu) {
        if (GetMenu(adsw_acadMainWnd()) == m_state->windowMenu)
            SetMenu(adsw_acadMainWnd(), nullptr);
        DestroyMenu(m_state->windowMenu);
    }
    if (g_currentHost == this)
        g_currentHost = nullptr;
}

AcadHost* AcadHost::current() { return g_currentHost; }
void AcadHost::install()
{
    g_currentHost = this;
    // The main window shows this host's menu bar.
    m_state->showMenuBar();
}

void AcadHost::setCommandLine(HostCommandLine* commandLine) { m_state->commandLine = commandLine; }

AcApDocument* AcadHost::openDocument(AcDbDatabase* database, const std::string& fileName)
{
    State& s = *m_state;
    s.documents.push_back(std::make_unique<AcApDocument>(database, fileName));
    AcApDocument* document = s.documents.back().get();
    s.current = document;
    for (auto& application : s.applications)
        s.send(*application, AcRx::kLoadDwgMsg);
    return document;
}

void AcadHost::closeDocument(AcApDocument* document)
{
    State& s = *m_state;
    auto found = std::find_if(s.documents.begin(), s.documents.end(),
        [document](const std::unique_ptr<AcApDocument>& open) { return open.get() == document; });
    if (found == s.documents.end())
        return;
    AcApDocument* before = s.current;
    s.current = document;
    for (auto& application : s.applications)
        s.send(*application, AcRx::kUnloadDwgMsg);
    s.lispFunctions.erase(document);
    s.queuedExpressions.erase(std::remove_if(s.queuedExpressions.begin(), s.queuedExpressions.end(),
                                  [document](const QueuedExpression& queued) { return queued.document == document; }),
        s.queuedExpressions.end());
    s.documents.erase(found);
    s.current = before != document ? before : (s.documents.empty() ? nullptr : s.documents.back().get());
}

bool AcadHost::loadApplication(const std::string& fileName, std::string& error)
{
    State& s = *m_state;
    HMODULE module = LoadLibraryA(fileName.c_str());
    if (!module) {
        error = GetLastError() == static_cast<DWORD>(ERROR_DLL_INIT_FAILED)
            ? "the module refused to initialise (is its resource module missing?)"
            : "the module file could not be loaded";
        return false;
    }
    auto entryPoint = reinterpret_cast<AcrxEntryPointProc>(GetProcAddress(module, "acrxEntryPoint"));
    if (!entryPoint) {
        FreeLibrary(module);
        error = "the module has no acrxEntryPoint";
        return false;
    }
    auto application = std::make_unique<HostApplication>();
    application->fileName = fileName;
    application->module = module;
    application->entryPoint = entryPoint;
    HostApplication& loaded = *application;
    s.applications.push_back(std::move(application));
    if (s.send(loaded, AcRx::kInitAppMsg) != AcRx::kRetOK) {
        s.applications.pop_back();
        FreeLibrary(module);
        error = "the module's initialisation failed";
        return false;
    }
    // An application loaded into a running host hears of every open document.
    AcApDocument* before = s.current;
    for (auto& document : s.documents) {
        s.current = document.get();
        s.send(loaded, AcRx::kLoadDwgMsg);
    }
    s.current = before;
    return true;
}

void AcadHost::unloadApplications()
{
    State& s = *m_state;
    while (!s.applications.empty()) {
        HostApplication& application = *s.applications.back();
        s.send(application, AcRx::kUnloadAppMsg);
        HMODULE module = application.module;
        s.unlocked.erase(&application);
        s.mdiAware.erase(&application);
        s.applications.pop_back();
        FreeLibrary(module);
    }
}

bool AcadHost::runCommand(const std::string& name)
{
    State& s = *m_state;
    const std::string wanted = HostUpper(name);
    auto found = std::find_if(s.commands.begin(), s.commands.end(), [&wanted](const HostCommand& command) {
        return HostUpper(command.globalName) == wanted || HostUpper(command.localName) == wanted
            || "_" + HostUpper(command.globalName) == wanted;
    });
    if (found == s.commands.end())
        return RunBuiltinCommand(s, name);
    AcRxFunctionPtr function = found->function;
    AcApDocument* document = s.current;
    if (document)
        document->beginCommand();
    function();
    if (document)
        document->endCommand();
    return true;
}

void AcadHost::runQueuedExpressions()
{
    State& s = *m_state;
    while (!s.queuedExpressions.empty()) {
        QueuedExpression queued = s.queuedExpressions.front();
        s.queuedExpressions.pop_front();
        std::string text = queued.text;
        if (text.size() < 2 || text.front() != '(' || text.back() != ')') {
            s.failures.push_back("bad expression " + text);
            continue;
        }
        const std::string name = HostUpper(text.substr(1, text.size() - 2));
        auto functions = s.lispFunctions.find(queued.document);
        if (functions == s.lispFunctions.end() || !functions->second.count(name)) {
            HostWriteOutput("\n; error: no function definition: " + name + "\n");
            continue;
        }
        const HostLispFunction function = functions->second.at(name);
        AcApDocument* before = s.current;
        s.current = queued.document;
        s.currentFunctionCode = function.functionCode;
        s.send(*function.application, AcRx::kInvkSubrMsg);
        s.currentFunctionCode = -1;
        s.current = before;
    }
}

bool AcadHost::hasCommand(const std::string& group, const std::string& globalName) const
{
    return std::any_of(m_state->commands.begin(), m_state->commands.end(), [&](const HostCommand& command) {
        return HostUpper(command.group) == HostUpper(group) && HostUpper(command.globalName) == HostUpper(globalName);
    });
}

bool AcadHost::isLispFunctionDefined(const AcApDocument* document, const std::string& name) const
{
    auto functions = m_state->lispFunctions.find(document);
    return functions != m_state->lispFunctions.end() && functions->second.count(HostUpper(name)) > 0;
}

std::vector<std::string> AcadHost::queuedExpressions() const
{
    std::vector<std::string> texts;
    for (const auto& queued : m_state->queuedExpressions)
        texts.push_back(queued.text);
    return texts;
}

int AcadHost::resourceStackDepth() const
{
    std::lock_guard<std::mutex> guard(m_state->resourceLock);
    std::size_t depth = 0;
    for (const auto& [thread, stack] : m_state->resourceStacks)
        depth += stack.size();
    return static_cast<int>(depth);
}
HINSTANCE AcadHost::currentResourceHandle() const
{
    std::lock_guard<std::mutex> guard(m_state->resourceLock);
    auto it = m_state->resourceStacks.find(std::this_thread::get_id());
    return it == m_state->resourceStacks.end() || it->second.empty() ? nullptr : it->second.back();
}
int AcadHost::classHierarchyBuilds() const { return m_state->classHierarchyBuilds; }
std::vector<std::string> AcadHost::failures() const { return m_state->failures; }
