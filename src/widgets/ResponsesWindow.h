#pragma once
// Display > "Responses...": the skin-conductance responses of the running (or last) session, in a window
// of its own beside the main one (not modal; the main window and its layout stay as they are): the level
// now, the non-specific rate, the count, the last response, and a table of the markers with the
// response each one got (latency from the marker, amplitude, rise time), "no response", or "waiting"
// while a response may still begin in its window. Below, the scoring settings for the next session.
//
// Times are on the recording's own base (reading n at n / 20 s), as in the response file: a marker's time
// here is that of the reading it was set at.
//
// It follows the responses and the markers as they change, and the level twice a second while shown.
// The table is an accessible table; every field has an accessible name, and the window works by keyboard
// (Tab, the buttons' access keys, Escape closes it).

#include "analysis/ResponseDetector.h"

#include <QDialog>
#include <QTimer>
#include <functional>

class QDoubleSpinBox;
class QLabel;
class QTableWidget;

namespace aurivo {

class ResponseRecorder;
class SessionMarkers;

class ResponsesWindow : public QDialog {
    Q_OBJECT
  public:
    // apply: takes settings for the next session; returns false with the reason they were not kept.
    using Apply = std::function<bool(const ResponseDetector::Settings&, QString& failure)>;
    ResponsesWindow(const ResponseRecorder& responses, const SessionMarkers& markers, Apply apply,
                    QWidget* parent);

    // Shows the values as they are now.
    void refresh();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void showSummary();
    void showMarkers();
    void applySettings();

    const ResponseRecorder& responses_;
    const SessionMarkers& markers_;
    Apply apply_;
    QLabel* level_ = nullptr;
    QLabel* rate_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* last_ = nullptr;
    QTableWidget* table_ = nullptr;
    QDoubleSpinBox* minAmplitude_ = nullptr;
    QDoubleSpinBox* windowStart_ = nullptr;
    QDoubleSpinBox* windowEnd_ = nullptr;
    QLabel* settingsNote_ = nullptr;
    QTimer levelTimer_;
};

} // namespace aurivo
