#include "widgets/LabLinkDialog.h"

#include "link/LabLink.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace aurivo {

namespace {

QSpinBox* portBox(QWidget* parent, const char* name, uint16_t value) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(1, 65535);
    box->setValue(value);
    return box;
}

} // namespace

LabLinkDialog::LabLinkDialog(const LabLink& link, Apply apply, QWidget* parent)
    : QDialog(parent), link_(link), apply_(std::move(apply)) {
    setObjectName(QStringLiteral("dlgLabLink"));
    setWindowTitle(QStringLiteral("Lab link"));
    const LabLinkSettings& s = link.settings();

    send_ = new QCheckBox(QStringLiteral("&Send readings, sessions and markers (OSC)"), this);
    send_->setObjectName(QStringLiteral("chkSend"));
    send_->setChecked(s.sendEnabled);
    sendHost_ = new QLineEdit(s.sendHost, this);
    sendHost_->setObjectName(QStringLiteral("txtSendHost"));
    sendPort_ = portBox(this, "spnSendPort", s.sendPort);
    receive_ = new QCheckBox(QStringLiteral("&Receive markers"), this);
    receive_->setObjectName(QStringLiteral("chkReceive"));
    receive_->setChecked(s.receiveEnabled);
    listenAddress_ = new QLineEdit(s.listenAddress, this);
    listenAddress_->setObjectName(QStringLiteral("txtListenAddress"));
    listenAddress_->setToolTip(QStringLiteral("127.0.0.1 takes markers from this computer only"));
    receivePort_ = portBox(this, "spnReceivePort", s.receivePort);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lblLinkStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* form = new QFormLayout;
    form->addRow(send_);
    form->addRow(QStringLiteral("&Host:"), sendHost_);
    form->addRow(QStringLiteral("&Port:"), sendPort_);
    form->addRow(receive_);
    form->addRow(QStringLiteral("Listen &address:"), listenAddress_);
    form->addRow(QStringLiteral("P&ort:"), receivePort_);
    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Apply | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &LabLinkDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LabLinkDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, &LabLinkDialog::apply);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(status_);
    layout->addWidget(buttons);

    refresh_.setInterval(500);
    connect(&refresh_, &QTimer::timeout, this, &LabLinkDialog::showStatus);
    refresh_.start();
    showStatus();
}

LabLinkSettings LabLinkDialog::chosen() const {
    LabLinkSettings s;
    s.sendEnabled = send_->isChecked();
    s.sendHost = sendHost_->text().trimmed();
    s.sendPort = uint16_t(sendPort_->value());
    s.receiveEnabled = receive_->isChecked();
    s.listenAddress = listenAddress_->text().trimmed();
    s.receivePort = uint16_t(receivePort_->value());
    return s;
}

void LabLinkDialog::apply() {
    saveFailure_.clear();
    apply_(chosen(), saveFailure_);
    showStatus();
}

void LabLinkDialog::accept() {
    apply();
    QDialog::accept();
}

void LabLinkDialog::showStatus() {
    QString text = link_.statusText();
    if (!saveFailure_.isEmpty()) text += QStringLiteral("\nSettings not kept: ") + saveFailure_;
    if (status_->text() != text) status_->setText(text);
}

} // namespace aurivo
