// Stand-in for the host's document manager (acdocman.h): the open documents,
// the current one, and the resource-source stack the module pushes around
// its commands.
#pragma once
#include <windows.h>

#include <string>

class AcDbDatabase;

class AcApDocument {
public:
    AcApDocument(AcDbDatabase* database, std::string fileName)
        : m_database(database)
        , m_fileName(std::move(fileName))
    {
    }
    AcDbDatabase* database() const { return m_database; }
    const char* fileName() const { return m_fileName.c_str(); }
    // True while no command runs in the document.
    bool isQuiescent() const { return m_commandDepth == 0; }

    void beginCommand() { ++m_commandDepth; }
    void endCommand() { --m_commandDepth; }

private:
    AcDbDatabase* m_database;
    std::string m_fileName;
    int m_commandDepth = 0;
};

class AcApDocManager {
public:
    virtual ~AcApDocManager() = default;
    virtual AcApDocument* curDocument() const = 0;
    virtual AcApDocument* mdiActiveDocument() const = 0;
    virtual int documentCount() const = 0;
    // Makes `resource` the current resource source; popResourceHandle
    // restores the one before.
    virtual void pushResourceHandle(HINSTANCE resource) = 0;
    virtual void popResourceHandle() = 0;
    // Queues `text` as command-line input of `document`, as if typed there.
    virtual void sendStringToExecute(AcApDocument* document, const char* text, bool activate = true,
        bool wrapUpInactiveDoc = false, bool echoString = true)
        = 0;
};

// The host's main window, owner of the module's message boxes.
HWND adsw_acadMainWnd();

AcApDocManager* acDocManagerPtr();
#define acDocManager acDocManagerPtr()
