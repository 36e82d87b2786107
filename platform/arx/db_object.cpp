// Database objects: ids, handles, opening and closing, erasing, and the
// group lists through which changed records are saved.
#include "acutmem.h"

#include "leak_tally.h"
#include "dbimpl.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>

AcRxClass* AcDbObject::desc()
{
    static AcRxClass c("AcDbObject", nullptr);
    return &c;
}
GW_DEFINE_MEMBERS(AcDbEntity, AcDbObject)

// --- helpers shared by the database's files

std::string DxfFormatDouble(double value)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".eEni") == std::string::npos)
        text += ".0";
    return text;
}

bool DxfNamesEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string DxfNameKey(std::string_view name)
{
    std::string key(name);
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

char* DxfNewString(std::string_view text)
{
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

void acutDelString(char*& text)
{
    delete[] text;
    text = nullptr;
}

// --- handles and ids

AcDbHandle& AcDbHandle::operator=(const char* hexText)
{
    m_value = 0;
    if (!hexText)
        return *this;
    std::size_t length = std::strlen(hexText);
    if (length == 0 || length > 16)
        return *this;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < length; ++i) {
        char c = hexText[i];
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0)
            return *this;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    m_value = value;
    return *this;
}

bool AcDbHandle::getIntoAsciiBuffer(char* buffer) const
{
    auto result = std::to_chars(buffer, buffer + 16, m_value, 16);
    *result.ptr = '\0';
    for (char* p = buffer; *p; ++p)
        *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    return true;
}

bool AcDbObjectId::isErased() const { return m_stub && m_stub->erased; }
AcDbHandle AcDbObjectId::handle() const
{
    if (!m_stub)
        return AcDbHandle();
    return AcDbHandle(static_cast<Adesk::UInt32>(m_stub->handle), static_cast<Adesk::UInt32>(m_stub->handle >> 32));
}

// --- the database state's own helpers

bool AcDbDatabase::Imp::fault(AcDbFault kind, Acad::ErrorStatus& status)
{
    FaultPlan& plan = faults[static_cast<std::size_t>(kind)];
    if (plan.remaining <= 0 || --plan.remaining > 0)
        return false;
    status = plan.status;
    return true;
}

AcDbStub* AcDbDatabase::Imp::newStub(AcDbObject* object, std::uint64_t handle)
{
    stubs.push_back(AcDbStub{object, self, handle, object->isErased()});
    AcDbStub* stub = &stubs.back();
    AcDbInternals::stub(*object) = stub;
    return stub;
}

AcDbDatabase::Imp::~Imp()
{
    for (AcDbStub& stub : stubs)
        if (stub.object)
            stub.object->~AcDbObject();
}

// --- objects

AcDbObject::~AcDbObject() = default;

AcDbObjectId AcDbObject::objectId() const { return AcDbObjectId(m_stub); }

void AcDbObject::getAcDbHandle(AcDbHandle& handle) const { handle = objectId().handle(); }

Acad::ErrorStatus AcDbObject::close()
{
    AcDbDatabase::Imp* imp = AcDbInternals::imp(*this);
    if (m_writer)
        m_writer = false;
    else if (m_readers > 0)
        --m_readers;
    else
        return Acad::eNotOpenForRead;
    if (imp)
        --imp->openCount;
    AddToTally(Tally::DrawingObjects, -1);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::assertWriteEnabled() const
{
    return m_writer ? Acad::eOk : Acad::eNotOpenForWrite;
}

static void MarkChanged(AcDbObject& object)
{
    AcDbDatabase::Imp* imp = AcDbInternals::imp(object);
    if (imp && !AcDbInternals::isDirty(object))
        imp->dirty.push_back(&object);
}

Acad::ErrorStatus AcDbObject::erase(bool erasing)
{
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (m_erased == erasing)
        return erasing ? Acad::eWasErased : Acad::eOk;
    AcDbInternals::setErased(*this, erasing);
    MarkChanged(*this);
    if (AcDbDatabase::Imp* imp = AcDbInternals::imp(*this))
        ++imp->changes;
    m_dirty = true;
    // A reference's attributes and end marker go (and come back) with it.
    if (auto* ref = AcDbBlockReference::cast(this)) {
        std::vector<AcDbObjectId> subs = AcDbInternals::attributes(*ref);
        subs.push_back(AcDbInternals::seqend(*ref));
        for (AcDbObjectId id : subs) {
            if (id.isNull())
                continue;
            AcDbObject* sub = id.stub()->object;
            AcDbInternals::setErased(*sub, erasing);
            MarkChanged(*sub);
            sub->m_dirty = true;
        }
    }
    return Acad::eOk;
}

// --- opening

static Acad::ErrorStatus OpenObject(AcDbObject* object, AcDb::OpenMode mode, bool openErased)
{
    AcDbDatabase::Imp* imp = AcDbInternals::imp(*object);
    Acad::ErrorStatus es = Acad::eOk;
    if (imp && imp->fault(AcDbFault::Open, es))
        return es;
    if (object->isErased() && !openErased)
        return Acad::eWasErased;
    return AcDbInternals::open(*object, mode);
}

Acad::ErrorStatus AcDbInternals::open(AcDbObject& o, AcDb::OpenMode mode)
{
    if (mode == AcDb::kForWrite) {
        if (o.m_writer)
            return Acad::eWasOpenForWrite;
        if (o.m_readers > 0)
            return Acad::eWasOpenForRead;
        o.m_writer = true;
    } else if (mode == AcDb::kForRead) {
        if (o.m_writer)
            return Acad::eWasOpenForWrite;
        if (o.m_readers >= 256)
            return Acad::eAtMaxReaders;
        ++o.m_readers;
    } else {
        return Acad::eInvalidOpenState;
    }
    if (AcDbDatabase::Imp* imp = AcDbInternals::imp(o))
        ++imp->openCount;
    AddToTally(Tally::DrawingObjects, 1);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbInternals::openChecked(AcDbObject*& out, AcDbObjectId id, const AcRxClass* cls,
                                             AcDb::OpenMode mode, bool openErased)
{
    out = nullptr;
    if (id.isNull())
        return Acad::eNullObjectId;
    AcDbObject* object = id.stub()->object;
    if (!object)
        return Acad::eNullObjectPointer;
    if (Acad::ErrorStatus es = OpenObject(object, mode, openErased); es != Acad::eOk)
        return es;
    if (cls && !object->isKindOf(cls)) {
        object->close();
        return cls == AcDbEntity::desc() ? Acad::eNotAnEntity : Acad::eNotThatKindOfClass;
    }
    out = object;
    return Acad::eOk;
}

Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode, bool openErased)
{
    return AcDbInternals::openChecked(object, id, nullptr, mode, openErased);
}

Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& entity, AcDbObjectId id, AcDb::OpenMode mode, bool openErased)
{
    AcDbObject* object = nullptr;
    Acad::ErrorStatus es = AcDbInternals::openChecked(object, id, AcDbEntity::desc(), mode, openErased);
    entity = static_cast<AcDbEntity*>(object);
    return es;
}

Acad::ErrorStatus acdbOpenObject(AcDbObject*& object, AcDbObjectId id, const AcRxClass* cls, AcDb::OpenMode mode,
                                 bool openErased)
{
    Acad::ErrorStatus es = AcDbInternals::openChecked(object, id, cls, mode, openErased);
    if (es == Acad::eNotAnEntity)
        es = Acad::eNotThatKindOfClass;
    return es;
}

// --- the object iterator

void AcDbObjectIterator::start(bool atEnd)
{
    m_index = atEnd ? static_cast<long>(m_ids.size()) - 1 : 0;
}

void AcDbObjectIterator::step(bool backwards, bool skipErasedObjects)
{
    do {
        m_index += backwards ? -1 : 1;
    } while (skipErasedObjects && !done() && m_ids[static_cast<std::size_t>(m_index)].isErased());
}

// --- entities

char* AcDbEntity::layer() const { return DxfNewString(AcDbInternals::layer(*this)); }

Acad::ErrorStatus AcDbEntity::setLayer(const char* newLayer, Adesk::Boolean doSubents)
{
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    AcDbDatabase::Imp* imp = AcDbInternals::imp(*this);
    if (!imp)
        return Acad::eNotInDatabase;
    Acad::ErrorStatus es = Acad::eOk;
    if (imp->fault(AcDbFault::Setter, es))
        return es;
    if (!newLayer || !*newLayer)
        return Acad::eInvalidInput;
    AcDbLayerTableRecord* record = imp->findLayer(newLayer);
    if (!record || record->isErased())
        return Acad::eKeyNotFound;
    const std::string& name = AcDbInternals::name(*record);
    std::vector<AcDbEntity*> targets{this};
    if (auto* ref = AcDbBlockReference::cast(this); ref && doSubents) {
        for (AcDbObjectId id : AcDbInternals::attributes(*ref))
            targets.push_back(static_cast<AcDbEntity*>(id.stub()->object));
        if (!AcDbInternals::seqend(*ref).isNull())
            targets.push_back(static_cast<AcDbEntity*>(AcDbInternals::seqend(*ref).stub()->object));
    }
    for (AcDbEntity* target : targets) {
        if (AcDbInternals::layer(*target) == name)
            continue;
        target->m_layer = imp->names.intern(name);
        AcDbInternals::setGroup(*target, {"AcDbEntity"}, {5, 330, 67, 410, 8}, 8, DxfEncodeText(name, imp->codec));
    }
    return Acad::eOk;
}

// --- changed records

DxfGroupList& AcDbInternals::edit(AcDbObject& o)
{
    if (!o.m_groups) {
        auto list = std::make_unique<DxfGroupList>();
        AcDbDatabase::Imp* imp = AcDbInternals::imp(o);
        std::string_view text;
        if (imp && o.m_spanLength > 0)
            text = std::string_view(imp->source).substr(o.m_spanBegin, o.m_spanLength);
        // The span holds whole lines, code then value: one group per two lines.
        list->groups.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) / 2 + 1);
        std::size_t pos = 0;
        auto nextLine = [&](std::string_view& line) {
            if (pos >= text.size())
                return false;
            std::size_t end = text.find('\n', pos);
            if (end == std::string_view::npos)
                end = text.size();
            line = text.substr(pos, end - pos);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            pos = end + 1;
            return true;
        };
        std::string_view codeLine, valueLine;
        for (std::size_t start = pos; nextLine(codeLine) && nextLine(valueLine); start = pos) {
            int code = 0;
            std::size_t first = codeLine.find_first_not_of(" \t");
            std::size_t last = codeLine.find_last_not_of(" \t");
            if (first != std::string_view::npos)
                std::from_chars(codeLine.data() + first, codeLine.data() + last + 1, code);
            list->groups.emplace_back(code, text.substr(start, std::min(pos, text.size()) - start));
        }
        o.m_groups = std::move(list);
    }
    if (!o.m_dirty) {
        o.m_dirty = true;
        if (AcDbDatabase::Imp* imp = AcDbInternals::imp(o))
            imp->dirty.push_back(&o);
    }
    return *o.m_groups;
}

