#include "widgets/SensitivityBox.h"

#include "app/Monitor.h"
#include "widgets/ChangeQueue.h"
#include "widgets/ModelLabel.h"
#include "widgets/WidgetUpdate.h"
#include "widgets/WindowFocus.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QSlider>

namespace aurivo {

namespace {

// The modifier keys as the parameters sum them.
int sliderShiftState(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? ParameterBoxes::kShift : 0) |
           (m & Qt::ControlModifier ? ParameterBoxes::kCtrl : 0) |
           (m & Qt::AltModifier ? ParameterBoxes::kAlt : 0);
}

} // namespace

SensitivityBox::SensitivityBox(PanelContext& context, QWidget* parent)
    : EntryFrame(context, QStringLiteral("fraAdjSens"), parent) {
    Monitor* m = &context.monitor;
    const auto accept = [this, m] { this->context().act([m] { m->acceptSensitivity(); }); };
    const auto cancel = [this, m] { this->context().act([m] { m->cancelSensitivity(); }); };
    setAccept(accept);
    setCancel(cancel);
    buildSlider();
    value_ = new ModelLabel(this);
    value_->setObjectName(QStringLiteral("lblSenseValu"));
    value_->setAlignment(Qt::AlignCenter);
    value_->setGeometry(pxRect({1680, 1215, 585, 210}));
    addButton("cmdOkay", QStringLiteral("OK"), pxRect({570, 1215, 795, 360}), accept)
        ->setToolTip(QStringLiteral("Accept displayed setting"));
    addButton("cmdCancel", QStringLiteral("Cancel"), pxRect({2370, 1215, 795, 360}), cancel)
        ->setToolTip(QStringLiteral("Restore previous sensitivty "));
    context.changes.follow({&m->parameters().changed}, [this] { showBox(); });
}

void SensitivityBox::buildSlider() {
    Monitor* m = &context().monitor;
    const ParameterBoxes& params = m->parameters();
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("Slider1"));
    slider_->setAccessibleName(QStringLiteral("Sensitivity"));
    slider_->setRange(params.slider().min, params.slider().max);
    slider_->setToolTip(QStringLiteral("Adjust Sensitivty"));
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(50);
    slider_->setGeometry(pxRect({120, 360, 3660, 555}));
    connect(slider_, &QSlider::valueChanged, this, [this, m](int v) {
        if (!syncing_) this->context().act([m, v] { m->moveSensitivitySlider(v); });
    });
    slider_->installEventFilter(this);
}

bool SensitivityBox::eventFilter(QObject* watched, QEvent* event) {
    // Only presses reach the monitor: the slider also sees focus and window events while the window
    // closes, when the monitor may be gone.
    const QEvent::Type type = event->type();
    if (watched != slider_ || (type != QEvent::KeyPress && type != QEvent::MouseButtonPress)) return false;
    Monitor& m = context().monitor;
    if (type == QEvent::KeyPress)
        m.pressSliderKey(sliderShiftState(static_cast<QKeyEvent*>(event)->modifiers()));
    else
        m.pressSliderMouse(sliderShiftState(QApplication::keyboardModifiers()));
    const ParameterBoxes& params = m.parameters();
    slider_->setSingleStep(params.slider().smallChange);
    slider_->setPageStep(params.slider().largeChange);
    return false;
}

void SensitivityBox::showBox() {
    syncing_ = true;
    const ParameterBoxes& params = context().monitor.parameters();
    showCaption(QStringLiteral("Set Sensitivity"));
    placeWidened(pxRect({480, 840, 3975, 1695}));
    context().focus.showBox(this, params.sensitivityBoxShown(), slider_);
    const SliderModel& slider = params.slider();
    if (slider_->value() != slider.value) slider_->setValue(slider.value);
    slider_->setSingleStep(slider.smallChange);
    slider_->setPageStep(slider.largeChange);
    WidgetUpdate::label(value_, WidgetUpdate::captioned(params.sliderValueText()));
    syncing_ = false;
}

} // namespace aurivo
