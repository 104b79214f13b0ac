#include "widgets/ResponsesWindow.h"

#include "analysis/ResponseRecorder.h"
#include "core/NumberRules.h"
#include "recording/SessionMarkers.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace aurivo {

namespace {

QString microsiemens(double value) {
    return QStringLiteral("%1 uS").arg(value, 0, 'f', 3);
}

QString seconds(double value) {
    return QStringLiteral("%1 s").arg(value, 0, 'f', 2);
}

// A value is shown as the label's text and said as its description, after the label's name.
void showValue(QLabel* label, const QString& text) {
    if (label->text() == text) return;
    label->setText(text);
    label->setAccessibleDescription(text);
}

QDoubleSpinBox* spinBox(QWidget* parent, const char* name, double low, double high, double step,
                        const char* suffix) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setSingleStep(step);
    box->setDecimals(step < 0.1 ? 2 : 1);
    box->setSuffix(QString::fromLatin1(suffix));
    return box;
}

} // namespace

ResponsesWindow::ResponsesWindow(const ResponseRecorder& responses, const SessionMarkers& markers,
                                 Apply apply, QWidget* parent)
    : QDialog(parent), responses_(responses), markers_(markers), apply_(std::move(apply)) {
    setObjectName(QStringLiteral("frmResponses"));
    setWindowTitle(QStringLiteral("Responses"));
    setModal(false);
    auto* column = new QVBoxLayout(this);
    auto* summary = new QFormLayout();
    column->addLayout(summary);
    const auto value = [&](const char* name, const char* caption, const char* spoken) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setAccessibleName(QString::fromLatin1(spoken));
        label->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        label->setFocusPolicy(Qt::StrongFocus);
        summary->addRow(QString::fromLatin1(caption), label);
        return label;
    };
    level_ = value("lblResponseLevel", "Level now:", "Skin conductance level");
    rate_ = value("lblResponseRate", "Non-specific rate:", "Non-specific responses per minute");
    count_ = value("lblResponseCount", "Responses:", "Responses in the session");
    last_ = value("lblLastResponse", "Last response:", "Last response");

    auto* tableCaption = new QLabel(QStringLiteral("&Markers and their responses:"), this);
    column->addWidget(tableCaption);
    table_ = new QTableWidget(0, 5, this);
    table_->setObjectName(QStringLiteral("tblMarkerResponses"));
    table_->setAccessibleName(QStringLiteral("Markers and their responses"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Marker"), QStringLiteral("Set at"),
                                       QStringLiteral("Latency"), QStringLiteral("Amplitude"),
                                       QStringLiteral("Rise time")});
    table_->verticalHeader()->setVisible(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setTabKeyNavigation(false); // Tab leaves the table; the arrows move within it
    tableCaption->setBuddy(table_);
    column->addWidget(table_, 1);

    auto* scoring = new QGroupBox(QStringLiteral("Scoring of the next session"), this);
    auto* form = new QFormLayout(scoring);
    minAmplitude_ = spinBox(scoring, "spnMinAmplitude", ResponseDetector::kMinAmplitudeLowest,
                            ResponseDetector::kMinAmplitudeHighest, 0.01, " uS");
    windowStart_ = spinBox(scoring, "spnWindowStart", 0, ResponseDetector::kWindowLongest, 0.5, " s");
    windowEnd_ = spinBox(scoring, "spnWindowEnd", 0, ResponseDetector::kWindowLongest, 0.5, " s");
    const ResponseDetector::Settings& now = responses_.settings();
    minAmplitude_->setValue(now.minAmplitudeUs);
    windowStart_->setValue(now.windowStartSeconds);
    windowEnd_->setValue(now.windowEndSeconds);
    const auto row = [&](const char* caption, QDoubleSpinBox* box, const char* spoken) {
        auto* text = new QLabel(QString::fromLatin1(caption), scoring);
        text->setBuddy(box);
        box->setAccessibleName(QString::fromLatin1(spoken));
        form->addRow(text, box);
    };
    row("Minimum &amplitude:", minAmplitude_, "Minimum amplitude of a response");
    row("Marker window &from:", windowStart_, "Marker window start, seconds after the marker");
    row("Marker window &to:", windowEnd_, "Marker window end, seconds after the marker");
    settingsNote_ = new QLabel(scoring);
    settingsNote_->setObjectName(QStringLiteral("lblScoringNote"));
    settingsNote_->setWordWrap(true);
    form->addRow(settingsNote_);
    column->addWidget(scoring);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* applyButton = buttons->addButton(QStringLiteral("A&pply"), QDialogButtonBox::ApplyRole);
    applyButton->setObjectName(QStringLiteral("cmdApplyScoring"));
    applyButton->setAutoDefault(false);
    QPushButton* close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdCloseResponses"));
    connect(applyButton, &QPushButton::clicked, this, &ResponsesWindow::applySettings);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);

    levelTimer_.setInterval(500);
    connect(&levelTimer_, &QTimer::timeout, this, &ResponsesWindow::showSummary);
    resize(520, 460);
    refresh();
}

