#include "export/EdfWriter.h"

#include "analysis/ResponseTable.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <edflib.h>
#include <limits>
#include <mutex>
#include <utility>
#include <vector>

namespace aurivo {

namespace {

constexpr int kRecordingTextLimit = 39;   // room EDFlib leaves with unknown admin code, technician, equipment
constexpr int kAnnotationLimit = 40;      // bytes of annotation text EDFlib (1.23) writes; it drops the rest
constexpr int kMaxAnnotationSignals = 64; // EDFlib's limit
constexpr int kDigitalMin = -32768;       // 16-bit samples
constexpr int kDigitalMax = 32767;
constexpr long long kEdfTimeUnitsPerSecond = 10000; // annotation times are given in units of 100 us
constexpr long long kEdfTimeUnitsPerMs = kEdfTimeUnitsPerSecond / 1000;
// Readings further apart than the device's step by more than this leave a gap worth telling.
constexpr int64_t kGapMs = 250;

// Guards EDFlib's table of open files, which its open and close functions change without a lock of their own.
std::mutex& edfLibraryLock() {
    static std::mutex lock;
    return lock;
}

int integerDigits(double value) {
    int digits = 1;
    for (double v = std::fabs(value); v >= 10; v /= 10)
        ++digits;
    return digits;
}

// Bounds around lo..hi that an 8-character header field holds exactly: multiples of 2^-places (such a
// number has exactly `places` decimals), with as many places as the field has room for, rounded outward.
std::pair<double, double> headerRange(double lo, double hi) {
    for (int places = 6;; --places) {
        const double step = std::ldexp(1.0, -places);
        const double a = std::floor(lo / step) * step;
        double b = std::ceil(hi / step) * step;
        if (b <= a) b = a + step;
        if (places == 0 || integerDigits(std::max(std::fabs(a), std::fabs(b))) + 1 + places <= 8)
            return {a, b};
    }
}

// The digital value that readers turn back into the physical value nearest to `value`. (EDFlib's own
// conversion of physical samples cuts the fraction off, which doubles the error.)
int digital(double value, const double (&range)[2]) {
    const double d =
        kDigitalMin + (value - range[0]) * (double(kDigitalMax) - kDigitalMin) / (range[1] - range[0]);
    return int(std::clamp<long>(std::lround(d), kDigitalMin, kDigitalMax));
}

// An EDF file open for writing; closed (and so finished) by close(), or on any early return.
class EdfFile {
  public:
    explicit EdfFile(const QString& path) {
        const QByteArray name = QFile::encodeName(path);
        const std::lock_guard<std::mutex> guard(edfLibraryLock());
        errno = 0;
        handle_ = edfopen_file_writeonly(name.constData(), EDFLIB_FILETYPE_EDFPLUS, 2);
        openErrno_ = errno;
    }
    ~EdfFile() { close(); }
    EdfFile(const EdfFile&) = delete;
    EdfFile& operator=(const EdfFile&) = delete;

    int handle() const { return handle_; }
    QString openFailure() const {
        if (handle_ == EDFLIB_NO_SUCH_FILE_OR_DIRECTORY && openErrno_ != 0)
            return QString::fromLocal8Bit(std::strerror(openErrno_));
        return QStringLiteral("EDFlib could not create it (error %1)").arg(handle_);
    }
    bool close() {
        if (handle_ < 0) return true;
        const std::lock_guard<std::mutex> guard(edfLibraryLock());
        const bool ok = edfclose_file(handle_) == 0;
        handle_ = -1;
        return ok;
    }

