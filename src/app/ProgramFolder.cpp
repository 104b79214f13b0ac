#include "app/ProgramFolder.h"

#include "app/BuildInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace aurivo {

namespace {
bool mayWriteIn(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}
QString clean(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

QString ProgramFolder::choose(const Inputs& in) {
    if (!in.chosen.isEmpty()) return clean(in.chosen);
    if (in.executableFolderWritable && clean(in.executableFolder) != clean(in.installFolder))
        return clean(in.executableFolder);
    // A relative or empty XDG_DATA_HOME is ignored, as the base-directory rules say.
    const QString dataHome =
        QDir::isAbsolutePath(in.xdgDataHome) ? in.xdgDataHome : in.home + "/.local/share";
    return clean(dataHome + "/aurivo-usb");
}

QString ProgramFolder::settingsFallback(const Inputs& in) {
    if (!in.chosen.isEmpty() || in.executableFolder.isEmpty()) return QString();
    const QString exe = clean(in.executableFolder);
    return exe == choose(in) ? QString() : exe;
}

ProgramFolder::Inputs ProgramFolder::fromSystem(const QString& chosen) {
    const QString exe = QCoreApplication::applicationDirPath();
    return {chosen,
            exe,
            mayWriteIn(exe),
            QString::fromUtf8(buildinfo::kInstallBinDir),
            qEnvironmentVariable("XDG_DATA_HOME"),
            QDir::homePath()};
}

QString ProgramFolder::prepare(const QString& folder) {
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (error) return QString::fromLocal8Bit(error.message());
    if (!mayWriteIn(folder)) return QString::fromLocal8Bit(std::strerror(errno));
    return {};
}

} // namespace aurivo
