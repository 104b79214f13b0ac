#pragma once
// The files of a running session in the program's folder: the header (<base>.hdr, written at stop),
// the reading file (<base>.tst, one little-endian 32-bit record per stored reading), the text file
// (<base>.txt, "reading,time" per stored reading), the trace file PlotData.txt (one line per stored
// reading) and the timing file (<base>.tim, when each tick that stored readings ran; see TimingFile).
// Writes are collected in memory and handed to the system once per tick (flush) and at close,
// so a reading costs no system call. Every stored reading is also kept in memory: the graph rebuild reads
// the session from there instead of going back to the file record by record.
// A file that cannot be created (no permission, a symbolic link, a directory or a device in its place; a
// link is never followed) is reported once by open and skipped; the other files are written as usual.
// A write that fails (a full disk) stops the recording at the last tick that was written whole: the
// reading, text and trace files are cut back to it, so they end on whole records and hold the same
// readings, and nothing more is written to them in this session. The header is still written at stop.
// The timing file goes with them: it is cut back to the same tick. A write failure of the timing file
// alone stops only that file (cut back to its last whole tick); the readings are recorded as before, and
// the export places the readings after its end at the device's pace.

#include "core/SafeFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

namespace aurivo {

class SessionFiles {
  public:
    explicit SessionFiles(const QString& programFolder);
    ~SessionFiles(); // closes whatever is still open, as ending the program does
    SessionFiles(const SessionFiles&) = delete;
    SessionFiles& operator=(const SessionFiles&) = delete;

    // Opens header, reading file, text file, (unless it is still open from before a Restart)
    // PlotData.txt and the timing file for the base name ("tempdata" or the save-as name). Each is
    // created empty (the timing file holds its header line); the reading file is emptied too, so no
    // records of an older, longer session remain behind the new ones.
    // Returns one message per file that could not be created ("<file> in <folder>: <reason>"); only that
    // file is skipped.
    [[nodiscard]] QStringList open(const QString& baseName);
    // The reading file is open: the session's readings are being recorded.
    bool recordingReadings() const { return reading_.file.isOpen(); }

    // A tick of the session begins, `sessionSeconds` after its start. The first reading the tick writes
    // puts the tick's line into the timing file; a tick that stores no reading leaves no line. Times
    // never go back: a clock set back counts as no time passing.
    void beginTick(double sessionSeconds);
    // Record n (from 1) at byte offset 4 x (n - 1), little-endian signed 32-bit. Record numbers below 1
    // are ignored.
    void writeReading(int32_t recordNumber, int32_t value);
    // "8123,30" CR LF.
    void appendTextLine(int32_t value, int32_t recordTime);
    // One quoted trace item: '"' + content + '"' CR LF.
    void appendTraceLine(const QString& quotedContent);
    // CR LF only: a stored reading that did not complete a plotted point.
    void appendTraceEmptyLine();
    // The header's five quoted items: "minADC", numberText(minADC), "maxADC", numberText(maxADC) and the
    // comments. A double quote in the comments is written as ' so the item reads back whole; line breaks
    // in the comments are written as CR LF.
    void writeHeaderClosing(double minADC, double maxADC, const QString& comments);

    // Stop: closes header, reading file, text file, timing file and trace file, in this order.
    void closeAll();
    // Restart: closes header, reading file, text file and timing file; the trace file stays open and the
    // next session appends to it.
    void closeForRestart();
    // Deletes <base>.hdr, <base>.tst, <base>.txt, <base>.tim and the response file <base>.scr in the
    // program's folder (missing files are no error).
    void deleteSessionFiles(const QString& baseName);
    // Deletes tempdata.txt, tempdata.tst, tempdata.hdr, PlotData.txt, tempdata.tim and tempdata.scr in
    // the folder, in this order; missing files are no error.
    static void deleteTemporaryFiles(const QString& folder);

    // Hands everything written since the last call to the system (once per tick), so the reading file and
    // the text file always hold the same readings on disk.
    void flush();
    // After the first write failure of a session: "Recording stopped: <reason> (<folder>)", returned
    // once; empty otherwise. A failure of the timing file alone is told the same way, once, as "Reading
    // times no longer recorded: <file> in <folder>: <reason>" (after a stop of the recording that came
    // first, on the next call).
    [[nodiscard]] QString takeRecordingStopped();
    // Readings in the reading file as far as it was written whole.
    int64_t recordedReadings() const { return reading_.committed / 4; }

    // Every reading written since Open: record n is element n - 1 (records never written read as 0).
    const std::vector<int32_t>& readings() const { return readings_; }
    bool traceOpen() const { return trace_.file.isOpen(); }

    QString filePath(const QString& fileName) const;
    const QString& folder() const { return folder_; }
    static constexpr const char* kTraceFileName = "PlotData.txt";

  private:
    // One open file with the bytes not yet handed to the system. For the reading file, `pending` starts
    // at byte `pendingOffset`; the other files only append, at `end`. `committed` is the length at the
    // last flush that wrote every file whole: where a failure cuts the file back to.
    struct Channel {
        SafeFile file;
        QByteArray pending;
        qint64 pendingOffset = 0;
        qint64 end = 0;
        qint64 committed = 0;
    };

    void openChannel(Channel& channel, const QString& path, QStringList& failures);
    [[nodiscard]] bool writePending(Channel& channel);
    void closeChannel(Channel& channel);
    void append(Channel& channel, const QByteArray& bytes);
    // Cuts the recording files back to their last whole flush and closes them; the header stays open.
    void stopRecording(const Channel& failed);
    // Cuts the timing file back to its last whole flush and closes it; the readings go on.
    void stopTiming();
    void noteFailure(const Channel& channel, const QString& reason);

    QString folder_;
    Channel header_, reading_, text_, trace_, timing_;
    std::vector<int32_t> readings_;
    QString stopReport_;
    bool stopReported_ = false;
    QString timingReport_;  // the timing file's own failure, told once
    int64_t tickMs_ = 0;    // when the running tick began, in milliseconds of session time
    bool tickTimed_ = true; // the running tick's line is written (or there is no tick yet)
};

} // namespace aurivo