void AcDbInternals::setGroup(AcDbObject& o, std::initializer_list<const char*> subclasses,
                             std::initializer_list<int> order, int code, std::string value)
{
    std::vector<DxfGroup>& groups = edit(o).groups;
    if (AcDbDatabase::Imp* imp = AcDbInternals::imp(o))
        ++imp->changes;
    // The record's own data ends where embedded objects or extended data begin.
    std::size_t mainEnd = groups.size();
    bool hasMarkers = false;
    for (std::size_t i = 1; i < groups.size(); ++i) {
        if (groups[i].code == 101 || groups[i].code >= 1000) {
            mainEnd = i;
            break;
        }
        if (groups[i].code == 100)
            hasMarkers = true;
    }
    std::size_t segBegin = groups.empty() ? 0 : 1, segEnd = mainEnd;
    if (hasMarkers) {
        for (std::size_t i = 1; i < mainEnd; ++i) {
            if (groups[i].code != 100)
                continue;
            bool match = false;
            for (const char* name : subclasses)
                match = match || groups[i].value() == name;
            if (!match)
                continue;
            segBegin = i + 1;
            segEnd = mainEnd;
            for (std::size_t j = i + 1; j < mainEnd; ++j)
                if (groups[j].code == 100) {
                    segEnd = j;
                    break;
                }
            break;
        }
    }
    // Application groups ("102 {ACAD_REACTORS" ... "102 }") are not the
    // record's own. Whether a group lies in one depends only on the 102
    // groups before it, so one walk from the record's start tells.
    bool app = false;
    auto inApp = [&app](const DxfGroup& group) {
        if (group.code == 102) {
            const std::string_view text = group.value();
            app = !text.empty() && text[0] == '{';
            return true;
        }
        return app;
    };
    const auto rank = std::find(order.begin(), order.end(), code);
    std::size_t insertAt = segBegin;
    for (std::size_t i = 0; i < segEnd; ++i) {
        const bool skipped = inApp(groups[i]);
        if (i < segBegin || skipped)
            continue;
        if (groups[i].code == code) {
            groups[i].assign(std::move(value));
            return;
        }
        // A missing group goes after the last one that comes before it in `order`.
        if (std::find(order.begin(), rank, groups[i].code) != rank)
            insertAt = i + 1;
    }
    groups.insert(groups.begin() + static_cast<long>(insertAt), DxfGroup{code, std::move(value)});
}

void AcDbInternals::setHeaderVariable(AcDbDatabase::Imp& imp, const char* name, int code, std::string value)
{
    if (!imp.header)
        return;
    std::vector<DxfGroup>& groups = edit(*imp.header).groups;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].code != 9 || groups[i].value() != name)
            continue;
        for (std::size_t j = i + 1; j < groups.size() && groups[j].code != 9; ++j)
            if (groups[j].code == code) {
                groups[j].assign(std::move(value));
                return;
            }
        groups.insert(groups.begin() + static_cast<long>(i) + 1, DxfGroup{code, std::move(value)});
        return;
    }
    groups.push_back(DxfGroup{9, std::string(name)});
    groups.push_back(DxfGroup{code, std::move(value)});
}
