// Session export: the EDF+ file read back with EDFlib, the CSV read back, damaged sessions refused without
// leaving a file.

#include "FullDisk.h"
#include "TestFiles.h"
#include "app/SessionControl.h"
#include "export/LoadedSession.h"
#include "export/SessionExporter.h"
#include "recording/CsvText.h"
#include "recording/MarkerFile.h"
#include "recording/SessionHeaderFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <ctime>
#include <edflib.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace aurivo;

namespace {

const QDateTime kStart(QDate(2024, 3, 5), QTime(14, 7, 9));

double ohmsOf(int32_t a) {
    return 16383.0 * 470000.0 / a - 470000.0;
}

bool usable(int32_t a) {
    return a >= 1 && a <= 16382;
}

// 47 readings: two whole data records and 7 more; the first and the sixth give no resistance, the 11th
// and the 21st are the extremes that do.
std::vector<int32_t> sampleReadings() {
    std::vector<int32_t> r;
    for (int i = 0; i < 47; ++i)
        r.push_back(7000 + 37 * i);
    r[0] = 0;
    r[5] = 16383;
    r[10] = 1;
    r[20] = 16382;
    return r;
}

const std::vector<Marker> kMarkers{
    {1.0, 20, QStringLiteral("Marker 1")},
    {0.2, 0, QStringLiteral("Before, \"first\"")},
    {9.0, 47, QString(45, QChar(0xe9))}, // at the last reading
    {9.5, 48, QStringLiteral("Beyond")}, // past it: left out with a warning
    {9.5, 47, QStringLiteral("After")}}; // the same sample: stays in file order

// A session header with neither start nor comments.
const QByteArray
    kPlainHeader("\"MinADC\"\r\n\" 8000\"\r\n\"MaxADC\"\r\n\" 8010\"\r\n\"Start of Session : \"\r\n");

// A saved session <dir>/s.Tst, s.Hdr, s.mrk.
void writeSession(const QTemporaryDir& dir) {
    const std::vector<int32_t> readings = sampleReadings();
    writeFile(dir.filePath(QStringLiteral("s.Tst")),
              QByteArray(reinterpret_cast<const char*>(readings.data()), qsizetype(readings.size() * 4)));
    QString reason;
    ASSERT_TRUE(SessionHeaderFile::writeItems(
        dir.filePath(QStringLiteral("s.Hdr")),
        {QStringLiteral("MinADC"), QStringLiteral(" 7037"), QStringLiteral("MaxADC"), QStringLiteral(" 8702"),
         QStringLiteral("Start of Session : ") + SessionControl::generalDateText(kStart) +
             QStringLiteral("\r\nCaf\u00e9 notes,\tline one\r\n\r\nline two runs past the forty bytes of "
                            "t\u00e9xt, into a second")},
        reason));
    for (const Marker& m : kMarkers)
        ASSERT_TRUE(MarkerFile(dir.filePath(QStringLiteral("s.mrk"))).append(m, reason));
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The annotations of an EDF+ file: onset in units of 100 ns, text.
std::vector<std::pair<long long, QByteArray>> annotationsOf(const QString& path) {
    std::vector<std::pair<long long, QByteArray>> list;
    edf_hdr_struct hdr;
    if (edfopen_file_readonly(QFile::encodeName(path).constData(), &hdr, EDFLIB_READ_ALL_ANNOTATIONS) != 0)
        return list;
    for (int i = 0; i < hdr.annotations_in_file; ++i) {
        edf_annotation_struct a;
        if (edf_get_annotation(hdr.handle, i, &a) == 0) list.emplace_back(a.onset, QByteArray(a.annotation));
    }
    edfclose_file(hdr.handle);
    return list;
}

} // namespace

TEST(Export, EdfPlusAndCsvReadBackWithEverySampleTheStartAndEveryMarker) {
    QTemporaryDir dir;
    writeSession(dir);
    const QString out = dir.filePath(QStringLiteral("out.edf"));
    std::pair<int64_t, int64_t> progress;
    const ExportResult result =
        SessionExporter::run(dir.filePath(QStringLiteral("s.Tst")), out, [&](int64_t d, int64_t t) {
            progress = {d, t};
            return true;
        });
    ASSERT_EQ(result.status, ExportStatus::Done) << qPrintable(result.error);
    EXPECT_EQ(progress, std::make_pair(int64_t(47), int64_t(47)));
    EXPECT_EQ(result.markers, 4);
    EXPECT_TRUE(result.warnings.contains(QStringLiteral("s.mrk: 1 damaged or unfinished lines skipped")))
        << qPrintable(result.warnings.join(QLatin1Char('|')));

    edf_hdr_struct hdr;
    ASSERT_EQ(edfopen_file_readonly(QFile::encodeName(out).constData(), &hdr, EDFLIB_READ_ALL_ANNOTATIONS),
              0);
    EXPECT_EQ(hdr.filetype, EDFLIB_FILETYPE_EDFPLUS);
    EXPECT_EQ(QDateTime(QDate(hdr.startdate_year, hdr.startdate_month, hdr.startdate_day),
                        QTime(hdr.starttime_hour, hdr.starttime_minute, hdr.starttime_second)),
              kStart);
    EXPECT_EQ(QByteArray(hdr.recording_additional).trimmed(), "Cafe notes, line one line two runs past");
    ASSERT_EQ(hdr.edfsignals, 2);
    // Samples repeat the value before one without a resistance (the first usable one at the start) and the
    // last one fills the last data record.
    const std::vector<int32_t> readings = sampleReadings();
    std::vector<int32_t> held;
    for (int i = 0, last = readings[1]; i < 60; ++i)
        held.push_back(last = i < 47 && usable(readings[i]) ? readings[i] : last);
    const char* labels[2][2] = {{"Skin conductance", "uS"}, {"Skin resistance", "kOhm"}};
    for (int s = 0; s < 2; ++s) {
        const edf_param_struct& p = hdr.signalparam[s];
        EXPECT_EQ(QByteArray(p.label).trimmed(), labels[s][0]);
        EXPECT_EQ(QByteArray(p.physdimension).trimmed(), labels[s][1]);
        ASSERT_EQ(p.smp_in_file, 60);
        EXPECT_EQ(p.smp_in_datarecord, 20);
        const auto value = [s](int32_t a) { return s == 0 ? 1e6 / ohmsOf(a) : ohmsOf(a) / 1000; };
        const double lo = std::min(value(1), value(16382)), hi = std::max(value(1), value(16382));
        EXPECT_LE(p.phys_min, lo);
        EXPECT_GE(p.phys_max, hi);
        EXPECT_LT(p.phys_max - p.phys_min, (hi - lo) * 1.01 + 0.2); // the range follows the data
        const double halfStep = (p.phys_max - p.phys_min) / (p.dig_max - p.dig_min) * 0.5001;
        std::vector<double> samples(60);
        ASSERT_EQ(edfread_physical_samples(hdr.handle, s, 60, samples.data()), 60);
        for (int i = 0; i < 60; ++i)
            EXPECT_NEAR(samples[i], value(held[i]), halfStep) << "signal " << s << " sample " << i;
    }
    edfclose_file(hdr.handle);
    // The comments whole at the start, each line in pieces of at most the 40 bytes EDFlib writes, not
    // inside a character; then the markers, onsets in units of 100 ns: sample n at n / 20 s.
    const std::vector<std::pair<long long, QByteArray>> expected{
        {0, "Caf\xc3\xa9 notes, line one"},
        {0, "line two runs past the forty bytes of t"},
        {0, "\xc3\xa9xt, into a second"},
        {0, "Before, \"first\""},
        {9500000, "Marker 1"},
        {23000000, QString(20, QChar(0xe9)).toUtf8()},
        {23000000, "After"},
        {23500000, "Recording ends"}};
    EXPECT_EQ(annotationsOf(out), expected);

    const QString csv = dir.filePath(QStringLiteral("out.CSV"));
    ASSERT_EQ(SessionExporter::run(dir.filePath(QStringLiteral("s.Tst")), csv).status, ExportStatus::Done);
    QStringList lines = QString::fromUtf8(readFile(csv)).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.takeLast(), QString());
    ASSERT_EQ(lines.size(), 48);
    EXPECT_EQ(lines[0], QStringLiteral("time_s,reading,resistance_ohm,conductance_us,marker"));
    EXPECT_EQ(lines[2], QStringLiteral("0.050,7037,624217.7,1.6020,"));
    for (int i = 0; i < 47; ++i) {
        const std::optional<QStringList> fields = CsvText::split(lines[i + 1]);
        ASSERT_TRUE(fields && fields->size() == 5) << qPrintable(lines[i + 1]);
        const bool ok = usable(readings[i]);
        // As fine as a reading tells: the time to the millisecond, ohms to 0.1, microsiemens to 0.0001.
        EXPECT_EQ(fields->at(0), QString::number(i / 20.0, 'f', 3));
        EXPECT_EQ(fields->at(1).toInt(), readings[i]);
        EXPECT_EQ(fields->at(2), ok ? QString::number(ohmsOf(readings[i]), 'f', 1) : QString()) << i;
        EXPECT_EQ(fields->at(3), ok ? QString::number(1e6 / ohmsOf(readings[i]), 'f', 4) : QString()) << i;
        const std::map<int, QString> marked{
            {0, kMarkers[1].label}, {19, kMarkers[0].label}, {46, kMarkers[2].label + "; After"}};
        EXPECT_EQ(fields->at(4), marked.count(i) ? marked.at(i) : QString()) << "line " << i;
    }
    // A flat session on a step of the header's range still gets a range: 7520 is 553.9375 kOhm. Its one
    // data record holds 64 annotations: the markers and the end, and what room is left of the comments.
    writeFile(dir.filePath(QStringLiteral("s.Tst")), QByteArray::fromHex("601D0000").repeated(20));
    QString reason;
    ASSERT_TRUE(SessionHeaderFile::writeItems(
        dir.filePath(QStringLiteral("s.Hdr")),
        {QStringLiteral("MinADC"), QStringLiteral(" 7520"), QStringLiteral("MaxADC"), QStringLiteral(" 7520"),
         QStringLiteral("Start of Session : \r\n") + QString(3000, 'c')},
        reason));
    const ExportResult flat = SessionExporter::run(dir.filePath(QStringLiteral("s.Tst")), out);
    EXPECT_EQ(flat.status, ExportStatus::Done);
    EXPECT_EQ(flat.warnings.filter(QStringLiteral("s.Hdr: the comments are too long")).size(), 1)
        << qPrintable(flat.warnings.join('\n'));
    const std::vector<std::pair<long long, QByteArray>> cut = annotationsOf(out);
    ASSERT_EQ(cut.size(), 64u);
    // Of the markers only the two within the second of readings are kept, after the comments.
    EXPECT_EQ(cut[60], std::pair(0LL, QByteArray(40, 'c')));
    EXPECT_EQ(cut[61].second, "Before, \"first\"");
}

