#pragma once

#include "app/BitButton.h"
#include "app/SpinEdit.h"
#include "app/TfmBingo.h"

#include <QLabel>
#include <QProgressBar>
#include <stdexcept>
#include <string>

namespace bingo::test {

/// The main window's components, found by the object names the form gives them.
struct WindowComponents {
    explicit WindowComponents(const app::TfmBingo& window)
        : Label1(find<QLabel>(window, "Label1")), se1(find<app::SpinEdit>(window, "se1")),
          Label2(find<QLabel>(window, "Label2")), se2(find<app::SpinEdit>(window, "se2")),
          Label3(find<QLabel>(window, "Label3")), BitBtn1(find<app::BitButton>(window, "BitBtn1")),
          btnPrint(find<app::BitButton>(window, "btnPrint")),
          pb1(find<QProgressBar>(window, "pb1")), lbPaper(find<QLabel>(window, "lbPaper")) {}

    QLabel* Label1;
    app::SpinEdit* se1;
    QLabel* Label2;
    app::SpinEdit* se2;
    QLabel* Label3;
    app::BitButton* BitBtn1;
    app::BitButton* btnPrint;
    QProgressBar* pb1;
    QLabel* lbPaper;

  private:
    template <typename Widget> static Widget* find(const app::TfmBingo& window, const char* name) {
        auto* found = window.findChild<Widget*>(QLatin1String(name));
        if (found == nullptr)
            throw std::logic_error(std::string("the window has no component ") + name);
        return found;
    }
};

} // namespace bingo::test
