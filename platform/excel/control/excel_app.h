// One running instance of the spreadsheet program: its workbooks, the
// active workbook, visibility, and whether it has quit. All of it is guarded
// by one lock that is never held while calling out of the program (argument
// coercion happens before the lock is taken), so a client called back from
// the program can call into it again.
#pragma once
#include "sheet_model.h"
#include "xlsx_file.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace excelsim {

// Automation calls by member id, shared by every instance of one context.
class CallCounter {
public:
    void Count(DISPID member);
    std::uint64_t Of(DISPID member) const;
    std::uint64_t Total() const;
    void Reset();

private:
    // Every call counts, from any thread: the members the program answers
    // have small ids, each with a counter of its own that needs no lock.
    static constexpr DISPID kDirectMembers = 0x800;
    std::array<std::atomic<std::uint64_t>, kDirectMembers> direct_{};
    mutable std::mutex lock_; // the other ids
    std::unordered_map<DISPID, std::uint64_t> others_;
};

struct AppData {
    std::vector<std::shared_ptr<Workbook>> workbooks;
    std::shared_ptr<Workbook> activeWorkbook;
    bool visible = false;
    bool interactive = true;
    int booksCreated = 0;

    Workbook* FindWorkbook(const std::u16string& name) const;
    // Workbooks.Add: "BookN" with one sheet, made the active workbook.
    std::shared_ptr<Workbook> AddWorkbook();
    // Puts a loaded workbook in, active, under a name not in use.
    void AdoptWorkbook(std::shared_ptr<Workbook> book);
};

class ExcelApp : public std::enable_shared_from_this<ExcelApp> {
public:
    explicit ExcelApp(std::shared_ptr<CallCounter> counter) : counter_(std::move(counter)) {}

    // Runs `f(AppData&)` under the instance's lock; for the automation
    // objects, and for tests and the host to set up and inspect the program.
    template <class F>
    auto With(F&& f)
    {
        std::lock_guard<std::mutex> guard(lock_);
        return f(data_);
    }

    // After Quit every call on the instance's objects fails as a call on a
    // server whose process has ended.
    bool HasQuit() const { return quit_.load(); }
    void MarkQuit() { quit_.store(true); }
    void CountCall(DISPID member) { counter_->Count(member); }

    // Event sinks advised on the application's AppEvents connection point.
    // The list holds one reference per sink; calls to sinks are made on a
    // snapshot, with no lock held.
    DWORD AddSink(IDispatch* sink); // takes over the caller's reference
    IDispatch* RemoveSink(DWORD cookie); // hands the reference back; null if unknown
    std::vector<IDispatch*> SinkSnapshot(); // each AddRef'd
    void DropSinks();                      // the program quits: connections end
    // Enters `text` into a cell as a user typing it would, and fires SheetChange.
    bool EditCell(const std::u16string& workbook, const std::u16string& sheet, int row, int column,
                  const std::u16string& text, std::string& error);

    // What the user does in the program, each firing the events the program
    // fires for it (user_actions.cpp). Names are matched as the program
    // matches them; false with `error` set when nothing was done.
    // Pastes rows of texts with its top-left at (row, column): one SheetChange
    // for the whole block.
    bool PasteCells(const std::u16string& workbook, const std::u16string& sheet, int row, int column,
                    const std::vector<std::vector<std::u16string>>& rows, std::string& error);
    // Clears the values of a block (bottom or right 0: to the sheet's last
    // row or column, as selecting whole columns or rows does); one SheetChange.
    bool ClearCells(const std::u16string& workbook, const std::u16string& sheet, int top, int left, int bottom,
                    int right, std::string& error);
    // WorkbookActivate, and SheetActivate when a sheet is named.
    bool ActivateSheet(const std::u16string& workbook, const std::u16string& sheet, std::string& error);
    // File > New: a new active workbook "BookN", then NewWorkbook; its name.
    std::u16string NewWorkbook();
    // WorkbookBeforeClose, then the workbook is gone (unsaved changes are lost).
    bool CloseWorkbook(const std::u16string& workbook, std::string& error);

    // .xlsx files (xlsx_writer.cpp, xlsx_reader.cpp). Paths are Unix paths.
    SaveResult SaveWorkbook(const std::u16string& workbookName, const std::string& path, std::string& error);
    bool OpenWorkbook(const std::string& path, std::string& error);
    // Another program saved the workbook's file and `saved` is what it holds:
    // every cell whose value differs is entered as that program's user typed
    // it, one SheetChange per run of changed cells in a row (saved_file_changes.cpp).
    // `warnings` gets a line for each sheet held that the file no longer has.
    // False with `error` set when the workbook is not open.
    bool TakeSavedFile(const std::u16string& workbook, const Workbook& saved, std::vector<std::string>& warnings,
                       std::string& error);

private:
    std::mutex lock_;
    AppData data_;
    std::atomic<bool> quit_{false};
    std::mutex sinksLock_;
    std::vector<std::pair<DWORD, IDispatch*>> sinks_;
    DWORD nextCookie_ = 1;
    std::shared_ptr<CallCounter> counter_;
};

} // namespace excelsim
