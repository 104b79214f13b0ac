#include "recording/SessionFiles.h"

#include "recording/SessionHeaderFile.h"
#include "recording/TimingFile.h"

#include "core/NumberRules.h"

#include "core/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <unistd.h>
#include <utility>

namespace aurivo {

namespace {
// Pending bytes are handed over early once a file has this much waiting, so a caller that never flushes
// still writes in large blocks and memory stays bounded.
constexpr qsizetype kMaxPending = 64 * 1024;
// A record number further than this beyond the last stored reading is refused: it can only come from a
// corrupted counter and would otherwise make the in-memory copy enormous.
constexpr int64_t kMaxRecordGap = 1 << 24;

const QByteArray kCrLf = QByteArrayLiteral("\r\n");

QByteArray quoted(const QString& text) {
    return '"' + text.toUtf8() + '"' + kCrLf;
}
} // namespace

SessionFiles::SessionFiles(const QString& programFolder) : folder_(programFolder) {}

SessionFiles::~SessionFiles() {
    closeAll();
}

QString SessionFiles::filePath(const QString& fileName) const {
    return QDir(folder_).filePath(fileName);
}

void SessionFiles::openChannel(Channel& channel, const QString& path, QStringList& failures) {
    channel.pending.clear();
    channel.pendingOffset = channel.end = channel.committed = 0;
    // Never through a link: a link planted in the program folder must not empty a file elsewhere.
    if (!channel.file.open(path, SafeFile::Mode::Create))
        failures << WriteFailure::at(path, channel.file.reason()).text();
}

QStringList SessionFiles::open(const QString& baseName) {
    closeForRestart();
    stopReport_.clear();
    stopReported_ = false;
    readings_.clear();

    QStringList failures;
    openChannel(header_, filePath(baseName + QStringLiteral(".hdr")), failures);
    openChannel(reading_, filePath(baseName + QStringLiteral(".tst")), failures);
    openChannel(text_, filePath(baseName + QStringLiteral(".txt")), failures);
    if (!trace_.file.isOpen()) openChannel(trace_, filePath(QString::fromLatin1(kTraceFileName)), failures);
    const QString timingPath = TimingFile::pathForBase(filePath(baseName));
    openChannel(timing_, timingPath, failures);
    // The header line is written at once, so a disk without room for it is told now with the others, and
    // no timing file is left that a later export would take for one without a single tick.
    const QByteArray header = QByteArray(TimingFile::kHeaderLine) + kCrLf;
    if (timing_.file.isOpen()) {
        if (timing_.file.writeAt(0, header)) {
            timing_.end = timing_.committed = header.size();
        } else {
            failures << WriteFailure::at(timingPath, timing_.file.reason()).text();
            timing_.file.close();
            ::unlink(QFile::encodeName(timingPath).constData());
        }
    }
    timingReport_.clear();
    tickMs_ = 0;
    tickTimed_ = true;
    // A file that cannot be made is skipped alone: the others record the session as usual.
    return failures;
}

void SessionFiles::noteFailure(const Channel& channel, const QString& reason) {
    if (!stopReport_.isEmpty() || stopReported_) return;
    const WriteFailure where = WriteFailure::at(channel.file.path(), reason);
    stopReport_ = QStringLiteral("Recording stopped: %1 (%2)").arg(where.reason, where.folder);
}

QString SessionFiles::takeRecordingStopped() {
    if (stopReport_.isEmpty()) return std::exchange(timingReport_, QString());
    stopReported_ = true;
    return std::exchange(stopReport_, QString());
}

bool SessionFiles::writePending(Channel& channel) {
    if (!channel.file.isOpen() || channel.pending.isEmpty()) return true;
    const qint64 at = &channel == &reading_ ? channel.pendingOffset : channel.end;
    const bool ok = channel.file.writeAt(at, channel.pending);
    if (ok) channel.end = std::max(channel.end, at + channel.pending.size());
    channel.pending.clear();
    channel.pendingOffset = channel.end;
    return ok;
}

void SessionFiles::stopRecording(const Channel& failed) {
    noteFailure(failed, failed.file.reason());
    for (Channel* c : {&reading_, &text_, &trace_, &timing_}) {
        c->pending.clear();
        if (!c->file.isOpen()) continue;
        // Also the file that failed may hold part of its write. Shortening needs no room on the disk,
        // so the files end on the last whole tick again.
        if (c->file.truncate(c->committed)) c->end = c->committed;
        c->file.close();
    }
}

void SessionFiles::stopTiming() {
    Channel& c = timing_;
    c.pending.clear();
    if (!c.file.isOpen()) return;
    timingReport_ = QStringLiteral("Reading times no longer recorded: ") +
                    WriteFailure::at(c.file.path(), c.file.reason()).text();
    // Back to its last whole tick, so a reader finds no half line.
    if (c.file.truncate(c.committed)) c.end = c.committed;
    c.file.close();
}

void SessionFiles::beginTick(double sessionSeconds) {
    const double ms = std::round(sessionSeconds * 1000.0);
    const int64_t now = std::isfinite(ms) ? int64_t(std::clamp(ms, 0.0, 1e15)) : 0;
    tickMs_ = std::max(tickMs_, now);
    tickTimed_ = false;
}

void SessionFiles::append(Channel& channel, const QByteArray& bytes) {
    if (!channel.file.isOpen()) return;
    channel.pending += bytes;
    if (channel.pending.size() >= kMaxPending) flush();
}

void SessionFiles::writeReading(int32_t recordNumber, int32_t value) {
    if (recordNumber < 1) return;
    const int64_t index = int64_t(recordNumber) - 1;
    if (index > int64_t(readings_.size()) + kMaxRecordGap) return;
    if (index >= int64_t(readings_.size())) readings_.resize(size_t(index) + 1, 0);
    readings_[size_t(index)] = value;

    if (!reading_.file.isOpen()) return;
    // The timing file speaks only of readings the reading file is given.
    if (!tickTimed_) {
        tickTimed_ = true;
        append(timing_, TimingFile::line(recordNumber, tickMs_));
        if (!reading_.file.isOpen()) return; // a flush on the way failed and stopped the recording
    }
    char bytes[4];
    const uint32_t u = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((u >> (8 * i)) & 0xFF);
    const qint64 offset = index * 4;
    Channel& c = reading_;
    const qint64 pendingEnd = c.pendingOffset + c.pending.size();
    if (c.pending.isEmpty()) {
        c.pendingOffset = offset;
        c.pending.append(bytes, 4);
    } else if (offset == pendingEnd) {
        c.pending.append(bytes, 4);
    } else if (offset >= c.pendingOffset && offset + 4 <= pendingEnd) {
        std::memcpy(c.pending.data() + (offset - c.pendingOffset), bytes, 4);
    } else {
        if (!writePending(c)) {
            stopRecording(c);
            return;
        }
        c.pendingOffset = offset;
        c.pending.append(bytes, 4);
    }
    if (c.pending.size() >= kMaxPending) flush();
}

void SessionFiles::appendTextLine(int32_t value, int32_t recordTime) {
    if (!text_.file.isOpen()) return;
    QByteArray line = QByteArray::number(value);
    line += ',';
    line += QByteArray::number(recordTime);
    line += kCrLf;
    append(text_, line);
}

void SessionFiles::appendTraceLine(const QString& quotedContent) {
    if (trace_.file.isOpen()) append(trace_, quoted(quotedContent));
}

void SessionFiles::appendTraceEmptyLine() {
    append(trace_, kCrLf);
}

void SessionFiles::writeHeaderClosing(double minADC, double maxADC, const QString& comments) {
    if (!header_.file.isOpen()) return;
    append(header_,
           SessionHeaderFile::bytes({QStringLiteral("MinADC"), numbers::numberText(minADC),
                                     QStringLiteral("MaxADC"), numbers::numberText(maxADC), comments}));
}

void SessionFiles::flush() {
    for (Channel* c : {&reading_, &text_, &trace_}) {
        if (!writePending(*c)) {
            stopRecording(*c);
            return;
        }
    }
    for (Channel* c : {&reading_, &text_, &trace_})
        c->committed = c->end;
    // After the readings: the timing file never gets ahead of them, and a disk that fills up takes the
    // readings first.
    if (writePending(timing_))
        timing_.committed = timing_.end;
    else
        stopTiming();
    if (!writePending(header_)) {
        // Nothing but a whole header is of use: an empty one marks the session as not stopped.
        noteFailure(header_, header_.file.reason());
        static_cast<void>(header_.file.truncate(0));
        header_.file.close();
    }
}

void SessionFiles::closeChannel(Channel& channel) {
    if (!channel.file.isOpen()) return;
    flush();
    if (!channel.file.isOpen() || channel.file.close()) return;
    if (&channel == &timing_)
        timingReport_ = QStringLiteral("Reading times no longer recorded: ") +
                        WriteFailure::at(channel.file.path(), channel.file.reason()).text();
    else
        noteFailure(channel, channel.file.reason());
}

void SessionFiles::closeAll() {
    closeForRestart();
    closeChannel(trace_);
}

void SessionFiles::closeForRestart() {
    closeChannel(header_);
    closeChannel(reading_);
    closeChannel(text_);
    closeChannel(timing_);
}

void SessionFiles::deleteSessionFiles(const QString& baseName) {
    for (const char* ext : {".hdr", ".tst", ".txt", ".tim", ".scr"})
        QFile::remove(filePath(baseName + QString::fromLatin1(ext)));
}

void SessionFiles::deleteTemporaryFiles(const QString& folder) {
    const QDir dir(folder);
    for (const char* name :
         {"tempdata.txt", "tempdata.tst", "tempdata.hdr", kTraceFileName, "tempdata.tim", "tempdata.scr"})
        QFile::remove(dir.filePath(QString::fromLatin1(name)));
}

} // namespace aurivo
