#pragma once
// A display panel of the main window (the picture graph, the lamps, the bar, the readings, the comments,
// the parameters strip). Assistive technology meets it as a named group of the controls inside it that
// are shown. A click on the panel or on one of its labels is a click on the window (it closes the entry
// box). The panel is hidden until the arrangement places it.

#include "widgets/PanelContext.h"

#include <QFrame>
#include <functional>

struct TwipsRect;

namespace aurivo {

struct FrameModel;
class ModelLabel;

class PanelFrame : public QFrame {
    Q_OBJECT
  public:
    PanelFrame(PanelContext& context, const QString& objectName, QWidget* parent);

  protected:
    PanelContext& context() const { return context_; }
    QRect pxRect(const TwipsRect& r) const;
    // Places and shows or hides the frame as the arrangement says; a frame with no rectangle yet keeps
    // its place.
    void showFrame(const FrameModel& frame);
    // Places a control inside the frame; one with no rectangle yet keeps its place.
    void place(QWidget* w, const TwipsRect& r) const;
    // A label of the panel; a click on it runs `onClick`, by default a click on the panel.
    ModelLabel* addLabel(const QString& objectName, bool bordered, Qt::Alignment alignment,
                         std::function<void()> onClick = {});

  private:
    PanelContext& context_;
};

} // namespace aurivo
