// The real window, headless: its widgets show the monitor's state where the arrangement puts them, its
// size and snapping, keys and actions on its controls, and what assistive technology and the keyboard find.

#include "TestFiles.h"
#include "WindowRig.h"
#include "device/PacketDecoder.h"
#include "widgets/AboutBox.h"
#include "widgets/ExportDialog.h"
#include "widgets/FileManagerDialog.h"
#include "widgets/FocusRing.h"
#include "widgets/GraphView.h"
#include "widgets/LabelModel.h"
#include "widgets/ModelLabel.h"
#include "widgets/QtMessageBoxes.h"
#include "widgets/SaveAsDialog.h"

#include <QAccessibleActionInterface>
#include <QAccessibleEditableTextInterface>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QFocusFrame>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
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

// The names of the labels and frames whose caption, colour, font or place differ from the monitor's.
QStringList mismatches(WindowRig& rig) {
    Monitor& m = rig.m();
    const LayoutGeometry& g = m.arranger().geometry();
    const double tpp = rig.window->twipsPerPixel();
    QStringList out;
    const auto model = [](const QString& caption, uint32_t back) {
        LabelModel l;
        l.caption = caption;
        l.backColor = back;
        return l;
    };
    const auto check = [&](const QString& name, const LabelModel& model, const TwipsRect& rect,
                           const FontSpec& font = {}) {
        auto* l = rig.find<ModelLabel>(name);
        if (l->text() != model.caption || l->backColor() != model.backColor ||
            (rect.width > 0 && l->geometry() != toPixelRect(rect, tpp)) ||
            (font.size > 0 && (l->font().pointSizeF() != font.size || l->font().bold() != font.bold)))
            out << name;
    };
    // The readings panel: headings before the resistance, conductance, percentage and the data cell,
    // which is light green while data arrives.
    const ReadingStatus::Shown& shown = m.readings().shown();
    const std::array<LabelModel, 10> readings{
        model("% Change ", colors::kButtonFace),
        model(ReadingStatus::percentCaption(shown.percentChange), colors::kButtonFace),
        model("Res.", colors::kButtonFace),
        model(ReadingStatus::ohmsCaption(shown.ohms), colors::kButtonFace),
        model("Cond.", colors::kButtonFace),
        model(ReadingStatus::conductanceCaption(shown.microsiemens), colors::kButtonFace),
        model("Data", colors::kButtonFace),
        model(ReadingStatus::dataCaption(shown.data),
              shown.data.light == ReadingStatus::DataLight::Good ? colors::kLightGreen : colors::kButtonFace),
        model("Battery", colors::kButtonFace),
        model("", colors::kButtonFace)};
    for (size_t i = 0; i < 10; ++i) {
        check(QStringLiteral("LblShnStf_%1").arg(i), readings[i], g.readings[i].rect, g.readings[i].font);
        check(QStringLiteral("lbl4Graf_%1").arg(i), model(m.graph().axisLabels()[i], 0x8000000F),
              g.axisLabels[i].rect, g.axisLabels[i].font);
    }
    for (size_t i = 0; i < 8; ++i)
        check(QStringLiteral("lblLED_%1").arg(i),
              model({}, m.indicators().lampColours()[i].value_or(colors::kButtonFace)), g.lamps[i]);
    for (size_t i = 0; i < 32; ++i)
        check(QStringLiteral("lblBarGraf_%1").arg(i),
              model({}, m.indicators().barColours()[i].value_or(colors::kButtonFace)), g.bar[i]);
    // The parameters strip: headings before the session clock, the sensitivity and the port number, which
    // offer their boxes by tooltip; the port number is greyed during a session, the scan notice red.
    const bool running = m.sessions().running();
    std::array<LabelModel, 7> params{
        model("Time", colors::kButtonFace),
        model(m.sessions().clockText(), colors::kButtonFace),
        model("Sens.%", colors::kButtonFace),
        model(m.parameters().sensitivity().text(), colors::kWindowBackground),
        model("Port #", colors::kButtonFace),
        model(QString::number(m.ports().commPortNumber()),
              running ? colors::kInactiveCaptionText : colors::kWindowBackground),
        model("Examiming Ports", colors::kRed)};
    params[3].toolTip = "Click here to adjust sensitivity";
    if (!running) params[5].toolTip = "Click here to select port number";
    params[6].visible = m.ports().scanNoticeShown();
    for (size_t i = 0; i < 7; ++i) {
        const QString name = QStringLiteral("LblParams_%1").arg(i);
        check(name, params[i], g.params[i].rect, g.params[i].font);
        auto* l = rig.find<ModelLabel>(name);
        if (l->toolTip() != params[i].toolTip || l->isHidden() == params[i].visible) out << name;
    }
    const char* frames[6] = {"frmPixGraf",       "frameLEDdisp",   "frameBarGraf",
                             "frameSesshnStuff", "fraSeshnComnts", "FrameParams"};
    for (size_t i = 0; i < 6; ++i)
        if (rig.find(frames[i])->geometry() != toPixelRect(g.frames[i].rect, tpp) ||
            rig.find(frames[i])->isVisible() != g.frames[i].visible)
            out << frames[i];
    const QSize picture(m.graph().picture().scaleWidth(), m.graph().picture().scaleHeight());
    if (rig.find("pixXYgraf")->geometry() != toPixelRect(g.graph, tpp) ||
        rig.find("pixXYgraf")->size() != picture)
        out << "pixXYgraf";
    return out;
}

