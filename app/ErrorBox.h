#pragma once

#include <QString>
#include <memory>

class QMessageBox;

namespace bingo::app {

/// The longest run of text without a break (a path, say) that the error box shows whole: the
/// box wraps such a run anywhere once it is wider than the box can be, so this bounds the
/// height it takes (about three lines).
inline constexpr qsizetype MaxUnbrokenRun = 240;

/// The message as the error box shows it. A Chinese message ends with "。" unless it ends
/// with "。", "！" or "？" already; any other gets a full stop when its last character sorts
/// after "." (compared as Unicode code points), so "Disk full" gets one and "Done." does not.
[[nodiscard]] QString errorBoxText(const QString& message);

/// message with every run longer than MaxUnbrokenRun characters between blanks, "「" and "」"
/// shortened in the middle to "head…tail", keeping its end (a path's file name).
[[nodiscard]] QString shortenedRuns(const QString& message);

/// Builds, without showing it, the error box: error icon, one OK button, the title,
/// errorBoxText(shortenedRuns(message)), as plain text. A top-level, application-modal
/// window no wider than the screen.
[[nodiscard]] std::unique_ptr<QMessageBox> createErrorBox(const QString& title,
                                                          const QString& message);

} // namespace bingo::app
