// The drawing host: working database, layout manager, implied selection and
// selection sets.
#include "drawing_host.h"

#include "leak_tally.h"

#include "acdbads.h"
#include "acdblmgr.h"
#include "acedads.h"
#include "adscodes.h"
#include "dbapserv.h"
#include "dbimpl.h"

#include <map>
#include <sstream>

struct DrawingHost::State {
    AcDbDatabase* database = nullptr;
    std::vector<AcDbObjectId> implied;
    std::map<std::intptr_t, std::vector<AcDbObjectId>> sets;
    std::intptr_t nextSet = 1;
    ReadLine readLine;
    WriteText writeText;
};

namespace {
DrawingHost* g_current = nullptr; // the installed host, as the process has one host
AcDbHostApplicationServices g_services;
AcDbLayoutManager g_layoutManager;
} // namespace

DrawingHost::DrawingHost()
    : m_state(std::make_unique<State>())
{
}

DrawingHost::~DrawingHost()
{
    if (g_current == this)
        g_current = nullptr;
}

void DrawingHost::install() { g_current = this; }
void DrawingHost::setWorkingDatabase(AcDbDatabase* database) { m_state->database = database; }
AcDbDatabase* DrawingHost::workingDatabase() const { return m_state->database; }
void DrawingHost::setImpliedSelection(std::vector<AcDbObjectId> ids) { m_state->implied = std::move(ids); }
void DrawingHost::setPromptIO(ReadLine readLine, WriteText writeText)
{
    m_state->readLine = std::move(readLine);
    m_state->writeText = std::move(writeText);
}
int DrawingHost::openSelectionSetCount() const { return static_cast<int>(m_state->sets.size()); }

// --- services

AcDbHostApplicationServices* acdbHostApplicationServices() { return &g_services; }

AcDbDatabase* AcDbHostApplicationServices::workingDatabase() const
{
    return g_current ? g_current->workingDatabase() : nullptr;
}

AcDbLayoutManager* AcDbHostApplicationServices::layoutManager() const { return &g_layoutManager; }

Acad::ErrorStatus AcDbLayoutManager::getActiveLayoutName(char*& name, bool allowModel, const AcDbDatabase* database)
{
    name = nullptr;
    if (!database)
        database = g_services.workingDatabase();
    if (!database)
        return Acad::eNoDatabase;
    const AcDbDatabase::Imp& d = database->imp();
    if (d.tilemode && allowModel) {
        name = DxfNewString("Model");
        return Acad::eOk;
    }
    // The paper-space layout whose block is the active paper space.
    std::uint64_t paperHandle = d.paperSpace.isNull() ? 0 : d.paperSpace.stub()->handle;
    for (const auto& layout : d.layouts)
        if (layout.blockHandle == paperHandle && paperHandle != 0) {
            name = DxfNewString(layout.name);
            return Acad::eOk;
        }
    // Drawings without layout objects (R12) have the one default layout.
    name = DxfNewString("Layout1");
    return Acad::eOk;
}

// --- selection sets