// The widgets of every element under an accessible interface that are not shown.
QStringList hiddenElements(QAccessibleInterface* a) {
    QStringList hidden;
    for (int i = 0; i < a->childCount(); ++i) {
        QAccessibleInterface* c = a->child(i);
        auto* w = c ? qobject_cast<QWidget*>(c->object()) : nullptr;
        if (!w) continue;
        // (Qt's own parts of its controls, such as a text box's unused scroll bar, are left to Qt.)
        if (w->isHidden() && !w->objectName().startsWith("qt_")) hidden << w->objectName();
        hidden << hiddenElements(c);
    }
    return hidden;
}
} // namespace

TEST(MainWindow, WidgetsShowTheMonitorsStateTheGraphTakesMarkersAndMovesItsReadoutByKey) {
    WindowRig rig;
    Monitor& m = rig.m();
    rig.comm.addPort(2);
    ASSERT_TRUE(rig.startArranged());
    m.choose(MenuItem::Start);
    for (int i = 0; i < 20; ++i) {
        const QByteArray packet = PacketDecoder::makePacket(uint16_t(8000 + 60 * i), 4);
        rig.comm.deliver(packet + packet);
        m.onTick();
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return mismatches(rig).isEmpty(); }))
        << mismatches(rig).join(' ').toStdString();
    // The graph on screen is the picture: every pixel of the trace shows in the trace's colour.
    const QImage& picture = m.graph().picture().image();
    const QImage shown = rig.find("pixXYgraf")->grab().toImage();
    int trace = 0;
    for (int y = 0; y < std::min(picture.height(), shown.height()); ++y)
        for (int x = 0; x < std::min(picture.width(), shown.width()); ++x) {
            if (picture.pixel(x, y) != colors::toRgb(colors::kWhite)) continue;
            ++trace;
            EXPECT_EQ(shown.pixel(x, y), picture.pixel(x, y)) << x << "," << y;
        }
    EXPECT_GT(trace, 10);
    // The value cells of the readings panel are boxed, their headings are not.
    for (int i = 0; i < 10; ++i) {
        const QImage cell = rig.find(QStringLiteral("LblShnStf_%1").arg(i))->grab().toImage();
        EXPECT_EQ(cell.pixelColor(0, 0) == QColor(96, 96, 96), i % 2 == 1) << i;
    }
    EXPECT_TRUE(rig.action("mnuStop")->isEnabled());
    rig.action("mnuTimnStuf")->trigger();
    EXPECT_FALSE(rig.action("mnuTimnStuf")->isChecked());
    ASSERT_TRUE(rig.arranged());
    EXPECT_TRUE(QTest::qWaitFor([&] { return mismatches(rig).isEmpty(); }))
        << mismatches(rig).join(' ').toStdString();

    // On the graph M sets a marker whose prompt names it; arrow keys move the readout; Space clicks.
    auto* graph = rig.find<GraphView>("pixXYgraf");
    QTest::keyClick(graph, Qt::Key_M);
    ASSERT_EQ(m.markers().markers().size(), 1u);
    auto* prompt = rig.find<QLineEdit>("txtMarkerLabel");
    EXPECT_EQ(prompt->text(), "Marker 1");
    prompt->setText("tone");
    QTest::keyClick(prompt, Qt::Key_Return);
    EXPECT_TRUE(prompt->isHidden());
    EXPECT_EQ(m.markers().markers()[0].label, "tone");
    rig.action("mnuAddMarker")->trigger();
    EXPECT_FALSE(prompt->isHidden());
    QTest::keyClick(prompt, Qt::Key_Escape); // keeps "Marker 2"
    EXPECT_EQ(m.markers().markers()[1].label, "Marker 2");

    QTest::keyClick(graph, Qt::Key_Home);
    EXPECT_EQ(graph->cursorColumn(), 1);
    EXPECT_TRUE(graph->accessibleDescription().startsWith("00:00:00.00, sample 1: "));
    QTest::keyClick(graph, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(graph->cursorColumn(), 11);
    EXPECT_TRUE(graph->accessibleDescription().startsWith("00:00:00.50, sample 11: "));
    QTest::keyClick(graph, Qt::Key_End);
    EXPECT_EQ(graph->cursorColumn(), 36); // the last record drawn
    QTest::keyClick(graph, Qt::Key_Escape);
    EXPECT_FALSE(graph->cursorColumn());
    EXPECT_FALSE(graph->accessibleDescription().contains("reading"));
    int clicks = 0;
    QObject::connect(graph, &QAbstractButton::clicked, [&clicks] { ++clicks; });
    QTest::keyClick(graph, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);

    // When the graph compresses, the keyboard cursor stays on its sample, not on its pixel column; the
    // readout says its units in words to a screen reader.
    QTest::keyClick(graph, Qt::Key_Home);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(graph, Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_EQ(graph->cursorColumn(), 31);
    for (int i = 0; i < 400 && m.graph().state().yCompress == 1; ++i) {
        QByteArray packets;
        for (int k = 0; k < 20; ++k)
            packets += PacketDecoder::makePacket(uint16_t(8000 + (k % 7) * 10), 4);
        rig.comm.deliver(packets);
        m.onTick();
    }
    const int per = m.graph().state().yCompress;
    ASSERT_GT(per, 1);
    const int column = (31 + per - 1) / per;
    EXPECT_TRUE(QTest::qWaitFor([&] { return graph->cursorColumn() == column; })) << *graph->cursorColumn();
    EXPECT_TRUE(graph->readout().contains(QStringLiteral(", sample %1: ").arg(column * per)))
        << graph->readout().toStdString();
    EXPECT_TRUE(graph->readout().contains(" kOhms, ") &&
                graph->accessibleDescription().contains(" kilohms, "));

    // After Stop the lamps and readings are said to be stopped, until the next session.
    const auto stale = [&rig](const char* name) {
        return acc(rig.find(name))->text(QAccessible::Name).endsWith(" (stopped)");
    };
    rig.action("mnuStop")->trigger();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return stale("LblShnStf_3") && stale("frameLEDdisp") && stale("frameBarGraf"); }));
    EXPECT_TRUE(acc(rig.find("frameLEDdisp"))->text(QAccessible::Name).startsWith("Level: "));
    rig.action("mnuStart")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !stale("LblShnStf_3") && !stale("frameLEDdisp"); }));
}

