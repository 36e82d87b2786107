// Builds DXF drawings whose handles the test or benchmark chooses: R12 (no
// subclass markers, no block records) or R2000, with a code page. References
// carry the caller's handle; their attributes and end markers are numbered
// from 5000 (hex) up, so callers name their references 1000..4FFF or above
// the attributes they will need.
#pragma once
#include "dxf_writer.h"

#include <string>
#include <utility>
#include <vector>

class DxfBuilder {
public:
    explicit DxfBuilder(bool r12 = false, std::string codepage = "ANSI_1252")
        : m_r12(r12)
        , m_codepage(std::move(codepage))
        , m_header(r12)
    {
    }

    DxfBuilder& header(const std::string& variable, int code, const std::string& value)
    {
        m_header.group(9, variable).group(code, value);
        return *this;
    }
    DxfBuilder& layer(const std::string& name)
    {
        m_layers.push_back(name);
        return *this;
    }

    // A block with attribute definitions {tag, prompt, default, flags} at
    // (10 n, 0) for the nth definition.
    struct Def {
        std::string tag, prompt, text;
        int flags = 0;
    };
    DxfBuilder& block(const std::string& name, const std::vector<Def>& defs, int flags = 0)
    {
        m_blocks.push_back(Block{name, flags, defs});
        return *this;
    }

    // A reference with attributes {tag, text}, the nth at (x + 10 n, y);
    // `owner` "model", "paper" or a block name.
    struct Att {
        std::string tag, text;
    };
    DxfBuilder& insert(const std::string& handle, const std::string& blockName, const std::vector<Att>& atts,
                       double x = 0, double y = 0, const std::string& owner = "model",
                       const std::string& layer = "0")
    {
        const bool paper = owner == "paper";
        DxfWriter out(m_r12);
        out.entity("INSERT", handle, layer, paper).subclass("AcDbBlockReference");
        if (!atts.empty())
            out.group(66, "1");
        // The position in six decimals and z as "0.0": a test of saving pins
        // that groups nobody changed come back with exactly this text.
        out.group(2, blockName).group(10, std::to_string(x)).group(20, std::to_string(y)).group(30, "0.0");
        int i = 0;
        for (const Att& att : atts) {
            const std::string attributeHandle = DxfWriter::Hex(m_next++);
            out.attrib({.handle = attributeHandle,
                        .layer = layer,
                        .paperSpace = paper,
                        .x = x + 10.0 * i++,
                        .y = y,
                        .height = kTextHeight,
                        .value = att.text,
                        .tag = att.tag});
        }
        if (!atts.empty())
            out.seqend(DxfWriter::Hex(m_next++), layer);
        m_entities.push_back(Entity{owner, std::move(out)});
        return *this;
    }

    DxfBuilder& line(const std::string& handle, const std::string& layer = "0")
    {
        DxfWriter out(m_r12);
        out.entity("LINE", handle, layer).subclass("AcDbLine").point(0, 0, 0).point(1, 1, 0, 11);
        m_entities.push_back(Entity{"model", std::move(out)});
        return *this;
    }

    std::string text() const
    {
        DxfWriter out(m_r12);
        out.beginSection("HEADER");
        out.group(9, "$ACADVER").group(1, m_r12 ? "AC1009" : "AC1015");
        out.group(9, "$DWGCODEPAGE").group(3, m_codepage);
        out.append(m_header).endSection();

        out.beginSection("TABLES");
        out.group(0, "TABLE").group(2, "LAYER").group(5, "2");
        out.group(0, "LAYER").group(5, "10").group(2, "0").group(70, "0");
        unsigned long h = 0x11;
        for (const std::string& layer : m_layers)
            out.group(0, "LAYER").group(5, DxfWriter::Hex(h++)).group(2, layer).group(70, "0");
        out.group(0, "ENDTAB");
        std::vector<std::string> names = {"*Model_Space", "*Paper_Space"};
        for (const Block& b : m_blocks)
            names.push_back(b.name);
        std::vector<std::string> recordHandles;
        if (!m_r12) {
            out.group(0, "TABLE").group(2, "BLOCK_RECORD").group(5, "1");
            for (const std::string& name : names) {
                recordHandles.push_back(DxfWriter::Hex(h++));
                out.group(0, "BLOCK_RECORD").group(5, recordHandles.back());
                out.subclass("AcDbSymbolTableRecord").subclass("AcDbBlockTableRecord").group(2, name);
            }
            out.group(0, "ENDTAB");
        }
        out.endSection();

        out.beginSection("BLOCKS");
        unsigned long hb = 0x80;
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::string name = names[i];
            if (m_r12 && i < 2)
                name = i == 0 ? "$MODEL_SPACE" : "$PAPER_SPACE";
            out.group(0, "BLOCK").group(5, DxfWriter::Hex(hb++));
            if (!m_r12)
                out.group(330, recordHandles[i]);
            out.subclass("AcDbEntity").group(8, "0").subclass("AcDbBlockBegin");
            out.group(2, name).group(70, i >= 2 ? std::to_string(m_blocks[i - 2].flags) : "0");
            out.point(0, 0, 0);
            if (i >= 2) {
                int k = 0;
                for (const Def& def : m_blocks[i - 2].defs) {
                    const std::string handle = DxfWriter::Hex(hb++);
                    out.attdef({.handle = handle,
                                .x = 10.0 * k++,
                                .height = kTextHeight,
                                .value = def.text,
                                .tag = def.tag,
                                .flags = def.flags},
                               def.prompt);
                }
                for (const Entity& e : m_entities)
                    if (e.owner == name)
                        out.append(e.body);
            }
            out.entity("ENDBLK", DxfWriter::Hex(hb++), "0");
        }
        out.endSection();

        out.beginSection("ENTITIES");
        for (const Entity& e : m_entities)
            if (e.owner == "model" || e.owner == "paper")
                out.append(e.body);
        out.endSection();
        out.group(0, "EOF");
        return out.text();
    }

private:
    static constexpr double kTextHeight = 2.5;

    struct Entity {
        std::string owner;
        DxfWriter body;
    };
    struct Block {
        std::string name;
        int flags;
        std::vector<Def> defs;
    };
    bool m_r12;
    std::string m_codepage;
    DxfWriter m_header;
    std::vector<std::string> m_layers;
    std::vector<Block> m_blocks;
    std::vector<Entity> m_entities;
    unsigned long m_next = 0x5000; // attribute and end-marker handles
};
