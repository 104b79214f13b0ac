// The real window, headless: every control exists under its name, menus and
// labels work through actions and the accessibility interface, and start-up without a settings file
// gives the window the size the first arrangement makes of the defaults.

#include "WindowRig.h"
#include "device/PacketDecoder.h"
#include "ui/LayoutPlan.h"
#include "ui/widgets/AboutBox.h"
#include "ui/widgets/GraphView.h"
#include "ui/widgets/MainWindow.h"
#include "ui/widgets/ModelLabel.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace aurivo {

TEST(MainWindow, EveryControlExistsUnderItsName) {
    WindowRig rig;
    EXPECT_EQ(rig.window->objectName(), QStringLiteral("frmAurivo"));
    EXPECT_EQ(rig.window->windowTitle(), QStringLiteral("Aurivo USB Interface"));

    for (const char* name :
         {"mnuSaveFile", "mnuDisplayOld", "mnuCancel",    "mnuExit",       "mnuRestart",
          "mnuStart",    "mnuStartAs",    "mnuStop",      "mnuSetSense",   "mnuSetFSize",
          "mnuSetSSF",   "mnuPixGraf",    "mnuBarGrf",    "mnuSmlGraf",    "mnuInternStatus",
          "mnuComments", "mnuTimnStuf",   "mnuShowInput", "mnuSetComPort", "mnuAboutHelp"})
        EXPECT_NE(rig.action(name), nullptr) << name;
    EXPECT_FALSE(rig.action("mnuStop")->isEnabled());
    EXPECT_FALSE(rig.action("mnuRestart")->isEnabled());
    EXPECT_FALSE(rig.action("mnuShowInput")->isEnabled());
    EXPECT_TRUE(rig.action("mnuPixGraf")->isChecked());
    EXPECT_TRUE(rig.action("mnuTimnStuf")->isChecked());
    EXPECT_EQ(rig.action("mnuExit")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F4));
    EXPECT_EQ(rig.find<QMenu>(QStringLiteral("mnuHelp"))->title(), QStringLiteral("&Help"));

    for (const char* frame :
         {"frmPixGraf", "frameLEDdisp", "frameBarGraf", "frameSesshnStuff", "fraSeshnComnts", "FrameParams"})
        EXPECT_NE(rig.find<QFrame>(QString::fromLatin1(frame)), nullptr) << frame;
    for (auto [prefix, count] : {std::pair{"lbl4Graf_", 10},
                                 {"lblLED_", 8},
                                 {"lblBarGraf_", 32},
                                 {"LblShnStf_", 10},
                                 {"LblParams_", 7}})
        for (int i = 0; i < count; ++i)
            EXPECT_NE(rig.find<ModelLabel>(QLatin1String(prefix) + QString::number(i)), nullptr)
                << prefix << i;
    EXPECT_EQ(rig.find<ModelLabel>(QStringLiteral("LblParams_5"))->toolTip(),
              QStringLiteral("Click here to select port number"));
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(rig.find<QRadioButton>(QStringLiteral("optPortNum_%1").arg(i))->text(),
                  QStringLiteral("COM%1").arg(i + 1));
    for (const char* b : {"Command2", "cmdOkay", "cmdCancel", "cmdSS", "cmdCan"})
        EXPECT_NE(rig.find<QPushButton>(QString::fromLatin1(b)), nullptr) << b;
    EXPECT_EQ(rig.find<QSlider>(QStringLiteral("Slider1"))->minimum(), 20);
    EXPECT_EQ(rig.find<QSlider>(QStringLiteral("Slider1"))->maximum(), 1000);
}

TEST(MainWindow, MenuActionsAndAScreenReadersPressReachTheHandlers) {
    WindowRig rig;
    rig.action("mnuTimnStuf")->trigger();
    EXPECT_FALSE(rig.action("mnuTimnStuf")->isChecked());
    EXPECT_FALSE(rig.window->monitor().views().views().timeEtc);
    EXPECT_EQ(rig.window->monitor().views().panelWeightSum(), 25);

    rig.action("mnuSetFSize")->trigger();
    auto* entry = rig.find<QGroupBox>(QStringLiteral("fraSetStuff"));
    EXPECT_TRUE(entry->isVisibleTo(rig.window.get()));
    EXPECT_EQ(entry->title(), QStringLiteral("Set Filter Size : Value 1 to 8"));

    // "Press" on the sensitivity value through the accessibility interface opens the slider box and,
    // like every click on the parameters strip, closes the entry frame.
    ModelLabel* sensitivity = rig.find<ModelLabel>(QStringLiteral("LblParams_3"));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(sensitivity);
    ASSERT_NE(iface, nullptr);
    ASSERT_NE(iface->actionInterface(), nullptr);
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    // The press is carried out once the screen reader's call has returned.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return rig.find<QGroupBox>(QStringLiteral("fraAdjSens"))->isVisibleTo(rig.window.get()); }));
    EXPECT_FALSE(entry->isVisibleTo(rig.window.get()));
    EXPECT_EQ(rig.find<QSlider>(QStringLiteral("Slider1"))->value(), 25);

    // The keyboard: Space on the focused graph picture is its click.
    QSignalSpy clicked(rig.find<QAbstractButton>(QStringLiteral("pixXYgraf")), &QAbstractButton::clicked);
    QTest::keyClick(rig.find<QAbstractButton>(QStringLiteral("pixXYgraf")), Qt::Key_Space);
    EXPECT_EQ(clicked.count(), 1);
}