TEST(Export, ADamagedSessionOrAnUnwritableTargetGivesAClearErrorAndNoFile) {
    const QByteArray fine("\x40\x1f\0\0\x4a\x1f\0\0", 8);
    const QByteArray header = kPlainHeader;
    QByteArray crowded("time_s,reading,label\r\n"); // more markers than one data record holds
    for (int i = 0; i < 70; ++i)
        crowded += "0.000,1,m" + QByteArray::number(i) + "\r\n";
    struct Case {
        const char* what;
        QByteArray tst, hdr, mrk; // "-" for a missing file, "|" for a pipe
        const char* outName;
        const char* named;
    };
    const Case cases[] = {
        {"missing reading file", "-", header, "-", "out", "s.Tst"},
        {"empty reading file", "", header, "-", "out", "s.Tst"},
        {"no reading with a resistance", QByteArray(8, '\0'), header, "-", "out.edf", "s.Tst"},
        {"missing header", fine, "-", "-", "out", "s.Hdr"},
        {"header of two items", fine, "\"MinADC\"\r\n\" 8000\"\r\n", "-", "out", "s.Hdr"},
        {"a pipe as the marker file", fine, header, "|", "out", "s.mrk"},
        {"missing target folder", fine, header, "-", "none/out", "none/out"},
        {"a folder as the target", fine, header, "-", "d.edf", "d.edf: is a folder"},
        {"neither format", fine, header, "-", "out.txt", "out.txt: the name must end in .edf or .csv"},
        {"markers beyond what the recording holds", fine, header, crowded, "out.edf",
         "70 markers do not fit into a recording of 1 seconds"},
    };
    for (const Case& c : cases) {
        for (const char* ext : {".edf", ".csv"}) {
            if (QByteArray(c.outName).contains('.') && ext[1] == 'c') continue; // a named format: once
            QTemporaryDir dir;
            ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("d.edf")));
            if (c.tst != "-") writeFile(dir.filePath(QStringLiteral("s.Tst")), c.tst);
            if (c.hdr != "-") writeFile(dir.filePath(QStringLiteral("s.Hdr")), c.hdr);
            const QString mrk = dir.filePath(QStringLiteral("s.mrk"));
            if (c.mrk == "|")
                ASSERT_EQ(::mkfifo(QFile::encodeName(mrk).constData(), 0600), 0);
            else if (c.mrk != "-")
                writeFile(mrk, c.mrk);
            const QStringList before = entries(dir.path());
            QString out = dir.filePath(QLatin1String(c.outName));
            if (!out.contains(QLatin1Char('.'))) out += QLatin1String(ext);
            const ExportResult result = SessionExporter::run(dir.filePath(QStringLiteral("s.Tst")), out);
            EXPECT_EQ(result.status, ExportStatus::Failed) << c.what << ext;
            EXPECT_TRUE(result.error.contains(QLatin1String(c.named)))
                << c.what << ": " << qPrintable(result.error);
            EXPECT_EQ(entries(dir.path()), before) << c.what << ext;
        }
    }
}

