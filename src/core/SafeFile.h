#pragma once
// One file written straight through its descriptor, with no buffer in between: every write is handed to
// the system at once and its result is checked, so a full disk, a missing permission or a vanished
// device shows at the write that met it, never later as a silent short file. The file is opened without
// following a symbolic link in its place (ReadThroughLink alone follows one), and anything but a regular
// file there (a directory, a device, a pipe) is refused like a file that cannot be created. Every program
// file is written through this class, directly or through SafeFileWriter; files from outside that must not
// hang or flood the program (a marker file that may be a pipe or a link to a device) are read through it.

#include <QByteArray>
#include <QString>
#include <limits>

namespace aurivo {

class SafeFile {
  public:
    enum class Mode {
        Create,    // create or empty the file
        Exclusive, // create a new file; an existing entry is a failure
        Existing,  // open an existing file for reading and writing, keeping its contents
        Read,      // open an existing file for reading only
        // Reading only, following a symbolic link: for a file the user chose (a saved session), where a
        // link to a regular file of theirs is fine. What the link leads to must still be a regular file.
        ReadThroughLink,
    };

    SafeFile() = default;
    ~SafeFile(); // closes without reporting; call close() to learn whether the close succeeded
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    // False with the reason set when the file cannot be opened. Permissions apply to a created file
    // (less the process's umask).
    [[nodiscard]] bool open(const QString& path, Mode mode, int permissions = 0666);
    bool isOpen() const { return fd_ >= 0; }
    const QString& path() const { return path_; }

    // Writes every byte at the offset; a short write is retried until all is written or the system
    // refuses. False with the reason set when not every byte could be written.
    [[nodiscard]] bool writeAt(qint64 offset, const char* data, qint64 size);
    [[nodiscard]] bool writeAt(qint64 offset, const QByteArray& data) {
        return writeAt(offset, data.constData(), data.size());
    }
    // Cuts or extends the file to size bytes.
    [[nodiscard]] bool truncate(qint64 size);
    // Waits until the system has the contents on the disk.
    [[nodiscard]] bool sync();
    // The file's length as the system sees it; -1 (reason set) when it cannot be told.
    qint64 size();
    // Reads the whole file from its start, but no more than maxBytes of it; false with the reason set on a
    // failure.
    [[nodiscard]] bool readAll(QByteArray& out, qint64 maxBytes = std::numeric_limits<qint64>::max());
    // Reads up to size bytes at the offset; the count read (less at the end of the file), or -1 with the
    // reason set.
    [[nodiscard]] qint64 readAt(qint64 offset, char* data, qint64 size);
    // Closes the file; false with the reason set when the system reports a failure at the close (some
    // file systems report a full disk only there). Closing a closed file is true.
    bool close();

    // The system's description of the last failure ("No space left on device").
    const QString& reason() const { return reason_; }
    // The error number of the last failure (errno), 0 when there was none.
    int error() const { return error_; }
    // The system's description of an error number; a link refused by O_NOFOLLOW is named as a link.
    static QString describe(int error);

  private:
    bool fail(int error);

    int fd_ = -1;
    QString path_;
    QString reason_;
    int error_ = 0;
};

} // namespace aurivo
