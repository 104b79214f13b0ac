// The tone's items in the real window and its box, headless: keys, check marks, access keys and names.

#include "../widgets/WindowRig.h"
#include "app/ToneOutput.h"
#include "widgets/ToneDialog.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace aurivo {

TEST(ToneMenu, SessionItemsWithKeysAndCheckMarksAndTheBoxWorkedByKeyboard) {
    WindowRig rig;
    rig.comm.addPort(3);
    ASSERT_TRUE(rig.startArranged());
    QAction* tone = rig.action("mnuTone");
    QAction* mute = rig.action("mnuMuteTone");
    QAction* settings = rig.action("mnuToneSettings");
    ASSERT_TRUE(tone && mute && settings);
    auto* session = rig.find<QMenu>("mnuSession");
    EXPECT_TRUE(session->actions().contains(tone));
    EXPECT_TRUE(session->actions().contains(settings));
    EXPECT_TRUE(tone->isCheckable() && mute->isCheckable());
    EXPECT_FALSE(tone->isChecked());

    ToneOutput& t = rig.window->tone();
    key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(t.enabled());
    EXPECT_TRUE(tone->isChecked());
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_TRUE(t.muted());
    EXPECT_TRUE(mute->isChecked());
    key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_FALSE(mute->isChecked());
    // Changed elsewhere, the marks follow as well.
    t.setEnabled(false);
    EXPECT_FALSE(tone->isChecked());
    t.setMuted(true);
    EXPECT_TRUE(mute->isChecked());
    // Alt+S, O: the access key turns it on from the menu.
    QTest::keyClick(rig.window.get(), Qt::Key_S, Qt::AltModifier);
    ASSERT_EQ(QApplication::activePopupWidget(), session);
    key(Qt::Key_O);
    EXPECT_TRUE(t.enabled());
    // No session, so nothing plays (and these tests need no sound server).
    EXPECT_FALSE(t.playing());

    // The tone box is worked by keyboard and applies on Okay.
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<ToneDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([box] { return QApplication::activeWindow() == box; }));
        seen = true;
        EXPECT_EQ(box->windowTitle(), "Tone");
        // The volume has the keyboard first; Tab goes through direction, span and base pitch.
        EXPECT_EQ(QApplication::focusWidget(), box->findChild<QSpinBox*>("spnToneVolume"));
        for (const char* name : {"spnToneVolume", "cboToneDirection", "spnToneSpan", "spnToneBase"}) {
            QWidget* field = box->findChild<QWidget*>(name);
            ASSERT_NE(field, nullptr) << name;
            EXPECT_FALSE(QAccessible::queryAccessibleInterface(field)->text(QAccessible::Name).isEmpty());
        }
        key(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), "80");
        key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), box->findChild<QComboBox*>("cboToneDirection"));
        key(Qt::Key_Down);
        key(Qt::Key_Tab);
        key(Qt::Key_Up); // 1.25 octaves per doubling
        key(Qt::Key_Tab);
        key(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), "220");
        key(Qt::Key_Return);
    });
    rig.action("mnuToneSettings")->trigger();
    EXPECT_TRUE(seen);
    EXPECT_EQ(t.settings().volumePercent, 80);
    EXPECT_EQ(t.settings().direction, ToneSettings::Direction::Falls);
    EXPECT_EQ(t.settings().span, 1.25);
    EXPECT_EQ(t.settings().basePitch, 220.0);
    EXPECT_EQ(ToneSettings::load(rig.dir.path()), t.settings());

    // Escape leaves everything as it was; Alt+B reaches the base pitch by its access key.
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        box->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([box] { return QApplication::activeWindow() == box; }));
        key(Qt::Key_B, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), box->findChild<QSpinBox*>("spnToneBase"));
        key(Qt::Key_Up);
        key(Qt::Key_Escape);
    });
    rig.action("mnuToneSettings")->trigger();
    EXPECT_EQ(t.settings().basePitch, 220.0);
}

TEST(ToneMenu, TheBoxHoldsItsFieldsToTheirRanges) {
    ToneSettings s;
    s.span = 4;
    s.basePitch = 1760;
    s.volumePercent = 100;
    ToneDialog box(s);
    EXPECT_EQ(box.settings(), s);
    box.findChild<QDoubleSpinBox*>("spnToneSpan")->setValue(9);
    box.findChild<QSpinBox*>("spnToneBase")->setValue(5);
    box.findChild<QSpinBox*>("spnToneVolume")->setValue(-3);
    EXPECT_EQ(box.settings().span, 4.0);
    EXPECT_EQ(box.settings().basePitch, 110.0);
    EXPECT_EQ(box.settings().volumePercent, 0);
}

} // namespace aurivo
