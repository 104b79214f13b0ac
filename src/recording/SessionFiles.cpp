#include "recording/SessionFiles.h"

#include "recording/SessionHeaderFile.h"

#include "core/NumberRules.h"

#include <QDir>
#include <cstring>
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

bool SessionFiles::openChannel(Channel& channel, const QString& path, QStringList& failures) {
    channel.file.setFileName(path);
    channel.pending.clear();
    channel.pendingOffset = 0;
    // Unbuffered: the pending block is this class's own buffer, handed to the system in one write.
    channel.open = channel.file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    if (!channel.open)
        failures << QDir::toNativeSeparators(path) + QStringLiteral(": ") + channel.file.errorString();
    return channel.open;
}

QStringList SessionFiles::open(const QString& baseName) {
    closeForRestart();
    writeFailure_.clear();
    writeFailureTaken_ = false;
    readings_.clear();

    QStringList failures;
    openChannel(header_, filePath(baseName + QStringLiteral(".hdr")), failures);
    openChannel(reading_, filePath(baseName + QStringLiteral(".tst")), failures);
    openChannel(text_, filePath(baseName + QStringLiteral(".txt")), failures);
    if (!trace_.open) openChannel(trace_, filePath(QString::fromLatin1(kTraceFileName)), failures);
    return failures;
}

void SessionFiles::noteWriteFailure(const Channel& channel, const QString& reason) {
    if (writeFailure_.isEmpty() && !writeFailureTaken_)
        writeFailure_ = QDir::toNativeSeparators(channel.file.fileName()) + QStringLiteral(": ") + reason;
}

QString SessionFiles::takeWriteFailure() {
    if (writeFailure_.isEmpty()) return QString();
    writeFailureTaken_ = true;
    return std::exchange(writeFailure_, QString());
}

void SessionFiles::flushChannel(Channel& channel) {
    if (!channel.open || channel.pending.isEmpty()) return;
    bool ok = true;
    if (&channel == &reading_ && channel.file.pos() != channel.pendingOffset)
        ok = channel.file.seek(channel.pendingOffset);
    if (ok) ok = channel.file.write(channel.pending) == channel.pending.size();
    if (!ok) noteWriteFailure(channel, channel.file.errorString());
    // What could not be written is dropped: keeping it would only grow while the disk stays full.
    channel.pending.clear();
    channel.pendingOffset = channel.file.pos();
}

void SessionFiles::append(Channel& channel, const QByteArray& bytes) {
    if (!channel.open) return;
    channel.pending += bytes;
    if (channel.pending.size() >= kMaxPending) flushChannel(channel);
}

void SessionFiles::writeReading(int32_t recordNumber, int32_t value) {
    if (recordNumber < 1) return;
    const int64_t index = int64_t(recordNumber) - 1;
    if (index > int64_t(readings_.size()) + kMaxRecordGap) {
        noteWriteFailure(reading_, QStringLiteral("record number %1 out of range").arg(recordNumber));
        return;
    }
    if (index >= int64_t(readings_.size())) readings_.resize(size_t(index) + 1, 0);
    readings_[size_t(index)] = value;

    if (!reading_.open) return;
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
        flushChannel(c);
        c.pendingOffset = offset;
        c.pending.append(bytes, 4);
    }
    if (c.pending.size() >= kMaxPending) flushChannel(c);
}

void SessionFiles::appendTextLine(int32_t value, int32_t recordTime) {
    if (!text_.open) return;
    QByteArray line = QByteArray::number(value);
    line += ',';
    line += QByteArray::number(recordTime);
    line += kCrLf;
    append(text_, line);
}

void SessionFiles::appendTraceLine(const QString& quotedContent) {
    if (trace_.open) append(trace_, quoted(quotedContent));
}

void SessionFiles::appendTraceEmptyLine() {
    append(trace_, kCrLf);
}

void SessionFiles::writeHeaderClosing(double minADC, double maxADC, const QString& comments) {
    if (!header_.open) return;
    append(header_,
           SessionHeaderFile::bytes({QStringLiteral("MinADC"), numbers::numberText(minADC),
                                     QStringLiteral("MaxADC"), numbers::numberText(maxADC), comments}));
}

void SessionFiles::flush() {
    flushChannel(header_);
    flushChannel(reading_);
    flushChannel(text_);
    flushChannel(trace_);
}

void SessionFiles::closeChannel(Channel& channel) {
    if (!channel.open) return;
    flushChannel(channel);
    channel.file.close();
    channel.open = false;
}

void SessionFiles::closeAll() {
    closeForRestart();
    closeChannel(trace_);
}

void SessionFiles::closeForRestart() {
    closeChannel(header_);
    closeChannel(reading_);
    closeChannel(text_);
}

void SessionFiles::deleteSessionFiles(const QString& baseName) {
    for (const char* ext : {".hdr", ".tst", ".txt"})
        QFile::remove(filePath(baseName + QString::fromLatin1(ext)));
}

void SessionFiles::deleteTemporaryFiles(const QString& folder) {
    const QDir dir(folder);
    for (const char* name : {"tempdata.txt", "tempdata.tst", "tempdata.hdr", kTraceFileName})
        QFile::remove(dir.filePath(QString::fromLatin1(name)));
}

} // namespace aurivo
