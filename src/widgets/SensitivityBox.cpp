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
    ParameterBoxes& params = context.monitor.parameters();
    const auto accept = [this, &params] { this->context().act([&params] { params.acceptSensitivity(); }); };
    const auto cancel = [this, &params] { this->context().act([&params] { params.cancelSensitivity(); }); };
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
    context.changes.follow({&params.changed}, [this] { showBox(); });
}

void SensitivityBox::buildSlider() {
    ParameterBoxes& params = context().monitor.parameters();
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("Slider1"));
    slider_->setAccessibleName(QStringLiteral("Sensitivity"));
    slider_->setRange(params.slider().min, params.slider().max);
    slider_->setToolTip(QStringLiteral("Adjust Sensitivty"));
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(50);
    slider_->setGeometry(pxRect({120, 360, 3660, 555}));
    connect(slider_, &QSlider::valueChanged, this, [this, &params](int v) {
        if (!syncing_) this->context().act([&params, v] { params.moveSlider(v); });
    });
    slider_->installEventFilter(this);
}

bool SensitivityBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched != slider_) return false;
    ParameterBoxes& params = context().monitor.parameters();
    if (event->type() == QEvent::KeyPress)
        params.onSliderKeyDown(sliderShiftState(static_cast<QKeyEvent*>(event)->modifiers()));
    else if (event->type() == QEvent::MouseButtonPress)
        params.onSliderMouseDown(sliderShiftState(QApplication::keyboardModifiers()));
    else
        return false;
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