TEST(MainWindow, StartUpWithoutSettingsTakesTheFirstArrangementOfTheDefaultsAndEdgesSnap) {
    WindowRig rig;
    rig.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(rig.window.get()));
    rig.window->startUp(); // the port chooser's second-long pause runs here
    ASSERT_GE(rig.boxes.shown.size(), 1u);
    EXPECT_EQ(rig.boxes.shown[0].text, "Need to select Comm Port");
    EXPECT_TRUE(rig.find("fraSelctPort")->isVisibleTo(rig.window.get()));
    ASSERT_TRUE(rig.arranged());
    // A 4:3 window of the defaults' size, centred on the screen.
    const double tpp = rig.window->twipsPerPixel(), h = rig.window->screen()->geometry().height() * tpp;
    const Settings d = SettingsFile::defaults(rig.window->screen()->geometry().width() * tpp, h);
    const TwipsRect g = rig.window->windowGeometry();
    EXPECT_NEAR(g.width, g.height * 4 / 3, 2 * tpp);
    EXPECT_NEAR(g.left + g.width / 2, d.windowLeft + d.windowWidth / 2, 2 * tpp);
    EXPECT_NEAR(g.top + g.height / 2, d.windowTop + d.windowHeight / 2, 2 * tpp);
    // Dragging the bottom edge: the next tick snaps the height to a 32nd of the screen, width 4/3 of it.
    rig.window->resize(rig.window->width(), rig.window->height() - 37);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return std::abs(std::fmod(rig.window->windowGeometry().height, std::round(h / 32))) <= tpp; }));
    EXPECT_NEAR(rig.window->windowGeometry().width, std::round(rig.window->windowGeometry().height * 4 / 3),
                tpp);
    EXPECT_LT(rig.window->windowGeometry().height, g.height);
    rig.window->close();
    EXPECT_EQ(readFile(rig.dir.filePath("Aurivo_USB.ini")).count("\r\n"), 28);
}

