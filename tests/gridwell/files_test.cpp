// How gridwell writes the user's files: a result appears under its name
// whole or not at all, an existing file is replaced only when asked, the
// previous drawing is kept as .bak only once the new one is in place, and a
// signal in the middle of a save leaves no temporary file behind.
#include "support/leak_checked_test.h"
#include "support/scratch_dir.h"

#include "files.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace gridwell;

std::string Read(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Write(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Files of the folder whose names start with a dot: temporary files.
int Temporaries(const std::filesystem::path& folder)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        count += entry.path().filename().string()[0] == '.' ? 1 : 0;
    return count;
}

using OutputFilesTest = LeakCheckedTest;

TEST_F(OutputFilesTest, APublishedFileNeverReplacesAnotherUnlessAsked)
{
    ScratchDir dir;
    const std::string target = (std::filesystem::path(dir.Path()) / "book.xlsx").string();
    {
        TemporaryBeside first(target);
        ASSERT_TRUE(first.Ok());
        Write(first.Path(), "first");
        EXPECT_EQ(Temporaries(std::filesystem::path(dir.Path())), 1);
        std::string error;
        ASSERT_TRUE(first.Publish(false, error)) << error;
    }
    EXPECT_EQ(Read(target), "first");
    {
        TemporaryBeside second(target);
        Write(second.Path(), "second");
        std::string error;
        EXPECT_FALSE(second.Publish(false, error));
        EXPECT_NE(error.find("--force"), std::string::npos) << error;
        EXPECT_EQ(Read(target), "first") << "a file that is there stays";
    }
    EXPECT_EQ(Temporaries(std::filesystem::path(dir.Path())), 0) << "the refused file is removed with its holder";
    {
        TemporaryBeside third(target);
        Write(third.Path(), "third");
        std::string error;
        ASSERT_TRUE(third.Publish(true, error)) << error;
    }
    EXPECT_EQ(Read(target), "third");
    EXPECT_EQ(Temporaries(std::filesystem::path(dir.Path())), 0);
}

TEST_F(OutputFilesTest, OutputChecksNameTheProblem)
{
    ScratchDir dir;
    Write(std::filesystem::path(dir.Path()) / "plain", "x");
    std::filesystem::create_directory(std::filesystem::path(dir.Path()) / "folder");
    struct Case {
        std::string path;
        bool replace;
        const char* named;
    };
    const Case cases[] = {
        {(std::filesystem::path(dir.Path()) / "missing" / "a.xlsx").string(), false, "missing"},
        {(std::filesystem::path(dir.Path()) / "plain" / "a.xlsx").string(), false, "not a folder"},
        {(std::filesystem::path(dir.Path()) / "plain").string(), false, "--force"},
        {(std::filesystem::path(dir.Path()) / "folder").string(), true, "is a folder"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(CheckOutputPath(c.path, c.replace, error)) << c.path;
        EXPECT_NE(error.find(c.named), std::string::npos) << error;
    }
    std::string error;
    EXPECT_TRUE(CheckOutputPath((std::filesystem::path(dir.Path()) / "plain").string(), true, error)) << error;
    EXPECT_TRUE(CheckOutputPath((std::filesystem::path(dir.Path()) / "new.xlsx").string(), false, error)) << error;
}

TEST_F(OutputFilesTest, TheBackupHoldsThePreviousFileOnlyOnceKept)
{
    ScratchDir dir;
    const std::filesystem::path drawing = std::filesystem::path(dir.Path()) / "plan.dxf";
    Write(drawing, "version 1");
    Write(std::filesystem::path(dir.Path()) / "plan.dxf.bak", "version 0");
    {
        // The save failed: the backup is dropped, the older one stays.
        Backup backup(drawing.string());
        ASSERT_TRUE(backup.Ok()) << backup.Error();
    }
    EXPECT_EQ(Read(std::filesystem::path(dir.Path()) / "plan.dxf.bak"), "version 0");
    EXPECT_EQ(Temporaries(std::filesystem::path(dir.Path())), 0);
    {
        Backup backup(drawing.string());
        ASSERT_TRUE(backup.Ok()) << backup.Error();
        // The new drawing arrives by rename, as every save here does.
        Write(std::filesystem::path(dir.Path()) / "new", "version 2");
        std::filesystem::rename(std::filesystem::path(dir.Path()) / "new", drawing);
        std::string error;
        ASSERT_TRUE(backup.Keep(error)) << error;
    }
    EXPECT_EQ(Read(drawing), "version 2");
    EXPECT_EQ(Read(std::filesystem::path(dir.Path()) / "plan.dxf.bak"), "version 1");
    EXPECT_EQ(Temporaries(std::filesystem::path(dir.Path())), 0);
}

TEST_F(OutputFilesTest, ASignalDuringASaveRemovesTheTemporaryFiles)
{
    ScratchDir dir;
    const std::string target = (std::filesystem::path(dir.Path()) / "book.xlsx").string();
    EXPECT_EXIT(
        {
            RemoveTemporariesOnSignal();
            TemporaryBeside one(target);
            TemporaryBeside two(target + ".bak");
            Write(one.Path(), "half a workbook");
            std::raise(SIGINT);
        },
        testing::KilledBySignal(SIGINT), "");
    EXPECT_EQ(Temporaries(std::filesystem::path(dir.Path())), 0);
    EXPECT_FALSE(std::filesystem::exists(target));
}

} // namespace
