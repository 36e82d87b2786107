#include "settings/settings_fields.h"

namespace {

constexpr SettingsField Flag(const char* name, bool Settings::*field) { return {name, field, nullptr}; }
constexpr SettingsField Number(const char* name, int Settings::*field) { return {name, nullptr, field}; }

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
    Number("StartRow", &Settings::ExportStartRow),
    Number("WorkbookSettings", &Settings::WorkbookSettings),
    Number("WorksheetSettings", &Settings::WorksheetSettings),
    Flag("IncludeConstant", &Settings::IncludeConstant),
    Flag("JTSK", &Settings::JTSK),
    Flag("NoAutofit", &Settings::NoAutofit),
    Flag("AsText", &Settings::AsText),
    Flag("FindNextBlankLine", &Settings::FindNextBlankLine),
    Flag("ExportAttPrompts", &Settings::ExportAttPrompts),
    Flag("Selection", &Settings::Selection),
};

const SettingsField kImportFields[] = {
    Number("ImportSettings", &Settings::ImportSettings),
    Flag("IgnoreProps", &Settings::IgnoreProps),
    Number("StartCol", &Settings::StartCol),
    Number("StartRow", &Settings::ImportStartRow),
};

} // namespace

const char kExportSection[] = "Export";
const char kImportSection[] = "Import";

std::span<const SettingsField> ExportFields() { return kExportFields; }
std::span<const SettingsField> ImportFields() { return kImportFields; }
