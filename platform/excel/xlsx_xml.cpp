#include "xlsx_xml.h"

#include "xlsx_limits.h"

#include <expat.h>

#include <cstring>
#include <limits>
#include <memory>

namespace excelsim::xlsx {

const std::string* XmlAttributes::Find(const char* name) const
{
    for (const auto& [key, value] : items_)
        if (key == name)
            return &value;
    return nullptr;
}

std::string XmlAttributes::Get(const char* name, const std::string& fallback) const
{
    const std::string* value = Find(name);
    return value ? *value : fallback;
}

namespace {

constexpr char kSeparator = '\x01';

struct ParseState {
    XML_Parser parser;
    XmlHandler* handler;
    int depth = 0;
};

std::string LocalName(const char* name)
{
    const char* local = std::strrchr(name, kSeparator);
    return local ? local + 1 : name;
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
    XmlAttributes attrs;
    for (int i = 0; attributes[i]; i += 2)
        attrs.Add(LocalName(attributes[i]), attributes[i + 1]);
    state->handler->Start(LocalName(name), attrs);
    if (!state->handler->Failure().empty())
        XML_StopParser(state->parser, XML_FALSE);
}

void OnEnd(void* data, const char* name)
{
    auto* state = static_cast<ParseState*>(data);
    if (!state->handler->Failure().empty())
        return;
    --state->depth;
    state->handler->End(LocalName(name));
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

bool ParseXml(const std::string& bytes, const std::string& partName, XmlHandler& handler, std::string& error)
{
    std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserFree> parser(XML_ParserCreateNS(nullptr, kSeparator));
    if (!parser) {
        error = "out of memory reading " + partName;
        return false;
    }
    ParseState state{parser.get(), &handler};
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
    XML_SetEntityDeclHandler(parser.get(), OnEntityDecl);
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        error = partName + " is too large";
        return false;
    }
    XML_Status status = XML_Parse(parser.get(), bytes.data(), static_cast<int>(bytes.size()), XML_TRUE);
    if (!handler.Failure().empty()) {
        error = partName + ": " + handler.Failure();
        return false;
    }
    if (status != XML_STATUS_OK) {
        error = partName + ": bad XML (" + XML_ErrorString(XML_GetErrorCode(parser.get())) + " at line " +
                std::to_string(XML_GetCurrentLineNumber(parser.get())) + ")";
        return false;
    }
    return true;
}

} // namespace excelsim::xlsx
