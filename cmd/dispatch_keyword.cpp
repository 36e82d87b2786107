#include "cmd/dispatch_keyword.h"

#include "app/help.h"
#include "cmd/menu_setup.h"
#include "cmd/pending_operations.h"
#include "common/case_fold.h"
#include "common/resource_strings.h"
#include "export/export.h"
#include "import/import.h"
#include "livelink/livelink.h"
#include "res/resource.h"

#include <adslib.h>

#include <cstring>

namespace {

// The host hands back a keyword of up to 131 characters and its end.
constexpr std::size_t kKeywordBuffer = 132;

bool RunExport() { return RunDialogExport(false); }
bool RunSelectionExport() { return RunDialogExport(true); }
bool RunConnect()
{
    DisconnectLiveLink();
    ConnectLiveLink();
    return true;
}
bool RunDisconnect()
{
    DisconnectLiveLink();
    return true;
}
bool RunHelp()
{
    OpenHelp();
    return true;
}

struct KeywordOperation {
    const char* keyword;
    bool (*operation)(); // null: the keyword is known and runs nothing
};

// The global keyword names, compared in this order.
const KeywordOperation kKeywordTable[] = {
    {"Export", RunExport},
    {"Export2", ExportByNames},
    {"Selection+export", RunSelectionExport},
    {"Export3", ExportByNames},
    {"Export4", nullptr},
    {"Import", RunImport},
    {"Options", ShowOptionsDialog},
    {"Connect", RunConnect},
    {"Disconnect", RunDisconnect},
    {"Import2", ImportChanges},
    {"Toolbar", ShowToolbar},
    {"Help", RunHelp},
};

} // namespace

bool DispatchKeyword()
{
    ResourceSourceScope resources;
    const std::string keywordList = ResourceString(IDS_GWELL_KEYWORDS);
    const std::string prompt = ResourceString(IDS_GWELL_PROMPT);
    acedInitGet(0, keywordList.c_str());
    char keyword[kKeywordBuffer] = {};
    const int answer = acedGetKword(prompt.c_str(), keyword);
    if (answer == RTNONE)
        std::strcpy(keyword, "Export");
    else if (answer != RTNORM)
        return false;

    bool result = false;
    for (const KeywordOperation& entry : kKeywordTable) {
        if (EqualInCodePageIgnoringCase(keyword, entry.keyword) && entry.operation)
            result = entry.operation();
    }
    return result;
}
