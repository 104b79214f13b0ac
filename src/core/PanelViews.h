#pragma once
// Which of the six stacked panels are shown (the Display menu's check marks), in their stacking order.
// The settings file writes each as the text "True" or "False".

namespace aurivo {

struct PanelViews {
    bool pictureGraph = false;    // frmPixGraf, "Picture Graph"
    bool colorGraph = false;      // frameLEDdisp, the lamps, "Color Bar Graph"
    bool barGraph = false;        // frameBarGraf, the segment bar, "BarGraph"
    bool internalStatus = false;  // frameSesshnStuff, the readings, "Internal Status"
    bool sessionComments = false; // fraSeshnComnts, "Session comments"
    bool timeEtc = false;         // FrameParams, the parameters strip, "Display Time etc."

    static PanelViews all() { return PanelViews{true, true, true, true, true, true}; }
    bool operator==(const PanelViews&) const = default;
};

} // namespace aurivo
