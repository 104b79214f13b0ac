// The user's stories, each from the start over a real serial line (a pseudo-terminal linked as
// ports/com3, fed with the simulator's bytes or a ramp of packets): record and stop, comment and save,
// replay and resume, save again, export, exit and start again. Each step checks the files a user relies
// on, so a change that breaks a story fails here even when every unit still passes.

#include "../analysis/SkinSignal.h"
#include "MonitorFakes.h"
#include "OscDump.h"
#include "PseudoTerminal.h"
#include "SettingsFixture.h"
#include "TestFiles.h"
#include "app/Monitor.h"
#include "core/NumberRules.h"
#include "device/PacketDecoder.h"
#include "device/QtSerialComm.h"
#include "recording/SavedSession.h"
#include "recording/SessionHeaderFile.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace aurivo {

namespace {

QByteArray simulatorBytes(int packets) {
    QProcess sim;
    sim.start(AURIVO_SIM_PATH, {"--stdout", "--seed", "7", "--count", QString::number(packets)});
    sim.waitForFinished(20000);
    return sim.readAllStandardOutput();
}

// Packets of one reading: a session at rest.
QByteArray steadyBytes(int packets, uint16_t reading) {
    QByteArray bytes;
    for (int i = 0; i < packets; ++i)
        bytes += PacketDecoder::makePacket(reading, 4);
    return bytes;
}

// Packets whose readings only rise: every filtered reading of the session is a new maximum.
QByteArray risingBytes(int packets) {
    QByteArray bytes;
    for (int i = 0; i < packets; ++i)
        bytes += PacketDecoder::makePacket(uint16_t(7000 + 5 * i), 4);
    return bytes;
}

std::vector<int32_t> recordsOf(const QByteArray& bytes) {
    std::vector<int32_t> records(size_t(bytes.size() / 4));
    for (size_t i = 0; i < records.size(); ++i)
        records[i] = qFromLittleEndian<int32_t>(bytes.constData() + 4 * i);
    return records;
}

QStringList headerItems(const QString& path) {
    QStringList items;
    QString reason;
    EXPECT_TRUE(SessionHeaderFile::readItems(path, 5, items, reason)) << reason.toStdString();
    return items;
}

// One monitor run on a program folder; a second run on the same folder is "starting again".
struct MonitorRun {
    TestClock clock;
    TestHost host{clock};
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    QtSerialComm comm;
    Monitor monitor;
    explicit MonitorRun(const QString& folder, const QDateTime& now)
        : comm(folder), monitor({comm, clock, boxes, host, dialogs, folder, [](int) { return QString(); }}) {
        clock.dateTime = now;
        monitor.startUp();
        tick(); // the first arrangement
    }
    void tick() {
        clock.advance(200);
        monitor.onTick();
    }
};

struct Story : ::testing::Test {
    QTemporaryDir dir, saved;
    std::unique_ptr<PseudoTerminal> pty;
    std::unique_ptr<MonitorRun> run;

    void SetUp() override {
        ASSERT_TRUE(writeSettingsFile(dir.path()));
        pty = std::make_unique<PseudoTerminal>(dir.path(), 3);
        ASSERT_TRUE(pty->isValid());
        run = std::make_unique<MonitorRun>(dir.path(), QDateTime(QDate(2026, 12, 7), QTime(6, 19, 13)));
    }
    Monitor& m() { return run->monitor; }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QString savedPath(const QString& name) const { return QDir(saved.path()).filePath(name); }

    // Start, the bytes over the line in pieces of about two packets a tick, Stop.
    void record(const QByteArray& bytes) {
        m().choose(MenuItem::Start);
        ASSERT_TRUE(run->comm.portOpen());
        for (qsizetype at = 0; at < bytes.size(); at += 16) {
            const QByteArray chunk = bytes.mid(at, 16);
            ASSERT_TRUE(pty->write(chunk));
            ASSERT_TRUE(QTest::qWaitFor([&] { return run->comm.inBufferCount() >= chunk.size(); }, 2000));
            run->tick();
        }
        ASSERT_TRUE(m().sessions().running());
        m().choose(MenuItem::Stop);
    }
    // File > Save session under the name in the second folder; the answers go to the questions asked.
    void save(const QString& name, std::deque<MessageBoxes::Answer> answers = {}) {
        run->boxes.answers = std::move(answers);
        run->dialogs.fileManager = [&](FileManager& fm) {
            fm.changeFolder(saved.path());
            fm.setName(name);
            fm.runFileOption();
        };
        m().choose(MenuItem::SaveSession);
    }
    void display(const QStringList& names) {
        run->dialogs.fileManager = [&](FileManager& fm) {
            fm.changeFolder(saved.path());
            for (const QString& name : names) {
                fm.setName(name);
                fm.addToDisplayList();
            }
            names.isEmpty() ? fm.cancel() : fm.runFileOption();
        };
        run->host.onEvents = [this] { run->tick(); };
        m().choose(MenuItem::DisplaySavedSessions);
        run->host.onEvents = nullptr;
    }
};

} // namespace

