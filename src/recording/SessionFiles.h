#pragma once
// The four files of a running session in the program's folder: the header (<base>.hdr, written at stop),
// the reading file (<base>.tst, one little-endian 32-bit record per stored reading), the text file
// (<base>.txt, "reading,time" per stored reading) and the trace file PlotData.txt (one line per stored
// reading). Writes are collected in memory and handed to the system once per tick (Flush) and at close,
// so a reading costs no system call. Every stored reading is also kept in memory: the graph rebuild reads
// the session from there instead of going back to the file record by record.
// A file that cannot be created is reported once by Open; later writes to it are skipped silently.

#include <QByteArray>
#include <QFile>
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

    // Opens header, reading file, text file and (unless it is still open from before a Restart)
    // PlotData.txt for the base name ("tempdata" or the save-as name). Each is created empty; the reading
    // file is emptied too, so no records of an older, longer session remain behind the new ones.
    // Returns one message per file that could not be created: its full path and the system's reason.
    [[nodiscard]] QStringList open(const QString& baseName);

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

    // Stop: closes header, reading file, text file and trace file, in this order.
    void closeAll();
    // Restart: closes header, reading file and text file; the trace file stays open and the next session
    // appends to it.
    void closeForRestart();
    // Deletes <base>.hdr, <base>.tst and <base>.txt in the program's folder (missing files are no error).
    void deleteSessionFiles(const QString& baseName);
    // Deletes tempdata.txt, tempdata.tst, tempdata.hdr and PlotData.txt in the folder, in this order;
    // missing files are no error.
    static void deleteTemporaryFiles(const QString& folder);

    // Hands everything written since the last call to the system (once per tick), so the reading file and
    // the text file always hold the same readings on disk.
    void flush();
    // The first write failure since Open ("path: reason"), returned once; empty otherwise.
    [[nodiscard]] QString takeWriteFailure();

    // Every reading written since Open: record n is element n - 1 (records never written read as 0).
    const std::vector<int32_t>& readings() const { return readings_; }
    bool traceOpen() const { return trace_.open; }
    bool readingFileOpen() const { return reading_.open; }

    QString filePath(const QString& fileName) const;
    static constexpr const char* kTraceFileName = "PlotData.txt";

  private:
    // One open file with the bytes not yet handed to the system. For the reading file, `pending` starts
    // at byte `pendingOffset`; the text files only append.
    struct Channel {
        QFile file;
        bool open = false;
        QByteArray pending;
        qint64 pendingOffset = 0;
    };

    bool openChannel(Channel& channel, const QString& path, QStringList& failures);
    void flushChannel(Channel& channel);
    void closeChannel(Channel& channel);
    void append(Channel& channel, const QByteArray& bytes);
    void noteWriteFailure(const Channel& channel, const QString& reason);

    QString folder_;
    Channel header_, reading_, text_, trace_;
    std::vector<int32_t> readings_;
    QString writeFailure_;
    bool writeFailureTaken_ = false;
};

} // namespace aurivo
