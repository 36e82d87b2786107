// The host program's state: its command line, system registry (command
// stack, dynamic linker), loaded application modules, open documents, LISP
// functions and queued expressions. gwhost and test fixtures create one and
// install it as current; the module reaches it only through the host's API
// (accmd.h, adslib.h, acdocman.h, rxregsvc.h).
//
// Menus: MENULOAD reads a customization file (cui_file.h) while CMDDIA is 0
// (with CMDDIA 1 it would open its dialog, which this host does not have);
// its pull-downs reach the menu bar through acedMenuCmd, its toolbars show
// with -TOOLBAR. A command an application runs with acedCommand while
// CMDECHO is 0 shows neither its prompts nor its reports, only its errors.
// Simplifications: one main thread; documents are opened and closed by the
// program that owns the host, never by the module; a LISP expression queued
// with ads_queueexpr is run when the owner calls runQueuedExpressions() and
// only "(NAME)" calls of functions defined with acedDefun are understood.
#pragma once
#include "acdocman.h"
#include "host_io.h"
#include "rxregsvc.h"

#include <memory>
#include <string>
#include <vector>

class AcadHost {
public:
    AcadHost();
    ~AcadHost();
    AcadHost(const AcadHost&) = delete;
    AcadHost& operator=(const AcadHost&) = delete;

    // The installed host, or null.
    static AcadHost* current();
    // Makes this the current host until it is destroyed or another is installed.
    void install();

    // Where prompts read from and output goes; not owned.
    void setCommandLine(HostCommandLine* commandLine);

    // Documents. The database is not owned. Opening sends kLoadDwgMsg to every
    // loaded application and makes the document current; closing sends
    // kUnloadDwgMsg.
    AcApDocument* openDocument(AcDbDatabase* database, const std::string& fileName);
    void closeDocument(AcApDocument* document);

    // Loads an application module (see AcRxDynamicLinker::loadModule); on
    // failure `error` says why.
    bool loadApplication(const std::string& fileName, std::string& error);
    // Sends kUnloadAppMsg to every loaded application, newest first, and frees them.
    void unloadApplications();

    // Runs a registered command by its global or local name (any case), with
    // the current document locked for it, or else a built-in command (MENULOAD,
    // -TOOLBAR); false when there is no such command.
    bool runCommand(const std::string& name);

    // The main window's menu bar (GetMenu(adsw_acadMainWnd())): the host's own
    // pull-downs, default defaultMenuBarTitles(), with the pull-downs menu
    // groups inserted (acedMenuCmd) among them.
    static std::vector<std::string> defaultMenuBarTitles();
    void setMenuBarTitles(const std::vector<std::string>& titles);
    // A maximised document window puts its untitled icon item first on the
    // menu bar and its three untitled window buttons last.
    void setDocumentMaximised(bool maximised);
    // Toolbars of the loaded menu groups, named as -TOOLBAR names them.
    bool isToolbarVisible(const std::string& name) const;
    // One line per visible toolbar: "Toolbar NAME: [Button] [Button]".
    std::vector<std::string> visibleToolbarLines() const;
    // Picks an item of a pull-down of a menu group on the menu bar, or a
    // button of a visible toolbar, by its name (any case, without "&" and a
    // trailing "..."): its macro is queued as typed input ("^C^C" dropped,
    // ";" and a blank are Enter). False with `error` set when there is none.
    bool pickMenuItem(const std::string& item, bool fromToolbar, std::string& error);
    // A system variable's value; -1 for one the host does not keep.
    short systemVariable(const std::string& name) const;
    // Runs the LISP expressions queued with ads_queueexpr, oldest first.
    void runQueuedExpressions();

    // For tests: what the host has registered and queued.
    bool hasCommand(const std::string& group, const std::string& globalName) const;
    bool isLispFunctionDefined(const AcApDocument* document, const std::string& name) const;
    std::vector<std::string> queuedExpressions() const;
    int resourceStackDepth() const;
    HINSTANCE currentResourceHandle() const;
    int classHierarchyBuilds() const;
    std::vector<std::string> failures() const; // texts given to acdbFail

    struct State;
    State& state() { return *m_state; }

private:
    std::unique_ptr<State> m_state;
};
