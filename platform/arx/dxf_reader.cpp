// Reading a DXF text into the database. Every record that the database
// models (tables and their records, blocks, entities, layouts) becomes an
// object that remembers where its text lies, so that saving can write it
// back untouched. Anything malformed stops the read with the line number;
// the database then keeps what it had.
#include "dxf_reader.h"
#include "text_for_terminal.h"
#include "stand_in_progress.h"

#include "dbimpl.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_set>
#include <cstring>

namespace {

// Tiny records would cost far more memory than their text; a drawing with
// more objects than this is refused rather than allowed to take it all.
constexpr std::size_t kMaxObjects = 8'000'000;

struct DxfError {
    std::size_t line;
    std::string what;
};

struct Group {
    int code = 0;
    std::string_view value;
    std::size_t line = 0; // of the code
};

struct Record {
    std::string_view type;
    std::size_t line = 0;
    std::size_t begin = 0, end = 0; // bytes: from its code line to past its last value line
    std::vector<Group> groups;      // without the record's 0 group
};

// Runs for every line of the file: plain loops, since find_first_not_of
// with a set searches the set once per character.
std::string_view Trim(std::string_view s)
{
    std::size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t'))
        ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t'))
        --b;
    return s.substr(a, b - a);
}

class Tokenizer {
public:
    explicit Tokenizer(std::string_view text)
        : m_text(text)
    {
        if (m_text.substr(0, 3) == "\xEF\xBB\xBF")
            m_pos = 3;
    }

    // The next group and where its lines begin and end; false at the end of the text.
    bool next(Group& g, std::size_t& begin, std::size_t& end)
    {
        if (m_pos >= m_text.size())
            return false;
        begin = m_pos;
        std::string_view codeLine;
        std::size_t codeLineNumber = m_line + 1;
        if (!readLine(codeLine))
            throw DxfError{codeLineNumber, "a group code without a value (the file is cut short)"};
        std::string_view value;
        bool hadValue = readLine(value);
        if (!hadValue)
            throw DxfError{codeLineNumber, "a group code without a value (the file is cut short)"};
        std::string_view code = Trim(codeLine);
        int number = -1;
        auto result = std::from_chars(code.data(), code.data() + code.size(), number);
        if (code.empty() || result.ec != std::errc() || result.ptr != code.data() + code.size() || number < 0
            || number > 1071)
            throw DxfError{codeLineNumber, "bad group code '" + std::string(code.substr(0, 40)) + "'"};
        g.code = number;
        g.value = value;
        g.line = codeLineNumber;
        end = m_pos;
        return true;
    }

