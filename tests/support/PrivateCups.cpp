#include "support/PrivateCups.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cups/cups.h>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bingo::test {
namespace {

struct HttpClose {
    void operator()(http_t* http) const { httpClose(http); }
};
using Http = std::unique_ptr<http_t, HttpClose>;

Http connect() {
    return Http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_NEVER, 1,
                             5000, nullptr));
}

constexpr const char* CupsPdfPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

// cupsd drops a two-sided default that the queue's PPD does not offer, and cups-pdf's offers
// none: the queues' PPD is cups-pdf's with a duplex option added.
QByteArray duplexOption(const char* defaultChoice) {
    return QByteArray("\n*OpenUI *Duplex/Two-Sided Printing: PickOne\n"
                      "*OrderDependency: 10 AnySetup *Duplex\n*DefaultDuplex: ") +
           defaultChoice +
           "\n*Duplex None/Off: \"\"\n*Duplex DuplexNoTumble/Long Edge: \"\"\n"
           "*Duplex DuplexTumble/Short Edge: \"\"\n*CloseUI: *Duplex\n";
}

bool writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

std::unique_ptr<PrivateCups> PrivateCups::start(QString& whyNot) {
    if (geteuid() != 0) {
        whyNot = "cupsd needs root, and the tests run as uid " + QString::number(geteuid());
        return nullptr;
    }
    for (const char* program : {"/usr/sbin/cupsd", "/usr/sbin/lpadmin", "/usr/sbin/cupsdisable"}) {
        if (!QFileInfo(program).isExecutable()) {
            whyNot = QString(program) + " is not there";
            return nullptr;
        }
    }
    std::unique_ptr<PrivateCups> cups(new PrivateCups);
    const QString root = cups->dir_.path();
    if (!cups->dir_.isValid()) {
        whyNot = "no temporary directory: " + cups->dir_.errorString();
        return nullptr;
    }
    for (const char* sub : {"conf", "spool", "cache", "state", "log", "tmp"})
        QDir(root).mkpath(sub);
    // The filters run as lp and write their temporary files here.
    chmod(QFile::encodeName(root + "/tmp").constData(), 01777);
    QFile ppd(CupsPdfPpd);
    if (!ppd.open(QIODevice::ReadOnly)) {
        whyNot = QString(CupsPdfPpd) + ": " + ppd.errorString();
        return nullptr;
    }
    const QByteArray ppdText = ppd.readAll();
    QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                    QFileDevice::ExeOther | QFileDevice::ReadGroup |
                                    QFileDevice::ExeGroup);
    cups->socket_ = root + "/cups.sock";
    const QByteArray conf = "Listen " + cups->socket_.toUtf8() + R"(
