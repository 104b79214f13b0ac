#pragma once
// The simulator's end of the serial line: a pseudo-terminal in raw mode whose other side is linked as
// <folder>/ports/comN, so the monitor finds it as port N. Writing never waits: bytes the reader has not
// taken yet are kept (up to a limit) and sent on later; while no program has the port open, packets are
// dropped, as a real device's bytes are lost when no one listens.

#include <QByteArray>
#include <QString>
#include <functional>

namespace aurivo {

class PtyOutput {
  public:
    PtyOutput() = default;
    ~PtyOutput();
    PtyOutput(const PtyOutput&) = delete;
    PtyOutput& operator=(const PtyOutput&) = delete;

    // Creates the pseudo-terminal and the link; false with errorText() on failure.
    bool open(const QString& folder, int port);
    // Queues bytes and sends what the line takes now. Returns false when the bytes were dropped.
    bool write(const QByteArray& bytes);
    // Waits until a program has the port open; false when `stopped` turned true first.
    bool waitForReader(const std::function<bool()>& stopped);
    // Waits until the program that had the port open has closed it (it has read everything sent before);
    // false when `stopped` turned true first.
    bool waitForReaderToLeave(const std::function<bool()>& stopped);
    // Sends all the bytes, waiting while the line is full; false when the reader went away or `stopped`
    // turned true.
    bool writeAll(const QByteArray& bytes, const std::function<bool()>& stopped);
    // Closes the pseudo-terminal (the reader sees a hang-up) and removes the link.
    void close();

    QString slavePath() const { return slavePath_; }
    QString linkPath() const { return linkPath_; }
    QString errorText() const { return error_; }

  private:
    void flush();

    static constexpr qsizetype kMaxPending = 4096;

    int master_ = -1;
    QString slavePath_;
    QString linkPath_;
    QByteArray pending_;
    QString error_;
};

} // namespace aurivo
