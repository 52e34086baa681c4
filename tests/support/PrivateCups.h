#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>
#include <memory>
#include <optional>

namespace bingo::test {

/// A cupsd of its own (configuration, spool and socket in a temporary directory) with two
/// queues that print through cups-pdf's PPD to /dev/null: Plain (one-sided by default) and
/// TwoSided (two-sided-long-edge by default).
/// Jobs and their documents stay in the spool after they complete. Points CUPS_SERVER at its
/// socket while it runs and puts the old value back when it stops. Needs root, cupsd and
/// cups-pdf's PPD.
class PrivateCups {
  public:
    static constexpr const char* Plain = "bingo-test-plain";
    static constexpr const char* TwoSided = "bingo-test-duplex";

    /// Starts one; nullptr, with whyNot set, where that cannot be done here.
    static std::unique_ptr<PrivateCups> start(QString& whyNot);
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    /// Every job the server knows of on queue, whatever its state (completed ones too).
    [[nodiscard]] int jobCount(const QString& queue) const;
    /// The job attribute name of job jobId as text ("" when it has none); several values
    /// joined by ",", ranges as "1-3".
    [[nodiscard]] QString jobAttribute(int jobId, const char* name) const;
    /// The file holding the document the queue received for job jobId (it may not exist).
    [[nodiscard]] QString documentPath(int jobId) const;
    /// Stops or starts the queue taking jobs off to its device, so that they stay pending.
    void setQueueStopped(const QString& queue, bool stopped);

  private:
    PrivateCups() = default;
    bool run(const QString& program, const QStringList& args, QString& whyNot) const;

    QTemporaryDir dir_;
    std::unique_ptr<QProcess> cupsd_;
    QString socket_;
    std::optional<QByteArray> oldServer_;
};

} // namespace bingo::test
