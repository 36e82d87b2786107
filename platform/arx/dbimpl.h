// Internal to the drawing database stand-in: the database's state, the
// object stubs behind ids, and the group lists of changed records.
#pragma once
#include "db_arena.h"
#include "db_handle_table.h"
#include "db_names.h"
#include "dbdatabase.h"
#include "dbents.h"
#include "dbmain.h"
#include "dbsymtb.h"
#include "dxf_text.h"

#include <array>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class AcDbStub {
public:
    AcDbObject* object = nullptr;
    AcDbDatabase* database = nullptr;
    std::uint64_t handle = 0;
    // A copy of the object's erased flag, so that AcDbObjectId::isErased,
    // asked for every id a walk meets, reads the stub it already holds
    // instead of following it to the object as well.
    bool erased = false;
};

// One group of a changed record. A group as read points into the source
// text and is written back as its very lines; only a group that is set or
// added holds a text of its own. So the first change of a record copies no
// value, and the groups nobody changed keep their spelling byte for byte.
struct DxfGroup {
    int code = 0;
    std::string_view lines; // the code and value lines as read, line ends included; empty once set
    std::string set;        // the value given by a change

    DxfGroup() = default;
    DxfGroup(int groupCode, std::string value) : code(groupCode), set(std::move(value)) {}
    DxfGroup(int groupCode, std::string_view text) : code(groupCode), lines(text) {}

    bool changed() const { return lines.empty(); }
    std::string_view value() const
    {
        if (changed())
            return set;
        // The second line, without its line end.
        std::string_view rest = lines.substr(lines.find('\n') + 1);
        while (!rest.empty() && (rest.back() == '\n' || rest.back() == '\r'))
            rest.remove_suffix(1);
        return rest;
    }
    void assign(std::string value)
    {
        set = std::move(value);
        lines = {};
    }
};

// A record's groups, parsed from its text when it is first changed.
struct DxfGroupList {
    std::vector<DxfGroup> groups;
};

struct AcDbDatabase::Imp {
    Imp() = default;
    Imp(const Imp&) = delete;
    Imp& operator=(const Imp&) = delete;
    // Ends the arena's objects before the arena and the stubs go.
    ~Imp();

    AcDbDatabase* self = nullptr;
    DbArena arena; // the objects; each has a stub, through which ~Imp ends it
    std::string source; // the text that was read; unchanged records are written from it
    std::string sourceName;
    std::string lastError;
    std::string lineEnding = "\r\n";
    std::deque<AcDbStub> stubs;
    DbHandleTable<std::deque<AcDbStub>> byHandle{stubs};
    DbNames names; // layer, style and tag names, one copy each
    std::uint64_t handseed = 1;
    AcDbObject* header = nullptr; // the HEADER section's groups, when there is one (in the arena)

    AcDbObjectId blockTable, layerTable, modelSpace, paperSpace;
    std::unordered_map<std::string, AcDbObjectId> blockByKey, layerByKey; // keys: DxfNameKey
    struct Layout {
        std::string name;
        std::uint64_t blockHandle = 0;
    };
    std::vector<Layout> layouts;

    std::string acadver = "AC1009";
    std::string codepageName = "ANSI_1252";
    DxfCodec codec;
    Adesk::Int16 lunits = 2, luprec = 4, aunits = 0, auprec = 0, unitmode = 0;
    Adesk::UInt8 dimzin = 0;
    bool tilemode = true;

    std::vector<AcDbObject*> dirty;
    std::uint64_t changes = 0; // every change made, so that a saver can tell a new one
    int openCount = 0;
    struct FaultPlan {
        int remaining = 0;
        Acad::ErrorStatus status = Acad::eOk;
    };
    std::array<FaultPlan, 4> faults{};

    // True (with `status` set) when this call of `kind` is the one to fail.
    bool fault(AcDbFault kind, Acad::ErrorStatus& status);
    // The database's own DXF reader, for the control face's ReadDxfText.
    static Acad::ErrorStatus ReadText(AcDbDatabase& database, std::string text, const std::string& sourceName);
    AcDbStub* newStub(AcDbObject* object, std::uint64_t handle);
    // A new object of kind T in the arena, with a stub of its own.
    template <class T>
    T* create(std::uint64_t handle);
    // Adds an object without a record in the file (model space of an R12
    // drawing, say); it gets a handle that is never written.
    template <class T>
    T* addSynthetic(const char* dxfName);
    AcDbBlockTableRecord* findBlock(std::string_view name) const;
    AcDbLayerTableRecord* findLayer(std::string_view name) const;
};

