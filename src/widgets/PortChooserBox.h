#pragma once
// The port chooser fraSelctPort, opened over the panels by a scan of the ports: sixteen port options
// (optPortNum), "Okay" (Command2) and, under the frame, a status line in words (lblPortStatus): the port
// with the focus and why the ports that cannot be used cannot. Tab reaches the options as one stop, the
// arrow keys go round the usable ports, and the frame keeps the focus until the chooser closes.

#include "core/Twips.h"
#include "widgets/EntryFrame.h"

#include <array>

class QLabel;

namespace aurivo {

class PortOption;

class PortChooserBox : public EntryFrame {
    Q_OBJECT
  public:
    PortChooserBox(PanelContext& context, QWidget* parent);

    // Where the chooser and its options sit, in twips: the frame over the panels, the options inside it.
    static constexpr TwipsRect kFrameRect{480, 0, 4245, 1980};
    static TwipsRect optionRect(int index);

    const std::array<PortOption*, 16>& options() const { return options_; }

  private:
    void showChooser();
    void showOptions();
    void showStatus();
    // The port option that Tab reaches and a freshly scanned chooser focuses: the chosen port when it
    // can be used, else the first usable one; null when none can be used.
    PortOption* focusOption() const;
    void stepOption(int from, int key);

    std::array<PortOption*, 16> options_{};
    QPushButton* okay_ = nullptr;
    QLabel* status_ = nullptr;
    bool scanShown_ = false; // the chooser showed a running scan at its last update
};

} // namespace aurivo