TEST(MainWindow, StartUpWithoutSettingsTakesTheFirstArrangementOfTheDefaults) {
    WindowRig rig;
    rig.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(rig.window.get()));
    rig.window->startUp(); // the port chooser's second-long pause runs here
    ASSERT_GE(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, QStringLiteral("Need to select Comm Port"));
    EXPECT_EQ(rig.boxes.shown[0].title, QStringLiteral("No initialzation file found"));
    EXPECT_TRUE(rig.find<QGroupBox>(QStringLiteral("fraSelctPort"))->isVisibleTo(rig.window.get()));
    EXPECT_EQ(rig.find<QGroupBox>(QStringLiteral("fraSelctPort"))->title(),
              QStringLiteral("Available Ports"));
    EXPECT_FALSE(QFile::exists(rig.dir.filePath(QStringLiteral("Aurivo_USB.ini"))));

    const PanelArranger& arranger = rig.window->monitor().arranger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return arranger.layoutState() == 2 && !arranger.pending(); }));

    // The same arithmetic from the screen and the defaults predicts the window.
    const double tpp = rig.window->twipsPerPixel();
    const QRect screen = rig.window->screen()->geometry();
    LayoutInput in;
    in.screenWidth = screen.width() * tpp;
    in.screenHeight = screen.height() * tpp;
    in.layoutState = 1;
    in.panelWeightSum = 28;
    in.views = PanelViews::all();
    const Settings d = SettingsFile::defaults(in.screenWidth, in.screenHeight);
    in.windowWidth = d.windowWidth;
    in.windowHeight = d.windowHeight;
    in.windowLeft = d.windowLeft;
    in.windowTop = d.windowTop;
    const WindowPlan plan = LayoutPlan::planWindow(in);
    const TwipsRect g = rig.window->windowGeometry();
    EXPECT_NEAR(g.width, plan.window.width, tpp);
    EXPECT_NEAR(g.height, plan.window.height, tpp);
    EXPECT_NEAR(g.width, g.height * 4 / 3, 2 * tpp);
    EXPECT_TRUE(rig.find<QFrame>(QStringLiteral("frmPixGraf"))->isVisible());

    // Dragging the bottom edge: the next tick snaps the height to a 32nd of the screen, width 4/3 of it.
    const double stepDown = std::round(in.screenHeight / 32);
    rig.window->resize(rig.window->width(), rig.window->height() - 37);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return std::abs(std::fmod(rig.window->windowGeometry().height, stepDown)) <= tpp; }));
    const TwipsRect r = rig.window->windowGeometry();
    EXPECT_EQ(arranger.layoutState(), 2);
    EXPECT_NEAR(std::fmod(r.height, stepDown), 0, tpp) << r.height;
    EXPECT_NEAR(r.width, std::round(r.height * 4 / 3), tpp);
    EXPECT_LT(r.height, g.height);
    // The panels stay inside the window and do not overlap.
    int bottom = 0;
    for (const char* name :
         {"frmPixGraf", "frameLEDdisp", "frameBarGraf", "frameSesshnStuff", "fraSeshnComnts"}) {
        const QRect f = rig.find<QFrame>(QString::fromLatin1(name))->geometry();
        EXPECT_GE(f.top(), bottom) << name;
        bottom = f.bottom();
        EXPECT_LE(f.right(), rig.window->centralWidget()->width()) << name;
    }
    EXPECT_LE(bottom, rig.window->centralWidget()->height());

    rig.window->close();
    QFile ini(rig.dir.filePath(QStringLiteral("Aurivo_USB.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(ini.readAll().count("\r\n"), 28);
}

TEST(MainWindow, HidingThePictureGraphShrinksTheWindowOneStepAlsoAtTheMinimumHeight) {
    WindowRig rig;
    const double tpp = rig.window->twipsPerPixel();
    const double screenHeight = rig.window->screen()->geometry().height() * tpp;
    // Saved default settings: start-up neither asks for a port nor scans.
    ASSERT_TRUE(
        SettingsFile(rig.dir.path())
            .write(SettingsFile::defaults(rig.window->screen()->geometry().width() * tpp, screenHeight)));
    rig.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(rig.window.get()));
    rig.window->startUp();
    const PanelArranger& arranger = rig.window->monitor().arranger();
    const auto height = [&] { return rig.window->windowGeometry().height; };
    const auto arranged = [&] {
        return QTest::qWaitFor([&] { return arranger.layoutState() == 2 && !arranger.pending(); });
    };
    ASSERT_TRUE(arranged());
    const double step = screenHeight / 32, minimum = screenHeight * 28 / 56;
    for (bool atMinimum : {false, true}) {
        if (atMinimum) {
            rig.window->resize(rig.window->width(), 10);
            ASSERT_TRUE(QTest::qWaitFor([&] { return std::abs(height() - minimum) <= tpp; })) << height();
        }
        const double before = height();
        rig.action("mnuPixGraf")->trigger();
        ASSERT_TRUE(arranged());
        const double hidden = height();
        EXPECT_NEAR(hidden, before - step, tpp) << atMinimum;
        // Showing it again keeps the height, or takes the larger minimum of all panels.
        rig.action("mnuPixGraf")->trigger();
        ASSERT_TRUE(arranged());
        EXPECT_NEAR(height(), std::max(hidden, minimum), tpp) << atMinimum;
    }
}

TEST(MainWindow, APressInsideAnEntryFrameKeepsTheFilterBoxOpenAPressOnTheFormClosesIt) {
    WindowRig rig;
    rig.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(rig.window.get()));
    rig.action("mnuSetFSize")->trigger();
    rig.find<QGroupBox>(QStringLiteral("fraSelctPort"))->show();
    rig.find<QGroupBox>(QStringLiteral("fraAdjSens"))->show();
    auto* filterBox = rig.find<QGroupBox>(QStringLiteral("fraSetStuff"));
    for (const char* frame : {"fraSetStuff", "fraSelctPort", "fraAdjSens"}) {
        QTest::mouseClick(rig.find<QGroupBox>(QString::fromLatin1(frame)), Qt::LeftButton, {}, QPoint(3, 3));
        EXPECT_TRUE(filterBox->isVisible()) << frame;
    }
    QTest::mouseClick(rig.window->centralWidget(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(filterBox->isVisible());
}

TEST(MainWindow, OnTheGraphMSetsAMarkerToNameAndArrowKeysMoveTheReadout) {
    WindowRig rig;
    Monitor& m = rig.window->monitor();
    rig.comm.addPort(2);
    m.onTick(); // the first arrangement
    m.sessions().startSession();
    for (int i = 0; i < 20; ++i) {
        rig.comm.deliver(PacketDecoder::makePacket(8000, 4) + PacketDecoder::makePacket(8000, 4));
        m.onTick();
    }
    auto* graph = rig.find<GraphView>(QStringLiteral("pixXYgraf"));
    QTest::keyClick(graph, Qt::Key_M);
    ASSERT_EQ(m.markers().markers().size(), 1u);
    auto* prompt = rig.find<QLineEdit>(QStringLiteral("txtMarkerLabel"));
    EXPECT_FALSE(prompt->isHidden());
    EXPECT_EQ(prompt->text(), QStringLiteral("Marker 1"));
    prompt->setText(QStringLiteral("tone"));
    QTest::keyClick(prompt, Qt::Key_Return);
    EXPECT_TRUE(prompt->isHidden());
    EXPECT_EQ(m.markers().markers()[0].label, QStringLiteral("tone"));
    rig.action("mnuAddMarker")->trigger();
    QTest::keyClick(prompt, Qt::Key_Escape); // keeps "Marker 2"
    EXPECT_EQ(m.markers().markers()[1].label, QStringLiteral("Marker 2"));

    QTest::keyClick(graph, Qt::Key_Home);
    EXPECT_EQ(graph->cursorColumn(), 1);
    EXPECT_TRUE(graph->accessibleDescription().startsWith(QStringLiteral("00:00:00.00, reading 1: ")));
    QTest::keyClick(graph, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(graph->cursorColumn(), 11);
    EXPECT_TRUE(graph->accessibleDescription().startsWith(QStringLiteral("00:00:00.50, reading 11: ")));
    QTest::keyClick(graph, Qt::Key_Escape);
    EXPECT_FALSE(graph->cursorColumn());
    EXPECT_FALSE(graph->accessibleDescription().contains(QStringLiteral("reading")));
    m.sessions().stopSession();
}

TEST(AboutBox, TitleVersionAndKeys) {
    AboutBox about(QStringLiteral("/home/u/.local/share/aurivo-usb"));
    EXPECT_EQ(about.objectName(), QStringLiteral("frmAbout"));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Aurivo USB"));
    auto* title = about.findChild<QLabel*>(QStringLiteral("lblTitle"));
    EXPECT_EQ(title->text(), QStringLiteral("Aurivo USB"));
    EXPECT_EQ(title->font(), about.font()); // plain
    EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
              QStringLiteral("Version 2.1.0"));
    EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("lblFolder"))->text(),
              QStringLiteral("Files: /home/u/.local/share/aurivo-usb"));
    auto* ok = about.findChild<QPushButton*>(QStringLiteral("cmdOK"));
    EXPECT_TRUE(ok->isDefault());
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        about.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
        QTest::keyClick(&about, key);
        EXPECT_FALSE(about.isVisible()) << key;
    }
}

} // namespace aurivo
