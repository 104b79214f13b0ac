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

QString ProgramFolder::movedNotice(const Inputs& in) {
    const QString old = settingsFallback(in);
    if (old.isEmpty() || old == clean(in.installFolder)) return QString();
    const QDir before(old), now(choose(in));
    const QString settings = QStringLiteral("Aurivo_USB.ini");
    const QFileInfo session(before.filePath(QStringLiteral("tempdata.tst")));
    const bool sessionLeft = session.isFile() && session.size() > 0;
    if ((!before.exists(settings) && !sessionLeft) || now.exists(settings)) return QString();
    QString text = QStringLiteral("%1 cannot be written any more, so the program keeps its settings and "
                                  "sessions in %2 from now on.")
                       .arg(QDir::toNativeSeparators(old), QDir::toNativeSeparators(now.path()));
    if (sessionLeft)
        text += QStringLiteral("\r\nA session recorded there (tempdata.tst, .txt, .hdr) stays in %1; it is "
                               "recovered when the program runs from a folder it may write again.")
                    .arg(QDir::toNativeSeparators(old));
    return text;
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
