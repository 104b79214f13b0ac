// The window as assistive technology and the keyboard meet it: roles, names, relations and actions of
// the controls, every input path of the port options, text set through the accessibility interface, the
// Tab chain, Enter and Escape in the entry frames, access keys and shortcuts, and the focus ring.

#include "WindowRig.h"
#include "core/Colors.h"
#include "files/FileManager.h"
#include "ui/widgets/FileManagerDialog.h"
#include "ui/widgets/FocusRing.h"
#include "ui/widgets/ModelLabel.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleEditableTextInterface>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QFocusFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTimer>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

QAccessibleInterface* acc(QObject* o) {
    return QAccessible::queryAccessibleInterface(o);
}
QString focusName() {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}
// A key to whatever has the keyboard: an open menu, else the focused control, else the active window.
void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key(k), mods);
}

} // namespace

TEST(Accessibility, RolesNamesRelationsAndActionsOfTheWindowsControls) {
    WindowRig rig;
    // Only the sensitivity and port number cells act; every other label is static text outside Tab.
    for (ModelLabel* l : rig.window->findChildren<ModelLabel*>()) {
        const bool action = l->objectName() == QStringLiteral("LblParams_3") ||
                            l->objectName() == QStringLiteral("LblParams_5");
        QAccessibleInterface* a = acc(l);
        EXPECT_EQ(a->role(), action ? QAccessible::Button : QAccessible::StaticText)
            << l->objectName().toStdString();
        EXPECT_EQ(l->focusPolicy() != Qt::NoFocus, action) << l->objectName().toStdString();
        EXPECT_EQ(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()),
                  action);
    }
    // The lamp row and the bar are one level meter each; their lamps and segments are no elements.
    for (auto [name, units] : {std::pair{"frameLEDdisp", 8}, std::pair{"frameBarGraf", 32}}) {
        QAccessibleInterface* a = acc(rig.find<QWidget>(name));
        EXPECT_EQ(a->role(), QAccessible::ProgressBar) << name;
        EXPECT_EQ(a->childCount(), 0) << name;
        EXPECT_EQ(a->valueInterface()->maximumValue().toInt(), units) << name;
        EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Level: no reading")) << name;
    }
    // Values are named with their headings, which label them.
    QAccessibleInterface* res = acc(rig.find<ModelLabel>("LblShnStf_3"));
    EXPECT_EQ(res->text(QAccessible::Name), QStringLiteral("Res.: 0"));
    const auto labels = res->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->object(), rig.find<ModelLabel>("LblShnStf_2"));
    EXPECT_EQ(acc(rig.find<ModelLabel>("LblParams_5"))->text(QAccessible::Name), QStringLiteral("Port #: 2"));

    // A probe error reaches the data cell's name, tooltip and description, its caption stays the reading.
    rig.window->monitor().readings().showReading(Reading{8000, 5}, ReadingStatus::Context{8000, true, 0, 25});
    QAccessibleInterface* data = acc(rig.find<ModelLabel>("LblShnStf_7"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return data->text(QAccessible::Name) == QStringLiteral("Data: 8000"); }));
    EXPECT_EQ(data->text(QAccessible::Description), QStringLiteral("Probe error"));

    // The graph acts on a click and says what it shows; text boxes, slider and options are named.
    QAccessibleInterface* graph = acc(rig.find<QWidget>("pixXYgraf"));
    EXPECT_EQ(graph->role(), QAccessible::Button);
    EXPECT_EQ(graph->text(QAccessible::Name), QStringLiteral("Resistance graph"));
    EXPECT_EQ(graph->text(QAccessible::Description), QStringLiteral("No session drawn yet"));
    for (const char* named : {"TxtSeshnComnts", "Slider1", "txtSS"}) {
        rig.action("mnuSetFSize")->trigger();
        EXPECT_FALSE(acc(rig.find<QWidget>(named))->text(QAccessible::Name).isEmpty()) << named;
    }
    EXPECT_EQ(acc(rig.find<QWidget>("txtSS"))->text(QAccessible::Name),
              QStringLiteral("Set Filter Size : Value 1 to 8"));
    EXPECT_EQ(acc(rig.find<QWidget>("optPortNum_0"))->role(), QAccessible::RadioButton);
}

