// A drawing host with one database for tests: the host is installed, the
// database is its working database, and the test ends by checking that no
// drawing object and no selection set was left open.
#pragma once
#include "acdbads.h"
#include "support/leak_checked_test.h"
#include "acedads.h"
#include "acutmem.h"
#include "dbapserv.h"
#include "dbents.h"
#include "dbobjptr.h"
#include "dbsymtb.h"
#include "drawing_host.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

class DrawingTest : public LeakCheckedTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces the drawing with DXF text; fails the test when it does not load.
    void load(const std::string& dxf);
    void loadFile(const std::string& path);
    // The object of a handle text ("2F"); a null id when there is none.
    AcDbObjectId idOf(const char* handle);
    // Lines the interactive pick reads; what it prints.
    std::deque<std::string> input;
    std::string output;

    DrawingHost host;
    std::unique_ptr<AcDbDatabase> db;
};

// Builds small DXF drawings for tests: R12 (no subclass markers) or R2000.
class DxfBuilder {
public:
    explicit DxfBuilder(bool r12 = false, std::string codepage = "ANSI_1252");
    DxfBuilder& header(const std::string& variable, int code, const std::string& value);
    DxfBuilder& layer(const std::string& name);
    // A block with attribute definitions {tag, prompt, default, flags} at
    // (x, 0) for the nth definition.
    struct Def {
        std::string tag, prompt, text;
        int flags = 0;
    };
    DxfBuilder& block(const std::string& name, const std::vector<Def>& defs, int flags = 0);
    // A reference with attributes {tag, text}; `owner` "model", "paper" or a block name.
    struct Att {
        std::string tag, text;
    };
    DxfBuilder& insert(const std::string& handle, const std::string& blockName, const std::vector<Att>& atts,
                       double x = 0, double y = 0, const std::string& owner = "model",
                       const std::string& layer = "0");
    DxfBuilder& line(const std::string& handle, const std::string& layer = "0");
    std::string text() const;

private:
    struct Entity {
        std::string owner, body;
    };
    bool m_r12;
    std::string m_codepage;
    std::string m_header;
    std::vector<std::string> m_layers;
    struct Block {
        std::string name;
        int flags;
        std::vector<Def> defs;
    };
    std::vector<Block> m_blocks;
    std::vector<Entity> m_entities;
    int m_next = 0x5000; // attribute handles; tests name their references 1000..4FFF
};