TEST(AboutBox, TitleVersionAndSize) {
    AboutBox about("/home/u/.local/share/aurivo-usb");
    EXPECT_EQ(about.findChild<QLabel*>("lblTitle")->font(), about.font()); // plain
    EXPECT_EQ(about.findChild<QLabel*>("lblFolder")->text(), "Files: /home/u/.local/share/aurivo-usb");
    // 4485 x 2040 twips at the screen's resolution.
    const double dpi = about.screen()->logicalDotsPerInch();
    EXPECT_EQ(about.size(), QSize(int(std::lround(4485 * dpi / 1440)), int(std::lround(2040 * dpi / 1440))));
}

TEST(ExportDialog, EnterExportsTheSessionToTheTypedFileWithTheFormatsExtension) {
    QTemporaryDir dir;
    const QString base = dir.filePath("one");
    ExportDialog dialog(ExportChoices{{{"one", base + ".Tst", base}}, dir.path()}, nullptr);
    auto* file = dialog.findChild<QLineEdit*>("txtExportFile");
    EXPECT_EQ(file->text(), base + ".edf"); // suggested from the session
    // The file box is named by its label, whose access key reaches it.
    EXPECT_EQ(acc(file)->text(QAccessible::Name), "File:");
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), file);
    dialog.hide();
    QTimer::singleShot(0, file, [&] {
        file->clear();
        QTest::keyClick(file, Qt::Key_Return); // no file named: nothing happens
        EXPECT_TRUE(dialog.isVisible());
        file->setText(dir.filePath("out"));
        QTest::keyClick(file, Qt::Key_Return);
    });
    const std::optional<ExportRequest> request = dialog.ask();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->sessionPath, base + ".Tst");
    EXPECT_EQ(request->outPath, dir.filePath("out.edf"));
}

TEST(Accessibility, RolesNamesRelationsAndActionsOfTheWindowsControls) {
    WindowRig rig;
    rig.comm.addPort(2);
    // Only the sensitivity and port number cells act; every other label is static text outside Tab.
    for (ModelLabel* l : rig.window->findChildren<ModelLabel*>()) {
        const bool action = l->objectName() == "LblParams_3" || l->objectName() == "LblParams_5";
        EXPECT_EQ(acc(l)->role(), action ? QAccessible::Button : QAccessible::StaticText)
            << l->objectName().toStdString();
        EXPECT_EQ(l->focusPolicy() != Qt::NoFocus, action) << l->objectName().toStdString();
        EXPECT_EQ(
            acc(l)->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()),
            action);
    }
    // The lamp row and the bar are one level meter each, without actions (nor a value that would bring
    // Increase and Decrease); their lamps and segments are no elements.
    for (auto [name, count] :
         {std::pair{"frameLEDdisp", "0 of 8 lamps lit"}, std::pair{"frameBarGraf", "0 of 32 bars lit"}}) {
        QAccessibleInterface* a = acc(rig.find(name));
        EXPECT_EQ(a->role(), QAccessible::ProgressBar) << name;
        EXPECT_EQ(a->childCount(), 0) << name;
        EXPECT_EQ(a->valueInterface(), nullptr) << name;
        EXPECT_TRUE(a->actionInterface()->actionNames().isEmpty()) << name;
        EXPECT_EQ(a->text(QAccessible::Name), "Level: no reading") << name;
        EXPECT_EQ(a->text(QAccessible::Description), count) << name;
    }
    QAccessibleInterface* res = acc(rig.find("LblShnStf_3"));
    EXPECT_EQ(res->text(QAccessible::Name), "Res.: 0");
    ASSERT_EQ(res->relations(QAccessible::Label).size(), 1);
    EXPECT_EQ(res->relations(QAccessible::Label)[0].first->object(), rig.find("LblShnStf_2"));
    EXPECT_EQ(acc(rig.find("LblParams_5"))->text(QAccessible::Name), "Port #: 2");
    // A probe error reaches the data cell's name and description, its caption stays the reading.
    ASSERT_TRUE(rig.startArranged());
    rig.m().choose(MenuItem::Start);
    const auto feed = [&](uint16_t reading, uint8_t status) {
        for (int i = 0; i < 30; ++i) {
            rig.comm.deliver(PacketDecoder::makePacket(reading, status));
            rig.m().onTick();
        }
    };
    feed(8000, 5);
    QAccessibleInterface* data = acc(rig.find("LblShnStf_7"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return data->text(QAccessible::Name) == "Data: 8000"; }));
    EXPECT_EQ(data->text(QAccessible::Description), "Probe error");
    // The graph is a chart that says what it shows, with nothing to press outside a replay; the filter
    // box's text is named by its frame.
    QAccessibleInterface* graph = acc(rig.find("pixXYgraf"));
    EXPECT_EQ(graph->role(), QAccessible::Chart);
    EXPECT_EQ(graph->text(QAccessible::Name), "Resistance graph");
    // Its description gives the readings and keeps its pace: a newer reading waits; R says it now.
    const QString first = graph->text(QAccessible::Description);
    EXPECT_TRUE(first.startsWith("Now 492.5 kilohms, 2.03 microsiemens")) << first.toStdString();
    feed(9000, 4);
    EXPECT_TRUE(QTest::qWaitFor([&] { return data->text(QAccessible::Description) == "Probe OK"; }));
    EXPECT_EQ(graph->text(QAccessible::Description), first);
    QTest::keyClick(rig.find("pixXYgraf"), Qt::Key_R);
    EXPECT_TRUE(graph->text(QAccessible::Description).startsWith("Now 385.6 kilohms"))
        << graph->text(QAccessible::Description).toStdString();
    rig.action("mnuStop")->trigger();
    EXPECT_FALSE(graph->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    rig.action("mnuSetFSize")->trigger();
    EXPECT_EQ(acc(rig.find("txtSS"))->text(QAccessible::Name), "Set Filter Size : Value 1 to 8");
    // "Press" on the sensitivity value opens the slider box and, as every click on the strip, closes the
    // rest.
    acc(rig.find("LblParams_3"))->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.find("fraAdjSens")->isVisibleTo(rig.window.get()); }));
    EXPECT_FALSE(rig.find("fraSetStuff")->isVisibleTo(rig.window.get()));
}

