#include "widgets/ExportProgressDialog.h"

#include "export/ExportJob.h"

#include <QDir>
#include <QEventLoop>
#include <QTimer>

namespace aurivo {

namespace {
constexpr int kSteps = 1000;
constexpr int kPollMs = 50;
} // namespace

ExportProgressDialog::ExportProgressDialog(ExportJob& job, QWidget* parent)
    : QProgressDialog(parent), job_(job) {
    setObjectName(QStringLiteral("frmExportProgress"));
    setWindowTitle(QStringLiteral("Export session"));
    setLabelText(QStringLiteral("Exporting to %1").arg(QDir::toNativeSeparators(job.outPath())));
    setRange(0, kSteps);
    setWindowModality(Qt::ApplicationModal);
    setAutoClose(false);
    setAutoReset(false);
    setMinimumDuration(0);
    // The dialog hides itself on Cancel; the export stops at its next progress report and removes its file.
    connect(this, &QProgressDialog::canceled, this, [this] { job_.cancel(); });
}

void ExportProgressDialog::run() {
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(kPollMs);
    connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
        const int64_t total = job_.total();
        if (total > 0) setValue(int(job_.done() * kSteps / total));
        if (job_.finished()) loop.quit();
    });
    poll.start();
    job_.start();
    show();
    if (!job_.finished()) loop.exec();
    hide();
}

} // namespace aurivo
