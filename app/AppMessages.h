#pragma once

#include <QString>

/// The application's own texts for the operator, in Traditional Chinese; whole sentences
/// without a full stop (the error box adds it).
namespace bingo::app::messages {

/// Shown for an exception that carries no message of its own.
[[nodiscard]] QString unexpectedError();
[[nodiscard]] QString buttonPictureUnreadable(const QString& path);

} // namespace bingo::app::messages