// Access to the objects' private parts for the database's own code.
struct AcDbInternals {
    static AcDbStub*& stub(AcDbObject& o) { return o.m_stub; }
    static AcDbObjectId& owner(AcDbObject& o) { return o.m_owner; }
    static std::string_view& dxfName(AcDbObject& o) { return o.m_dxfName; }
    static void setSpan(AcDbObject& o, std::size_t begin, std::size_t end)
    {
        o.m_spanBegin = begin;
        o.m_spanLength = static_cast<std::uint32_t>(end - begin);
    }
    static std::size_t spanBegin(const AcDbObject& o) { return o.m_spanBegin; }
    static std::size_t spanEnd(const AcDbObject& o) { return o.m_spanBegin + o.m_spanLength; }
    static bool isDirty(const AcDbObject& o) { return o.m_dirty; }
    static DxfGroupList* groups(const AcDbObject& o) { return o.m_groups.get(); }
    static void setErased(AcDbObject& o, bool erased)
    {
        o.m_erased = erased;
        if (o.m_stub)
            o.m_stub->erased = erased;
    }
    // Inline: every open, close and setter asks it.
    static AcDbDatabase::Imp* imp(const AcDbObject& o)
    {
        return o.m_stub && o.m_stub->database ? &o.m_stub->database->imp() : nullptr;
    }
    // Records one open in `mode` (no erased or fault checks).
    static Acad::ErrorStatus open(AcDbObject& o, AcDb::OpenMode mode);
    // Opens `id` with the erased and fault checks, requiring `cls` when given.
    static Acad::ErrorStatus openChecked(AcDbObject*& out, AcDbObjectId id, const AcRxClass* cls,
                                         AcDb::OpenMode mode, bool openErased);

    // The record's groups for changing it; marks it to be written from them.
    static DxfGroupList& edit(AcDbObject& o);
    // Sets the first group `code` of the record's own data (not embedded
    // objects, extended data or application groups), within the subclass
    // section named by one of `subclasses` when the record has subclass
    // markers. A missing group is added after the nearest group that comes
    // before it in `order`.
    static void setGroup(AcDbObject& o, std::initializer_list<const char*> subclasses,
                         std::initializer_list<int> order, int code, std::string value);
    // Header variable `name` ("$LUNITS"), group `code`.
    static void setHeaderVariable(AcDbDatabase::Imp& imp, const char* name, int code, std::string value);

    // Shared names: read as text, set to the database's copy (DbNames).
    static const std::string& layer(const AcDbEntity& e) { return e.m_layer ? *e.m_layer : NoName(); }
    static void setLayer(AcDbEntity& e, const std::string* name) { e.m_layer = name; }
    static const std::string& style(const AcDbText& t) { return t.m_style ? *t.m_style : StandardStyle(); }
    static void setStyle(AcDbText& t, const std::string* name) { t.m_style = name; }
    static const std::string& tag(const AcDbAttribute& a) { return a.m_tag ? *a.m_tag : NoName(); }
    static void setTag(AcDbAttribute& a, const std::string* name) { a.m_tag = name; }
    static const std::string& tag(const AcDbAttributeDefinition& a) { return a.m_tag ? *a.m_tag : NoName(); }
    static void setTag(AcDbAttributeDefinition& a, const std::string* name) { a.m_tag = name; }
    static const std::string& NoName()
    {
        static const std::string none;
        return none;
    }
    static const std::string& StandardStyle()
    {
        static const std::string standard = "STANDARD";
        return standard;
    }
    static std::string& name(AcDbSymbolTableRecord& r) { return r.m_name; }
    static std::vector<AcDbObjectId>& records(AcDbSymbolTable& t) { return t.m_records; }
    static std::vector<AcDbObjectId>& entities(AcDbBlockTableRecord& b) { return b.m_entities; }
    static std::vector<AcDbObjectId>& references(AcDbBlockTableRecord& b) { return b.m_references; }
    static AcGePoint3d& origin(AcDbBlockTableRecord& b) { return b.m_origin; }
    static int& blockFlags(AcDbBlockTableRecord& b) { return b.m_blockFlags; }
    static bool& layout(AcDbBlockTableRecord& b) { return b.m_layout; }

