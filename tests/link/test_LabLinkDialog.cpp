// The "Lab link" dialog: off by default on loopback, and what it applies is in effect and kept beside
// the settings file, which stays as it was.

#include "../session/MonitorRig.h"
#include "widgets/LabLinkDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>
#include <QUdpSocket>
#include <gtest/gtest.h>

namespace aurivo {
namespace {

TEST(LabLinkDialog, AppliesAndKeepsTheChoice) {
    MonitorRig rig;
    const QByteArray ini = rig.read(QStringLiteral("Aurivo_USB.ini"));
    EXPECT_EQ(rig.m().labLink().settings(), LabLinkSettings());
    EXPECT_EQ(rig.m().labLink().listeningPort(), 0);

    LabLinkDialog dialog(
        rig.m().labLink(),
        [&rig](const LabLinkSettings& settings, QString& failure) {
            return rig.m().applyLabLink(settings, failure);
        },
        nullptr);
    EXPECT_FALSE(dialog.findChild<QCheckBox*>(QStringLiteral("chkSend"))->isChecked());
    EXPECT_FALSE(dialog.findChild<QCheckBox*>(QStringLiteral("chkReceive"))->isChecked());
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("txtListenAddress"))->text(),
              QStringLiteral("127.0.0.1"));
    EXPECT_EQ(dialog.findChild<QSpinBox*>(QStringLiteral("spnSendPort"))->value(), 9000);
    EXPECT_EQ(dialog.findChild<QSpinBox*>(QStringLiteral("spnReceivePort"))->value(), 9001);

    QUdpSocket probe;
    ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
    const uint16_t port = probe.localPort();
    probe.close();
    dialog.findChild<QCheckBox*>(QStringLiteral("chkReceive"))->setChecked(true);
    dialog.findChild<QSpinBox*>(QStringLiteral("spnReceivePort"))->setValue(port);
    dialog.findChild<QCheckBox*>(QStringLiteral("chkSend"))->setChecked(true);
    dialog.findChild<QLineEdit*>(QStringLiteral("txtSendHost"))->setText(QStringLiteral("not a host"));
    dialog.apply();

    EXPECT_EQ(rig.m().labLink().listeningPort(), port);
    EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("lblLinkStatus"))
                    ->text()
                    .contains(QStringLiteral("not a host")));
    QSettings conf(rig.path(QStringLiteral("aurivo-usb.conf")), QSettings::IniFormat);
    EXPECT_TRUE(conf.value(QStringLiteral("lablink/receive")).toBool());
    EXPECT_EQ(conf.value(QStringLiteral("lablink/receivePort")).toInt(), int(port));
    EXPECT_EQ(LabLinkSettings::load(rig.dir.path()), dialog.chosen());
    EXPECT_EQ(rig.read(QStringLiteral("Aurivo_USB.ini")), ini);
}

} // namespace
} // namespace aurivo
