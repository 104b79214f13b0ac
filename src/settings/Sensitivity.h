#pragma once
// The sensitivity: how many percent of the start resistance the graph spans. It is a whole percent,
// shown in the form it came in: plain digits when chosen on the slider or set by the program ("25"), the
// number-to-text form when the graph's auto-range widened it (" 31"). A sensitivity read from the
// settings file is kept exactly as the file has it, so the label shows that text, the file gets it back
// unchanged, and the graph spans its leading number with any fraction.

#include <QString>

namespace aurivo {

class Sensitivity {
  public:
    static Sensitivity chosen(int percent);
    static Sensitivity widened(int percent);
    static Sensitivity asRead(const QString& text);

    // The whole percent: the slider's position and what the auto-range widens. A value read from the
    // file is rounded halves to even.
    int percent() const { return percent_; }
    // The percent the graph spans and the range checks test: the whole percent, or the file's number
    // with its fraction.
    double span() const;
    // As the parameters strip shows it and the settings file holds it.
    QString text() const;

  private:
    enum class Form { Plain, Widened, AsRead };
    Sensitivity(Form form, int percent) : form_(form), percent_(percent) {}

    Form form_;
    int percent_;
    // Only for a value read from the file: the text and its numeric value.
    QString readText_;
    double readValue_ = 0;
};

} // namespace aurivo