TEST_F(Story, RecordStopCommentAndSaveKeepReadingsRangeStartAndComments) {
    record(simulatorBytes(300));
    const std::vector<int32_t> records = recordsOf(readFile(path("tempdata.tst")));
    ASSERT_GT(records.size(), 200u);
    EXPECT_EQ(readFile(path("tempdata.txt")).count('\n'), qsizetype(records.size()));
    // The header holds the session's true range and its start.
    QStringList items = headerItems(path("tempdata.hdr"));
    ASSERT_EQ(items.size(), 5);
    const auto [lo, hi] = std::minmax_element(records.begin(), records.end());
    EXPECT_EQ(items[1], numbers::numberText(*lo));
    EXPECT_EQ(items[3], numbers::numberText(*hi));
    EXPECT_TRUE(items[4].startsWith("Start of Session : ")) << items[4].toStdString();

    // Comments typed after the stop are saved with the session, under the name typed into an empty box.
    m().setComments(m().comments().text() + "\r\nrelaxed, eyes closed");
    save("trial1");
    for (const char* ext : {"Tst", "Txt"})
        EXPECT_EQ(readFile(savedPath(QStringLiteral("trial1.") + ext)),
                  readFile(path(QStringLiteral("tempdata.") + QString::fromLatin1(ext).toLower())));
    items = headerItems(savedPath("trial1.Hdr"));
    ASSERT_EQ(items.size(), 5);
    EXPECT_TRUE(items[4].startsWith("Start of Session : ") && items[4].endsWith("\r\nrelaxed, eyes closed"));
    EXPECT_TRUE(run->boxes.shown.empty());
}

TEST_F(Story, ReplayResumeAndSaveAgainKeepTheStoppedSessionsComments) {
    record(simulatorBytes(200));
    save("before");
    record(risingBytes(200)); // a session that only rises
    m().setComments(m().comments().text() + "\r\nsecond run");
    const QString comments = m().comments().text();

    // Both sessions replay: no damage is reported, the rising one included.
    save("rising");
    display({"before", "rising"});
    ASSERT_TRUE(m().replayShown());
    EXPECT_TRUE(run->boxes.shown.empty()) << run->boxes.shown[0].text.toStdString();
    EXPECT_TRUE(m().comments().text().startsWith("before  Comments ...\r\nStart of Session : "));
    EXPECT_TRUE(m().comments().text().contains("rising  Comments ...\r\nStart of Session : "));
    const SavedSession rising = SavedSession::load(savedPath("rising.Tst"), savedPath("rising.Hdr"));
    ASSERT_TRUE(rising.ok() && rising.hasRange);
    EXPECT_LT(rising.minADC, rising.maxADC);

    // Resume: the stopped session's comments are back; saving again replaces the session after a
    // question that names it, and the header keeps its start line.
    m().choose(MenuItem::SaveSession);
    EXPECT_EQ(m().comments().text(), comments);
    m().setComments(comments + "\r\nadded after the replay");
    save("rising", {MessageBoxes::Answer::Yes});
    ASSERT_EQ(run->boxes.shown.size(), 1u);
    EXPECT_TRUE(run->boxes.shown[0].text.contains("The session \"rising\" in "));
    EXPECT_EQ(run->boxes.shown[0].buttons, MessageBoxes::Buttons::YesNoDefaultNo);
    const QStringList items = headerItems(savedPath("rising.Hdr"));
    ASSERT_EQ(items.size(), 5);
    EXPECT_TRUE(items[4].startsWith("Start of Session : ") && items[4].endsWith("added after the replay"));

    // The next session at rest keeps the sensitivity it starts with: the replay left no scale behind.
    const QString sensitivity = m().parameters().sensitivity().text();
    record(steadyBytes(200, 8000));
    EXPECT_EQ(m().parameters().sensitivity().text(), sensitivity);
}

