#pragma once
// Access keys of the menus and their items: the caption with "&" before the letter that opens it
// ("&File", "S&top"), the visible words unchanged. Each letter is unique within its menu.

#include <QString>

namespace aurivo {

class MenuAccessKeys {
  public:
    // The caption with its access key marked; a caption that marks one already, or one without an
    // assigned key, is returned as it is.
    static QString marked(const QString& caption);
};

} // namespace aurivo