  private:
    int handle_ = -1;
    int openErrno_ = 0;
};

// Opens the finished file as a reader would and checks that it holds what was written.
bool readsBack(const QString& path, long long records, long long annotations) {
    const QByteArray name = QFile::encodeName(path);
    const std::lock_guard<std::mutex> guard(edfLibraryLock());
    edf_hdr_struct header;
    if (edfopen_file_readonly(name.constData(), &header, EDFLIB_READ_ALL_ANNOTATIONS) != 0) return false;
    const bool ok = header.filetype == EDFLIB_FILETYPE_EDFPLUS && header.datarecords_in_file == records &&
                    header.annotations_in_file == annotations;
    edfclose_file(header.handle);
    return ok;
}

// The longest start of UTF-8 text, at most `limit` bytes, that does not end inside a character.
qsizetype utf8Cut(const QByteArray& text, qsizetype limit) {
    if (text.size() <= limit) return text.size();
    qsizetype cut = limit;
    while (cut > 0 && (uchar(text[cut]) & 0xC0) == 0x80) // a continuation byte: inside a character
        --cut;
    return cut;
}

} // namespace

QByteArray EdfWriter::recordingText(const QString& comments) {
    QByteArray text;
    for (const QChar c : comments.normalized(QString::NormalizationForm_KD)) {
        if (c.isMark()) continue;
        if (c.category() == QChar::Other_Control || c.isSpace())
            text += ' ';
        else
            text += c.unicode() < 0x80 ? char(c.unicode()) : '?';
    }
    text = text.simplified();
    text.truncate(kRecordingTextLimit);
    return text.trimmed();
}

QByteArray EdfWriter::annotationText(const QString& label) {
    QByteArray text = LoadedSession::withoutControls(label).trimmed().toUtf8();
    if (text.isEmpty()) return QByteArrayLiteral("Marker");
    text.truncate(utf8Cut(text, kAnnotationLimit));
    return text;
}

std::vector<QByteArray> EdfWriter::commentTexts(const QString& comments) {
    std::vector<QByteArray> texts;
    for (const QString& line : comments.split(QLatin1Char('\n'))) {
        QByteArray rest = LoadedSession::withoutControls(line).toUtf8();
        if (rest.trimmed().isEmpty()) continue;
        // EDFlib writes at most 40 bytes of an annotation's text and drops the rest, so a longer line goes
        // on in the next annotations: joined in their order they give the line back.
        while (!rest.isEmpty()) {
            const qsizetype cut = utf8Cut(rest, kAnnotationLimit);
            texts.push_back(rest.left(cut));
            rest.remove(0, cut);
        }
    }
    return texts;
}

ExportStatus EdfWriter::write(const LoadedSession& session, const QString& path,
                              const ExportProgress& progress, QString& error, QStringList& warnings) {
    constexpr int rate = LoadedSession::kSampleRate;
    constexpr int64_t step = LoadedSession::kReadingStepMs; // one sample
    const std::vector<int32_t>& readings = session.readings;
    const std::vector<int64_t>& times = session.milliseconds;
    const int64_t count = int64_t(readings.size());
    // The sample a reading counts from: the one nearest to its time.
    const auto sampleAt = [](int64_t ms) { return (std::max<int64_t>(0, ms) + step / 2) / step; };

    int32_t low = std::numeric_limits<int32_t>::max(), high = std::numeric_limits<int32_t>::min();
    int32_t held = 0; // the value a sample without a resistance repeats
    for (const int32_t reading : readings) {
        if (!LoadedSession::isValid(reading)) continue;
        if (held == 0) held = reading;
        low = std::min(low, reading);
        high = std::max(high, reading);
    }
    if (held == 0) {
        error = session.readingName + QStringLiteral(": no reading of the session gives a resistance");
        return ExportStatus::Failed;
    }
    // Conductance grows with the reading, resistance falls.
    const auto [siemensMin, siemensMax] =
        headerRange(LoadedSession::microsiemens(low), LoadedSession::microsiemens(high));
    const auto [kiloOhmsMin, kiloOhmsMax] =
        headerRange(LoadedSession::ohms(high) / 1000, LoadedSession::ohms(low) / 1000);

    const int64_t samples = count > 0 ? sampleAt(times.back()) + 1 : 0;
    const long long records = (samples + rate - 1) / rate;
    struct Annotation {
        long long onset; // in units of 100 us
        QByteArray text;
        long long duration = -1; // none
    };
    // The comments first, at the start of the recording, then the markers, the gaps and the end.
    std::vector<Annotation> annotations;
    for (QByteArray& text : commentTexts(session.comments))
        annotations.push_back({0, std::move(text)});
    const long long commentCount = static_cast<long long>(annotations.size());
    for (const Marker& marker : session.markers)
        annotations.push_back({session.timeOf(marker) * kEdfTimeUnitsPerMs, annotationText(marker.label)});
    // Each skin-conductance response at its onset, its rise time as the duration, scored as the running
    // session scores it.
    ResponseTable::score(session.readings, session.markers, {}, [&](const SkinResponse& r) {
        const int64_t onset = session.milliseconds[size_t(r.onsetReading - 1)];
        annotations.push_back({onset * kEdfTimeUnitsPerMs,
                               QByteArray("SCR ") + QByteArray::number(r.amplitudeUs, 'f', 3) + " uS",
                               std::llround(r.riseSeconds * double(kEdfTimeUnitsPerSecond))});
    });
    int64_t gaps = 0;
    for (int64_t i = 0; i < count; ++i) {
        // Before the first reading, the session's start stands in for the reading before.
        const int64_t before = i > 0 ? times[size_t(i - 1)] : -step;
        const int64_t missing = times[size_t(i)] - before - step;
        if (missing <= kGapMs) continue;
        ++gaps;
        annotations.push_back(
            {(before + step) * kEdfTimeUnitsPerMs,
             QByteArray("gap ") + QByteArray::number(double(missing) / 1000.0, 'f', 1) + " s",
             missing * kEdfTimeUnitsPerMs});
    }
    annotations.push_back({samples * step * kEdfTimeUnitsPerMs, QByteArrayLiteral("Recording ends")});
    // EDFlib stores one annotation per annotation signal and data record. The markers and gaps must fit;
    // comments too long for a short recording are cut, as the start of them is also in the header.
    const long long room = records * kMaxAnnotationSignals;
    const long long excess = static_cast<long long>(annotations.size()) - room;
    if (excess > commentCount) {
        const QString what =
            gaps == 0 ? QStringLiteral("%1 markers").arg(session.markers.size())
                      : QStringLiteral("%1 markers and %2 gaps").arg(session.markers.size()).arg(gaps);
        error = exportFailure(
            path, QStringLiteral("%1 do not fit into a recording of %2 seconds").arg(what).arg(records));
        return ExportStatus::Failed;
    }
    if (excess > 0) {
        annotations.erase(annotations.begin() + (commentCount - excess), annotations.begin() + commentCount);
        warnings << session.headerName +
                        QStringLiteral(": the comments are too long for the annotations of a recording of %1 "
                                       "seconds; their last %2 of %3 parts were left out")
                            .arg(records)
                            .arg(excess)
                            .arg(commentCount);
    }
    const long long annotationSignals = (static_cast<long long>(annotations.size()) + records - 1) / records;

    QDateTime start = session.start;
    if (!start.isValid() || start.date().year() < 1985 || start.date().year() > 2084) {
        warnings << session.headerName +
                        QStringLiteral(": the start date and time are not known; the EDF+ file starts at "
                                       "01.01.1985 00:00:00");
        start = QDateTime(QDate(1985, 1, 1), QTime(0, 0));
    }

    EdfFile file(path);
    const int h = file.handle();
    if (h < 0) {
        error = exportFailure(path, file.openFailure());
        return ExportStatus::Failed;
    }
    const QByteArray comments = recordingText(session.comments);
    const double ranges[2][2] = {{siemensMin, siemensMax}, {kiloOhmsMin, kiloOhmsMax}};
    const char* labels[2] = {"Skin conductance", "Skin resistance"};
    const char* units[2] = {"uS", "kOhm"};
    bool set =
        edf_set_number_of_annotation_signals(h, int(annotationSignals)) == 0 &&
        edf_set_startdatetime(h, start.date().year(), start.date().month(), start.date().day(),
                              start.time().hour(), start.time().minute(), start.time().second()) == 0 &&
        (comments.isEmpty() || edf_set_recording_additional(h, comments.constData()) == 0);
    for (int s = 0; s < 2; ++s)
        set = set && edf_set_samplefrequency(h, s, rate) == 0 &&
              edf_set_digital_minimum(h, s, kDigitalMin) == 0 &&
              edf_set_digital_maximum(h, s, kDigitalMax) == 0 &&
              edf_set_physical_minimum(h, s, ranges[s][0]) == 0 &&
              edf_set_physical_maximum(h, s, ranges[s][1]) == 0 && edf_set_label(h, s, labels[s]) == 0 &&
              edf_set_physical_dimension(h, s, units[s]) == 0 &&
              edf_set_transducer(h, s, "Aurivo USB probe") == 0;
    if (!set) {
        error = exportFailure(path, QStringLiteral("EDFlib refused the file's settings"));
        return ExportStatus::Failed;
    }

    ProgressTicker ticker(progress, count);
    std::vector<int> siemens(rate), kiloOhms(rate);
    int64_t sample = 0, next = 0; // the sample being written, the first reading not yet taken
    for (long long record = 0; record < records; ++record) {
        for (int k = 0; k < rate; ++k, ++sample) {
            for (; next < count && sampleAt(times[size_t(next)]) <= sample; ++next)
                if (LoadedSession::isValid(readings[size_t(next)])) held = readings[size_t(next)];
            siemens[size_t(k)] = digital(LoadedSession::microsiemens(held), ranges[0]);
            kiloOhms[size_t(k)] = digital(LoadedSession::ohms(held) / 1000, ranges[1]);
        }
        if (edfwrite_digital_samples(h, siemens.data()) != 0 ||
            edfwrite_digital_samples(h, kiloOhms.data()) != 0) {
            error = exportFailure(path, QStringLiteral("writing the samples failed"));
            return ExportStatus::Failed;
        }
        if (!ticker.report(next)) return ExportStatus::Cancelled;
    }
    for (const Annotation& a : annotations) {
        if (edfwrite_annotation_utf8(h, a.onset, a.duration, a.text.constData()) != 0) {
            error = exportFailure(path, QStringLiteral("writing the markers failed"));
            return ExportStatus::Failed;
        }
    }
    if (!file.close() || !readsBack(path, records, static_cast<long long>(annotations.size()))) {
        error =
            exportFailure(path, QStringLiteral("the file was not written completely (is the disk full?)"));
        return ExportStatus::Failed;
    }
    return ExportStatus::Done;
}

} // namespace aurivo