TEST(Accessibility, EveryInputPathOfAPortOptionChoosesThePort) {
    WindowRig rig;
    for (int port : {3, 5, 6})
        rig.comm.addPort(port);
    rig.comm.addHeldPort(4, "permission denied");
    ASSERT_TRUE(rig.startArranged());
    const PortChooser& ports = rig.m().ports();
    const auto option = [&](int port) { return rig.find(QStringLiteral("optPortNum_%1").arg(port - 1)); };
    const auto scan = [&] {
        rig.action("mnuSetComPort")->trigger(); // returns when the probing is done
        return rig.find("fraSelctPort")->isVisible() && !ports.scanActive();
    };
    const auto chosen = [&](int port) {
        return ports.commPortNumber() == port && !rig.find("fraSelctPort")->isVisible();
    };
    ASSERT_TRUE(scan());
    // Four columns of four, COM1 to COM4 down the first.
    const double tpp = rig.window->twipsPerPixel();
    EXPECT_EQ(option(10)->geometry(), toPixelRect({2220, 600, 900, 195}, tpp));
    EXPECT_EQ(option(15)->geometry(), toPixelRect({3240, 930, 900, 195}, tpp));
    // Why COM4 cannot be used is in its description and in the chooser's status text.
    EXPECT_EQ(acc(option(4))->text(QAccessible::Description), "permission denied");
    EXPECT_TRUE(acc(option(4))->state().disabled);
    // The scanned chooser has the focus on the first usable port (COM2, the chosen one, is missing).
    EXPECT_EQ(QApplication::focusWidget(), option(3));
    // A screen reader's "toggle" chooses, and the chooser closes.
    acc(option(6))->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return chosen(6); }));
    // The chosen port is marked; an arrow key moves to the neighbouring usable port (over the unusable
    // COM4) without choosing it, and the status line names the device there; Enter chooses it.
    ASSERT_TRUE(scan());
    EXPECT_EQ(QApplication::focusWidget(), option(6)); // the chosen port
    EXPECT_TRUE(acc(option(6))->state().checked);
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), option(3));
    EXPECT_TRUE(rig.find("fraSelctPort")->isVisible());
    EXPECT_EQ(ports.commPortNumber(), 6);
    EXPECT_TRUE(rig.find<QLabel>("lblPortStatus")->text().startsWith("COM3\n")); // no device in the rig
    // Tab goes round the chooser only; Start cannot be chosen behind it.
    QStringList visited;
    for (int i = 0; i < 3; ++i) {
        key(Qt::Key_Tab);
        visited << focusName();
    }
    EXPECT_EQ(visited, QStringList({"optPortNum_5", "Command2", "optPortNum_5"})); // the ports are one stop
    key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_FALSE(rig.action("mnuStart")->isEnabled() || rig.action("mnuStartAs")->isEnabled());
    EXPECT_FALSE(rig.m().sessions().running());
    option(5)->setFocus();
    // The mark moves to the chosen port at once, while the chooser is still shown.
    bool markedWhileShown = false;
    QTimer::singleShot(50, [&] {
        markedWhileShown = rig.find("fraSelctPort")->isVisible() && acc(option(5))->state().checked &&
                           !acc(option(6))->state().checked;
    });
    key(Qt::Key_Return);
    EXPECT_TRUE(chosen(5));
    EXPECT_TRUE(markedWhileShown);
    EXPECT_TRUE(rig.action("mnuStart")->isEnabled());
    // Any mouse button, and Space.
    ASSERT_TRUE(scan());
    QTest::mousePress(option(3), Qt::RightButton);
    EXPECT_TRUE(chosen(3));
    ASSERT_TRUE(scan());
    QTest::keyClick(option(5), Qt::Key_Space);
    EXPECT_TRUE(chosen(5));
}

