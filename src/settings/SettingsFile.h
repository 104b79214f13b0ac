#pragma once
// The settings kept between runs in "Aurivo_USB.ini" in the program's folder: port, sensitivity, the six
// panel visibilities, window geometry, filter size and jitter rejection. SettingsFile reads the file with
// every check and fallback the program applies at start-up, and writes it afresh when the window closes.

#include "core/PanelViews.h"

#include <QString>
#include <cstdint>

namespace aurivo {

// The settings fields as the program holds them; geometry is in twips. The initial values are those the
// program starts with before reading the file (no panel shown: a visibility the file lacks is "False").
struct Settings {
    int32_t commPortNumber = 0;
    QString sensitivityText;
    PanelViews views;
    int32_t windowWidth = 0;
    int32_t windowHeight = 0;
    int32_t windowTop = 0;
    int32_t windowLeft = 0;
    int filterSize = 0;
    int jitterRejection = 0;
    int32_t panelWeightSum = 0;

    bool operator==(const Settings&) const = default;
};

class SettingsFile {
  public:
    static constexpr const char* kFileName = "Aurivo_USB.ini";

    // How reading went. Missing: there is no file, the fields are untouched and the caller applies
    // defaults(). Failed: the file exists but cannot be opened; error is the system's description.
    struct ReadResult {
        enum class Status { Ok, Missing, Failed };
        Status status = Status::Ok;
        QString error;
    };

    explicit SettingsFile(const QString& programFolder);

    QString path() const { return path_; }

    // The settings without a file, for a screen of the given size in twips: 55 % x 75 % of the screen,
    // centred, every panel shown (weight sum 28), port 2, sensitivity "25", filter 3, jitter 100.
    static Settings defaults(double screenWidthTwips, double screenHeightTwips);

    // Reads the 28 items by order alone (labels are not checked) and applies the checks: port outside
    // 1..16 gives 2; a sensitivity whose leading number is outside 20..1000 gives "20" (otherwise the text
    // stays as read); a visibility that is exactly "True" shows its panel and adds its start-up weight (16,
    // 2, 2, 3, 3, 2) to panelWeightSum, which starts at 0, and any other text hides it; geometry is taken
    // unchecked; filter size is clamped to 1..8 and jitter to 50..255, then rounded halves to even.
    // An item missing from a short file leaves its field as passed in before the check applies, so pass
    // the program's initial values (a default-constructed Settings). A number item that is not a number
    // counts as 0 (so a non-numeric port gives 2, filter size 1, jitter 50).
    [[nodiscard]] ReadResult read(Settings& s) const;

    // Writes the 28-line file (quoted labels and texts, bare numbers, CR LF) through the safe writer, so
    // a failure never leaves a partial file behind and keeps the previous one. Each visibility is written
    // "True" or "False". Returns false, with the system's description in *error, when the file cannot be
    // written.
    [[nodiscard]] bool write(const Settings& s, QString* error = nullptr) const;

  private:
    QString path_;
};

} // namespace aurivo
