// The host's ADS functions: LISP functions of the current document, queued
// expressions, and command-line input and output.
#include "acad_host_state.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace {

AcadHost::State* HostState()
{
    AcadHost* host = AcadHost::current();
    return host ? &host->state() : nullptr;
}

void CopyResult(const std::string& text, char* result, std::size_t capacity)
{
    const std::size_t length = std::min(text.size(), capacity - 1);
    std::memcpy(result, text.data(), length);
    result[length] = '\0';
}

struct KeywordList {
    std::vector<std::string> local;
    std::vector<std::string> global;
};

// "Local1 Local2 _Global1 Global2": the local names, then the global names
// in the same order, the first of them marked with "_". Without the mark
// the local names are the global ones.
KeywordList ParseKeywordList(const std::string& list)
{
    KeywordList keywords;
    std::istringstream words(list);
    std::string word;
    bool inGlobal = false;
    while (words >> word) {
        if (word.front() == '_') {
            inGlobal = true;
            word.erase(0, 1);
            if (word.empty())
                continue;
        }
        (inGlobal ? keywords.global : keywords.local).push_back(word);
    }
    if (keywords.global.size() != keywords.local.size())
        keywords.global = keywords.local;
    return keywords;
}

// Index of the keyword that `input` names: an exact match (any case) first,
// then the only keyword that `input` abbreviates; -1 when none or ambiguous.
int MatchKeyword(const std::vector<std::string>& names, const std::string& input)
{
    const std::string wanted = HostUpper(input);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (HostUpper(names[i]) == wanted)
            return static_cast<int>(i);
    int match = -1;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (HostUpper(names[i]).rfind(wanted, 0) == 0) {
            if (match >= 0)
                return -1;
            match = static_cast<int>(i);
        }
    }
    return match;
}

} // namespace

HostInputResult HostReadInputLine(std::string& line)
{
    AcadHost::State* s = HostState();
    if (s && !s->pendingInput.empty()) {
        line = s->pendingInput.front();
        s->pendingInput.pop_front();
    } else if (!s || !s->commandLine || !s->commandLine->readLine(line)) {
        return HostInputResult::EndOfInput;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line == "^C" ? HostInputResult::Cancel : HostInputResult::Line;
}

bool HostHasPendingInput()
{
    AcadHost::State* s = HostState();
    return s && !s->pendingInput.empty();
}

void HostWriteOutput(const std::string& text)
{
    AcadHost::State* s = HostState();
    if (s && s->commandLine)
        s->commandLine->write(text);
    else
        std::fwrite(text.data(), 1, text.size(), stdout);
}

namespace {

// Shows the prompt and reads the answer; false when the user cancelled or the
// input ended, which every input function answers with RTCAN.
bool AskForLine(const char* prompt, std::string& line)
{
    HostWriteOutput(prompt ? prompt : "");
    return HostReadInputLine(line) == HostInputResult::Line;
}

} // namespace

int acedDefun(const char* name, short functionCode)
{
    AcadHost::State* s = HostState();
    if (!s || !s->current || !s->messageTarget || !name || !*name)
        return RTERROR;
    s->lispFunctions[s->current][HostUpper(name)] = {functionCode, s->messageTarget};
    return RTNORM;
}

int acedUndef(const char* name, short functionCode)
{
    AcadHost::State* s = HostState();
    if (!s || !s->current || !name)
        return RTERROR;
    auto functions = s->lispFunctions.find(s->current);
    if (functions == s->lispFunctions.end())
        return RTERROR;
    auto found = functions->second.find(HostUpper(name));
    if (found == functions->second.end() || found->second.functionCode != functionCode)
        return RTERROR;
    functions->second.erase(found);
    return RTNORM;
}

int acedRegFunc(AcadFunctionPtr function, int functionCode)
{
    AcadHost::State* s = HostState();
    if (!s || !function)
        return RTERROR;
    s->registeredFunctions[functionCode] = function;
    return RTNORM;
}

int acedGetFunCode()
{
    AcadHost::State* s = HostState();
    return s ? s->currentFunctionCode : RTERROR;
}

int ads_queueexpr(const char* expression)
{
    AcadHost::State* s = HostState();
    if (!s || !expression)
        return RTERROR;
    s->queuedExpressions.push_back({s->current, expression});
    return RTNORM;
}

int acutPrintf(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    va_end(arguments);
    HostWriteOutput(text);
    return length;
}

void acdbFail(const char* message)
{
    if (AcadHost::State* s = HostState())
        s->failures.push_back(message ? message : "");
    HostWriteOutput(std::string("\nError in application: ") + (message ? message : "") + "\n");
}

int acedInitGet(int controlBits, const char* keywordList)
{
    AcadHost::State* s = HostState();
    if (!s)
        return RTERROR;
    s->initGetBits = controlBits;
    s->keywordList = keywordList ? keywordList : "";
    return RTNORM;
}

int acedGetKword(const char* prompt, char* result)
{
    AcadHost::State* s = HostState();
    if (!s || !result)
        return RTERROR;
    // acedInitGet arms exactly one following input call.
    const KeywordList keywords = ParseKeywordList(s->keywordList);
    const int bits = s->initGetBits;
    s->keywordList.clear();
    s->initGetBits = 0;
    result[0] = '\0';
    for (;;) {
        std::string line;
        if (!AskForLine(prompt, line))
            return RTCAN;
        if (line.empty()) {
            if (bits & RSG_NONULL)
                continue;
            return RTNONE;
        }
        int index = line.front() == '_' ? MatchKeyword(keywords.global, line.substr(1))
                                        : MatchKeyword(keywords.local, line);
        if (index < 0) {
            HostWriteOutput("\nInvalid option keyword.");
            continue;
        }
        CopyResult(keywords.global[static_cast<std::size_t>(index)], result, 132);
        return RTNORM;
    }
}

int acedGetString(int allowSpaces, const char* prompt, char* result)
{
    AcadHost::State* s = HostState();
    if (!s || !result)
        return RTERROR;
    s->keywordList.clear();
    s->initGetBits = 0;
    result[0] = '\0';
    std::string line;
    if (!AskForLine(prompt, line))
        return RTCAN;
    if (!allowSpaces) {
        const std::size_t space = line.find(' ');
        if (space != std::string::npos)
            line.resize(space);
    }
    CopyResult(line, result, 133);
    return RTNORM;
}
