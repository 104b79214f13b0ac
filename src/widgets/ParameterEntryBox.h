#pragma once
// The entry box fraSetStuff for the filter size or the jitter rejection, opened over the panels from the
// Session menu: its caption says which, the text box txtSS holds the number, "Okay" (cmdSS) takes the
// text as it stands and "Cancel" (cmdCan) leaves the value as it was.

#include "widgets/EntryFrame.h"

class QLineEdit;

namespace aurivo {

class ParameterEntryBox : public EntryFrame {
    Q_OBJECT
  public:
    ParameterEntryBox(PanelContext& context, QWidget* parent);

  private:
    void showBox();

    QLineEdit* text_ = nullptr;
    bool syncing_ = false; // the text box is being set from the parameters
};

} // namespace aurivo
