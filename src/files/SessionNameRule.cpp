#include "files/SessionNameRule.h"

#include "core/MessageBoxes.h"
#include "files/SessionPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace aurivo {

namespace {

constexpr long kUsualNameMax = 255;
constexpr int kExtensionLength = 4; // ".hdr", ".Tst", ".txt"

long longestFileName(const QString& folder) {
    const long max = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return max > 0 ? max : kUsualNameMax;
}

} // namespace

QString SessionNameRule::refusal(const QString& name, const QString& folder) {
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return QStringLiteral(
                "A session name cannot hold control characters (a tab, a line break...).\r\n"
                "Please use another name.");
    }
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return QStringLiteral("A session name is the name of a file and cannot hold / or \\.\r\n"
                              "Please use another name.");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("\"%1\" names a folder, not a session.\r\nPlease use another name.").arg(name);

    const QString base = name.section(QLatin1Char('.'), 0, 0);
    if (base.compare(QLatin1String("tempdata"), Qt::CaseInsensitive) == 0) return kTempdataMessage;
    if (base.compare(QLatin1String("PlotData"), Qt::CaseInsensitive) == 0) return kPlotDataMessage;

    const long max = longestFileName(folder);
    if (QFile::encodeName(name).size() + kExtensionLength > max)
        return QStringLiteral("The session name is too long: with its extension a file name may have at most "
                              "%1 bytes here.\r\nPlease use a shorter name.")
            .arg(max);
    return QString();
}

bool SessionNameRule::acceptForStart(const QString& name, const QString& folder, MessageBoxes& boxes) {
    const QString title = MessageBoxes::title();
    const QString refused = refusal(name, folder);
    if (!refused.isEmpty()) {
        boxes.show(refused, title, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Information);
        return false;
    }
    const QFileInfo reading(resolveFileCase(QDir(folder).filePath(name + QStringLiteral(".tst"))));
    if (!reading.exists() && !reading.isSymLink()) return true;
    return boxes.show(overwriteQuestion(reading.absoluteFilePath()), title,
                      MessageBoxes::Buttons::YesNoDefaultNo,
                      MessageBoxes::Icon::Question) == MessageBoxes::Answer::Yes;
}

QString SessionNameRule::overwriteQuestion(const QString& tstPath) {
    const QFileInfo target(tstPath);
    return QStringLiteral("File already exists !\rThe session \"%1\" in %2\rDo you wish to overwrite it?")
        .arg(target.completeBaseName(), QDir::toNativeSeparators(target.absolutePath()));
}

} // namespace aurivo
