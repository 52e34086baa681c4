#pragma once

#include "app/Application.h"

#include <QByteArray>
#include <QMessageBox>
#include <QPoint>
#include <QSize>
#include <QString>
#include <optional>
#include <ostream>
#include <vector>

// Readable values in test failures.
inline void PrintTo(const QSize& size, std::ostream* out) {
    *out << size.width() << " x " << size.height();
}
inline void PrintTo(const QPoint& point, std::ostream* out) {
    *out << "(" << point.x() << ", " << point.y() << ")";
}
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace bingo::app::test {

/// The application object the test program runs under.
[[nodiscard]] Application& application();

/// An error box the application would have shown.
struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
};

/// Records the error boxes instead of running them, for as long as it lives; outside one, an
/// error box fails the running test.
class ErrorRecorder {
  public:
    ErrorRecorder();
    ~ErrorRecorder();
    ErrorRecorder(const ErrorRecorder&) = delete;
    ErrorRecorder& operator=(const ErrorRecorder&) = delete;

    [[nodiscard]] const std::vector<ShownBox>& boxes() const { return boxes_; }

  private:
    std::vector<ShownBox> boxes_;
};

/// The presenter used outside an ErrorRecorder: an error box there is a test failure.
void failOnErrorBox(QMessageBox& box);

/// Sets (or with nullopt unsets) an environment variable and restores it afterwards.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, std::optional<QByteArray> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<QByteArray> saved_;
};

} // namespace bingo::app::test
