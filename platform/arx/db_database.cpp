// The database: loading, saving, handles, tables, header variables,
// open-object accounting and fault injection.
#include "dbimpl.h"
#include "dos_path.h"
#include "dxf_reader.h"
#include "file_replace.h"
#include "stand_in_progress.h"
#include "text_for_terminal.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Larger drawings are refused rather than read into memory whole.
constexpr std::size_t kMaxDxfBytes = std::size_t(1) << 30;


// The drawing a new document starts from: R12, layer 0, decimal units.
const char kEmptyDrawing[] = "  0\nSECTION\n  2\nHEADER\n"
                             "  9\n$ACADVER\n  1\nAC1009\n"
                             "  9\n$DWGCODEPAGE\n  3\nANSI_1252\n"
                             "  9\n$HANDSEED\n  5\n20\n"
                             "  9\n$LUNITS\n 70\n2\n  9\n$LUPREC\n 70\n4\n"
                             "  9\n$AUNITS\n 70\n0\n  9\n$AUPREC\n 70\n0\n"
                             "  9\n$UNITMODE\n 70\n0\n  9\n$DIMZIN\n 70\n0\n"
                             "  9\n$TILEMODE\n 70\n1\n"
                             "  0\nENDSEC\n"
                             "  0\nSECTION\n  2\nTABLES\n"
                             "  0\nTABLE\n  2\nLAYER\n 70\n1\n"
                             "  0\nLAYER\n  2\n0\n 70\n0\n 62\n7\n  6\nCONTINUOUS\n"
                             "  0\nENDTAB\n"
                             "  0\nENDSEC\n"
                             "  0\nSECTION\n  2\nBLOCKS\n  0\nENDSEC\n"
                             "  0\nSECTION\n  2\nENTITIES\n  0\nENDSEC\n"
                             "  0\nEOF\n";

std::unique_ptr<AcDbDatabase::Imp> NewImp(AcDbDatabase* self)
{
    auto imp = std::make_unique<AcDbDatabase::Imp>();
    imp->self = self;
    DxfCodecFor(imp->acadver, imp->codepageName, imp->codec);
    return imp;
}

} // namespace

template <class T>
T* AcDbDatabase::Imp::addSynthetic(const char* dxfName)
{
    T* raw = create<T>(0);
    AcDbInternals::dxfName(*raw) = dxfName;
    return raw;
}
template AcDbBlockTable* AcDbDatabase::Imp::addSynthetic<AcDbBlockTable>(const char*);
template AcDbLayerTable* AcDbDatabase::Imp::addSynthetic<AcDbLayerTable>(const char*);
template AcDbBlockTableRecord* AcDbDatabase::Imp::addSynthetic<AcDbBlockTableRecord>(const char*);
template AcDbLayerTableRecord* AcDbDatabase::Imp::addSynthetic<AcDbLayerTableRecord>(const char*);

AcDbBlockTableRecord* AcDbDatabase::Imp::findBlock(std::string_view name) const
{
    auto it = blockByKey.find(DxfNameKey(name));
    return it == blockByKey.end() ? nullptr : static_cast<AcDbBlockTableRecord*>(it->second.stub()->object);
}

AcDbLayerTableRecord* AcDbDatabase::Imp::findLayer(std::string_view name) const
{
    auto it = layerByKey.find(DxfNameKey(name));
    return it == layerByKey.end() ? nullptr : static_cast<AcDbLayerTableRecord*>(it->second.stub()->object);
}

AcDbDatabase::AcDbDatabase(bool buildDefaultDrawing, bool)
    : m_imp(NewImp(this))
{
    if (buildDefaultDrawing)
        readDxfText(kEmptyDrawing, "<new drawing>");
}

AcDbDatabase::~AcDbDatabase() = default;

Acad::ErrorStatus AcDbDatabase::readDxfText(std::string text, const std::string& sourceName)
{
    auto fresh = NewImp(this);
    fresh->source = std::move(text);
    fresh->sourceName = sourceName;
    std::string error;
    Progress().drawingBytes.store(fresh->source.size(), std::memory_order_relaxed);
    if (!DxfRead(*fresh, error)) {
        m_imp->sourceName = sourceName;
        m_imp->lastError = error;
        return Acad::eDxfReadAborted;
    }
    m_imp = std::move(fresh);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::readDxfFile(const char* fileName)
{
    if (!fileName || !*fileName)
        return Acad::eInvalidInput;
    std::string path = UnixPathFromDos(fileName);
    const std::string shown = TextForTerminal(path);
    // O_NONBLOCK: a FIFO given as the drawing must be refused, not waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        int err = errno;
        m_imp->lastError = shown + ": " + std::strerror(err);
        return err == ENOENT ? Acad::eFileNotFound : Acad::eFileAccessErr;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        m_imp->lastError = shown + ": " + std::strerror(errno);
        ::close(fd);
        return Acad::eFileAccessErr;
    }
    std::string text;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
        m_imp->lastError = shown
            + (S_ISDIR(info.st_mode)    ? " is a directory, not a drawing"
                   : S_ISFIFO(info.st_mode) ? " is a FIFO (named pipe), not a drawing"
                                            : " is not a regular file, not a drawing");
        return Acad::eFileAccessErr;
    }
    if (info.st_size > 0 && static_cast<std::size_t>(info.st_size) <= kMaxDxfBytes)
        text.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[1 << 16];
    std::size_t n = 0;
    bool tooLarge = false;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (text.size() + n > kMaxDxfBytes) {
            tooLarge = true;
            break;
        }
        text.append(buffer, n);
    }
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (tooLarge) {
        m_imp->lastError = shown + ": the file is larger than 1 GiB";
        return Acad::eFileAccessErr;
    }
    if (failed) {
        m_imp->lastError = shown + ": read error";
        return Acad::eFileAccessErr;
    }
    return readDxfText(std::move(text), path);
}


