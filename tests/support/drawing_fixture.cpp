#include "drawing_fixture.h"
#include <dbdatabase.h>

#include <fstream>
#include <sstream>

void DrawingTest::SetUp()
{
    host.install();
    db = std::make_unique<AcDbDatabase>();
    host.setWorkingDatabase(db.get());
    host.setPromptIO(
        [this](std::string& line) {
            if (input.empty())
                return false;
            line = input.front();
            input.pop_front();
            return line != "^C";
        },
        [this](const std::string& text) { output += text; });
}

void DrawingTest::TearDown()
{
    EXPECT_EQ(OpenObjectCount(*db), 0) << "drawing objects left open";
    EXPECT_EQ(host.openSelectionSetCount(), 0) << "selection sets not freed";
}

void DrawingTest::load(const std::string& dxf)
{
    ASSERT_EQ(ReadDxfText(*db, dxf, "test.dxf"), Acad::eOk) << DxfErrorMessage(*db);
}

void DrawingTest::loadFile(const std::string& path)
{
    ASSERT_EQ(db->readDxfFile(path.c_str()), Acad::eOk) << DxfErrorMessage(*db);
}

AcDbObjectId DrawingTest::idOf(const char* handle)
{
    AcDbObjectId id;
    db->getAcDbObjectId(id, false, AcDbHandle(handle));
    return id;
}

namespace {

void Group(std::ostringstream& out, int code, const std::string& value) { out << code << "\n" << value << "\n"; }

} // namespace

DxfBuilder::DxfBuilder(bool r12, std::string codepage)
    : m_r12(r12)
    , m_codepage(std::move(codepage))
{
}

DxfBuilder& DxfBuilder::header(const std::string& variable, int code, const std::string& value)
{
    std::ostringstream out;
    Group(out, 9, variable);
    Group(out, code, value);
    m_header += out.str();
    return *this;
}

DxfBuilder& DxfBuilder::layer(const std::string& name)
{
    m_layers.push_back(name);
    return *this;
}

DxfBuilder& DxfBuilder::block(const std::string& name, const std::vector<Def>& defs, int flags)
{
    m_blocks.push_back(Block{name, flags, defs});
    return *this;
}

static std::string Hex(int n)
{
    std::ostringstream out;
    out << std::uppercase << std::hex << n;
    return out.str();
}

DxfBuilder& DxfBuilder::insert(const std::string& handle, const std::string& blockName, const std::vector<Att>& atts,
                               double x, double y, const std::string& owner, const std::string& layer)
{
    std::ostringstream out;
    Group(out, 0, "INSERT");
    Group(out, 5, handle);
    if (!m_r12)
        Group(out, 100, "AcDbEntity");
    if (owner == "paper")
        Group(out, 67, "1");
    Group(out, 8, layer);
    if (!m_r12)
        Group(out, 100, "AcDbBlockReference");
    if (!atts.empty())
        Group(out, 66, "1");
    Group(out, 2, blockName);
    Group(out, 10, std::to_string(x));
    Group(out, 20, std::to_string(y));
    Group(out, 30, "0.0");
    int i = 0;
    for (const Att& att : atts) {
        Group(out, 0, "ATTRIB");
        Group(out, 5, Hex(m_next++));
        if (!m_r12)
            Group(out, 100, "AcDbEntity");
        if (owner == "paper")
            Group(out, 67, "1");
        Group(out, 8, layer);
        if (!m_r12)
            Group(out, 100, "AcDbText");
        Group(out, 10, std::to_string(x + 10.0 * i));
        Group(out, 20, std::to_string(y));
        Group(out, 30, "0.0");
        Group(out, 40, "2.5");
        Group(out, 1, att.text);
        if (!m_r12)
            Group(out, 100, "AcDbAttribute");
        Group(out, 2, att.tag);
        Group(out, 70, "0");
        ++i;
    }
    if (!atts.empty()) {
        Group(out, 0, "SEQEND");
        Group(out, 5, Hex(m_next++));
        if (!m_r12)
            Group(out, 100, "AcDbEntity");
        Group(out, 8, layer);
    }
    m_entities.push_back(Entity{owner, out.str()});
    return *this;
}

