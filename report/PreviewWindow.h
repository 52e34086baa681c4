#pragma once

#include "report/PageSource.h"

#include <QMainWindow>

#include <memory>

namespace bingo::report {

/// The print preview: shows the pages of a PageSource, pages and zooms through them, saves
/// them as PDF, loads a saved PDF, and prints. Deletes itself when closed, and its pages
/// (cancelling a layout still in progress) with it.
class PreviewWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit PreviewWindow(std::unique_ptr<PageSource> pages, QWidget* parent = nullptr);
    ~PreviewWindow() override;
    Q_DISABLE_COPY_MOVE(PreviewWindow)

    [[nodiscard]] PageSource& pages() const;
};

} // namespace bingo::report