TEST_F(Story, ExportOfTheSessionJustRecordedHasEveryReading) {
    record(risingBytes(120));
    const std::vector<int32_t> records = recordsOf(readFile(path("tempdata.tst")));
    ASSERT_FALSE(records.empty());
    for (ExportFormat format : {ExportFormat::Csv, ExportFormat::Edf}) {
        const QString out = savedPath(format == ExportFormat::Csv ? "run.csv" : "run.edf");
        run->dialogs.exportRequest = [&](const ExportChoices& choices) {
            return std::optional(ExportRequest{choices.sessions.at(0).readingPath, out, format});
        };
        m().choose(MenuItem::Export);
        EXPECT_TRUE(run->boxes.shown.empty()) << run->boxes.shown[0].text.toStdString();
        ASSERT_TRUE(QFile::exists(out));
    }
    const QList<QByteArray> lines = readFile(savedPath("run.csv")).split('\n');
    ASSERT_EQ(lines.size(), qsizetype(records.size()) + 2); // header line, readings, the last line end
    for (size_t i = 0; i < records.size(); ++i)
        ASSERT_EQ(lines[qsizetype(i) + 1].split(',').value(1), QByteArray::number(records[i])) << i;
}

TEST_F(Story, ExitAndStartAgainKeepTheUnsavedSessionAndTheSettings) {
    record(simulatorBytes(200));
    m().setComments(m().comments().text() + "\r\nnot saved");
    const QByteArray readings = readFile(path("tempdata.tst"));
    const QString name = m().sessions().sessionStartDate().toString("yyyyMMdd-HHmmss");
    m().choose(MenuItem::SetSensitivity);
    m().moveSensitivitySlider(40);
    m().acceptSensitivity();
    // The choices beside the settings file: the response ticks hidden, a stricter scoring.
    m().choose(MenuItem::ResponseTicks);
    ResponseDetector::Settings scoring;
    scoring.minAmplitudeUs = 0.05;
    scoring.windowEndSeconds = 3;
    QString failure;
    ASSERT_TRUE(m().setResponseSettings(scoring, failure)) << failure.toStdString();
    m().prepareToClose();
    run.reset();

    run = std::make_unique<MonitorRun>(dir.path(), QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0)));
    EXPECT_TRUE(run->boxes.notices.empty()); // nothing to recover: the session was stopped and kept
    EXPECT_EQ(m().parameters().sensitivity().text(), "40");
    EXPECT_EQ(m().ports().commPortNumber(), 3);
    EXPECT_FALSE(m().research().ticksShown());
    EXPECT_EQ(m().responses().settings(), scoring);
    EXPECT_FALSE(QFile::exists(path("tempdata.tst")));
    const QDir unsaved(path("unsaved"));
    EXPECT_EQ(readFile(unsaved.filePath(name + ".Tst")), readings);
    const SavedSession kept =
        SavedSession::load(unsaved.filePath(name + ".Tst"), unsaved.filePath(name + ".Hdr"));
    ASSERT_TRUE(kept.ok()) << kept.error.toStdString();
    EXPECT_TRUE(kept.comments.endsWith("\r\nnot saved"));
    // And the program records again as before.
    record(simulatorBytes(100));
    EXPECT_GT(readFile(path("tempdata.tst")).size(), 0);
}