TEST(MainWindow, ALabelIsClickedOnlyByALeftPressAndReleaseOnIt) {
    WindowRig rig;
    ASSERT_TRUE(rig.startArranged());
    QWidget* sensitivity = rig.find("LblParams_3");
    const auto boxShown = [&] {
        QCoreApplication::processEvents();
        return rig.m().parameters().sensitivityBoxShown();
    };
    const QPoint inside = sensitivity->rect().center();
    QTest::mouseRelease(sensitivity, Qt::LeftButton, {}, inside); // no press before it
    EXPECT_FALSE(boxShown());
    QTest::mousePress(sensitivity, Qt::RightButton, {}, inside);
    QTest::mouseRelease(sensitivity, Qt::RightButton, {}, inside);
    EXPECT_FALSE(boxShown());
    QTest::mousePress(sensitivity, Qt::LeftButton, {}, inside);
    QTest::mouseRelease(sensitivity, Qt::LeftButton, {}, QPoint(-3, inside.y())); // let go beside it
    EXPECT_FALSE(boxShown());
    QTest::mouseRelease(sensitivity, Qt::LeftButton, {}, inside); // the press was used up
    EXPECT_FALSE(boxShown());
    QTest::mouseClick(sensitivity, Qt::LeftButton, {}, inside);
    EXPECT_TRUE(boxShown());
}

TEST(Keyboard, TabChainFocusRingEntryFramesEnterIsOkayEscapeIsCancel) {
    WindowRig rig;
    ASSERT_TRUE(rig.startArranged());
    const ParameterBoxes& params = rig.m().parameters();
    auto* graph = rig.find("pixXYgraf");
    // A ring of exactly two pixels in the ring colour lies outside the focused graph's edge.
    graph->setFocus();
    EXPECT_EQ(rig.find<QFocusFrame>("focusRing")->widget(), graph);
    const QImage shot = rig.window->grab().toImage();
    const QPoint left = graph->mapTo(rig.window.get(), QPoint(-FocusRing::kMargin, graph->height() / 2));
    for (int dx = 0; dx < 3; ++dx)
        EXPECT_EQ(shot.pixelColor(left + QPoint(dx, 0)) == colors::toQColor(colors::kFocusRing), dx < 2)
            << dx;
    // Tab visits only the controls that act, in reading order.
    QStringList visited;
    for (int i = 0; i < 5; ++i) {
        visited << focusName();
        key(Qt::Key_Tab);
    }
    EXPECT_EQ(visited,
              QStringList({"pixXYgraf", "TxtSeshnComnts", "LblParams_3", "LblParams_5", "pixXYgraf"}));

    // The sensitivity box opens on its slider, from the menu or by Space on the sensitivity value; Enter
    // accepts the moved value, Escape drops it.
    for (Qt::Key close : {Qt::Key_Return, Qt::Key_Escape}) {
        QWidget* from = close == Qt::Key_Return ? graph : rig.find("LblParams_3");
        from->setFocus();
        close == Qt::Key_Return ? rig.action("mnuSetSense")->trigger() : key(Qt::Key_Space);
        EXPECT_EQ(focusName(), "Slider1");
        EXPECT_EQ(rig.find<QGroupBox>("fraAdjSens")->title(), "Set Sensitivity");
        key(Qt::Key_Right);
        key(close);
        EXPECT_FALSE(params.sensitivityBoxShown()) << close;
        EXPECT_EQ(params.sensitivity().text(), "26") << close;
        EXPECT_EQ(QApplication::focusWidget(), from) << close; // the focus goes back
    }
    // The filter box opens on its text, selected: typing replaces it, Enter stores, Escape closes.
    rig.action("mnuSetFSize")->trigger();
    EXPECT_EQ(focusName(), "txtSS");
    EXPECT_EQ(rig.find<QGroupBox>("fraSetStuff")->title(), "Set Filter Size : Value 1 to 8");
    EXPECT_EQ(rig.find<QLineEdit>("txtSS")->selectedText(), "3"); // the filter size now
    key(Qt::Key_5);
    key(Qt::Key_Enter);
    EXPECT_EQ(params.filterSize(), 5);
    EXPECT_FALSE(params.entryBoxShown());
    // Text set by assistive technology reaches "Okay" as well.
    rig.action("mnuSetFSize")->trigger();
    QAccessibleInterface* text = acc(rig.find("txtSS"));
    text->editableTextInterface()->replaceText(0, text->textInterface()->characterCount(), "7");
    rig.find<QPushButton>("cmdSS")->click();
    EXPECT_EQ(params.filterSize(), 7);
    rig.action("mnuSetFSize")->trigger();
    key(Qt::Key_F2); // a key nobody uses leaves the box open
    EXPECT_TRUE(params.entryBoxShown());
    key(Qt::Key_Escape);
    EXPECT_FALSE(params.entryBoxShown());
    EXPECT_EQ(params.filterSize(), 7);
}