void ResponsesWindow::refresh() {
    showSummary();
    showMarkers();
}

void ResponsesWindow::showSummary() {
    const ResponseDetector* detector = responses_.detector();
    const std::optional<double> level = detector ? detector->tonicLevel() : std::nullopt;
    showValue(level_, level ? microsiemens(*level) : QStringLiteral("no reading"));
    showValue(rate_, QStringLiteral("%1 per minute").arg(detector ? detector->nonSpecificRate() : 0));
    showValue(count_, QString::number(detector ? detector->responseCount() : 0));
    const std::optional<SkinResponse> last = detector ? detector->lastResponse() : std::nullopt;
    showValue(last_, last ? QStringLiteral("%1, rise %2, at %3")
                                .arg(microsiemens(last->amplitudeUs), seconds(last->riseSeconds),
                                     numbers::formatElapsed(last->peakSeconds))
                          : QStringLiteral("none yet"));
}

void ResponsesWindow::showMarkers() {
    const std::vector<Marker>& markers = markers_.markers();
    const std::vector<ResponseRecorder::MarkerAnswer>& answers = responses_.markerAnswers();
    table_->setRowCount(int(markers.size()));
    for (size_t i = 0; i < markers.size(); ++i) {
        const Marker& marker = markers[i];
        // On the recording's own time base, as the latency and the response file measure it.
        QStringList cells{QStringLiteral("%1. %2").arg(i + 1).arg(marker.label),
                          numbers::formatElapsed(ResponseDetector::secondsOf(marker.reading))};
        const ResponseRecorder::MarkerAnswer answer =
            i < answers.size() ? answers[i] : ResponseRecorder::MarkerAnswer{};
        if (!answer.decided) {
            cells << QStringLiteral("waiting") << QString() << QString();
        } else if (!answer.response) {
            cells << QStringLiteral("no response") << QString() << QString();
        } else {
            const SkinResponse& r = *answer.response;
            cells << seconds(r.onsetSeconds - ResponseDetector::secondsOf(marker.reading))
                  << microsiemens(r.amplitudeUs) << seconds(r.riseSeconds);
        }
        for (int c = 0; c < cells.size(); ++c) {
            QTableWidgetItem* item = table_->item(int(i), c);
            if (!item) {
                item = new QTableWidgetItem();
                table_->setItem(int(i), c, item);
            }
            if (item->text() != cells[c]) item->setText(cells[c]);
        }
    }
}

void ResponsesWindow::applySettings() {
    ResponseDetector::Settings chosen;
    chosen.minAmplitudeUs = minAmplitude_->value();
    chosen.windowStartSeconds = windowStart_->value();
    chosen.windowEndSeconds = windowEnd_->value();
    if (chosen.windowEndSeconds <= chosen.windowStartSeconds) {
        settingsNote_->setText(QStringLiteral("The window must end after it starts."));
        return;
    }
    QString failure;
    if (!apply_(chosen, failure)) {
        settingsNote_->setText(QStringLiteral("Used for the next session, but not kept: ") + failure);
        return;
    }
    settingsNote_->setText(QStringLiteral("Used from the next session on."));
}

void ResponsesWindow::showEvent(QShowEvent* event) {
    refresh();
    levelTimer_.start();
    table_->setFocus(Qt::OtherFocusReason); // the markers' answers first; Shift+Tab reaches the values
    QDialog::showEvent(event);
}

void ResponsesWindow::hideEvent(QHideEvent* event) {
    levelTimer_.stop();
    QDialog::hideEvent(event);
}

} // namespace aurivo