TEST(Export, CommentsTooLongForAShortRecordingAreCutAndTheMarkersKept) {
    // One data record holds 64 annotations: 80 comment lines, 3 markers and the end do not fit.
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("s.Tst")), QByteArray("\x40\x1f\0\0\x4a\x1f\0\0", 8));
    QString comments = QStringLiteral("Start of Session : ") + SessionControl::generalDateText(kStart);
    for (int i = 0; i < 80; ++i)
        comments += QStringLiteral("\r\nline %1").arg(i);
    QString reason;
    ASSERT_TRUE(SessionHeaderFile::writeItems(dir.filePath(QStringLiteral("s.Hdr")),
                                              {QStringLiteral("MinADC"), QStringLiteral(" 8000"),
                                               QStringLiteral("MaxADC"), QStringLiteral(" 8010"), comments},
                                              reason));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(MarkerFile(dir.filePath(QStringLiteral("s.mrk")))
                        .append({0.05 * i, i % 2, QStringLiteral("m%1").arg(i)}, reason));
    const QString out = dir.filePath(QStringLiteral("out.edf"));
    const ExportResult result = SessionExporter::run(dir.filePath(QStringLiteral("s.Tst")), out);
    ASSERT_EQ(result.status, ExportStatus::Done) << qPrintable(result.error);
    EXPECT_EQ(
        result.warnings.filter(QStringLiteral("too long")),
        QStringList(QStringLiteral("s.Hdr: the comments are too long for the annotations of a recording "
                                   "of 1 seconds; their last 20 of 80 parts were left out")));
    QList<QByteArray> texts;
    for (const auto& [onset, text] : annotationsOf(out))
        texts << text;
    EXPECT_EQ(texts.size(), 64);
    EXPECT_EQ(texts.first(), "line 0");
    EXPECT_TRUE(texts.contains("line 59") && !texts.contains("line 60"));
    for (const char* kept : {"m0", "m1", "m2", "Recording ends"})
        EXPECT_TRUE(texts.contains(kept)) << kept;
}

