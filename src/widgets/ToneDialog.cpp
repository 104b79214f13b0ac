#include "widgets/ToneDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <cmath>

namespace aurivo {

ToneDialog::ToneDialog(const ToneSettings& settings, QWidget* parent)
    : QDialog(parent), original_(settings.limited()) {
    setObjectName(QStringLiteral("frmTone"));
    setWindowTitle(QStringLiteral("Tone"));
    auto* form = new QFormLayout(this);

    volume_ = new QSpinBox(this);
    volume_->setObjectName(QStringLiteral("spnToneVolume"));
    volume_->setRange(0, 100);
    volume_->setSingleStep(5);
    volume_->setSuffix(QStringLiteral(" %"));
    volume_->setValue(original_.volumePercent);

    direction_ = new QComboBox(this);
    direction_->setObjectName(QStringLiteral("cboToneDirection"));
    direction_->addItem(QStringLiteral("Rises with conductance"));
    direction_->addItem(QStringLiteral("Falls with conductance"));
    direction_->setCurrentIndex(original_.direction == ToneSettings::Direction::Falls ? 1 : 0);

    span_ = new QDoubleSpinBox(this);
    span_->setObjectName(QStringLiteral("spnToneSpan"));
    span_->setRange(ToneSettings::kLowestSpan, ToneSettings::kHighestSpan);
    span_->setSingleStep(0.25);
    span_->setDecimals(2);
    span_->setSuffix(QStringLiteral(" octaves per doubling"));
    span_->setValue(original_.span);

    base_ = new QSpinBox(this);
    base_->setObjectName(QStringLiteral("spnToneBase"));
    base_->setRange(int(ToneSettings::kLowestBase), int(ToneSettings::kHighestBase));
    base_->setSingleStep(10);
    base_->setSuffix(QStringLiteral(" Hz"));
    base_->setValue(int(std::lround(original_.basePitch)));

    const auto row = [&](const char* label, QWidget* field, const char* name, const char* description) {
        auto* text = new QLabel(QString::fromLatin1(label), this);
        text->setBuddy(field);
        field->setAccessibleName(QString::fromLatin1(name));
        field->setAccessibleDescription(QString::fromLatin1(description));
        form->addRow(text, field);
    };
    row("&Volume:", volume_, "Volume", "Loudness of the tone, 0 to 100 percent");
    row("&Direction:", direction_, "Direction", "Whether the pitch rises or falls as the conductance rises");
    row("&Span:", span_, "Span", "Octaves the pitch moves for each doubling of the conductance");
    row("&Base pitch:", base_, "Base pitch", "Pitch at the session's start value, in hertz");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("btnTone"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    volume_->setFocus();
}

ToneSettings ToneDialog::settings() const {
    ToneSettings s = original_;
    s.volumePercent = volume_->value();
    s.direction =
        direction_->currentIndex() == 1 ? ToneSettings::Direction::Falls : ToneSettings::Direction::Rises;
    s.span = span_->value();
    s.basePitch = base_->value();
    return s.limited();
}

} // namespace aurivo