TEST(Keyboard, AccessKeysOnEveryMenuF10AndTheShortcuts) {
    WindowRig rig;
    // Every menu and item has an access key, one letter once per menu.
    const auto keyOf = [](const QString& text) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
    };
    QSet<QChar> barKeys;
    for (QAction* top : rig.window->menuBar()->actions()) {
        barKeys.insert(keyOf(top->text()));
        QStringList keys;
        for (QAction* item : top->menu()->actions())
            if (!item->isSeparator()) keys << keyOf(item->text());
        EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), keys.size()) << top->text().toStdString();
        EXPECT_FALSE(keys.contains(QString(QChar()))) << top->text().toStdString();
    }
    EXPECT_EQ(barKeys.size(), 5);
    EXPECT_FALSE(barKeys.contains(QChar()));

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
    EXPECT_TRUE(rig.m().sessions().running());
    key(Qt::Key_Period, Qt::ControlModifier);
    EXPECT_FALSE(rig.m().sessions().running());
    key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(rig.m().sessions().running());
    // During a session the greyed port number has no action: it is text, and Tab passes it by.
    EXPECT_EQ(acc(rig.find("LblParams_5"))->role(), QAccessible::StaticText);
    EXPECT_EQ(rig.find("LblParams_5")->focusPolicy(), Qt::NoFocus);
    key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !rig.window->isVisible(); }));
}

TEST(MainWindow, SessionFilesDroppedOnTheWindowAreReplayed) {
    WindowRig rig;
    ASSERT_TRUE(rig.startArranged());
    QTemporaryDir saved;
    writeFile(saved.filePath("one.Tst"), QByteArray("\x40\x1F\x00\x00\x4A\x1F\x00\x00", 8));
    writeFile(saved.filePath("one.Hdr"), "\"MinADC\"\r\n\" 8000\"\r\n\"MaxADC\"\r\n\" 8010\"\r\n\"c\"\r\n");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(saved.filePath("one.Hdr"))});
    const QPoint at = rig.window->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(rig.window.get(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(rig.window.get(), &drop);
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.m().replayShown(); }));
    EXPECT_EQ(rig.m().fileManager().displayList().tstPaths[0], saved.filePath("one.Tst"));
    // The menus a replay hides are off the bar, where no screen reader meets them.
    QStringList bar;
    for (QAction* a : rig.window->menuBar()->actions())
        bar << a->objectName();
    EXPECT_EQ(bar, QStringList({"mnuFile", "mnuHelp"}));
    // The graph says the replay at once, and can be pressed (to choose other sessions).
    QAccessibleInterface* graph = acc(rig.find("pixXYgraf"));
    EXPECT_TRUE(graph->text(QAccessible::Description).startsWith("Replay: resistance from "));
    EXPECT_TRUE(graph->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
}

