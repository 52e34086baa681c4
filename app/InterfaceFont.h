#pragma once

class QApplication;

namespace bingo::app {

/// Sets the application's default font to a CJK sans ("Noto Sans CJK TC"), for dialogs,
/// message boxes and the preview's chrome; the main window and the printed cards name their
/// own faces and keep them. Keeps the platform's point size.
void useInterfaceFont(QApplication& application);

} // namespace bingo::app
