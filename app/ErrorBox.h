#pragma once

#include <QString>
#include <memory>

class QMessageBox;

namespace bingo::app {

/// The message as the error box shows it: a full stop is appended when its last character
/// sorts after "." (compared as Unicode code points), so "Disk full" gets one, "Done." and
/// "Why?" do not.
[[nodiscard]] QString errorBoxText(const QString& message);

/// Builds, without showing it, the error box: error icon, one OK button, the title,
/// errorBoxText(message), as plain text. A top-level, application-modal window.
[[nodiscard]] std::unique_ptr<QMessageBox> createErrorBox(const QString& title,
                                                          const QString& message);

} // namespace bingo::app
