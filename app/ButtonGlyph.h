#pragma once

#include <QIcon>
#include <QSize>
#include <QString>

namespace bingo::app {

/// A button picture: the icon (normal and disabled images) and the size of one image.
struct ButtonGlyph {
    QIcon icon;
    QSize size;
};

/// Reads a bitmap holding the normal image with its greyed image to the right of it, both of
/// the same width. The colour of the bitmap's bottom-left pixel becomes transparent; the greyed
/// image is used for the disabled state only. Throws std::runtime_error if it cannot be read.
[[nodiscard]] ButtonGlyph loadButtonGlyph(const QString& path);

} // namespace bingo::app
