#include "export/block_worksheet.h"

#include "automation/acquire_excel.h"
#include "automation/ansi_text.h"
#include "automation/excel_ops.h"
#include "common/case_fold.h"
#include "export/worksheet_writer.h"


namespace {

// The program's own rules for sheet names, measured in its UTF-16 text.
constexpr std::size_t kLongestSheetName = 31;

bool IsReservedSheetName(const WCHAR* name, std::size_t length)
{
    static const char kHistory[] = "history";
    if (length != sizeof kHistory - 1)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        if (FoldAscii(name[i]) != static_cast<WCHAR>(kHistory[i]))
            return false;
    return true;
}

} // namespace

bool SheetNameAllowed(const std::string& name)
{
    if (name.empty())
        return false;
    _bstr_t wide;
    try {
        wide = AnsiToBstr(name.c_str());
    } catch (const _com_error&) {
        return false; // not text in the code page: the program could not take it either
    }
    const WCHAR* text = static_cast<const WCHAR*>(wide);
    const std::size_t length = wide.length();
    if (length == 0 || length > kLongestSheetName)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        switch (text[i]) {
        case u':':
        case u'\\':
        case u'/':
        case u'?':
        case u'*':
        case u'[':
        case u']':
            return false;
        default:
            break;
        }
    if (text[0] == u'\'' || text[length - 1] == u'\'')
        return false;
    return !IsReservedSheetName(text, length);
}

std::string OpenBlockWorksheet(const std::string& name)
{
    Excel::_ApplicationPtr application;
    if (FAILED(AcquireExcel(AcquireMode::RunningOnly, application)))
        return {};
    IDispatchPtr workbook = automation::GetActiveWorkbook(application);
    IDispatchPtr worksheets = automation::GetWorksheets(workbook);
    IDispatchPtr sheet = automation::AddWorksheet(worksheets);

    // A name the program refuses, or one in use (also a second export of the
    // same block; the program compares sheet names without case), leaves the
    // new sheet its default name: asking would end the export with an error.
    bool usable = SheetNameAllowed(name);
    for (long n = 1; usable && n <= automation::GetCount(worksheets); ++n) {
        const std::string existing = automation::GetName(automation::GetItem(worksheets, _variant_t(n)));
        if (CompareInUserCollation(existing.c_str(), name.c_str()) == 0)
            usable = false;
    }
    if (usable)
        automation::PutName(sheet, name.c_str());
    automation::Activate(sheet);
    return automation::GetName(sheet);
}
