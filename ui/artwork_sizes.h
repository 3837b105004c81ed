// The sizes the windows show the pictures at.
#pragma once

#include <QSize>
#include <QtGlobal>

#include "ui/artwork.h"

// The sizes the layouts show the pictures at, in device-independent pixels.
// The build renders each picture at these sizes ahead of time, so a window
// opening on a common screen decodes them instead of drawing the sources.
namespace artwork_size {
inline constexpr QSize kApp(32, 32);
inline constexpr QSize kCard(339, 217);
inline constexpr QSize kCoolBar(128, 28);
inline constexpr QSize kTool(Artwork::ToolSize, Artwork::ToolSize);
inline constexpr QSize kDialogIcon(32, 32);
inline constexpr QSize kGlyph(16, 16);
inline constexpr QSize kTile(128, 28);
}  // namespace artwork_size

struct ArtworkUse {
  const char* name;  // the source's file name without ".svg"
  QSize size;
};

// Every picture the windows show, at the size shown.
inline constexpr ArtworkUse kArtworkUses[] = {
    {"app", artwork_size::kApp},
    {"card", artwork_size::kCard},
    {"coolbar", artwork_size::kCoolBar},
    {"tool0", artwork_size::kTool},
    {"tool1", artwork_size::kTool},
    {"tool2", artwork_size::kTool},
    {"tool3", artwork_size::kTool},
    {"tool4", artwork_size::kTool},
    {"tool5", artwork_size::kTool},
    {"tool6", artwork_size::kTool},
    {"tool7", artwork_size::kTool},
    {"tool8", artwork_size::kTool},
    {"tool9", artwork_size::kTool},
    {"wallpaper", artwork_size::kTile},
    {"glyph_ok", artwork_size::kGlyph},
    {"glyph_cancel", artwork_size::kGlyph},
    {"dlg_question", artwork_size::kDialogIcon},
    {"dlg_information", artwork_size::kDialogIcon},
    {"dlg_warning", artwork_size::kDialogIcon},
    {"dlg_error", artwork_size::kDialogIcon},
};

// The screen densities rendered ahead; any other is drawn from the source.
inline constexpr qreal kArtworkRatios[] = {1.0, 2.0};
