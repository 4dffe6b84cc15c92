#include "qt/dialog_template.h"

#include "platform/dialog_view.h"

namespace cartidex {

namespace {

using K = ControlKind;

// Fields are 12 units high, push buttons 14, labels 8 and check boxes 10; a label sits two units
// below the top of its field so that their texts share a base line.
constexpr ControlTemplate kControls[] = {
    {kIdFilenameLabel, K::kLabel, "Filename: ", 7, 9, 40, 8},
    {kIdFilenameField, K::kReadOnlyField, "", 50, 7, 154, 12},
    {kIdNameLabel, K::kLabel, "Name: ", 7, 24, 40, 8},
    {kIdNameField, K::kReadOnlyField, "", 50, 22, 154, 12},
    {kIdSystemLabel, K::kLabel, "System: ", 7, 39, 40, 8},
    {kIdSystemField, K::kReadOnlyField, "", 50, 37, 154, 12},
    {kIdNone, K::kLabel, "CRC32: ", 7, 54, 40, 8},
    {kIdCrcField, K::kReadOnlyField, "", 50, 52, 60, 12},
    {kIdNone, K::kLabel, "Size:", 118, 54, 22, 8},
    {kIdSizeField, K::kReadOnlyField, "", 140, 52, 64, 12},
    {kIdSingleRom, K::kDefaultButton, "Single rom", 7, 69, 96, 14},
    {kIdDirectory, K::kButton, "Directory", 108, 69, 96, 14},
    {kIdReloadAll, K::kButton, "Reload all", 7, 86, 96, 14},
    {kIdGenerate, K::kButton, "Generate", 108, 86, 96, 14},
    {kIdInfoLine, K::kCentredLabel, "Informations", 7, 105, 197, 8},
    {kIdRename, K::kCheckBox, "Rename", 7, 117, 80, 10},
    {kIdSubdirs, K::kCheckBox, "Include subdirectories", 108, 117, 96, 10},
    {kIdMoveKnown, K::kCheckBox, "Move known files to:", 7, 130, 120, 10},
    {kIdMoveKnownField, K::kField, "", 7, 142, 150, 12},
    {kIdMoveKnownBrowse, K::kButton, "Browse", 161, 141, 43, 14},
    {kIdMoveUnknown, K::kCheckBox, "Move unknown files to:", 7, 159, 120, 10},
    {kIdMoveUnknownField, K::kField, "", 7, 171, 150, 12},
    {kIdMoveUnknownBrowse, K::kButton, "Browse", 161, 170, 43, 14},
    {kIdHelp, K::kButton, "Help for directories", 55, 188, 101, 14},
};

}  // namespace

std::span<const ControlTemplate> DialogControls() {
  return kControls;
}

}  // namespace cartidex