TEST(Accessibility, EveryInputPathOfAPortOptionChoosesThePort) {
    WindowRig rig;
    for (int port : {3, 5, 6})
        rig.comm.addPort(port);
    rig.comm.addHeldPort(4, QStringLiteral("permission denied: add your user to the dialout group"));
    ASSERT_TRUE(rig.startArranged());
    const PortChooser& ports = rig.window->monitor().ports();
    auto* chooser = rig.find<QWidget>("fraSelctPort");
    const auto option = [&](int port) {
        return rig.find<QRadioButton>(QStringLiteral("optPortNum_%1").arg(port - 1));
    };
    const auto scan = [&] {
        rig.action("mnuSetComPort")->trigger(); // returns when the probing is done
        return chooser->isVisible() && !ports.scanActive();
    };

    ASSERT_TRUE(scan());
    // Why COM4 cannot be used is in its description and in the chooser's status text.
    EXPECT_EQ(acc(option(4))->text(QAccessible::Description),
              QStringLiteral("permission denied: add your user to the dialout group"));
    EXPECT_TRUE(acc(option(4))->state().disabled);
    EXPECT_TRUE(rig.find<QLabel>("lblPortStatus")->isVisible());
    EXPECT_TRUE(rig.find<QLabel>("lblPortStatus")
                    ->text()
                    .contains(QStringLiteral("COM4: permission denied: add your user to the dialout group")));
    // The scanned chooser has the focus on the first usable port (COM2, the chosen one, is missing).
    EXPECT_EQ(QApplication::focusWidget(), option(3));

    // A screen reader's "toggle" chooses, and the chooser closes.
    acc(option(6))->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ports.commPortNumber() == 6 && !chooser->isVisible(); }));

    // An arrow key moves to the neighbouring usable port (over the unusable COM4 no more) and chooses it.
    ASSERT_TRUE(scan());
    EXPECT_EQ(QApplication::focusWidget(), option(6)); // the chosen port
    key(Qt::Key_Up);
    EXPECT_EQ(ports.commPortNumber(), 5);
    EXPECT_FALSE(chooser->isVisible());

    // Any mouse button, and Space.
    ASSERT_TRUE(scan());
    QTest::mousePress(option(3), Qt::RightButton);
    EXPECT_EQ(ports.commPortNumber(), 3);
    ASSERT_TRUE(scan());
    QTest::keyClick(option(6), Qt::Key_Space);
    EXPECT_EQ(ports.commPortNumber(), 6);
}

TEST(Keyboard, TabVisitsOnlyTheControlsThatActInReadingOrder) {
    WindowRig rig;
    ASSERT_TRUE(rig.startArranged());
    rig.find<QWidget>("pixXYgraf")->setFocus();
    QStringList visited;
    for (int i = 0; i < 5; ++i) {
        visited << focusName();
        key(Qt::Key_Tab);
    }
    EXPECT_EQ(visited,
              QStringList({"pixXYgraf", "TxtSeshnComnts", "LblParams_3", "LblParams_5", "pixXYgraf"}));
    // The comment box lets Tab go; Ctrl+Tab types a tab into it.
    auto* comments = rig.find<QPlainTextEdit>("TxtSeshnComnts");
    comments->setFocus();
    key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(comments->toPlainText().contains(QLatin1Char('\t')));
    EXPECT_EQ(focusName(), QStringLiteral("TxtSeshnComnts"));
}

TEST(Keyboard, EntryFramesTakeTheFocusEnterIsOkayEscapeIsCancel) {
    WindowRig rig;
    ASSERT_TRUE(rig.startArranged());
    ParameterBoxes& params = rig.window->monitor().parameters();
    auto* graph = rig.find<QWidget>("pixXYgraf");

    // The sensitivity box opens on its slider; Enter accepts the moved value, Escape drops it.
    for (auto [close, expected] : {std::pair{Qt::Key_Return, "26"}, std::pair{Qt::Key_Escape, "26"}}) {
        graph->setFocus();
        rig.action("mnuSetSense")->trigger();
        EXPECT_EQ(focusName(), QStringLiteral("Slider1"));
        key(Qt::Key_Right);
        key(close);
        EXPECT_FALSE(params.sensitivityBoxShown()) << close;
        EXPECT_EQ(params.sensitivityText(), QString::fromLatin1(expected)) << close;
        EXPECT_EQ(QApplication::focusWidget(), graph) << close; // the focus goes back
    }

    // The filter box opens on its text, selected: typing replaces it, Enter stores, Escape closes.
    rig.action("mnuSetFSize")->trigger();
    EXPECT_EQ(focusName(), QStringLiteral("txtSS"));
    key(Qt::Key_5);
    key(Qt::Key_Enter);
    EXPECT_EQ(params.filterSize(), 5);
    EXPECT_FALSE(params.entryBoxShown());
    // Text set by assistive technology reaches "Okay" as well.
    rig.action("mnuSetFSize")->trigger();
    QAccessibleInterface* text = acc(rig.find<QLineEdit>("txtSS"));
    text->editableTextInterface()->replaceText(0, text->textInterface()->characterCount(),
                                               QStringLiteral("7"));
    rig.find<QPushButton>("cmdSS")->click();
    EXPECT_EQ(params.filterSize(), 7);
    rig.action("mnuSetFSize")->trigger();
    key(Qt::Key_Escape);
    EXPECT_FALSE(params.entryBoxShown());
    EXPECT_EQ(params.filterSize(), 7);

    // The port chooser: Escape in its first second closes it as "Okay" does, and nothing is probed.
    QTimer escape;
    QObject::connect(&escape, &QTimer::timeout, [&] {
        if (!rig.find<QWidget>("fraSelctPort")->isVisible()) return;
        escape.stop();
        key(Qt::Key_Escape);
    });
    escape.start(10);
    rig.action("mnuSetComPort")->trigger();
    EXPECT_FALSE(rig.find<QWidget>("fraSelctPort")->isVisible());
    EXPECT_TRUE(rig.comm.openAttempts.empty());
}

