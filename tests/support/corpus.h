// The drawings other programs wrote (GW_SHARED_DIR/dxf-corpus), which live
// beside the project on our machines and in CI but not in a clone of the
// project alone: tests that read them skip when the folder is not there.
#pragma once
#include <filesystem>
#include <string>

// The corpus folder; empty when it is not there.
inline std::string CorpusFolder()
{
    const std::string shared = GW_SHARED_DIR;
    const std::string folder = shared + "/dxf-corpus";
    return shared.empty() || !std::filesystem::is_directory(folder) ? std::string() : folder;
}

#define GW_SKIP_WITHOUT_CORPUS()                                                                                       \
    do {                                                                                                               \
        if (CorpusFolder().empty())                                                                                    \
            GTEST_SKIP() << "no drawing corpus in GW_SHARED_DIR";                                                      \
    } while (false)
