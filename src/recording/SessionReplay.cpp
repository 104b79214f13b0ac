#include "recording/SessionReplay.h"

#include "app/NumberRules.h"
#include "recording/ReplayScale.h"
#include "recording/SessionColours.h"

#include <QFileInfo>
#include <algorithm>

SessionReplay::SessionReplay(MonitorState& state, MessageBoxes& boxes) : state_(state), boxes_(boxes) {}

QString SessionReplay::SessionName(const QString& hdrPath) {
    const QString name = QFileInfo(hdrPath).fileName();
    return name.left(std::max<qsizetype>(0, name.size() - 4));
}

void SessionReplay::DrawChosenSessions(PlotPointFn plotPoint, std::function<void()> drawGrid) {
    state_.MinADC = 16383;
    state_.MaxADC = 0;
    int64_t longest = 0;
    state_.pixXYgraf.Cls();
    if (drawGrid) drawGrid();
    state_.TxtSeshnComnts.text.clear();

    const int count = std::clamp(state_.ChosenSessionCount, 0, 6);
    std::vector<SavedSession> sessions;
    sessions.reserve(size_t(count));
    QString damaged;
    for (int k = 0; k < count; ++k) {
        const QString& hdrPath = state_.ChosenHdrPaths[size_t(k)];
        sessions.push_back(SavedSession::Load(state_.ChosenTstPaths[size_t(k)], hdrPath));
        const SavedSession& session = sessions.back();
        const QString name = SessionName(hdrPath);
        if (!session.Ok()) {
            damaged += QStringLiteral("\r\n") + name + QStringLiteral(": ") + session.error;
            continue;
        }
        state_.TxtSeshnComnts.text +=
            name + QStringLiteral("  Comments ...\r\n") + session.comments + QStringLiteral("\r\n");
        longest = std::max(longest, session.lengthBytes);
        if (session.minADC < state_.MinADC) state_.MinADC = session.minADC;
        if (session.maxADC > state_.MaxADC) state_.MaxADC = session.maxADC;
    }
    if (!damaged.isEmpty()) {
        boxes_.Show(QStringLiteral("These saved sessions cannot be displayed:") + damaged,
                    QStringLiteral("Aurivo USB"), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
    const bool anyDrawn =
        std::any_of(sessions.begin(), sessions.end(), [](const SavedSession& s) { return s.Ok(); });
    if (!anyDrawn) return; // no range to scale to: the picture keeps just its grid

    const int width = state_.pixXYgraf.ScaleWidth();
    const ReplayScale scale =
        ReplayScale::Compute(state_.MinADC, state_.MaxADC, longest, width, state_.pixXYgraf.ScaleHeight());
    state_.GraphMaxOhms = scale.graphMaxOhms;
    state_.GraphScale = scale.graphScale;
    state_.yCompress = scale.yCompress;
    for (int k = 0; k < 10; ++k)
        state_.lbl4Graf[size_t(k)].caption = scale.AxisLabel(k, width);

    for (int k = 0; k < count; ++k) {
        const SavedSession& session = sessions[size_t(k)];
        if (!session.Ok()) continue;
        state_.ReplayColour = kSessionColours[size_t(k)];
        DrawTrace(session.readings, plotPoint);
    }
}

void SessionReplay::DrawTrace(const std::vector<int32_t>& readings, const PlotPointFn& plotPoint) {
    state_.OhmsAccumulator = 0;
    const int32_t compress = std::max<int32_t>(1, state_.yCompress);
    for (size_t index = 0; index < readings.size(); ++index) {
        const int64_t i = int64_t(index) + 1; // record number
        const int32_t a = readings[index];
        if (a < 1) continue;
        state_.OhmsAccumulator += float(a);
        if (i % compress == 0) {
            const double average = NumberRules::RoundHalfEven(double(state_.OhmsAccumulator) / compress);
            if (plotPoint)
                plotPoint(int32_t(i / compress), NumberRules::OhmsFromReading(average), state_.ReplayColour);
            state_.OhmsAccumulator = 0;
        }
    }
}