TEST(Keyboard, AccessKeysOnEveryMenuF10AndTheShortcuts) {
    WindowRig rig;
    // Every menu and item has an access key, one letter once per menu, and the words stay the same.
    const auto keyOf = [](const QString& text) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
    };
    QSet<QChar> barKeys;
    for (QAction* top : rig.window->menuBar()->actions()) {
        EXPECT_FALSE(keyOf(top->text()).isNull()) << top->text().toStdString();
        barKeys.insert(keyOf(top->text()));
        QSet<QChar> keys;
        qsizetype items = 0;
        for (QAction* item : top->menu()->actions()) {
            if (item->isSeparator()) continue;
            EXPECT_FALSE(keyOf(item->text()).isNull()) << item->text().toStdString();
            keys.insert(keyOf(item->text()));
            ++items;
        }
        EXPECT_EQ(keys.size(), items) << top->text().toStdString();
    }
    EXPECT_EQ(barKeys.size(), 5);

    rig.comm.addPort(2); // the default port opens, so a started session runs
    ASSERT_TRUE(rig.startArranged());
    // Alt puts the keyboard on the menu bar, which shows the item it is on.
    QMenuBar* bar = rig.window->menuBar();
    key(Qt::Key_Alt);
    const QRect file = bar->actionGeometry(bar->actions().first());
    EXPECT_EQ(bar->grab().toImage().pixelColor(file.left() + 2, file.center().y()),
              bar->palette().color(QPalette::Highlight));
    key(Qt::Key_Escape);
    key(Qt::Key_F10);
    EXPECT_EQ(QApplication::activePopupWidget(), rig.find<QMenu>("mnuFile"));
    key(Qt::Key_Escape);
    key(Qt::Key_Escape);
    // Alt+S opens the Session menu and S starts a session; Ctrl+. stops it, Ctrl+R starts it again.
    QTest::keyClick(rig.window.get(), Qt::Key_S, Qt::AltModifier);
    ASSERT_EQ(QApplication::activePopupWidget(), rig.find<QMenu>("mnuSession"));
    key(Qt::Key_S);
    SessionControl& sessions = rig.window->monitor().sessions();
    EXPECT_TRUE(sessions.running());
    key(Qt::Key_Period, Qt::ControlModifier);
    EXPECT_FALSE(sessions.running());
    key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(sessions.running());
    // During a session the greyed port number has no action: it is text, and Tab passes it by.
    EXPECT_EQ(acc(rig.find<ModelLabel>("LblParams_5"))->role(), QAccessible::StaticText);
    EXPECT_EQ(rig.find<ModelLabel>("LblParams_5")->focusPolicy(), Qt::NoFocus);
    key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !rig.window->isVisible(); }));
}

TEST(FocusRing, ATwoPixelRingInTheRingColourAroundTheFocusedGraph) {
    WindowRig rig;
    ASSERT_TRUE(rig.startArranged());
    auto* graph = rig.find<QWidget>("pixXYgraf");
    graph->setFocus();
    auto* ring = rig.window->findChild<QFocusFrame*>(QStringLiteral("focusRing"));
    ASSERT_NE(ring, nullptr);
    EXPECT_EQ(ring->widget(), graph);
    // The ring lies over the window, outside the graph's edge.
    const QImage shot = rig.window->grab().toImage();
    const QPoint left = graph->mapTo(rig.window.get(), QPoint(-FocusRing::kMargin, graph->height() / 2));
    for (int dx = 0; dx < 2; ++dx) // at least two pixels wide
        EXPECT_EQ(shot.pixelColor(left + QPoint(dx, 0)), colors::toQColor(colors::kFocusRing)) << dx;
}

TEST(Accessibility, TheFileManagersNameSetByAssistiveTechnologyReachesItsButton) {
    QTemporaryDir dir;
    ScriptedBoxes boxes;
    CommentBox comments;
    FileManager model(dir.path(), boxes, comments);
    model.load(FileManager::Purpose::Display);
    FileManagerDialog dialog(model);
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("txtFM"));
    EXPECT_EQ(acc(name)->text(QAccessible::Name), QStringLiteral("Session name"));
    for (const char* list : {"dirFM", "filFM", "drvFM"})
        EXPECT_FALSE(
            acc(dialog.findChild<QWidget*>(QString::fromLatin1(list)))->text(QAccessible::Name).isEmpty());
    acc(name)->setText(QAccessible::Value, QStringLiteral("morning"));
    dialog.findChild<QPushButton*>(QStringLiteral("cmdFileOption"))->click();
    EXPECT_TRUE(model.hidden());
    EXPECT_EQ(model.sessionTstPath(), QDir(dir.path()).filePath(QStringLiteral("morning.Tst")));
}

} // namespace aurivo