LogLevel info
WebInterface No
Browsing No
BrowseLocalProtocols none
DefaultAuthType None
DefaultEncryption Never
PreserveJobHistory Yes
PreserveJobFiles Yes
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
)";
    const QByteArray r = root.toUtf8();
    const QByteArray files = "ServerRoot " + r + "/conf\nRequestRoot " + r + "/spool\nCacheDir " +
                             r + "/cache\nStateDir " + r + "/state\nTempDir " + r +
                             "/tmp\nAccessLog " + r + "/log/access_log\nErrorLog " + r +
                             "/log/error_log\nPageLog " + r +
                             "/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                             "FileDevice Yes\nSystemGroup root\n";
    if (!writeFile(root + "/conf/cupsd.conf", conf) ||
        !writeFile(root + "/conf/cups-files.conf", files) ||
        !writeFile(root + "/plain.ppd", ppdText + duplexOption("None")) ||
        !writeFile(root + "/duplex.ppd", ppdText + duplexOption("DuplexNoTumble"))) {
        whyNot = "cannot write the cupsd configuration under " + root;
        return nullptr;
    }
    cups->cupsd_ = std::make_unique<QProcess>();
    cups->cupsd_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    cups->cupsd_->setStandardOutputFile(root + "/log/cupsd.out");
    cups->cupsd_->start("/usr/sbin/cupsd", {"-f", "-c", root + "/conf/cupsd.conf", "-s",
                                            root + "/conf/cups-files.conf"});
    if (!cups->cupsd_->waitForStarted(10000)) {
        whyNot = "cupsd did not start: " + cups->cupsd_->errorString();
        return nullptr;
    }
    cups->oldServer_ = qEnvironmentVariableIsSet("CUPS_SERVER")
                           ? std::optional<QByteArray>(qgetenv("CUPS_SERVER"))
                           : std::nullopt;
    qputenv("CUPS_SERVER", cups->socket_.toUtf8());
    cupsSetServer(cups->socket_.toUtf8().constData());
    for (int tries = 0;; ++tries) {
        if (cups->cupsd_->state() != QProcess::Running) {
            whyNot = "cupsd ended at start; see " + root + "/log";
            return nullptr;
        }
        if (QFileInfo::exists(cups->socket_) && connect())
            break;
        if (tries == 150) {
            whyNot = "cupsd did not answer within 15 s";
            return nullptr;
        }
        QThread::msleep(100);
    }
    if (!cups->run("/usr/sbin/lpadmin",
                   {"-p", Plain, "-E", "-v", "file:/dev/null", "-P", root + "/plain.ppd"},
                   whyNot) ||
        !cups->run("/usr/sbin/lpadmin",
                   {"-p", TwoSided, "-E", "-v", "file:/dev/null", "-P", root + "/duplex.ppd", "-o",
                    "sides-default=two-sided-long-edge"},
                   whyNot))
        return nullptr;
    return cups;
}

PrivateCups::~PrivateCups() {
    if (cupsd_ && cupsd_->state() != QProcess::NotRunning) {
        cupsd_->terminate();
        if (!cupsd_->waitForFinished(10000)) {
            cupsd_->kill();
            cupsd_->waitForFinished(5000);
        }
    }
    if (!socket_.isEmpty()) {
        if (oldServer_)
            qputenv("CUPS_SERVER", *oldServer_);
        else
            qunsetenv("CUPS_SERVER");
        cupsSetServer(nullptr);
    }
}

bool PrivateCups::run(const QString& program, const QStringList& args, QString& whyNot) const {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return true;
    whyNot =
        program + " " + args.join(' ') + " failed: " + QString::fromLocal8Bit(process.readAll());
    return false;
}

int PrivateCups::jobCount(const QString& queue) const {
    const Http http = connect();
    cups_job_t* jobs = nullptr;
    const int count =
        cupsGetJobs2(http.get(), &jobs, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
    cupsFreeJobs(std::max(count, 0), jobs);
    return count;
}

QString PrivateCups::jobAttribute(int jobId, const char* name) const {
    const Http http = connect();
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = "ipp://localhost/jobs/" + QByteArray::number(jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "all");
    const std::unique_ptr<ipp_t, decltype(&ippDelete)> response(
        cupsDoRequest(http.get(), request, "/"), &ippDelete);
    if (!response)
        return {};
    ipp_attribute_t* attribute = ippFindAttribute(response.get(), name, IPP_TAG_ZERO);
    if (!attribute)
        return {};
    char text[1024];
    ippAttributeString(attribute, text, sizeof text);
    return QString::fromUtf8(text);
}

QString PrivateCups::documentPath(int jobId) const {
    return QStringLiteral("%1/spool/d%2-001").arg(dir_.path()).arg(jobId, 5, 10, QLatin1Char('0'));
}

void PrivateCups::setQueueStopped(const QString& queue, bool stopped) {
    QString whyNot;
    if (!run(stopped ? "/usr/sbin/cupsdisable" : "/usr/sbin/cupsenable", {queue}, whyNot))
        qWarning("%s", qPrintable(whyNot));
}

} // namespace bingo::test