TEST(Accessibility, HiddenControlsAreNoElementsAndTheFocusComesBackFromDialogs) {
    WindowRig rig;
    ASSERT_TRUE(rig.startArranged());
    EXPECT_EQ(hiddenElements(acc(rig.window.get())), QStringList());
    // The saving file manager's display list lies beyond its edge, hidden.
    CommentBox comments;
    ScriptedBoxes boxes;
    FileManager model(rig.dir.path(), boxes, comments);
    model.load(FileManager::Purpose::Save);
    FileManagerDialog dialog(model);
    dialog.show();
    EXPECT_EQ(hiddenElements(acc(&dialog)), QStringList());
    EXPECT_EQ(acc(&dialog)->role(), QAccessible::Dialog);
    dialog.hide();

    // A dialog opened from a menu by the keyboard gives the keyboard back to where it was before.
    rig.find("TxtSeshnComnts")->setFocus();
    QTimer::singleShot(0, [] {
        static_cast<void>(QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }));
        if (QWidget* about = QApplication::activeModalWidget()) QTest::keyClick(about, Qt::Key_Escape);
    });
    QTest::keyClick(rig.window.get(), Qt::Key_H, Qt::AltModifier);
    key(Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }));
    EXPECT_TRUE(QTest::qWaitForWindowActive(rig.window.get()));
    EXPECT_TRUE(QTest::qWaitFor([] { return focusName() == "TxtSeshnComnts"; })) << focusName().toStdString();
    // So does an entry frame opened from a menu.
    QTest::keyClick(rig.window.get(), Qt::Key_S, Qt::AltModifier);
    ASSERT_EQ(QApplication::activePopupWidget(), rig.find<QMenu>("mnuSession"));
    rig.find<QMenu>("mnuSession")->setActiveAction(rig.action("mnuSetSense"));
    key(Qt::Key_Return);
    EXPECT_EQ(focusName(), "Slider1");
    key(Qt::Key_Escape);
    // (The offscreen platform leaves the closed menu the active window: the window's own focus counts.)
    EXPECT_EQ(rig.window->focusWidget(), rig.find("TxtSeshnComnts"));
}

TEST(MainWindow, TheCommentBoxStaysInsideItsPanelInTheSmallestWindowAndCaptionsShowWhole) {
    // A large scale factor makes the window small in logical pixels, where the box's design place
    // (120 twips in) and height (82 % of the panel) would run under the strip below.
    WindowRig rig;
    ASSERT_TRUE(rig.startArranged());
    rig.window->resize(rig.window->width(), 1);                            // snaps to the least height
    const int least = rig.window->screen()->geometry().height() / 2 - 100; // less the frame and menu bar
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.window->height() > least; }));
    ASSERT_TRUE(rig.arranged());
    QWidget* panel = rig.find("fraSeshnComnts");
    QWidget* box = rig.find("TxtSeshnComnts");
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->contentsRect().contains(box->geometry()); }))
        << panel->height() << " " << box->geometry().bottom();
    EXPECT_EQ(box->geometry().topLeft(), QPoint(8, 8));
    // Captions show whole in the fonts in use.
    rig.action("mnuSetSSF")->trigger();
    auto* frame = rig.find<QGroupBox>("fraSetStuff");
    ASSERT_EQ(frame->title(), "Adjust Jitter Rejection : Value 50 to 255");
    EXPECT_GT(frame->width(), frame->fontMetrics().horizontalAdvance(frame->title()));
    EXPECT_GE(frame->width(), std::lround(3015 / rig.window->twipsPerPixel())); // never below the design
    // Window titles: a bold title beside an icon and three buttons fits the window's width.
    QFont bold = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    bold.setBold(true);
    const auto titleFits = [&bold](const QWidget& w) {
        return w.width() >
               QFontMetrics(bold).horizontalAdvance(w.windowTitle()) + 4 * QFontMetrics(bold).height();
    };
    SaveAsDialog saveAs;
    EXPECT_TRUE(titleFits(saveAs));
    QtMessageBoxes boxes;
    QTimer::singleShot(0, [&] {
        QWidget* shown = QApplication::activeModalWidget();
        ASSERT_TRUE(shown);
        EXPECT_TRUE(titleFits(*shown)) << shown->width();
        if (shown) shown->close();
    });
    boxes.show("Need to select Comm Port", "No initialzation file found", MessageBoxes::Buttons::Ok,
               MessageBoxes::Icon::None);
}

} // namespace aurivo