    std::size_t line() const { return m_line; }
    std::size_t position() const { return m_pos; }

private:
    bool readLine(std::string_view& line)
    {
        if (m_pos >= m_text.size())
            return false;
        std::size_t nl = m_text.find('\n', m_pos);
        std::size_t end = nl == std::string_view::npos ? m_text.size() : nl;
        line = m_text.substr(m_pos, end - m_pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_pos = nl == std::string_view::npos ? m_text.size() : nl + 1;
        ++m_line;
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_line = 0;
};

double ParseDouble(const Group& g)
{
    std::string_view v = Trim(g.value);
    if (!v.empty() && v[0] == '+')
        v.remove_prefix(1);
    double d = 0;
    auto result = std::from_chars(v.data(), v.data() + v.size(), d);
    if (v.empty() || result.ec != std::errc() || result.ptr != v.data() + v.size())
        throw DxfError{g.line + 1, "bad number '" + std::string(g.value.substr(0, 40)) + "' in group "
                                       + std::to_string(g.code)};
    return d;
}

int ParseInt(const Group& g)
{
    std::string_view v = Trim(g.value);
    if (!v.empty() && v[0] == '+')
        v.remove_prefix(1);
    long long n = 0;
    auto result = std::from_chars(v.data(), v.data() + v.size(), n);
    if (v.empty() || result.ec != std::errc() || result.ptr != v.data() + v.size() || n < -2147483647LL
        || n > 2147483647LL)
        throw DxfError{g.line + 1, "bad integer '" + std::string(g.value.substr(0, 40)) + "' in group "
                                       + std::to_string(g.code)};
    return static_cast<int>(n);
}

std::uint64_t ParseHandle(const Group& g)
{
    std::string_view v = Trim(g.value);
    std::uint64_t h = 0;
    auto result = std::from_chars(v.data(), v.data() + v.size(), h, 16);
    if (v.empty() || v.size() > 16 || result.ec != std::errc() || result.ptr != v.data() + v.size())
        throw DxfError{g.line + 1, "bad handle '" + std::string(g.value.substr(0, 40)) + "'"};
    return h;
}

// Calls `visit` for each group of the record's own data: not application
// groups (102 {...}), and nothing from embedded objects (101) or extended
// data (1000 and up) on. `visit` gets the group and the current subclass.
template <class Visit>
void ForOwnGroups(const Record& r, Visit&& visit)
{
    bool app = false;
    std::string_view subclass;
    for (const Group& g : r.groups) {
        if (g.code == 101 || g.code >= 1000)
            break;
        if (g.code == 102) {
            app = !g.value.empty() && g.value[0] == '{';
            continue;
        }
        if (app)
            continue;
        if (g.code == 100) {
            subclass = g.value;
            continue;
        }
        visit(g, subclass);
    }
}

class Loader {
public:
    Loader(AcDbDatabase::Imp& d)
        : d(d)
        , tok(d.source)
    {
    }

    void run()
    {
        // A record takes a few hundred bytes of text at most; reserving
        // saves rehashing the handle map while a large drawing loads.
        d.byHandle.reserve(d.source.size() / 200);
        detectLineEnding();
        if (d.source.rfind("AutoCAD Binary DXF", 0) == 0)
            throw DxfError{1, "binary DXF is not supported"};
        Group g;
        std::size_t begin = 0, end = 0;
        bool sawEof = false;
        while (nextGroup(g, begin, end)) {
            if (g.code == 999)
                continue; // comment
            if (g.code != 0)
                throw DxfError{g.line, "expected a section (group 0), found group " + std::to_string(g.code)};
            if (g.value == "EOF") {
                sawEof = true;
                break;
            }
            if (g.value != "SECTION")
                throw DxfError{g.line, "expected SECTION, found '" + std::string(g.value.substr(0, 40)) + "'"};
            Group name;
            if (!nextGroup(name, begin, end) || name.code != 2)
                throw DxfError{g.line + 2, "a section without a name"};
            section(name);
        }
        if (!sawEof)
            throw DxfError{tok.line(), "unexpected end of file: no EOF"};
        finish();
    }

private:
    void detectLineEnding()
    {
        std::size_t nl = d.source.find('\n');
        d.lineEnding = nl != std::string::npos && nl > 0 && d.source[nl - 1] == '\r' ? "\r\n" : "\n";
    }

    bool nextGroup(Group& g, std::size_t& begin, std::size_t& end)
    {
        if (m_haveAhead) {
            g = m_ahead;
            begin = m_aheadBegin;
            end = m_aheadEnd;
            m_haveAhead = false;
            return true;
        }
        return tok.next(g, begin, end);
    }

    void pushBack(const Group& g, std::size_t begin, std::size_t end)
    {
        m_ahead = g;
        m_aheadBegin = begin;
        m_aheadEnd = end;
        m_haveAhead = true;
    }

    // The next record (a 0 group and the groups up to the next 0 group).
    void readRecord(Record& r)
    {
        Group g;
        std::size_t begin = 0, end = 0;
        if (!nextGroup(g, begin, end))
            throw DxfError{tok.line(), "unexpected end of file inside a section"};
        while (g.code == 999) {
            if (!nextGroup(g, begin, end))
                throw DxfError{tok.line(), "unexpected end of file inside a section"};
        }
        if (g.code != 0)
            throw DxfError{g.line, "expected group 0, found group " + std::to_string(g.code)};
        r.type = g.value;
        r.line = g.line;
        r.begin = begin;
        r.end = end;
        r.groups.clear();
        while (nextGroup(g, begin, end)) {
            if (g.code == 0) {
                pushBack(g, begin, end);
                break;
            }
            r.groups.push_back(g);
            r.end = end;
        }
        if ((++m_records & 0xFFF) == 0) // a host's progress line polls this
            Progress().drawingBytesParsed.store(r.end, std::memory_order_relaxed);
    }

    void section(const Group& name)
    {
        if (name.value == "HEADER")
            header();
        else if (name.value == "TABLES")
            tables();
        else if (name.value == "BLOCKS")
            blocks();
        else if (name.value == "ENTITIES")
            entities();
        else if (name.value == "OBJECTS")
            objects();
        else if (name.value == "CLASSES" || name.value == "THUMBNAILIMAGE" || name.value == "ACDSDATA")
            skipSection();
        else
            throw DxfError{name.line, "unknown section '" + std::string(name.value.substr(0, 40)) + "'"};
    }

    // Sections the database does not model are kept as text; they may
    // begin with groups other than 0 (ACDSDATA does).
    void skipSection()
    {
        Group g;
        std::size_t begin = 0, end = 0;
        while (nextGroup(g, begin, end))
            if (g.code == 0 && g.value == "ENDSEC")
                return;
        throw DxfError{tok.line(), "unexpected end of file inside a section"};
    }

    void header()
    {
        // Made before the section is read: a damaged section then leaves
        // an object that ~Imp ends through its stub like any other.
        AcDbObject* headerObject = d.create<AcDbObject>(0);
        Group g;
        std::size_t begin = 0, end = 0, first = tok.position(), last = first;
        std::string_view variable;
        for (;;) {
            if (!nextGroup(g, begin, end))
                throw DxfError{tok.line(), "unexpected end of file in the HEADER section"};
            if (g.code == 0) {
                if (g.value != "ENDSEC")
                    throw DxfError{g.line, "unexpected '" + std::string(g.value.substr(0, 40)) + "' in the HEADER section"};
                break;
            }
            last = end;
            if (g.code == 9) {
                variable = g.value;
                continue;
            }
            headerVariable(variable, g);
        }
        AcDbInternals::setSpan(*headerObject, first, last);
        d.header = headerObject;
        // Unknown code pages read as Windows-1252; the bytes are kept as they are.
        DxfCodecFor(d.acadver, d.codepageName, d.codec);
    }

    void headerVariable(std::string_view variable, const Group& g)
    {
        auto int16 = [&](Adesk::Int16& field, int lo, int hi) {
            int v = ParseInt(g);
            if (v < lo || v > hi)
                throw DxfError{g.line + 1, std::string(variable) + " out of range"};
            field = static_cast<Adesk::Int16>(v);
        };
        if (variable == "$ACADVER" && g.code == 1)
            d.acadver = std::string(Trim(g.value));
        else if (variable == "$DWGCODEPAGE" && g.code == 3)
            d.codepageName = std::string(Trim(g.value));
        else if (variable == "$HANDSEED" && g.code == 5)
            d.handseed = ParseHandle(g);
        else if (variable == "$LUNITS" && g.code == 70)
            int16(d.lunits, 1, 6);
        else if (variable == "$LUPREC" && g.code == 70)
            int16(d.luprec, 0, 8);
        else if (variable == "$AUNITS" && g.code == 70)
            int16(d.aunits, 0, 4);
        else if (variable == "$AUPREC" && g.code == 70)
            int16(d.auprec, 0, 8);
        else if (variable == "$UNITMODE" && g.code == 70)
            int16(d.unitmode, 0, 3);
        else if (variable == "$DIMZIN" && g.code == 70) {
            Adesk::Int16 v = 0;
            int16(v, 0, 15);
            d.dimzin = static_cast<Adesk::UInt8>(v);
        } else if (variable == "$TILEMODE" && g.code == 70)
            d.tilemode = ParseInt(g) != 0;
    }

    std::uint64_t handleOf(const Record& r)
    {
        std::uint64_t handle = 0;
        bool found = false;
        // A dimension style's group 5 is an arrow block name; its handle is 105.
        const int code = r.type == "DIMSTYLE" ? 105 : 5;
        ForOwnGroups(r, [&](const Group& g, std::string_view) {
            if (!found && g.code == code) {
                handle = ParseHandle(g);
                found = true;
            }
        });
        return handle;
    }

    template <class T>
    T* add(const Record& r)
    {
        if (d.stubs.size() >= kMaxObjects)
            throw DxfError{r.line, "more than " + std::to_string(kMaxObjects) + " objects"};
        std::uint64_t handle = handleOf(r);
        T* raw = d.create<T>(handle);
        AcDbStub* stub = AcDbInternals::stub(*raw);
        AcDbInternals::setSpan(*raw, r.begin, r.end);
        AcDbInternals::dxfName(*raw) = r.type;
        if (handle != 0) {
            if (d.byHandle.insert(d.stubs.size() - 1)) {
                char text[17];
                AcDbObjectId(stub).handle().getIntoAsciiBuffer(text);
                throw DxfError{r.line, std::string("handle ") + text + " is used twice"};
            }
        }
        return raw;
    }

    std::string text(std::string_view raw) const { return DxfDecodeText(raw, d.codec); }

    void tables()
    {
        Record r;
        AcDbSymbolTable* table = nullptr;
        bool inTable = false;
        for (;;) {
            readRecord(r);
            if (r.type == "ENDSEC") {
                if (inTable)
                    throw DxfError{r.line, "a table without ENDTAB"};
                return;
            }
            if (r.type == "TABLE") {
                if (inTable)
                    throw DxfError{r.line, "a table inside a table"};
                inTable = true;
                std::string_view name;
                ForOwnGroups(r, [&](const Group& g, std::string_view) {
                    if (g.code == 2 && name.empty())
                        name = Trim(g.value);
                });
                table = nullptr;
                if (name == "BLOCK_RECORD") {
                    if (!d.blockTable.isNull())
                        throw DxfError{r.line, "a second block record table"};
                    table = add<AcDbBlockTable>(r);
                    d.blockTable = table->objectId();
                } else if (name == "LAYER") {
                    if (!d.layerTable.isNull())
                        throw DxfError{r.line, "a second layer table"};
                    table = add<AcDbLayerTable>(r);
                    d.layerTable = table->objectId();
                } else {
                    add<AcDbObject>(r);
                }
                continue;
            }
            if (r.type == "ENDTAB") {
                if (!inTable)
                    throw DxfError{r.line, "ENDTAB outside a table"};
                inTable = false;
                table = nullptr;
                continue;
            }
            if (!inTable)
                throw DxfError{r.line, "a table entry outside a table"};
            if (r.type == "LAYER" && table && table->objectId() == d.layerTable)
                layer(r, *table);
            else if (r.type == "BLOCK_RECORD" && table && table->objectId() == d.blockTable)
                blockRecord(r, *table);
            else
                add<AcDbObject>(r);
        }
    }

    std::string nameOf(const Record& r, int code = 2)
    {
        std::string_view raw;
        bool found = false;
        ForOwnGroups(r, [&](const Group& g, std::string_view) {
            if (g.code == code && !found) {
                raw = g.value;
                found = true;
            }
        });
        if (!found)
            throw DxfError{r.line, std::string(r.type) + " without a name"};
        return text(raw);
    }

    void layer(const Record& r, AcDbSymbolTable& table)
    {
        auto* record = add<AcDbLayerTableRecord>(r);
        AcDbInternals::name(*record) = nameOf(r);
        AcDbInternals::owner(*record) = table.objectId();
        AcDbInternals::records(table).push_back(record->objectId());
        d.layerByKey.emplace(DxfNameKey(AcDbInternals::name(*record)), record->objectId());
    }

    void blockRecord(const Record& r, AcDbSymbolTable& table)
    {
        auto* record = add<AcDbBlockTableRecord>(r);
        AcDbInternals::name(*record) = nameOf(r);
        AcDbInternals::owner(*record) = table.objectId();
        AcDbInternals::records(table).push_back(record->objectId());
        d.blockByKey.emplace(DxfNameKey(AcDbInternals::name(*record)), record->objectId());
    }

    AcDbSymbolTable& blockTable()
    {
        if (d.blockTable.isNull())
            d.blockTable = d.addSynthetic<AcDbBlockTable>("TABLE")->objectId();
        return *static_cast<AcDbSymbolTable*>(d.blockTable.stub()->object);
    }

    void blocks()
    {
        Record r;
        AcDbBlockTableRecord* block = nullptr;
        for (;;) {
            readRecord(r);
            if (r.type == "ENDSEC") {
                if (block)
                    throw DxfError{r.line, "a block definition without ENDBLK"};
                return;
            }
            if (r.type == "BLOCK") {
                if (block)
                    throw DxfError{r.line, "a block definition inside a block definition"};
                block = beginBlock(r);
                endSequences();
                continue;
            }
            if (r.type == "ENDBLK") {
                if (!block)
                    throw DxfError{r.line, "ENDBLK without BLOCK"};
                AcDbObject* end = add<AcDbObject>(r);
                AcDbInternals::owner(*end) = block->objectId();
                block = nullptr;
                endSequences();
                continue;
            }
            if (!block)
                throw DxfError{r.line, "an entity outside a block definition"};
            entity(r, *block);
        }
    }

    AcDbBlockTableRecord* beginBlock(const Record& r)
    {
        std::string_view rawName;
        std::uint64_t owner = 0;
        int flags = 0;
        AcGePoint3d origin;
        ForOwnGroups(r, [&](const Group& g, std::string_view) {
            switch (g.code) {
            case 2: rawName = g.value; break;
            case 330: if (owner == 0) owner = ParseHandle(g); break;
            case 70: flags = ParseInt(g); break;
            case 10: origin.x = ParseDouble(g); break;
            case 20: origin.y = ParseDouble(g); break;
            case 30: origin.z = ParseDouble(g); break;
            default: break;
            }
        });
        std::string name = text(rawName);
        if (name.empty())
            throw DxfError{r.line, "BLOCK without a name"};
        // R12 files name the layout blocks $MODEL_SPACE and $PAPER_SPACE.
        if (DxfNamesEqual(name, "$MODEL_SPACE"))
            name = "*Model_Space";
        else if (DxfNamesEqual(name, "$PAPER_SPACE"))
            name = "*Paper_Space";
        AcDbBlockTableRecord* record = nullptr;
        if (owner != 0) {
            if (AcDbStub* stub = d.byHandle.find(owner))
                record = AcDbBlockTableRecord::cast(stub->object);
        }
        if (!record) {
            auto it = d.blockByKey.find(DxfNameKey(name));
            if (it != d.blockByKey.end())
                record = static_cast<AcDbBlockTableRecord*>(it->second.stub()->object);
        }
        if (record) {
            // The BLOCK entity is an object of its own beside the record.
            AcDbObject* begin = add<AcDbObject>(r);
            AcDbInternals::owner(*begin) = record->objectId();
        } else {
            record = add<AcDbBlockTableRecord>(r);
            AcDbInternals::name(*record) = name;
            AcDbSymbolTable& table = blockTable();
            AcDbInternals::owner(*record) = table.objectId();
            AcDbInternals::records(table).push_back(record->objectId());
            d.blockByKey.emplace(DxfNameKey(name), record->objectId());
        }
        if (m_defined.count(record))
            throw DxfError{r.line, "block '" + name + "' is defined twice"};
        m_defined.insert(record);
        AcDbInternals::origin(*record) = origin;
        AcDbInternals::blockFlags(*record) = flags;
        return record;
    }

    AcDbBlockTableRecord& space(bool paper)
    {
        AcDbObjectId& id = paper ? d.paperSpace : d.modelSpace;
        if (id.isNull()) {
            const char* name = paper ? "*Paper_Space" : "*Model_Space";
            auto it = d.blockByKey.find(DxfNameKey(name));
            if (it != d.blockByKey.end()) {
                id = it->second;
            } else {
                auto* record = d.addSynthetic<AcDbBlockTableRecord>("BLOCK_RECORD");
                AcDbInternals::name(*record) = name;
                AcDbSymbolTable& table = blockTable();
                AcDbInternals::owner(*record) = table.objectId();
                AcDbInternals::records(table).push_back(record->objectId());
                d.blockByKey.emplace(DxfNameKey(name), record->objectId());
                id = record->objectId();
            }
        }
        return *static_cast<AcDbBlockTableRecord*>(id.stub()->object);
    }

    void entities()
    {
        Record r;
        endSequences();
        for (;;) {
            readRecord(r);
            if (r.type == "ENDSEC") {
                endSequences();
                return;
            }
            if (r.type == "BLOCK" || r.type == "ENDBLK")
                throw DxfError{r.line, "a block definition in the ENTITIES section"};
            bool paper = false;
            ForOwnGroups(r, [&](const Group& g, std::string_view) {
                if (g.code == 67)
                    paper = ParseInt(g) != 0;
            });
            entity(r, space(paper));
        }
    }

    void endSequences()
    {
        m_insert = nullptr;
        m_polyline = nullptr;
    }

    void common(AcDbEntity& e, const Record& r)
    {
        std::string_view layer = "0";
        ForOwnGroups(r, [&](const Group& g, std::string_view) {
            if (g.code == 8)
                layer = g.value;
        });
        AcDbInternals::setLayer(e, d.names.intern(text(layer)));
    }

    void entity(const Record& r, AcDbBlockTableRecord& block)
    {
        if (r.type == "ATTRIB") {
            if (!m_insert)
                throw DxfError{r.line, "ATTRIB without a block reference"};
            auto* a = add<AcDbAttribute>(r);
            attribute(*a, r);
            AcDbInternals::owner(*a) = m_insert->objectId();
            AcDbInternals::attributes(*m_insert).push_back(a->objectId());
            return;
        }
        if (r.type == "SEQEND" && (m_insert || m_polyline)) {
            auto* e = add<AcDbEntity>(r);
            common(*e, r);
            if (m_insert) {
                AcDbInternals::owner(*e) = m_insert->objectId();
                AcDbInternals::seqend(*m_insert) = e->objectId();
            } else {
                AcDbInternals::owner(*e) = m_polyline->objectId();
            }
            endSequences();
            return;
        }
        if (r.type == "VERTEX" && m_polyline) {
            auto* e = add<AcDbEntity>(r);
            common(*e, r);
            AcDbInternals::owner(*e) = m_polyline->objectId();
            return;
        }
        endSequences();
        AcDbEntity* e = nullptr;
        if (r.type == "INSERT") {
            AcDbBlockReference* ref = insert(r);
            e = ref;
            m_insert = ref;
        } else if (r.type == "ATTDEF") {
            auto* def = add<AcDbAttributeDefinition>(r);
            definition(*def, r);
            e = def;
        } else {
            e = add<AcDbEntity>(r);
            if (r.type == "POLYLINE")
                m_polyline = e;
        }
        common(*e, r);
        AcDbInternals::owner(*e) = block.objectId();
        AcDbInternals::entities(block).push_back(e->objectId());
    }

    AcDbBlockReference* insert(const Record& r)
    {
        int columns = 1, rows = 1;
        ForOwnGroups(r, [&](const Group& g, std::string_view) {
            if (g.code == 70)
                columns = ParseInt(g);
            else if (g.code == 71)
                rows = ParseInt(g);
        });
        AcDbBlockReference* ref = nullptr;
        if (columns > 1 || rows > 1) {
            auto* m = add<AcDbMInsertBlock>(r);
            AcDbInternals::columns(*m) = static_cast<Adesk::UInt16>(std::clamp(columns, 0, 65535));
            AcDbInternals::rows(*m) = static_cast<Adesk::UInt16>(std::clamp(rows, 0, 65535));
            ref = m;
        } else {
            ref = add<AcDbBlockReference>(r);
        }
        auto* m = AcDbMInsertBlock::cast(ref);
        std::string_view name;
        ForOwnGroups(r, [&](const Group& g, std::string_view) {
            switch (g.code) {
            case 2: name = g.value; break;
            case 10: AcDbInternals::position(*ref).x = ParseDouble(g); break;
            case 20: AcDbInternals::position(*ref).y = ParseDouble(g); break;
            case 30: AcDbInternals::position(*ref).z = ParseDouble(g); break;
            case 41: AcDbInternals::scale(*ref).sx = ParseDouble(g); break;
            case 42: AcDbInternals::scale(*ref).sy = ParseDouble(g); break;
            case 43: AcDbInternals::scale(*ref).sz = ParseDouble(g); break;
            case 50: AcDbInternals::rotation(*ref) = ParseDouble(g) * M_PI / 180.0; break;
            case 210: AcDbInternals::normal(*ref).x = ParseDouble(g); break;
            case 220: AcDbInternals::normal(*ref).y = ParseDouble(g); break;
            case 230: AcDbInternals::normal(*ref).z = ParseDouble(g); break;
            case 44: if (m) AcDbInternals::columnSpacing(*m) = ParseDouble(g); break;
            case 45: if (m) AcDbInternals::rowSpacing(*m) = ParseDouble(g); break;
            default: break;
            }
        });
        if (name.empty())
            throw DxfError{r.line, "INSERT without a block name"};
        m_pendingReferences.emplace_back(ref, name);
        return ref;
    }

    // Returns false for a group that is not a text property.
    bool textGroup(AcDbText& t, const Group& g)
    {
        switch (g.code) {
        case 1: AcDbInternals::textString(t) = text(g.value); return true;
        case 7: AcDbInternals::setStyle(t, d.names.intern(text(g.value))); return true;
        case 10: AcDbInternals::position(t).x = ParseDouble(g); return true;
        case 20: AcDbInternals::position(t).y = ParseDouble(g); return true;
        case 30: AcDbInternals::position(t).z = ParseDouble(g); return true;
        case 11: AcDbInternals::alignment(t).x = ParseDouble(g); AcDbInternals::hasAlignment(t) = true; return true;
        case 21: AcDbInternals::alignment(t).y = ParseDouble(g); return true;
        case 31: AcDbInternals::alignment(t).z = ParseDouble(g); return true;
        case 39: AcDbInternals::thickness(t) = ParseDouble(g); return true;
        case 40: AcDbInternals::height(t) = ParseDouble(g); return true;
        case 41: AcDbInternals::widthFactor(t) = ParseDouble(g); return true;
        case 50: AcDbInternals::rotation(t) = ParseDouble(g) * M_PI / 180.0; return true;
        case 51: AcDbInternals::oblique(t) = ParseDouble(g) * M_PI / 180.0; return true;
        case 71: AcDbInternals::generation(t) = ParseInt(g); return true;
        case 72: AcDbInternals::hmode(t) = ParseInt(g); return true;
        case 74: AcDbInternals::vmode(t) = ParseInt(g); return true;
        case 210: AcDbInternals::normal(t).x = ParseDouble(g); return true;
        case 220: AcDbInternals::normal(t).y = ParseDouble(g); return true;
        case 230: AcDbInternals::normal(t).z = ParseDouble(g); return true;
        default: return false;
        }
    }

    void attribute(AcDbAttribute& a, const Record& r)
    {
        ForOwnGroups(r, [&](const Group& g, std::string_view) {
            if (textGroup(a, g))
                return;
            switch (g.code) {
            case 2: AcDbInternals::setTag(a, d.names.intern(text(g.value))); break;
            case 70: AcDbInternals::flags(a) = ParseInt(g); break;
            case 73: AcDbInternals::fieldLength(a) = static_cast<Adesk::UInt16>(ParseInt(g)); break;
            default: break;
            }
        });
    }

    void definition(AcDbAttributeDefinition& a, const Record& r)
    {
        ForOwnGroups(r, [&](const Group& g, std::string_view) {
            if (textGroup(a, g))
                return;
            switch (g.code) {
            case 2: AcDbInternals::setTag(a, d.names.intern(text(g.value))); break;
            case 3: AcDbInternals::prompt(a) = text(g.value); break;
            case 70: AcDbInternals::flags(a) = ParseInt(g); break;
            case 73: AcDbInternals::fieldLength(a) = static_cast<Adesk::UInt16>(ParseInt(g)); break;
            default: break;
            }
        });
    }

    void objects()
    {
        Record r;
        for (;;) {
            readRecord(r);
            if (r.type == "ENDSEC")
                return;
            add<AcDbObject>(r);
            if (r.type != "LAYOUT")
                continue;
            AcDbDatabase::Imp::Layout layout;
            ForOwnGroups(r, [&](const Group& g, std::string_view subclass) {
                if (subclass != "AcDbLayout")
                    return;
                if (g.code == 1)
                    layout.name = text(g.value);
                else if (g.code == 330)
                    layout.blockHandle = ParseHandle(g);
            });
            d.layouts.push_back(std::move(layout));
        }
    }

    void finish()
    {
        blockTable();
        space(false);
        space(true);
        if (d.layerTable.isNull())
            d.layerTable = d.addSynthetic<AcDbLayerTable>("TABLE")->objectId();
        if (!d.findLayer("0")) {
            auto* zero = d.addSynthetic<AcDbLayerTableRecord>("LAYER");
            AcDbInternals::name(*zero) = "0";
            auto& table = *static_cast<AcDbSymbolTable*>(d.layerTable.stub()->object);
            AcDbInternals::owner(*zero) = table.objectId();
            AcDbInternals::records(table).push_back(zero->objectId());
            d.layerByKey.emplace("0", zero->objectId());
        }
        for (AcDbObjectId id : AcDbInternals::records(*static_cast<AcDbSymbolTable*>(d.blockTable.stub()->object))) {
            auto& record = *static_cast<AcDbBlockTableRecord*>(id.stub()->object);
            const std::string& name = AcDbInternals::name(record);
            AcDbInternals::layout(record) = DxfNamesEqual(name, "*Model_Space")
                || (name.size() >= 12 && DxfNamesEqual(std::string_view(name).substr(0, 12), "*Paper_Space"));
        }
        for (auto& [ref, rawName] : m_pendingReferences) {
            auto it = d.blockByKey.find(DxfNameKey(text(rawName)));
            if (it == d.blockByKey.end())
                continue; // a reference to a missing block keeps a null block id
            AcDbInternals::block(*ref) = it->second;
            AcDbInternals::references(*static_cast<AcDbBlockTableRecord*>(it->second.stub()->object))
                .push_back(ref->objectId());
        }
        // Objects the file gave no handle get one above every handle in use;
        // they are never written, so the file's handles stay as they were.
        std::uint64_t next = d.handseed;
        for (const AcDbStub& stub : d.stubs) // those with a handle are the ones in byHandle
            if (stub.handle != 0 && stub.handle != UINT64_MAX)
                next = std::max(next, stub.handle + 1);
        for (std::size_t i = 0; i < d.stubs.size(); ++i)
            if (d.stubs[i].handle == 0 && d.stubs[i].object != d.header) {
                d.stubs[i].handle = next++;
                d.byHandle.insert(i);
            }
    }

    AcDbDatabase::Imp& d;
    Tokenizer tok;
    Group m_ahead;
    std::size_t m_aheadBegin = 0, m_aheadEnd = 0;
    bool m_haveAhead = false;
    AcDbBlockReference* m_insert = nullptr;
    AcDbEntity* m_polyline = nullptr;
    std::vector<std::pair<AcDbBlockReference*, std::string_view>> m_pendingReferences;
    std::unordered_set<AcDbBlockTableRecord*> m_defined;
    std::uint64_t m_records = 0;
};

} // namespace

bool DxfRead(AcDbDatabase::Imp& d, std::string& error)
{
    try {
        Loader loader(d);
        loader.run();
        return true;
    } catch (const DxfError& e) {
        // The message quotes the file's own bytes, which may be anything.
        error = TextForTerminal(d.sourceName + ": line " + std::to_string(e.line) + ": " + e.what);
    } catch (const std::bad_alloc&) {
        error = TextForTerminal(d.sourceName) + ": out of memory";
    }
    return false;
}