    static AcDbText& text(AcDbText& t) { return t; }
    static AcGePoint3d& position(AcDbText& t) { return t.m_position; }
    // A text's seldom-set values, made when first set (AcDbText::Uncommon).
    static AcDbText::Uncommon& uncommon(AcDbText& t)
    {
        if (!t.m_uncommon)
            t.m_uncommon = std::make_unique<AcDbText::Uncommon>();
        return *t.m_uncommon;
    }
    static AcGePoint3d& alignment(AcDbText& t) { return uncommon(t).alignment; }
    static bool& hasAlignment(AcDbText& t) { return uncommon(t).hasAlignment; }
    static AcGeVector3d& normal(AcDbText& t) { return uncommon(t).normal; }
    static double& thickness(AcDbText& t) { return uncommon(t).thickness; }
    static double& oblique(AcDbText& t) { return uncommon(t).oblique; }
    static AcGePoint3d alignmentOf(const AcDbText& t) { return t.m_uncommon ? t.m_uncommon->alignment : AcGePoint3d(); }
    static bool hasAlignmentOf(const AcDbText& t) { return t.m_uncommon && t.m_uncommon->hasAlignment; }
    static double& rotation(AcDbText& t) { return t.m_rotation; }
    static double& height(AcDbText& t) { return t.m_height; }
    static double& widthFactor(AcDbText& t) { return t.m_widthFactor; }
    static int& generation(AcDbText& t) { return t.m_generation; }
    static int& hmode(AcDbText& t) { return t.m_hmode; }
    static int& vmode(AcDbText& t) { return t.m_vmode; }
    static std::string& textString(AcDbText& t) { return t.m_text; }
    static int& flags(AcDbAttribute& a) { return a.m_flags; }
    static Adesk::UInt16& fieldLength(AcDbAttribute& a) { return a.m_fieldLength; }
    static std::string& prompt(AcDbAttributeDefinition& a) { return a.m_prompt; }
    static int& flags(AcDbAttributeDefinition& a) { return a.m_flags; }
    static Adesk::UInt16& fieldLength(AcDbAttributeDefinition& a) { return a.m_fieldLength; }

    static AcDbObjectId& block(AcDbBlockReference& r) { return r.m_block; }
    static AcGePoint3d& position(AcDbBlockReference& r) { return r.m_position; }
    static AcGeScale3d& scale(AcDbBlockReference& r) { return r.m_scale; }
    static double& rotation(AcDbBlockReference& r) { return r.m_rotation; }
    static AcGeVector3d& normal(AcDbBlockReference& r) { return r.m_normal; }
    static std::vector<AcDbObjectId>& attributes(AcDbBlockReference& r) { return r.m_attributes; }
    static AcDbObjectId& seqend(AcDbBlockReference& r) { return r.m_seqend; }
    static Adesk::UInt16& columns(AcDbMInsertBlock& m) { return m.m_columns; }
    static Adesk::UInt16& rows(AcDbMInsertBlock& m) { return m.m_rows; }
    static double& columnSpacing(AcDbMInsertBlock& m) { return m.m_columnSpacing; }
    static double& rowSpacing(AcDbMInsertBlock& m) { return m.m_rowSpacing; }

    // Object kinds the loader creates (their constructors are protected).
    template <class T>
    static T* construct(void* where)
    {
        return new (where) T();
    }
};

template <class T>
T* AcDbDatabase::Imp::create(std::uint64_t handle)
{
    T* object = AcDbInternals::construct<T>(arena.allocate(sizeof(T), alignof(T)));
    newStub(object, handle);
    return object;
}

// Shortest text that reads back as the same double, always with a point.
std::string DxfFormatDouble(double value);
// Case-insensitive comparison of names (ASCII letters; other bytes exact).
bool DxfNamesEqual(std::string_view a, std::string_view b);
std::string DxfNameKey(std::string_view name);
// A copy made with new[] for handing texts out.
char* DxfNewString(std::string_view text);