TEST(Export, StartDateIsReadInTheLocaleThatWroteIt) {
    for (const char* name : {"C", "en_US", "de_DE", "ja_JP"}) {
        QLocale::setDefault(QLocale(QLatin1String(name)));
        EXPECT_EQ(LoadedSession::parseStartDate(SessionControl::generalDateText(kStart)), kStart) << name;
    }
    QLocale::setDefault(QLocale::system());
    EXPECT_FALSE(LoadedSession::parseStartDate(QStringLiteral("soon")).isValid());
}

TEST(Export, LabelsReachSpreadsheetsAndEdfAsTextWithoutControlCharacters) {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("s.Hdr")), kPlainHeader);
    const std::vector<int32_t> readings{8191, 0, 16382, 1, 7037};
    writeFile(dir.filePath(QStringLiteral("s.Tst")),
              QByteArray(reinterpret_cast<const char*>(readings.data()), qsizetype(readings.size() * 4)));
    // A marker file from elsewhere: formulas, and control bytes that the monitor never writes there.
    const char mrk[] = "time_s,reading,label\r\n0,1,=1+1\r\n0,2,+A1\r\n0,3,-2\r\n0,4, @SUM(A1)\r\n"
                       "0,5,\"a\0b\x01"
                       "c\x7f\xc2\x90"
                       "d\te, =x\"\r\n0,5,Plain\r\n";
    writeFile(dir.filePath(QStringLiteral("s.mrk")), QByteArray(mrk, sizeof mrk - 1));

    const QString csv = dir.filePath(QStringLiteral("out.csv"));
    ASSERT_EQ(SessionExporter::run(dir.filePath(QStringLiteral("s.Tst")), csv).status, ExportStatus::Done);
    EXPECT_EQ(readFile(csv), QByteArray("time_s,reading,resistance_ohm,conductance_us,marker\r\n"
                                        "0.000,8191,470057.4,2.1274,'=1+1\r\n"
                                        "0.050,0,,,'+A1\r\n"
                                        "0.100,16382,28.7,34855.3191,'-2\r\n"
                                        "0.150,1,7699540000.0,0.0001,' @SUM(A1)\r\n"
                                        "0.200,7037,624217.7,1.6020,\"abcd e, =x; Plain\"\r\n"));

    const QString edf = dir.filePath(QStringLiteral("out.edf"));
    ASSERT_EQ(SessionExporter::run(dir.filePath(QStringLiteral("s.Tst")), edf).status, ExportStatus::Done);
    const std::vector<std::pair<long long, QByteArray>> expected{{0, "=1+1"},
                                                                 {500000, "+A1"},
                                                                 {1000000, "-2"},
                                                                 {1500000, "@SUM(A1)"},
                                                                 {2000000, "abcd e, =x"},
                                                                 {2000000, "Plain"},
                                                                 {2500000, "Recording ends"}};
    EXPECT_EQ(annotationsOf(edf), expected);
}

