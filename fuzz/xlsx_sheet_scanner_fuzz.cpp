// Fuzz target for the worksheet scanner, checked against expat: a document
// expat reads as well-formed UTF-8 gives the same events from the scanner,
// however it is cut into pieces (the first byte picks the piece size), and
// whatever the scanner refuses it refuses with a reason.
#include "excel/xlsx_sheet_scanner.h"
#include "excel/xlsx_xml.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using namespace excelsim::xlsx;

class Recorder : public XmlHandler {
public:
    void Start(const std::string& name, const XmlAttributes& attributes) override
    {
        out += "<" + name;
        for (const char* a : {"r", "s", "t", "v", "a", "b"})
            if (const std::string* v = attributes.Find(a))
                out += " " + std::string(a) + "=" + *v;
        out += '\x01';
    }
    void End(const std::string& name) override { out += "</" + name + '\x01'; }
    void Text(const char* text, int length) override { out.append(text, static_cast<std::size_t>(length)); }
    std::string out;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t piece = 1 + data[0] % 16;
    const std::string xml(reinterpret_cast<const char*>(data) + 1, size - 1);
    Recorder expat, scanned;
    std::string expatError, scanError;
    const bool expatOk = ParseXml(xml, "p", expat, expatError);
    const bool scanOk = ScanXmlInPieces(
        [&](const XmlPieces& feed) {
            for (std::size_t at = 0; at < xml.size(); at += piece)
                if (!feed(xml.data() + at, std::min(piece, xml.size() - at)))
                    return true;
            return true;
        },
        "p", scanned, scanError);
    if (!scanOk && scanError.empty())
        __builtin_trap(); // a refusal must say why
    // Another declared encoding is refused on purpose; names are checked
    // less strictly than expat's character tables.
    if (xml.find("encoding") != std::string::npos)
        return 0;
    if (expatOk && (!scanOk || expat.out != scanned.out))
        __builtin_trap();
    return 0;
}
