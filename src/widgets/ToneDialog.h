#pragma once
// The "Tone" box of Session > Tone settings...: volume, direction, span and base pitch. It edits a copy
// of the settings; OK (Enter) hands them back, Cancel (Escape) leaves them as they were. Every field has
// an access key and a name for screen readers.

#include "sound/ToneSettings.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace aurivo {

class ToneDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ToneDialog(const ToneSettings& settings, QWidget* parent = nullptr);

    // The settings as the fields show them now.
    ToneSettings settings() const;

  private:
    ToneSettings original_;
    QSpinBox* volume_;
    QComboBox* direction_;
    QDoubleSpinBox* span_;
    QSpinBox* base_;
};

} // namespace aurivo