TEST(Export, ATimingFilePlacesTheReadingsOnTheSessionsClockAndItsDamageIsLeftOut) {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("s.Hdr")), kPlainHeader);
    std::vector<int32_t> readings(12, 8000);
    readings[10] = 7000;
    writeFile(dir.filePath(QStringLiteral("s.Tst")),
              QByteArray(reinterpret_cast<const char*>(readings.data()), qsizetype(readings.size() * 4)));
    // Readings 6 to 10 came in one burst, 20 ms after the tick before; then the device was silent.
    writeFile(dir.filePath(QStringLiteral("s.TIM")),
              "reading,time_s\r\n1,0.300\r\n4,0.500\r\nnoise\r\n"
              "6,0.400\r\n6,0.520\r\n11,90000.520\r\n11,5.000\r\n99,6.000\r\n13,7.0");
    const QString csv = dir.filePath(QStringLiteral("out.csv")),
                  edf = dir.filePath(QStringLiteral("out.edf"));
    for (const QString& out : {csv, edf}) {
        const ExportResult result = SessionExporter::run(dir.filePath(QStringLiteral("s.Tst")), out);
        ASSERT_EQ(result.status, ExportStatus::Done) << qPrintable(result.error);
        // Not a number, a time going back, one more than a day later, a reading past the last one, an
        // unfinished last line.
        EXPECT_EQ(result.warnings.filter(QStringLiteral("s.TIM")).join('|').toStdString(),
                  "s.TIM: 5 damaged or unfinished lines skipped");
    }
    QByteArray expected = "time_s,reading,resistance_ohm,conductance_us,marker\r\n";
    for (const char* time : {"0.200", "0.250", "0.300", "0.450", "0.500", "0.504", "0.508", "0.512", "0.516",
                             "0.520", "4.950", "5.000"})
        expected += QByteArray(time) + (expected.count('\n') == 11 ? ",7000,630001.4,1.5873,\r\n"
                                                                   : ",8000,492501.2,2.0305,\r\n");
    EXPECT_EQ(readFile(csv).toStdString(), expected.toStdString());
    const std::vector<std::pair<long long, QByteArray>> annotations{{5700000, "gap 4.4 s"},
                                                                    {50500000, "Recording ends"}};
    EXPECT_EQ(annotationsOf(edf), annotations);

    // A timing file that stopped early (its disk was full): the readings after its last tick follow it
    // 20 a second, and the export says so.
    writeFile(dir.filePath(QStringLiteral("s.Tst")), QByteArray::fromHex("401F0000").repeated(50));
    writeFile(dir.filePath(QStringLiteral("s.TIM")), "reading,time_s\r\n1,1.000\r\n");
    const ExportResult early = SessionExporter::run(dir.filePath(QStringLiteral("s.Tst")), csv);
    EXPECT_EQ(early.warnings,
              QStringList{QStringLiteral(
                  "s.TIM: the times end 30 readings before the last; those are taken 20 a second")});
    const QList<QByteArray> lines = readFile(csv).split('\n');
    ASSERT_EQ(lines.size(), 52);
    EXPECT_TRUE(lines[20].startsWith("1.000,") && lines[21].startsWith("1.050,") &&
                lines[50].startsWith("2.500,"));
}

