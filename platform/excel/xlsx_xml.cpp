#include "xlsx_xml.h"

#include "xlsx_limits.h"

#include <expat.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>

namespace excelsim::xlsx {

const std::string* XmlAttributes::Find(const char* name) const
{
    for (std::size_t i = 0; i < count_; ++i)
        if (items_[i].first == name)
            return &items_[i].second;
    return nullptr;
}

std::string XmlAttributes::Get(const char* name, const std::string& fallback) const
{
    const std::string* value = Find(name);
    return value ? *value : fallback;
}

namespace {

struct ParseState {
    XML_Parser parser = nullptr;
    XmlHandler* handler = nullptr;
    int depth = 0;
    XmlAttributes attributes; // reused by every element
    std::string name;         // likewise
};

// The parts are read without expat's namespace processing, which costs a
// good share of the parse and whose URIs the handlers never look at: a name
// is taken after its prefix, and the namespace declarations, which are no
// attributes of the format, are left out.
// The local name of `name`, found in the one pass that also measures it.
std::string_view LocalName(const char* name)
{
    const char* local = name;
    const char* end = name;
    for (; *end; ++end)
        if (*end == ':')
            local = end + 1;
    return {local, static_cast<std::size_t>(end - local)};
}

bool IsNamespaceDeclaration(const char* name)
{
    return name[0] == 'x' && std::strncmp(name, "xmlns", 5) == 0 && (name[5] == '\0' || name[5] == ':');
}

void Stop(ParseState* state, const char* message)
{
    state->handler->Fail(message);
    XML_StopParser(state->parser, XML_FALSE);
}

void OnStart(void* data, const char* name, const char** attributes)
{
    auto* state = static_cast<ParseState*>(data);
    if (!state->handler->Failure().empty())
        return;
    if (++state->depth > kMaxXmlDepth) {
        Stop(state, "elements nested too deeply");
        return;
    }
    state->attributes.Clear();
    for (int i = 0; attributes[i]; i += 2)
        if (!IsNamespaceDeclaration(attributes[i]))
            state->attributes.Add(LocalName(attributes[i]), attributes[i + 1]);
    state->name.assign(LocalName(name));
    state->handler->Start(state->name, state->attributes);
    if (!state->handler->Failure().empty())
        XML_StopParser(state->parser, XML_FALSE);
}

void OnEnd(void* data, const char* name)
{
    auto* state = static_cast<ParseState*>(data);
    if (!state->handler->Failure().empty())
        return;
    --state->depth;
    state->name.assign(LocalName(name));
    state->handler->End(state->name);
    if (!state->handler->Failure().empty())
        XML_StopParser(state->parser, XML_FALSE);
}

void OnText(void* data, const char* text, int length)
{
    auto* state = static_cast<ParseState*>(data);
    if (!state->handler->Failure().empty())
        return;
    state->handler->Text(text, length);
    if (!state->handler->Failure().empty())
        XML_StopParser(state->parser, XML_FALSE);
}

void OnDoctype(void* data, const char*, const char*, const char*, int)
{
    // The parts never carry a DTD; one here can only declare entities.
    Stop(static_cast<ParseState*>(data), "a document type declaration is not allowed");
}

void OnEntityDecl(void* data, const char*, int, const char*, int, const char*, const char*, const char*,
                  const char*)
{
    Stop(static_cast<ParseState*>(data), "entity declarations are not allowed");
}

struct ParserFree {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

} // namespace

bool ParseXmlInPieces(const std::function<bool(const XmlPieces&)>& read, const std::string& partName,
                      XmlHandler& handler, std::string& error)
{
    std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserFree> parser(XML_ParserCreate(nullptr));
    if (!parser) {
        error = "out of memory reading " + partName;
        return false;
    }
    ParseState state;
    state.parser = parser.get();
    state.handler = &handler;
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
    XML_SetEntityDeclHandler(parser.get(), OnEntityDecl);
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
    XML_Status status = XML_STATUS_OK;
    auto feed = [&](const char* data, std::size_t size) {
        // Pieces go in below int's range, however large the part.
        constexpr std::size_t kStep = 1 << 30;
        for (std::size_t at = 0; at < size && status == XML_STATUS_OK && handler.Failure().empty(); at += kStep)
            status = XML_Parse(parser.get(), data + at, static_cast<int>(std::min(kStep, size - at)), XML_FALSE);
        return status == XML_STATUS_OK && handler.Failure().empty();
    };
    const bool readWhole = read(feed);
    if (readWhole && status == XML_STATUS_OK && handler.Failure().empty())
        status = XML_Parse(parser.get(), nullptr, 0, XML_TRUE);
    if (!handler.Failure().empty()) {
        error = partName + ": " + handler.Failure();
        return false;
    }
    if (status != XML_STATUS_OK) {
        error = partName + ": bad XML (" + XML_ErrorString(XML_GetErrorCode(parser.get())) + " at line " +
                std::to_string(XML_GetCurrentLineNumber(parser.get())) + ")";
        return false;
    }
    return readWhole;
}

bool ParseXml(const std::string& bytes, const std::string& partName, XmlHandler& handler, std::string& error)
{
    // Whether the one piece parsed, the parse's own state tells.
    return ParseXmlInPieces(
        [&](const XmlPieces& feed) {
            feed(bytes.data(), bytes.size());
            return true;
        },
        partName, handler, error);
}

} // namespace excelsim::xlsx