DxfBuilder& DxfBuilder::line(const std::string& handle, const std::string& layer)
{
    std::ostringstream out;
    Group(out, 0, "LINE");
    Group(out, 5, handle);
    if (!m_r12)
        Group(out, 100, "AcDbEntity");
    Group(out, 8, layer);
    if (!m_r12)
        Group(out, 100, "AcDbLine");
    Group(out, 10, "0.0");
    Group(out, 20, "0.0");
    Group(out, 30, "0.0");
    Group(out, 11, "1.0");
    Group(out, 21, "1.0");
    Group(out, 31, "0.0");
    m_entities.push_back(Entity{"model", out.str()});
    return *this;
}

std::string DxfBuilder::text() const
{
    std::ostringstream out;
    Group(out, 0, "SECTION");
    Group(out, 2, "HEADER");
    Group(out, 9, "$ACADVER");
    Group(out, 1, m_r12 ? "AC1009" : "AC1015");
    Group(out, 9, "$DWGCODEPAGE");
    Group(out, 3, m_codepage);
    out << m_header;
    Group(out, 0, "ENDSEC");
    Group(out, 0, "SECTION");
    Group(out, 2, "TABLES");
    Group(out, 0, "TABLE");
    Group(out, 2, "LAYER");
    Group(out, 5, "2");
    Group(out, 0, "LAYER");
    Group(out, 5, "10");
    Group(out, 2, "0");
    Group(out, 70, "0");
    int h = 0x11;
    for (const std::string& layer : m_layers) {
        Group(out, 0, "LAYER");
        Group(out, 5, Hex(h++));
        Group(out, 2, layer);
        Group(out, 70, "0");
    }
    Group(out, 0, "ENDTAB");
    std::vector<std::string> names = {"*Model_Space", "*Paper_Space"};
    for (const Block& b : m_blocks)
        names.push_back(b.name);
    std::vector<std::string> recordHandles;
    if (!m_r12) {
        Group(out, 0, "TABLE");
        Group(out, 2, "BLOCK_RECORD");
        Group(out, 5, "1");
        for (const std::string& name : names) {
            recordHandles.push_back(Hex(h));
            Group(out, 0, "BLOCK_RECORD");
            Group(out, 5, Hex(h++));
            Group(out, 100, "AcDbSymbolTableRecord");
            Group(out, 100, "AcDbBlockTableRecord");
            Group(out, 2, name);
        }
        Group(out, 0, "ENDTAB");
    }
    Group(out, 0, "ENDSEC");
    Group(out, 0, "SECTION");
    Group(out, 2, "BLOCKS");
    int hb = 0x80;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string name = names[i];
        if (m_r12 && i < 2)
            name = i == 0 ? "$MODEL_SPACE" : "$PAPER_SPACE";
        Group(out, 0, "BLOCK");
        Group(out, 5, Hex(hb++));
        if (!m_r12) {
            Group(out, 330, recordHandles[i]);
            Group(out, 100, "AcDbEntity");
        }
        Group(out, 8, "0");
        if (!m_r12)
            Group(out, 100, "AcDbBlockBegin");
        Group(out, 2, name);
        Group(out, 70, i >= 2 ? std::to_string(m_blocks[i - 2].flags) : "0");
        Group(out, 10, "0.0");
        Group(out, 20, "0.0");
        Group(out, 30, "0.0");
        if (i >= 2) {
            int k = 0;
            for (const Def& def : m_blocks[i - 2].defs) {
                Group(out, 0, "ATTDEF");
                Group(out, 5, Hex(hb++));
                if (!m_r12)
                    Group(out, 100, "AcDbEntity");
                Group(out, 8, "0");
                if (!m_r12)
                    Group(out, 100, "AcDbText");
                Group(out, 10, std::to_string(10.0 * k));
                Group(out, 20, "0.0");
                Group(out, 30, "0.0");
                Group(out, 40, "2.5");
                Group(out, 1, def.text);
                if (!m_r12)
                    Group(out, 100, "AcDbAttributeDefinition");
                Group(out, 3, def.prompt);
                Group(out, 2, def.tag);
                Group(out, 70, std::to_string(def.flags));
                ++k;
            }
            for (const Entity& e : m_entities)
                if (e.owner == name)
                    out << e.body;
        }
        Group(out, 0, "ENDBLK");
        Group(out, 5, Hex(hb++));
        if (!m_r12)
            Group(out, 100, "AcDbEntity");
        Group(out, 8, "0");
    }
    Group(out, 0, "ENDSEC");
    Group(out, 0, "SECTION");
    Group(out, 2, "ENTITIES");
    for (const Entity& e : m_entities)
        if (e.owner == "model" || e.owner == "paper")
            out << e.body;
    Group(out, 0, "ENDSEC");
    Group(out, 0, "EOF");
    return out.str();
}