TEST(Export, TheLastReadingOfAPartDataRecordIsKept) {
    // 41 readings at 20 a second: two whole data records and one more reading, which needs a third.
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("s.Hdr")), kPlainHeader);
    std::vector<int32_t> readings(41, 8000);
    readings.back() = 7000;
    writeFile(dir.filePath(QStringLiteral("s.Tst")),
              QByteArray(reinterpret_cast<const char*>(readings.data()), qsizetype(readings.size() * 4)));
    const QString edf = dir.filePath(QStringLiteral("out.edf"));
    ASSERT_EQ(SessionExporter::run(dir.filePath(QStringLiteral("s.Tst")), edf).status, ExportStatus::Done);
    edf_hdr_struct hdr;
    ASSERT_EQ(edfopen_file_readonly(QFile::encodeName(edf).constData(), &hdr, EDFLIB_DO_NOT_READ_ANNOTATIONS),
              0);
    EXPECT_EQ(hdr.datarecords_in_file, 3);
    std::vector<double> kiloOhms(60);
    ASSERT_EQ(edfread_physical_samples(hdr.handle, 1, 60, kiloOhms.data()), 60);
    EXPECT_NEAR(kiloOhms[40], ohmsOf(7000) / 1000, 1);
    EXPECT_NEAR(kiloOhms[39], ohmsOf(8000) / 1000, 1);
    edfclose_file(hdr.handle);
}

