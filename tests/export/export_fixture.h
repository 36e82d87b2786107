// The drawing fixture with a spreadsheet program as well: the COM runtime
// with the program installed (running, installed or absent), the user's
// export options in the registry, and readers for what landed in the
// program's workbooks. Every test ends with no COM object left alive beyond
// what the program itself keeps.
#pragma once
#include "export_drawing_fixture.h"

#include "cmd/command_gwell.h"
#include "common/module_state.h"
#include "settings/settings.h"
#include "settings/settings_registry.h"

#include <codepage.h>
#include <com_object.h>
#include <com_runtime.h>
#include <excel_context.h>
#include <utf8_text.h>

#include <optional>

class ExportFixture : public ExportDrawingFixture {
protected:
    void SetUp() override
    {
        ExportDrawingFixture::SetUp();
        // Every test starts as a freshly loaded module: no row carried over
        // from an earlier export, no selection, no layer filter.
        ResetModuleState();
        liveAtStart = ComLiveObjectCount();
        ComRuntime::Install(&runtime);
        SetAnsiCodePageForHost(CP_UTF8);
    }
    void TearDown() override
    {
        excel.reset();
        ComRuntime::Install(nullptr);
        EXPECT_EQ(ComLiveObjectCount(), liveAtStart) << "a COM object was left alive";
        ExportDrawingFixture::TearDown();
    }

    void StartExcel(excelsim::ExcelInstall state = excelsim::ExcelInstall::Running)
    {
        excel = std::make_unique<excelsim::ExcelContext>(state);
        excel->Install(runtime);
    }
    void Store(const Settings& settings) { ASSERT_TRUE(SaveSettings(settings)); }

    // Runs "gwell" with the keyword and the answers that follow, as the user types them.
    void Gwell(std::initializer_list<std::string> lines)
    {
        Type(lines);
        CommandGwell();
    }

    std::shared_ptr<excelsim::ExcelApp> App() const { return excel ? excel->Running() : nullptr; }

    std::vector<std::shared_ptr<excelsim::Workbook>> Books() const
    {
        auto app = App();
        if (!app)
            return {};
        return app->With([](excelsim::AppData& data) { return data.workbooks; });
    }
    std::shared_ptr<excelsim::Workbook> ActiveBook() const
    {
        auto app = App();
        return app ? app->With([](excelsim::AppData& data) { return data.activeWorkbook; }) : nullptr;
    }
    // The active workbook's sheet names in the workbook's order.
    std::vector<std::string> SheetNames() const
    {
        std::vector<std::string> names;
        if (auto book = ActiveBook())
            for (const auto& sheet : book->sheets)
                names.push_back(Narrow(sheet->Name()));
        return names;
    }
    excelsim::Sheet* Sheet(const std::string& name) const
    {
        auto book = ActiveBook();
        return book ? book->FindSheet(Wide(name)) : nullptr;
    }
    excelsim::Sheet* ActiveSheet() const
    {
        auto book = ActiveBook();
        return book && !book->sheets.empty() ? book->sheets[book->activeSheet].get() : nullptr;
    }

    static std::string Text(const excelsim::Sheet* sheet, int row, int column)
    {
        auto cell = sheet ? sheet->Find(row, column) : std::nullopt;
        return cell ? Narrow(excelsim::DisplayedText(cell->Value())) : std::string();
    }
    static std::optional<std::string> Comment(const excelsim::Sheet* sheet, int row, int column)
    {
        auto cell = sheet ? sheet->Find(row, column) : std::nullopt;
        if (!cell || !cell->Comment())
            return std::nullopt;
        return Narrow(std::u16string(*cell->Comment()));
    }
    // The texts of row `row`, columns 1 to the last one that shows something.
    static std::vector<std::string> Row(const excelsim::Sheet* sheet, int row)
    {
        std::vector<std::string> texts;
        int last = 0;
        for (int column = 1; column <= 40; ++column)
            if (!Text(sheet, row, column).empty())
                last = column;
        for (int column = 1; column <= last; ++column)
            texts.push_back(Text(sheet, row, column));
        return texts;
    }

    // Settings whose value rows hold the attributes only: no block name,
    // position, rotation, scale or layer columns.
    static Settings AttributesOnly()
    {
        Settings settings;
        settings.BlockNames = settings.XCoord = settings.YCoord = settings.ZCoord = false;
        settings.Rotation = settings.Scale = settings.LayerNames = false;
        return settings;
    }

    static std::string Narrow(const std::u16string& text) { return Utf8(text); }
    static std::u16string Wide(const std::string& text) { return Utf16(text); }

    ComRuntime runtime;
    std::unique_ptr<excelsim::ExcelContext> excel;
    LONG liveAtStart = 0;
};
