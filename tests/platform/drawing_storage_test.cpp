// How the database stores a large drawing: its handle table (a flat array
// probed linearly), where handles of any spread are found after the table
// grows and missing ones are not; and the names objects share (one copy of
// each layer and tag), which a change to one object must leave alone for
// the others.
#include "support/drawing_fixture.h"
#include "arx/db_handle_table.h"
#include <dbdatabase.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

using HandleTableTest = LeakCheckedTest;

struct FakeStub {
    std::uint64_t handle = 0;
};
using Stubs = std::vector<FakeStub>;

TEST_F(HandleTableTest, FindsEveryHandleOfAnySpreadAfterGrowingAndNothingElse)
{
    // Consecutive handles (the usual drawing), a stride of the table's
    // size (low bits all equal), handles that differ in their top bits only
    // and handles whose low halves are equal: each of these puts many keys
    // on one home slot or one slot tag in a table that hashes or compares
    // some of the bits only.
    Stubs stubs;
    for (std::uint64_t i = 1; i <= 20000; ++i)
        stubs.push_back({0x100 + i});
    for (std::uint64_t i = 1; i <= 5000; ++i)
        stubs.push_back({i << 20});
    for (std::uint64_t i = 1; i <= 5000; ++i)
        stubs.push_back({(i << 44) | 7});
    for (std::uint64_t i = 1; i <= 5000; ++i)
        stubs.push_back({(i << 32) | 0x101});
    stubs.push_back({UINT64_MAX});

    DbHandleTable<Stubs> table(stubs);
    for (std::size_t i = 0; i < stubs.size(); ++i)
        ASSERT_EQ(table.insert(i), nullptr) << std::hex << stubs[i].handle;
    EXPECT_EQ(table.size(), stubs.size());
    for (const FakeStub& stub : stubs)
        ASSERT_EQ(table.find(stub.handle), &stub) << std::hex << stub.handle;

    // Neighbours of stored handles, and handles never given.
    for (std::uint64_t missing : {std::uint64_t(0), std::uint64_t(0x100), std::uint64_t(0x100 + 20001),
                                  (std::uint64_t(3) << 20) + 1, (std::uint64_t(5001) << 44) | 7,
                                  (std::uint64_t(5001) << 32) | 0x101, UINT64_MAX - 1})
        EXPECT_EQ(table.find(missing), nullptr) << std::hex << missing;

    // A second stub with a handle in use is refused; the first one keeps it.
    stubs.push_back({0x101});
    EXPECT_EQ(table.insert(stubs.size() - 1), &stubs[0]);
    EXPECT_EQ(table.find(0x101), &stubs[0]);
    EXPECT_EQ(table.size(), stubs.size() - 1);
}

TEST_F(HandleTableTest, EmptyAndReservedTablesFindNothingAndKeepWhatIsAdded)
{
    Stubs none;
    DbHandleTable<Stubs> empty(none);
    EXPECT_EQ(empty.find(1), nullptr);
    EXPECT_EQ(empty.size(), 0u);

    Stubs stubs;
    for (std::uint64_t i = 0; i < 1000; ++i)
        stubs.push_back({0xA000 + i * 3});
    DbHandleTable<Stubs> reserved(stubs);
    reserved.reserve(1000);
    for (std::size_t i = 0; i < 1000; ++i)
        reserved.insert(i);
    reserved.reserve(10); // never shrinks
    for (std::size_t i = 0; i < 1000; ++i) {
        EXPECT_EQ(reserved.find(0xA000 + i * 3), &stubs[i]);
        EXPECT_EQ(reserved.find(0xA000 + i * 3 + 1), nullptr);
    }
}

using DrawingStorageTest = DrawingTest;

TEST_F(DrawingStorageTest, SparseAndWideHandlesOfAFileNameTheirObjects)
{
    DxfBuilder dxf(false);
    const std::vector<std::string> handles = {"3F000", "FFFFFFFF00000001", "100000000", "4000", "4001"};
    for (const std::string& handle : handles)
        dxf.line(handle);
    load(dxf.text());
    for (const std::string& handle : handles) {
        AcDbObjectId id;
        ASSERT_EQ(db->getAcDbObjectId(id, false, AcDbHandle(handle.c_str())), Acad::eOk) << handle;
        EXPECT_EQ(id.handle(), AcDbHandle(handle.c_str()));
        AcDbEntity* line = nullptr;
        ASSERT_EQ(acdbOpenAcDbEntity(line, id, AcDb::kForRead), Acad::eOk);
        EXPECT_EQ(line->dxfName(), "LINE");
        line->close();
    }
    for (const char* missing : {"3F001", "FFFFFFFF00000002", "200000000", "4002"}) {
        AcDbObjectId id;
        EXPECT_EQ(db->getAcDbObjectId(id, false, AcDbHandle(missing)), Acad::eUnknownHandle) << missing;
        EXPECT_TRUE(id.isNull());
    }
}

TEST_F(DrawingStorageTest, ASharedNameChangedOnOneObjectStaysOnTheOthers)
{
    load(DxfBuilder(false)
             .layer("Walls")
             .block("B", {{"T", "T?", "x"}})
             .insert("1001", "B", {{"T", "a"}}, 0, 0, "model", "Walls")
             .insert("1002", "B", {{"T", "b"}}, 0, 0, "model", "Walls")
             .text());
    auto layerOf = [&](const char* handle) {
        AcDbEntityPointer entity(idOf(handle), AcDb::kForRead);
        char* name = entity->layer();
        std::string text = name;
        acutDelString(name);
        return text;
    };
    {
        AcDbEntityPointer ref(idOf("1001"), AcDb::kForWrite);
        ASSERT_EQ(ref->setLayer("0"), Acad::eOk);
    }
    EXPECT_EQ(layerOf("1001"), "0");
    EXPECT_EQ(layerOf("1002"), "Walls");
    const std::string saved = DxfOutText(*db);
    // Only the first reference, its attribute and end marker moved.
    std::istringstream lines(saved);
    std::string code, value;
    std::size_t walls = 0;
    while (std::getline(lines, code) && std::getline(lines, value))
        walls += code.find_first_not_of(' ') != std::string::npos && code.substr(code.find_first_not_of(' ')) == "8"
                 && value == "Walls";
    EXPECT_EQ(walls, 3u) << saved;
}

} // namespace