TEST(Export, AFullDiskIsNamedWithTheSystemsReason) {
    QTemporaryDir dir;
    writeSession(dir);
    // Room for a part of the first block, so the disk fills up within a write.
    writeFile(dir.filePath(QStringLiteral("s.Tst")), QByteArray::fromHex("601D0000").repeated(4000));
    FullDisk disk(4096);
    const QString out = disk.filePath(QStringLiteral("out.csv"));
    const ExportResult result = SessionExporter::run(dir.filePath(QStringLiteral("s.Tst")), out);
    EXPECT_EQ(result.status, ExportStatus::Failed);
    EXPECT_EQ(result.error.toStdString(), (out + QStringLiteral(": ") + disk.reason()).toStdString());
    EXPECT_EQ(disk.entries(), QStringList());
}

// aurivo-export stopped by a signal removes its unfinished file at once and dies of the signal; an export
// removes the unfinished files that killed exports left in its folder long ago, and nothing else.
TEST(Export, AKilledExportLeavesNoUnfinishedFileBehind) {
    QTemporaryDir dir;
    writeSession(dir);
    // A long session: its export goes on for about a second after it begins to write.
    writeFile(dir.filePath(QStringLiteral("s.Tst")), QByteArray::fromHex("601D0000").repeated(400000));
    const QStringList left{QStringLiteral(".new.csv.0123abcd.part"),
                           QStringLiteral(".notes.txt.0123abcd.part"),
                           QStringLiteral(".old.csv.0123abcde.part"), QStringLiteral("old.csv.0123abcd.part"),
                           QStringLiteral(".link.csv.0123abcd.part")};
    for (const QString& name :
         left.mid(0, 4) + QStringList{".old.csv.0123abcd.part", ".old.EDF.89abcdef.part"})
        writeFile(dir.filePath(name), "x");
    ASSERT_TRUE(QFile::link(QStringLiteral("s.Hdr"), dir.filePath(left[4])));
    const timespec hourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    for (const QString& name : entries(dir.path())) {
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        if (name.endsWith(QStringLiteral(".part")) && !name.startsWith(QStringLiteral(".new"))) {
            ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), hourAgo, AT_SYMLINK_NOFOLLOW), 0);
        }
    }

    const int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(dir.path()).constData(), IN_MODIFY), 0);
    const QByteArray tst = QFile::encodeName(dir.filePath(QStringLiteral("s.Tst")));
    const QByteArray csv = QFile::encodeName(dir.filePath(QStringLiteral("out.csv")));
    char* argv[] = {const_cast<char*>(AURIVO_EXPORT_PATH), const_cast<char*>(tst.constData()),
                    const_cast<char*>(csv.constData()), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, AURIVO_EXPORT_PATH, nullptr, nullptr, argv, environ), 0);
    bool writing = false; // the export has begun to write its unfinished file
    for (pollfd p{watch, POLLIN, 0}; !writing && ::poll(&p, 1, 30000) == 1;) {
        alignas(inotify_event) char events[4096];
        const ssize_t n = ::read(watch, events, sizeof events);
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(events + at);
            writing = writing || (e->len > 0 && QByteArray(e->name).startsWith(".out.csv."));
            at += ssize_t(sizeof(inotify_event) + e->len);
        }
    }
    ::close(watch);
    ::kill(pid, SIGHUP);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(writing);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGHUP) << status;
    QStringList kept = left + QStringList{"s.Hdr", "s.Tst", "s.mrk"};
    kept.sort();
    EXPECT_EQ(entries(dir.path()).join(' ').toStdString(), kept.join(' ').toStdString());
}