TEST_F(Story, ALabSessionScoresItsResponsesAndTakesMarkersFromExperimentSoftware) {
    // The lab link from its settings: the session out to liblo's oscdump, markers in on the loopback.
    OscDump dump;
    const uint16_t inPort = freeUdpPort();
    {
        QSettings conf(path("aurivo-usb.conf"), QSettings::IniFormat);
        conf.beginGroup("lablink");
        for (const auto& [key, value] : std::vector<std::pair<QString, QVariant>>{
                 {"send", true}, {"sendPort", dump.port}, {"receive", true}, {"receivePort", inPort}})
            conf.setValue(key, value);
    }
    run.reset();
    run = std::make_unique<MonitorRun>(dir.path(), QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));
    ASSERT_EQ(m().labLink().listeningPort(), inPort);

    // Skin at about 8 uS: responses of known size, two overlapping, one too small to count.
    testing::SkinSession skin;
    skin.baseLevel = 8.0;
    skin.drifts = {{0.04, 240, 0.5}};
    for (const auto& [start, amplitude] : std::vector<std::pair<double, double>>{
             {8, 0.3}, {20, 0.15}, {23, 0.4}, {36, 0.06}, {47, 0.6}, {58, 0.004}, {66, 1.0}})
        skin.responses.push_back({start, amplitude, 3});
    skin.render(80, 5);

    // Markers as experiment software sends them: oscsend before the first response, one with no
    // response in its window, and a plain text line before the fifth.
    const auto oscsend = [&](const QString& label) {
        QProcess::execute(OSCSEND_PATH, {"127.0.0.1", QString::number(inPort), "/aurivo/marker", "s", label});
    };
    QUdpSocket text;
    const std::vector<std::pair<size_t, std::function<void()>>> markers = {
        {6 * 20, [&] { oscsend("tone A"); }},
        {30 * 20, [&] { oscsend("tone B"); }},
        {45 * 20, [&] { text.writeDatagram("marker word C\n", QHostAddress::LocalHost, inPort); }}};
    m().choose(MenuItem::Start);
    ASSERT_TRUE(run->comm.portOpen());
    for (size_t i = 0; i < skin.readings.size(); i += 2) {
        for (const auto& [at, send] : markers) {
            if (at != i) continue;
            const size_t before = m().markers().markers().size();
            send();
            ASSERT_TRUE(QTest::qWaitFor([&] { return m().markers().markers().size() > before; }, 5000)) << i;
        }
        QByteArray chunk;
        for (size_t k = i; k < std::min(i + 2, skin.readings.size()); ++k)
            chunk += PacketDecoder::makePacket(uint16_t(skin.readings[k]), 4);
        ASSERT_TRUE(pty->write(chunk));
        ASSERT_TRUE(QTest::qWaitFor([&] { return run->comm.inBufferCount() >= chunk.size(); }, 2000));
        run->tick();
    }
    m().choose(MenuItem::Stop);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dump.read().contains("\"stop\""); }, 10000));

    // The response file, written as the session ran, is the table the export computes afterwards.
    const QByteArray scr = readFile(path("tempdata.scr"));
    QProcess exporter;
    exporter.start(AURIVO_EXPORT_PATH, {"--responses", path("tempdata.tst")});
    ASSERT_TRUE(exporter.waitForFinished(30000));
    EXPECT_EQ(exporter.readAllStandardOutput(), scr);

    // Every response of 0.03 uS or more, where it happened and as large as it was; nothing else.
    // The file's readings end with the skin's (the first settle the start value).
    const std::vector<int32_t> records = recordsOf(readFile(path("tempdata.tst")));
    const int64_t offset = int64_t(records.size()) - int64_t(skin.readings.size());
    QList<QList<QByteArray>> lines;
    for (const QByteArray& line : scr.split('\n').mid(1))
        if (!line.trimmed().isEmpty()) lines << line.trimmed().split(',');
    int matched = 0;
    for (const testing::TrueResponse& t : skin.responses) {
        if (t.scoredAmplitude < 0.03) continue;
        const auto found = std::find_if(lines.begin(), lines.end(), [&](const QList<QByteArray>& f) {
            return std::abs(f[0].toLongLong() - offset - t.onsetReading) <= 8; // 0.4 s
        });
        ASSERT_NE(found, lines.end()) << "response at " << t.startSeconds << " s not found";
        EXPECT_NEAR((*found)[4].toDouble(), t.scoredAmplitude, std::max(0.005, 0.1 * t.scoredAmplitude));
        ++matched;
    }
    EXPECT_EQ(lines.size(), matched);
    // The markers: in the marker file with their labels, each answered by its response or by none.
    const QByteArray mrk = readFile(path("tempdata.mrk"));
    for (const char* label : {",tone A", ",tone B", ",word C"})
        EXPECT_TRUE(mrk.contains(label)) << label;
    EXPECT_EQ(m().research().markerLines().size(), 3u); // and on the graph
    QStringList answered;
    for (const QList<QByteArray>& f : lines)
        if (!f.value(7).isEmpty()) answered << f.value(7);
    EXPECT_EQ(answered, QStringList({"tone A", "word C"}));

    // And out over the link: each recorded reading as the file holds it, each response and marker.
    const QList<QList<QByteArray>> readings = dump.messages("/aurivo/reading");
    ASSERT_EQ(size_t(readings.size()), records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        ASSERT_EQ(readings[qsizetype(i)].value(0).toLongLong(), int64_t(i) + 1);
        // The packet's own reading, then the recorded (filtered) one as ohms.
        ASSERT_NEAR(readings[qsizetype(i)].value(3).toDouble(), numbers::ohmsFromReading(records[i]), 0.1)
            << i;
    }
    const QList<QList<QByteArray>> scrs = dump.messages("/aurivo/scr");
    ASSERT_EQ(scrs.size(), lines.size());
    for (qsizetype i = 0; i < scrs.size(); ++i) {
        EXPECT_EQ(scrs[i].value(0), lines[i][0]);
        EXPECT_EQ(scrs[i].value(1), lines[i][1]);
        EXPECT_NEAR(scrs[i].value(2).toDouble(), lines[i][4].toDouble(), 1e-4);
    }
    const QList<QList<QByteArray>> marks = dump.messages("/aurivo/marker");
    ASSERT_EQ(marks.size(), 3);
    EXPECT_EQ(marks[2].value(1), "\"word");
}

} // namespace aurivo
