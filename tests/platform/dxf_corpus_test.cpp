#include "support/drawing_fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> CorpusFiles()
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(GW_SHARED_DIR) + "/dxf-corpus"))
        if (entry.path().extension() == ".dxf")
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

using DxfCorpus = DrawingTest;

TEST_F(DxfCorpus, EveryDrawingLoadsAndSavesUntouchedByteForByte)
{
    auto files = CorpusFiles();
    ASSERT_GE(files.size(), 10u);
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        AcDbDatabase database(false);
        ASSERT_EQ(database.readDxfFile(file.c_str()), Acad::eOk) << database.dxfErrorMessage();
        EXPECT_EQ(database.dxfOutText(), ReadFile(file));
    }
}

} // namespace
