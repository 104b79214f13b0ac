// The Responses window beside the main one, and the response ticks on the graph as the window paints them.

#include "../analysis/SkinSignal.h"
#include "WindowRig.h"
#include "core/NumberRules.h"
#include "device/PacketDecoder.h"
#include "display/ResponseTicks.h"
#include "widgets/GraphView.h"

#include <QAccessibleTableInterface>
#include <QDialog>
#include <QLabel>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

// Whether the column's foot on screen has the tick's colour.
bool tickShownAt(GraphView* view, int x) {
    const QImage shot = view->grab().toImage();
    const QColor tick = QColor(0x80, 0xFF, 0x80);
    for (int y = shot.height() - 8; y < shot.height(); ++y)
        if (shot.pixelColor(x, y) == tick) return true;
    return false;
}

} // namespace

TEST(ResponsesWindow, FollowsTheSessionBesideTheWindowAndTheTicksHideFromTheMenu) {
    WindowRig rig;
    rig.comm.addPort(2);
    ASSERT_TRUE(rig.startArranged());
    Monitor& m = rig.m();
    testing::SkinSession s;
    s.baseLevel = 5.0;
    for (const auto& [start, amplitude] : std::vector<std::pair<double, double>>{{8, 0.3}, {20, 0.4}}) {
        testing::TrueResponse r;
        r.startSeconds = start;
        r.amplitude = amplitude;
        s.responses.push_back(r);
    }
    s.render(32, 11);

    // Opened before any session it has nothing to tell yet; it then follows the session that starts.
    rig.action("mnuResponses")->trigger();
    auto* window = rig.find<QDialog>("frmResponses");
    ASSERT_TRUE(window);
    for (auto [name, text] : {std::pair{"lblResponseLevel", "no reading"},
                              {"lblResponseRate", "0 per minute"},
                              {"lblResponseCount", "0"},
                              {"lblLastResponse", "none yet"}})
        EXPECT_EQ(window->findChild<QLabel*>(name)->text(), text) << name;
    m.choose(MenuItem::Start);
    ASSERT_TRUE(m.sessions().running());
    QApplication::processEvents(); // the menus follow
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_FALSE(window->isModal());
    const QRect mainBefore = rig.window->geometry();
    auto* table = window->findChild<QTableWidget*>("tblMarkerResponses");
    auto* count = window->findChild<QLabel*>("lblResponseCount");
    auto* level = window->findChild<QLabel*>("lblResponseLevel");
    for (size_t i = 0; i < s.readings.size(); i += 4) {
        // A marker 2 s before the first response, one with nothing in its window.
        if (i == 6 * 20 || i == 13 * 20) rig.action("mnuAddMarker")->trigger();
        QByteArray packets;
        for (size_t k = i; k < std::min(i + 4, s.readings.size()); ++k)
            packets += PacketDecoder::makePacket(uint16_t(s.readings[k]), 4);
        rig.comm.deliver(packets);
        m.onTick();
        QApplication::processEvents();
        if (i == 13 * 20) {
            ASSERT_EQ(table->rowCount(), 2);
            EXPECT_EQ(table->item(1, 2)->text(), "waiting"); // the window is still open
        }
    }
    QApplication::processEvents();
    EXPECT_EQ(count->text(), "2");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(count)->text(QAccessible::Description), "2");
    EXPECT_TRUE(level->text().endsWith(" uS")) << level->text().toStdString();
    EXPECT_TRUE(window->findChild<QLabel*>("lblLastResponse")->text().contains(", rise "));
    EXPECT_EQ(rig.window->geometry(), mainBefore);

    // The table as assistive technology reads it: a marker with its response, one without.
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(table);
    ASSERT_TRUE(a && a->tableInterface());
    EXPECT_EQ(a->role(), QAccessible::Table);
    EXPECT_EQ(a->tableInterface()->rowCount(), 2);
    EXPECT_EQ(a->tableInterface()->columnCount(), 5);
    const auto cell = [&](int row, int column) {
        QAccessibleInterface* c = a->tableInterface()->cellAt(row, column);
        return c ? c->text(QAccessible::Name) : QString();
    };
    EXPECT_EQ(cell(0, 0), "1. Marker 1");
    // On the recording's time base, as the latency is measured: the marker's reading at 20 a second.
    const Marker& first = m.markers().markers().at(0);
    EXPECT_EQ(cell(0, 1), numbers::formatElapsed(double(first.reading) / 20));
    const std::optional<SkinResponse>& answer = m.responses().markerAnswers().at(0).response;
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(cell(0, 2),
              QStringLiteral("%1 s").arg(answer->onsetSeconds - double(first.reading) / 20, 0, 'f', 2));
    EXPECT_TRUE(cell(0, 2).endsWith(" s") && cell(0, 3).endsWith(" uS")) << cell(0, 2).toStdString();
    EXPECT_EQ(cell(1, 2), "no response");
    EXPECT_EQ(a->tableInterface()->columnDescription(2), "Latency");

    // The ticks at the peaks' columns, hidden and shown again by Display > "Response ticks".
    auto* graph = rig.find<GraphView>("pixXYgraf");
    const std::vector<ResponseTick> ticks = m.research().responseTicks();
    ASSERT_EQ(ticks.size(), 2u);
    EXPECT_TRUE(tickShownAt(graph, ticks[0].x));
    QAction* toggle = rig.action("mnuResponseTicks");
    EXPECT_TRUE(toggle->isChecked());
    toggle->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_FALSE(tickShownAt(graph, ticks[0].x));
    toggle->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(tickShownAt(graph, ticks[1].x));

    // Escape closes the window; the session goes on.
    window->activateWindow();
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(m.sessions().running());
}

} // namespace aurivo
