#include "JobFixture.h"

#include "app/Application.h"
#include "app/BitButton.h"
#include "app/SpinEdit.h"
#include "preview/PreviewWindow.h"
#include "store/ScratchDirectory.h"
#include "support/WindowComponents.h"

#include <QMessageBox>
#include <QTest>
#include <cstdlib>
#include <unistd.h>

namespace bingo::faults {

JobFixture::JobFixture() : dir_(scratchDirOfThisTest("bingo-faults-")) {
    std::filesystem::create_directories(temp());
    setEnv("TEMP", temp().string());

    auto* application = qobject_cast<app::Application*>(QCoreApplication::instance());
    if (application == nullptr)
        throw std::logic_error("the fault tests need bingo::app::Application as the application");
    application->setErrorPresenter([this](QMessageBox& box) {
        // The box the program built, recorded instead of run.
        shown_.push_back({box.windowTitle(), box.text()});
    });
}

JobFixture::~JobFixture() {
    qr1_.reset();
    window_.reset();
    session_.reset();
    if (auto* application = qobject_cast<app::Application*>(QCoreApplication::instance()))
        application->setErrorPresenter(nullptr);
    for (auto it = savedEnv_.rbegin(); it != savedEnv_.rend(); ++it) {
        if (it->second)
            ::setenv(it->first.c_str(), it->second->c_str(), 1);
        else
            ::unsetenv(it->first.c_str());
    }
    std::error_code ignored;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(dir_, ignored);
}

void JobFixture::setEnv(const char* name, const std::optional<std::string>& value) {
    const char* old = std::getenv(name);
    savedEnv_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
}

app::TfmBingo& JobFixture::window() {
    if (!window_) {
        const preview::ErrorReporter reportError = [](const QString& message) {
            qobject_cast<app::Application*>(QCoreApplication::instance())->reportError(message);
        };
        session_ = std::make_unique<app::Session>(store::scratchDirectory(),
                                                  &cards::RandomSource::fromClock);
        window_ = std::make_unique<app::TfmBingo>(*session_, reportError);
        qr1_ = std::make_unique<report::Tqr1>(
            session_->table(), report::ReportContext{[] { return QDateTime::currentDateTime(); },
                                                     QLocale::system(),
                                                     {reportError, [] { return false; }}});
        window_->setReport(qr1_.get());
        window_->show();
    }
    return *window_;
}

store::CardTable& JobFixture::table() {
    window();
    return session_->table();
}

std::vector<std::string> JobFixture::print(int sheets, int numbers) {
    const bingo::test::WindowComponents w(window());
    w.se1->setValue(numbers);
    w.se2->setValue(sheets);
    const std::size_t before = shown_.size();
    // Through the event system, so that a failure reaches the application's handler.
    QTest::mouseClick(w.btnPrint, Qt::LeftButton);
    // The preview lays the table out over the event loop; a failure there is shown as well.
    EXPECT_TRUE(QTest::qWaitFor([this] { return !qr1_->isLayoutInProgress(); }, 120000))
        << "the layout does not end";
    const preview::PreviewWindow* preview = qr1_->previewWindow();
    previewComplete_ = preview != nullptr && preview->pages().isComplete();
    qr1_->closePreview();
    std::vector<std::string> texts;
    for (std::size_t i = before; i < shown_.size(); ++i) {
        EXPECT_EQ(shown_[i].title.toStdString(), "fault_tests") << "the box's title";
        texts.push_back(shown_[i].text.toStdString());
    }
    return texts;
}

std::filesystem::path scratchRoot() {
    const std::filesystem::path shm = "/dev/shm";
    std::error_code error;
    if (std::filesystem::is_directory(shm, error) && ::access(shm.c_str(), W_OK | X_OK) == 0)
        return shm;
    return std::filesystem::temp_directory_path();
}

std::filesystem::path scratchDirOfThisTest(const std::string& prefix) {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/')
            c = '_';
    const std::filesystem::path dir =
        scratchRoot() / (prefix + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

store::detail::Database connectTo(const std::filesystem::path& file) {
    store::detail::Database db(file, SQLITE_OPEN_READWRITE, "");
    db.setBusyTimeout(std::chrono::milliseconds(2000));
    return db;
}

std::vector<std::string> column(const std::filesystem::path& file, const std::string& sql) {
    store::detail::Database db = connectTo(file);
    store::detail::Statement stmt = db.prepare(sql);
    std::vector<std::string> values;
    while (stmt.step())
        values.emplace_back(stmt.columnText(0));
    return values;
}

std::string integrityOf(const std::filesystem::path& file) {
    std::string result;
    for (const std::string& line : column(file, "PRAGMA integrity_check"))
        result += (result.empty() ? "" : "\n") + line;
    return result;
}

std::vector<std::string> serialsOf(const std::filesystem::path& file) {
    return column(file, "SELECT S0 FROM tmpBingo ORDER BY rowid");
}

std::string pathText(const std::filesystem::path& path) {
    return path.string();
}

} // namespace bingo::faults
