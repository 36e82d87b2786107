// "Import2": the cells the live link queued, most recent first, each written
// into the one attribute its column names, in the reference its row names.
#include "automation/acquire_excel.h"
#include "automation/excel_ops.h"
#include "automation/value_conversion.h"
#include "import/import.h"
#include "import/drawing_update.h"
#include "common/module_state.h"

#include <windows.h>

namespace {

constexpr int kHandleAttempts = 3;
constexpr DWORD kAttemptPauseMs = 100;

// Sets ImportRunning for its lifetime, on every way out.
class ImportRunningScope {
public:
    ImportRunningScope()
    {
        if (TheModuleState().importRunning)
            SetEvent(TheModuleState().importRunning);
    }
    ~ImportRunningScope()
    {
        if (TheModuleState().importRunning)
            ResetEvent(TheModuleState().importRunning);
    }
    ImportRunningScope(const ImportRunningScope&) = delete;
    ImportRunningScope& operator=(const ImportRunningScope&) = delete;
};

// The active item when its name matches, else the first of that name in
// the collection; empty when none has it.
template <class GetActive>
IDispatchPtr FindByName(const std::string& name, GetActive&& getActive, IDispatch* collection)
{
    if (IDispatchPtr active = getActive(); active && automation::GetName(active) == name)
        return active;
    const long count = automation::GetCount(collection);
    for (long i = 1; i <= count; ++i) {
        IDispatchPtr item = automation::GetItem(collection, _variant_t(i));
        if (automation::GetName(item) == name)
            return item;
    }
    return nullptr;
}

void ImportChangedCell(const CellChange& change)
{
    Excel::_ApplicationPtr application;
    if (FAILED(AcquireExcel(AcquireMode::RunningOnly, application)))
        return;
    IDispatchPtr book = FindByName(
        change.workbook, [&] { return automation::GetActiveWorkbook(application); },
        automation::GetWorkbooks(application));
    if (!book)
        return;
    IDispatchPtr sheet = FindByName(
        change.worksheet,
        [&] {
            // The active sheet taken as a worksheet: a chart sheet is not one.
            Excel::_WorksheetPtr active(automation::GetActiveSheet(book));
            if (!active)
                _com_issue_error(E_POINTER);
            return IDispatchPtr(active);
        },
        automation::GetWorksheets(book));
    if (!sheet)
        return;

    IDispatchPtr cells = automation::GetCells(sheet);
    const _variant_t row(static_cast<long>(change.row));
    const _variant_t column(static_cast<long>(change.column));
    for (int attempt = 0; attempt < kHandleAttempts; ++attempt) {
        _variant_t value = automation::GetValue(automation::GetCellItem(cells, row, column));
        IDispatchPtr comment = automation::GetComment(automation::GetCellItem(cells, row, _variant_t(1L)));
        if (!comment)
            return; // not a row that export wrote
        std::string handle;
        try {
            handle = automation::GetCommentText(comment);
        } catch (const _com_error&) {
            handle.clear();
        }
        if (handle.empty()) {
            Sleep(kAttemptPauseMs);
            continue;
        }
        IDispatchPtr header = automation::GetCellItem(cells, _variant_t(1L), column);
        IDispatchPtr headerNote = automation::GetComment(header);
        const std::string tag = VariantToText(automation::GetText(header));
        std::vector<std::string> tags, values;
        // A header with a note marks a property column, which this import
        // never applies.
        if (!headerNote) {
            std::string text = VariantToText(value); // an error value raises here
            if (!tag.empty()) {
                tags.push_back(tag);
                values.push_back(std::move(text));
            }
        }
        UpdateAttributesByTag(handle, tags, values);
        return;
    }
}

} // namespace

bool ImportChanges()
{
    ImportRunningScope running;
    // Each change leaves the queue before it is imported, so a failing one
    // is not tried again and the rest wait for the next run.
    while (std::optional<CellChange> change = TheModuleState().changeQueue.TakeNewest())
        ImportChangedCell(*change);
    return true;
}
