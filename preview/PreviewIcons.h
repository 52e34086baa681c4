#pragma once

#include <QIcon>

namespace bingo::preview {

enum class PreviewIcon {
    ZoomFit,
    Zoom100,
    ZoomWidth,
    FirstPage,
    PreviousPage,
    NextPage,
    LastPage,
    PrinterSetup,
    Print,
    Save,
    Load,
    Close,
};

/// The preview toolbar's picture for a command, drawn at the usual toolbar sizes.
[[nodiscard]] QIcon previewIcon(PreviewIcon which);

} // namespace bingo::preview
