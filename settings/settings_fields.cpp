#include "settings/settings_fields.h"

namespace {

constexpr SettingsField Flag(const char* name, bool Settings::*field) { return {name, field, nullptr, 0, 1}; }
constexpr SettingsField Number(const char* name, int Settings::*field, int low, int high)
{
    return {name, nullptr, field, low, high};
}

const SettingsField kExportFields[] = {
    Flag("AddHeader", &Settings::AddHeader),
    Flag("AutoConnect", &Settings::AutoConnect),
    Flag("BlockNames", &Settings::BlockNames),
    Flag("XCoord", &Settings::XCoord),
    Flag("YCoord", &Settings::YCoord),
    Flag("ZCoord", &Settings::ZCoord),
    Flag("LayerNames", &Settings::LayerNames),
    Flag("LayoutNames", &Settings::LayoutNames),
    Flag("OddLine", &Settings::OddLine),
    Flag("Rotation", &Settings::Rotation),
    Flag("Scale", &Settings::Scale),
    Flag("Sort", &Settings::Sort),
    Number("StartRow", &Settings::ExportStartRow, 1, 65536),
    Number("WorkbookSettings", &Settings::WorkbookSettings, 0, 1),
    Number("WorksheetSettings", &Settings::WorksheetSettings, 0, 1),
    Flag("IncludeConstant", &Settings::IncludeConstant),
    Flag("JTSK", &Settings::JTSK),
    Flag("NoAutofit", &Settings::NoAutofit),
    Flag("AsText", &Settings::AsText),
    Flag("FindNextBlankLine", &Settings::FindNextBlankLine),
    Flag("ExportAttPrompts", &Settings::ExportAttPrompts),
    Flag("Selection", &Settings::Selection),
};

const SettingsField kImportFields[] = {
    Number("ImportSettings", &Settings::ImportSettings, 0, 1),
    Flag("IgnoreProps", &Settings::IgnoreProps),
    Number("StartCol", &Settings::StartCol, 1, 256),
    Number("StartRow", &Settings::ImportStartRow, 1, 65536),
};

} // namespace

const char kExportSection[] = "Export";
const char kImportSection[] = "Import";

std::span<const SettingsField> ExportFields() { return kExportFields; }
std::span<const SettingsField> ImportFields() { return kImportFields; }
