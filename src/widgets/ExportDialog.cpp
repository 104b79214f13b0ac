#include "widgets/ExportDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace aurivo {

ExportDialog::ExportDialog(const ExportChoices& choices, QWidget* parent)
    : QDialog(parent), sessions_(choices.sessions), browseFolder_(choices.browseFolder) {
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(QStringLiteral("Export session"));
    session_ = new QComboBox(this);
    session_->setObjectName(QStringLiteral("cboExportSession"));
    for (const ExportChoices::Session& s : sessions_)
        session_->addItem(s.name);
    session_->addItem(QStringLiteral("Another saved session..."));
    format_ = new QComboBox(this);
    format_->setObjectName(QStringLiteral("cboExportFormat"));
    format_->addItem(QStringLiteral("EDF+ (.edf)"));
    format_->addItem(QStringLiteral("CSV (.csv)"));
    file_ = new QLineEdit(this);
    file_->setObjectName(QStringLiteral("txtExportFile"));
    file_->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 48);
    auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
    browse->setObjectName(QStringLiteral("cmdExportBrowse"));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file_);
    fileRow->addWidget(browse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Export"));

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Session:"), session_);
    form->addRow(QStringLiteral("&Format:"), format_);
    // The file box sits in a row with its button, so its label is made its buddy by hand: Alt+I reaches
    // it, the ampersand marks the key instead of showing, and screen readers hear the box's name.
    auto* fileLabel = new QLabel(QStringLiteral("F&ile:"), this);
    fileLabel->setBuddy(file_);
    form->addRow(fileLabel, fileRow);
    form->addRow(buttons);

    connect(session_, &QComboBox::activated, this, &ExportDialog::sessionChosen);
    connect(format_, &QComboBox::currentIndexChanged, this, [this] {
        file_->setText(QDir::toNativeSeparators(ExportChoices::withExtension(file_->text(), format())));
    });
    connect(browse, &QPushButton::clicked, this, &ExportDialog::browseForFile);
    connect(buttons, &QDialogButtonBox::accepted, this, &ExportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ExportDialog::reject);
    if (sessions_.empty())
        chooseOtherSession();
    else
        sessionChosen(0);
}

ExportFormat ExportDialog::format() const {
    return format_->currentIndex() == 1 ? ExportFormat::Csv : ExportFormat::Edf;
}

void ExportDialog::sessionChosen(int index) {
    if (index >= int(sessions_.size())) {
        chooseOtherSession();
        return;
    }
    shownSession_ = index;
    file_->setText(
        QDir::toNativeSeparators(sessions_[size_t(index)].outBase + ExportChoices::extension(format())));
}

void ExportDialog::chooseOtherSession() {
    const QString tst =
        QFileDialog::getOpenFileName(this, QStringLiteral("Choose a saved session"), browseFolder_,
                                     QStringLiteral("Saved sessions (*.tst *.Tst *.TST)"));
    if (tst.isEmpty()) {
        session_->setCurrentIndex(shownSession_);
        return;
    }
    const QFileInfo info(tst);
    browseFolder_ = info.absolutePath();
    sessions_.push_back({info.completeBaseName(), tst, info.dir().filePath(info.completeBaseName())});
    session_->insertItem(int(sessions_.size()) - 1, info.completeBaseName());
    session_->setCurrentIndex(int(sessions_.size()) - 1);
    sessionChosen(int(sessions_.size()) - 1);
}

void ExportDialog::browseForFile() {
    const QString filter = format() == ExportFormat::Edf ? QStringLiteral("EDF+ files (*.edf)")
                                                         : QStringLiteral("CSV files (*.csv)");
    const QString chosen =
        QFileDialog::getSaveFileName(this, QStringLiteral("Export to"), file_->text(), filter);
    if (!chosen.isEmpty())
        file_->setText(QDir::toNativeSeparators(ExportChoices::withExtension(chosen, format())));
}

void ExportDialog::accept() {
    if (sessions_.empty() || file_->text().trimmed().isEmpty()) return;
    const QString typed = QDir::fromNativeSeparators(file_->text().trimmed());
    const QString out = ExportChoices::withExtension(QDir::home().absoluteFilePath(typed), format());
    if (QFileInfo::exists(out) &&
        QMessageBox::question(this, windowTitle(),
                              QStringLiteral("%1 exists already.\nDo you want to replace it?")
                                  .arg(QDir::toNativeSeparators(out))) != QMessageBox::Yes)
        return;
    request_ = ExportRequest{sessions_[size_t(shownSession_)].readingPath, out, format()};
    QDialog::accept();
}

std::optional<ExportRequest> ExportDialog::ask() {
    request_.reset();
    if (exec() != QDialog::Accepted) return std::nullopt;
    return request_;
}

} // namespace aurivo