Acad::ErrorStatus AcDbDatabase::dxfOut(const char* fileName, int, bool)
{
    if (!fileName || !*fileName)
        return Acad::eInvalidInput;
    std::string path = UnixPathFromDos(fileName);
    std::string error;
    const Imp& imp = *m_imp;
    if (!ReplaceFileKeepingItsMode(path, [&imp](int fd) { return DxfWriteTo(imp, fd); }, error)) {
        m_imp->lastError = TextForTerminal(error);
        return Acad::eFileAccessErr;
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::Imp::ReadText(AcDbDatabase& database, std::string text, const std::string& sourceName)
{
    return database.readDxfText(std::move(text), sourceName);
}

Acad::ErrorStatus ReadDxfText(AcDbDatabase& database, std::string text, const std::string& sourceName)
{
    return AcDbDatabase::Imp::ReadText(database, std::move(text), sourceName);
}
std::string DxfOutText(const AcDbDatabase& database) { return DxfWrite(database.imp()); }
const std::string& DxfErrorMessage(const AcDbDatabase& database) { return database.imp().lastError; }
std::string DxfAcadVersion(const AcDbDatabase& database) { return database.imp().acadver; }
int OpenObjectCount(const AcDbDatabase& database) { return database.imp().openCount; }
std::uint64_t DatabaseChangeCount(const AcDbDatabase& database) { return database.imp().changes; }

void InjectDatabaseFault(AcDbDatabase& database, AcDbFault kind, int nth, Acad::ErrorStatus status)
{
    database.imp().faults[static_cast<std::size_t>(kind)] = AcDbDatabase::Imp::FaultPlan{nth, status};
}

Acad::ErrorStatus AcDbDatabase::getAcDbObjectId(AcDbObjectId& retId, bool createIfNotFound,
                                                const AcDbHandle& objHandle, Adesk::UInt32)
{
    retId.setNull();
    Acad::ErrorStatus es = Acad::eOk;
    if (m_imp->fault(AcDbFault::GetObjectId, es))
        return es;
    if (objHandle.isNull())
        return Acad::eNullHandle;
    AcDbStub* stub = m_imp->byHandle.find(objHandle.value());
    if (!stub)
        return createIfNotFound ? Acad::eNotImplementedYet : Acad::eUnknownHandle;
    retId = AcDbObjectId(stub);
    return Acad::eOk;
}

namespace {

template <class T>
Acad::ErrorStatus OpenTable(AcDbObjectId id, T*& table, AcDb::OpenMode mode)
{
    table = nullptr;
    AcDbObject* object = nullptr;
    Acad::ErrorStatus es = AcDbInternals::openChecked(object, id, T::desc(), mode, false);
    if (es == Acad::eNotAnEntity)
        es = Acad::eNotThatKindOfClass;
    table = static_cast<T*>(object);
    return es;
}

} // namespace

Acad::ErrorStatus AcDbDatabase::getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode)
{
    return OpenTable(m_imp->blockTable, table, mode);
}

Acad::ErrorStatus AcDbDatabase::getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode)
{
    return OpenTable(m_imp->layerTable, table, mode);
}

AcDbObjectId AcDbDatabase::layerTableId() const { return m_imp->layerTable; }
AcDbObjectId AcDbDatabase::currentSpaceId() const { return m_imp->tilemode ? m_imp->modelSpace : m_imp->paperSpace; }

Adesk::Int16 AcDbDatabase::lunits() const { return m_imp->lunits; }
Adesk::Int16 AcDbDatabase::luprec() const { return m_imp->luprec; }
Adesk::Int16 AcDbDatabase::aunits() const { return m_imp->aunits; }
Adesk::Int16 AcDbDatabase::auprec() const { return m_imp->auprec; }
Adesk::Int16 AcDbDatabase::unitmode() const { return m_imp->unitmode; }
Adesk::UInt8 AcDbDatabase::dimzin() const { return m_imp->dimzin; }

namespace {

Acad::ErrorStatus SetVariable(AcDbDatabase::Imp& imp, const char* name, Adesk::Int16& field, int value, int lo,
                              int hi)
{
    if (value < lo || value > hi)
        return Acad::eOutOfRange;
    if (field != value) {
        field = static_cast<Adesk::Int16>(value);
        AcDbInternals::setHeaderVariable(imp, name, 70, std::to_string(value));
    }
    return Acad::eOk;
}

} // namespace

Acad::ErrorStatus AcDbDatabase::setLuprec(Adesk::Int16 v) { return SetVariable(*m_imp, "$LUPREC", m_imp->luprec, v, 0, 8); }
Acad::ErrorStatus AcDbDatabase::setUnitmode(Adesk::Int16 v)
{
    return SetVariable(*m_imp, "$UNITMODE", m_imp->unitmode, v, 0, 3);
}
Acad::ErrorStatus AcDbDatabase::setDimzin(Adesk::UInt8 v)
{
    Adesk::Int16 field = m_imp->dimzin;
    Acad::ErrorStatus es = SetVariable(*m_imp, "$DIMZIN", field, v, 0, 15);
    m_imp->dimzin = static_cast<Adesk::UInt8>(field);
    return es;
}
Acad::ErrorStatus AcDbDatabase::setTilemode(bool v)
{
    Adesk::Int16 field = m_imp->tilemode ? 1 : 0;
    Acad::ErrorStatus es = SetVariable(*m_imp, "$TILEMODE", field, v ? 1 : 0, 0, 1);
    m_imp->tilemode = field != 0;
    return es;
}
