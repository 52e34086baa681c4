#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <stdexcept>

namespace bingo::preview {

/// Shows the operator the failure of one command, once (the application's error box).
using ErrorReporter = std::function<void(const QString& message)>;

/// A failure that has been dealt with and shows nothing more.
class SilentAbort : public std::runtime_error {
  public:
    SilentAbort() : std::runtime_error("Operation aborted") {}
};

/// Runs a command at the slot that starts it: a failure is handed to report (SilentAbort
/// shows nothing) and goes no further, so no exception crosses Qt's event dispatch. Returns
/// whether the command went through.
template <typename Command> bool runCommand(const ErrorReporter& report, Command&& command) {
    try {
        command();
        return true;
    } catch (const SilentAbort&) {
    } catch (const std::exception& error) {
        if (report)
            report(QString::fromUtf8(error.what()));
    }
    return false;
}

} // namespace bingo::preview
