#pragma once
// The simulator's end of the serial line: a pseudo-terminal in raw mode whose other side is linked as
// <folder>/ports/comN, so the monitor finds it as port N. Writing never waits: bytes the reader has not
// taken yet are kept (up to a limit) and sent on later; while no program has the port open, packets are
// dropped, as a real device's bytes are lost when no one listens.

#include <QByteArray>
#include <QString>

class PtyOutput {
public:
    PtyOutput() = default;
    ~PtyOutput();
    PtyOutput(const PtyOutput&) = delete;
    PtyOutput& operator=(const PtyOutput&) = delete;

    // Creates the pseudo-terminal and the link; false with ErrorText() on failure.
    bool Open(const QString& folder, int port);
    // Queues bytes and sends what the line takes now. Returns false when the bytes were dropped.
    bool Write(const QByteArray& bytes);
    // Closes the pseudo-terminal (the reader sees a hang-up) and removes the link.
    void Close();

    QString SlavePath() const { return m_slavePath; }
    QString LinkPath() const { return m_linkPath; }
    QString ErrorText() const { return m_error; }

private:
    void Flush();

    static constexpr qsizetype kMaxPending = 4096;

    int m_master = -1;
    QString m_slavePath;
    QString m_linkPath;
    QByteArray m_pending;
    QString m_error;
};