namespace {

bool WildMatch(std::string_view pattern, std::string_view name)
{
    if (pattern.empty())
        return name.empty();
    if (pattern[0] == '*')
        return WildMatch(pattern.substr(1), name) || (!name.empty() && WildMatch(pattern, name.substr(1)));
    if (name.empty())
        return false;
    bool same = pattern[0] == '?' || std::tolower(static_cast<unsigned char>(pattern[0]))
                                         == std::tolower(static_cast<unsigned char>(name[0]));
    return same && WildMatch(pattern.substr(1), name.substr(1));
}

// False when the filter holds items other than entity types.
bool PassesFilter(const resbuf* filter, const AcDbObjectId& id, bool& supported)
{
    supported = true;
    bool anyType = false, matched = false;
    for (const resbuf* rb = filter; rb; rb = rb->rbnext) {
        if (rb->restype != 0 || !rb->resval.rstring) {
            supported = false;
            return false;
        }
        anyType = true;
        std::string_view types(rb->resval.rstring);
        std::string_view type = id.stub()->object->dxfName();
        std::size_t start = 0;
        while (start <= types.size()) {
            std::size_t comma = types.find(',', start);
            std::string_view one = types.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
            matched = matched || WildMatch(one, type);
            if (comma == std::string_view::npos)
                break;
            start = comma + 1;
        }
    }
    return !anyType || matched;
}

// The interactive pick: handles typed line by line until an empty line.
int PickInteractively(DrawingHost::State& s, std::vector<AcDbObjectId>& picked)
{
    AcDbDatabase* db = g_services.workingDatabase();
    if (!s.readLine)
        return RTERROR;
    for (;;) {
        if (s.writeText)
            s.writeText("Select objects: ");
        std::string line;
        if (!s.readLine(line))
            return RTCAN;
        std::istringstream words(line);
        std::string word;
        bool any = false;
        int found = 0;
        while (words >> word) {
            any = true;
            AcDbObjectId id;
            if (db && db->getAcDbObjectId(id, false, AcDbHandle(word.c_str())) == Acad::eOk && !id.isErased()
                && id.stub()->object->ownerId() == db->currentSpaceId()) {
                bool duplicate = false;
                for (AcDbObjectId p : picked)
                    duplicate = duplicate || p == id;
                if (!duplicate) {
                    picked.push_back(id);
                    ++found;
                }
            }
        }
        if (!any)
            return RTNORM;
        if (s.writeText)
            s.writeText(std::to_string(found) + " found\n");
    }
}

std::vector<AcDbObjectId>* FindSet(const ads_name ss)
{
    if (!g_current || !ss)
        return nullptr;
    auto& sets = g_current->state().sets;
    auto it = sets.find(ss[0]);
    return it == sets.end() ? nullptr : &it->second;
}

} // namespace

int acedSSGet(const char* mode, const void*, const void*, const resbuf* filter, ads_name ss)
{
    if (!g_current || !ss)
        return RTERROR;
    DrawingHost::State& s = g_current->state();
    std::string_view m = mode ? mode : "";
    std::vector<AcDbObjectId> candidates;
    if (m == "_I" || m == "I" || m == "_i" || m == "i") {
        // Taking the implied selection clears it.
        candidates.swap(s.implied);
    } else if (m.empty()) {
        int rc = PickInteractively(s, candidates);
        if (rc != RTNORM)
            return rc;
    } else {
        return RTERROR;
    }
    std::vector<AcDbObjectId> kept;
    for (AcDbObjectId id : candidates) {
        if (id.isNull() || id.isErased())
            continue;
        bool supported = true;
        bool passes = PassesFilter(filter, id, supported);
        if (!supported)
            return RTERROR;
        if (passes)
            kept.push_back(id);
    }
    if (kept.empty())
        return RTERROR;
    std::intptr_t name = s.nextSet++;
    s.sets.emplace(name, std::move(kept));
    AddToTally(Tally::SelectionSets, 1);
    ss[0] = name;
    ss[1] = 0;
    return RTNORM;
}

int acedSSFree(const ads_name ss)
{
    if (!FindSet(ss))
        return RTERROR;
    g_current->state().sets.erase(ss[0]);
    AddToTally(Tally::SelectionSets, -1);
    return RTNORM;
}

int acedSSLength(const ads_name ss, long* length)
{
    auto* set = FindSet(ss);
    if (!set || !length)
        return RTERROR;
    *length = static_cast<long>(set->size());
    return RTNORM;
}

int acedSSName(const ads_name ss, long index, ads_name entity)
{
    auto* set = FindSet(ss);
    if (!set || !entity || index < 0 || index >= static_cast<long>(set->size()))
        return RTERROR;
    entity[0] = static_cast<std::intptr_t>((*set)[static_cast<std::size_t>(index)].asOldId());
    entity[1] = 0;
    return RTNORM;
}

Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name entity)
{
    id.setNull();
    if (!entity || entity[0] == 0)
        return Acad::eInvalidAdsName;
    id.setFromOldId(entity[0]);
    return Acad::eOk;
}
