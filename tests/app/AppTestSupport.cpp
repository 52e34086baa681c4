#include "AppTestSupport.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace bingo::app::test {

Application& application() {
    return *static_cast<Application*>(QCoreApplication::instance());
}

ErrorRecorder::ErrorRecorder() {
    application().setErrorPresenter([this](QMessageBox& box) {
        boxes_.push_back({box.windowTitle(), box.text(), box.icon(), box.standardButtons()});
    });
}

ErrorRecorder::~ErrorRecorder() {
    application().setErrorPresenter(failOnErrorBox);
}

void failOnErrorBox(QMessageBox& box) {
    ADD_FAILURE() << "unexpected error box: " << box.text().toStdString();
}

ScopedEnv::ScopedEnv(const char* name, std::optional<QByteArray> value) : name_(name) {
    if (qEnvironmentVariableIsSet(name))
        saved_ = qgetenv(name);
    if (value)
        qputenv(name, *value);
    else
        qunsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (saved_)
        qputenv(name_, *saved_);
    else
        qunsetenv(name_);
}

} // namespace bingo::app::test
