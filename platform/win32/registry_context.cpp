#include "registry_context.h"

#include "registry_file.h"
#include "text_file.h"

#include <atomic>
#include <cstdio>
#include <filesystem>

namespace {
std::atomic<RegistryContext*> g_current{nullptr};
const char kUserRootName[] = "HKEY_CURRENT_USER";
const char kClassesRootName[] = "HKEY_CLASSES_ROOT";
// Settings of a few programs take kilobytes; a store beyond this is not one
// this host wrote, and reading it whole would only cost memory.
constexpr std::size_t kMaxStoreBytes = std::size_t(4) << 20;
} // namespace

RegistryContext::RegistryContext() = default;

RegistryContext::RegistryContext(std::string storeFile)
    : storeFile_(std::move(storeFile))
{
    Load();
}

RegistryContext::~RegistryContext()
{
    RegistryContext* self = this;
    g_current.compare_exchange_strong(self, nullptr);
}

void RegistryContext::Install() { g_current.store(this); }

RegistryContext* RegistryContext::Current() { return g_current.load(); }

void RegistryContext::Load()
{
    std::string bytes;
    std::string error;
    const ReadResult read = ReadWholeFile(storeFile_, bytes, error, kMaxStoreBytes);
    // An empty file (made with touch, say) holds nothing to lose.
    if (read == ReadResult::Missing || (read == ReadResult::Ok && bytes.empty()))
        return;
    if (read == ReadResult::Ok) {
        std::string text;
        if (DecodeRegistryFile(bytes, text, encoding_, error)
            && ParseRegistryExport(text, kUserRootName, userRoot_, error))
            return;
        userRoot_.Clear();
        encoding_ = RegistryFileEncoding::Ansi;
    }
    loadWarning_ = "warning: registry store " + storeFile_ + " is unusable (" + error
        + "); starting from an empty registry";
    std::fprintf(stderr, "%s\n", loadWarning_.c_str());
    keepDamagedStore_ = true;
}

bool RegistryContext::LoadClassesRoot(const std::string& file, std::string& error)
{
    std::string bytes;
    const ReadResult read = ReadWholeFile(file, bytes, error, kMaxStoreBytes);
    if (read == ReadResult::Missing) {
        error = file + " does not exist";
        return false;
    }
    if (read != ReadResult::Ok)
        return false;
    std::string text;
    RegistryFileEncoding encoding = RegistryFileEncoding::Ansi;
    if (!DecodeRegistryFile(bytes, text, encoding, error))
        return false;
    std::lock_guard<std::mutex> guard(mutex_);
    if (!classesRoot_.Children().empty() || !classesRoot_.Values().empty()) {
        error = "the classes root is not empty";
        return false;
    }
    if (!ParseRegistryExport(text, kClassesRootName, classesRoot_, error)) {
        classesRoot_.Clear();
        return false;
    }
    return true;
}

bool RegistryContext::Save(std::string& error)
{
    std::lock_guard<std::mutex> guard(mutex_);
    return SaveLocked(error);
}

bool RegistryContext::SaveLocked(std::string& error)
{
    if (storeFile_.empty())
        return true;
    std::error_code ec;
    const auto status = std::filesystem::status(storeFile_, ec);
    if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        // A directory, FIFO or device in the store's place is the user's;
        // the rename would replace a FIFO or device without a word.
        error = storeFile_ + " is not a regular file";
        return false;
    }
    if (keepDamagedStore_) {
        // The user may want what was in the damaged file: keep it aside
        // rather than overwrite it.
        const std::string kept = storeFile_ + ".bad";
        if (std::filesystem::is_regular_file(storeFile_, ec) && std::rename(storeFile_.c_str(), kept.c_str()) == 0)
            std::fprintf(stderr, "warning: the unusable registry store was kept as %s\n", kept.c_str());
        keepDamagedStore_ = false;
    }
    return ReplaceFileContents(storeFile_, EncodeRegistryFile(FormatRegistryExport(userRoot_, kUserRootName), encoding_),
                               true, error);
}

void RegistryContext::FailCall(RegCall kind, int nth, LSTATUS error)
{
    std::lock_guard<std::mutex> guard(mutex_);
    faults_.push_back(Fault{kind, callCounts_[static_cast<int>(kind)] + nth, error});
}

int RegistryContext::CallCount(RegCall kind) const
{
    std::lock_guard<std::mutex> guard(mutex_);
    return callCounts_[static_cast<int>(kind)];
}

int RegistryContext::OpenKeyCount() const
{
    std::lock_guard<std::mutex> guard(mutex_);
    return static_cast<int>(handles_.size());
}
