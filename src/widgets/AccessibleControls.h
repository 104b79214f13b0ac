#pragma once
// What assistive technology is told about the program's own controls: a label is static text, or a
// button when it has an action; a port option is a radio button whose "press" and "toggle" choose the
// port; a lamp row or segment bar is one level meter without children or actions; the graph is a chart;
// a display panel is a group. Hidden controls are no elements. Installed once, before the first window
// is built.

namespace aurivo {

class AccessibleControls {
  public:
    static void install();
};

} // namespace aurivo
