// The state of the registry stand-in (winreg.h): the HKEY_CURRENT_USER and
// HKEY_CLASSES_ROOT trees, the open key handles, and the fault plan. The host
// program or a test fixture creates one and installs it as current; the Reg*
// functions work on the current one.
//
// The per-user tree may be backed by a store file in the registry-export
// format (registry_file.h): read when the context is made, written back
// through a temporary file and a rename after every change (a new key or a
// value set), the file's folders created on the first write. A damaged store
// gives a one-line warning on stderr and an empty tree; the file is left as it
// is until the first change, which keeps it beside the new one as FILE.bad.
// A store too large, nested too deeply or that is not a regular file (never
// waited on, if it is a FIFO) is unusable the same way; one that is not a
// regular file is never replaced, so changes then fail.
// HKEY_CLASSES_ROOT is never saved: the module registers its classes at
// every load.
#pragma once
#include "winreg.h"
#include "registry_file.h"
#include "registry_tree.h"

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

enum class RegCall { Open, Create, Query, Set, Close };

class RegistryContext {
public:
    // An in-memory registry with empty trees; nothing is saved.
    RegistryContext();
    // The per-user tree is loaded from, and saved to, storeFile.
    explicit RegistryContext(std::string storeFile);
    ~RegistryContext();
    RegistryContext(const RegistryContext&) = delete;
    RegistryContext& operator=(const RegistryContext&) = delete;

    // Makes this the registry the Reg* functions use, until another is
    // installed or this one is destroyed.
    void Install();
    static RegistryContext* Current();

    const std::string& StoreFile() const { return storeFile_; }
    // The warning given when the store file could not be read; empty if none.
    const std::string& LoadWarning() const { return loadWarning_; }
    // Writes the per-user tree to the store file now (true without one).
    bool Save(std::string& error);
    // Seeds the classes root from a registry export of HKEY_CLASSES_ROOT (the
    // file associations a machine has, such as ".htm"), before anything is
    // registered there; it is never written back. False with a one-line
    // reason when the file cannot be read or is no such export, or the
    // classes root holds keys already; the classes root is then unchanged.
    bool LoadClassesRoot(const std::string& file, std::string& error);

    // Fault injection: the nth call of `kind` from now on (1 = the next one)
    // fails with `error` and changes nothing. Several may be pending.
    void FailCall(RegCall kind, int nth, LSTATUS error);
    // Calls of `kind` made so far, failed ones included.
    int CallCount(RegCall kind) const;
    // Key handles opened or created and not yet closed.
    int OpenKeyCount() const;

private:
    friend struct RegistryApi;

    struct Fault {
        RegCall kind;
        int atCall;
        LSTATUS error;
    };

    void Load();
    bool SaveLocked(std::string& error);

    mutable std::mutex mutex_;
    RegNode userRoot_{""};
    RegNode classesRoot_{""};
    std::unordered_map<HKEY__*, std::unique_ptr<HKEY__>> handles_;
    int callCounts_[5] = {};
    std::vector<Fault> faults_;
    std::string storeFile_;
    std::string loadWarning_;
    bool keepDamagedStore_ = false;
    // The form the store file was read in, kept when it is written again.
    RegistryFileEncoding encoding_ = RegistryFileEncoding::Ansi;
};

// What a key handle stands for.
struct HKEY__ {
    RegNode* node;
    REGSAM access;
    bool userTree;
};
