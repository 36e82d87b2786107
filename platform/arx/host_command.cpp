// Commands an application runs with acedCommand, the answers it gives them,
// and the host's system variables.
#include "acad_host_state.h"

#include "acedads.h"

#include <cstdarg>
#include <cstdio>

namespace {

AcadHost::State* HostState()
{
    AcadHost* host = AcadHost::current();
    return host ? &host->state() : nullptr;
}

// Writes the command line as a user would have seen it typed.
void Echo(const AcadHost::State& s, const std::string& text)
{
    if (s.echoAnswers)
        HostWriteOutput(text);
}

} // namespace

HostInputResult HostCommandAnswer(AcadHost::State& s, const std::string& prompt, std::string& answer)
{
    if (!s.commandAnswers.empty()) {
        answer = s.commandAnswers.front();
        s.commandAnswers.pop_front();
        Echo(s, prompt + answer);
        return HostInputResult::Line;
    }
    HostWriteOutput(prompt);
    return HostReadInputLine(answer);
}

int acedCommand(int resultType, ...)
{
    AcadHost::State* s = HostState();
    if (!s)
        return RTERROR;
    std::vector<std::string> words;
    va_list arguments;
    va_start(arguments, resultType);
    bool valid = true;
    for (int type = resultType; type != RTNONE && type != 0; type = va_arg(arguments, int)) {
        if (type == RTSTR) {
            const char* text = va_arg(arguments, const char*);
            words.emplace_back(text ? text : "");
        } else if (type == RTSHORT || type == RTLONG) {
            words.push_back(std::to_string(va_arg(arguments, int)));
        } else if (type == RTREAL) {
            char number[64];
            std::snprintf(number, sizeof number, "%.16g", va_arg(arguments, double));
            words.emplace_back(number);
        } else {
            valid = false;
            break;
        }
    }
    va_end(arguments);
    if (!valid || words.empty())
        return RTERROR;

    const std::string name = words.front();
    const std::deque<std::string> outerAnswers = std::move(s->commandAnswers);
    const bool outerEcho = s->echoAnswers;
    const bool outerQuiet = s->quietCommand;
    s->commandAnswers.assign(words.begin() + 1, words.end());
    s->echoAnswers = s->systemVariables["CMDECHO"] != 0;
    s->quietCommand = !s->echoAnswers;
    Echo(*s, "\nCommand: " + name);
    const bool ran = AcadHost::current()->runCommand(name);
    if (!ran)
        Echo(*s, "\nUnknown command \"" + HostUpper(name) + "\".");
    s->commandAnswers = outerAnswers;
    s->echoAnswers = outerEcho;
    s->quietCommand = outerQuiet;
    return ran ? RTNORM : RTERROR;
}

int acedRetVoid() { return RTNORM; }

int acedGetVar(const char* name, resbuf* result)
{
    AcadHost::State* s = HostState();
    if (!s || !name || !result)
        return RTERROR;
    auto found = s->systemVariables.find(HostUpper(name));
    if (found == s->systemVariables.end())
        return RTERROR;
    result->restype = RTSHORT;
    result->resval.rint = found->second;
    return RTNORM;
}

int acedSetVar(const char* name, const resbuf* value)
{
    AcadHost::State* s = HostState();
    if (!s || !name || !value)
        return RTERROR;
    auto found = s->systemVariables.find(HostUpper(name));
    if (found == s->systemVariables.end())
        return RTERROR;
    long number = 0;
    if (value->restype == RTSHORT)
        number = value->resval.rint;
    else if (value->restype == RTLONG)
        number = value->resval.rlong;
    else
        return RTREJ;
    // The switches the host keeps take 0 or 1 only.
    if (number != 0 && number != 1)
        return RTREJ;
    found->second = static_cast<short>(number);
    return RTNORM;
}

short AcadHost::systemVariable(const std::string& name) const
{
    auto found = m_state->systemVariables.find(HostUpper(name));
    return found == m_state->systemVariables.end() ? short{-1} : found->second;
}
