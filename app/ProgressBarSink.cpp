#include "app/ProgressBarSink.h"

#include <QProgressBar>

namespace bingo::app {

void ProgressBarSink::setMaximum(int maximum) {
    bar_.setRange(0, maximum);
}

// The job holds the event loop, so the bar paints itself (QProgressBar repaints at once when
// its value moves visibly).
void ProgressBarSink::setPosition(int position) {
    bar_.setValue(position);
}

void ProgressBarSink::setVisible(bool visible) {
    bar_.setVisible(visible);
}

} // namespace bingo::app
