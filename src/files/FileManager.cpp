#include "files/FileManager.h"

#include "core/SafeFile.h"
#include "files/SessionCopier.h"
#include "files/SessionNameRule.h"
#include "files/SessionPath.h"
#include "recording/SavedSession.h"
#include "recording/SessionHeaderFile.h"

#include <utility>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <filesystem>
#include <system_error>

namespace aurivo {

namespace {

const QString kFileToDisplay = QStringLiteral("File to Display");

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString systemText(const std::error_code& ec) {
    return QString::fromLocal8Bit(ec.message().c_str());
}

QString cleanFolder(const QString& folder) {
    return QDir::cleanPath(folder);
}

} // namespace

FileManager::FileManager(QString programFolder, MessageBoxes& boxes, CommentBox& comments)
    : programFolder_(std::move(programFolder)), boxes_(boxes), comments_(comments),
      rememberedFolder_(programFolder_) {
    displayNames_.fill(kFileToDisplay);
}

QString FileManager::currentDrive() const {
    const QString root = QStorageInfo(folder_).rootPath();
    return root.isEmpty() ? QStringLiteral("/") : root;
}

void FileManager::load(Purpose purpose) {
    // Every opening starts with an empty name box: a name left from the last save would otherwise be
    // extended by what the user types next, or overwrite that session with one keystroke.
    name_.clear();
    saved_ = false;
    list_ = DisplayList{};
    displayNames_.fill(kFileToDisplay);
    hidden_ = false;

    drives_.clear();
    drives_.append(QStringLiteral("/"));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (volume.isValid() && !root.isEmpty() && !drives_.contains(root)) drives_.append(root);
    }

    // The dialog opens in fileManagerFolder; should that folder have gone, the program folder serves.
    QString reason;
    const QString start = rememberedFolder_.isEmpty() ? programFolder_ : rememberedFolder_;
    // A program folder that cannot be listed either leaves the lists empty.
    if (!openFolder(start, reason)) static_cast<void>(openFolder(programFolder_, reason));

    const bool save = purpose == Purpose::Save;
    optionCaption_ = save ? QStringLiteral("Save") : QStringLiteral("Display");
    caption_ = save ? QStringLiteral("Save session file") : QStringLiteral("Display saved session file");
    width_ = save ? kSaveWidth : kDisplayWidth; // the save dialog hides the display list at the right
    addButtonShown_ = !save;
}

bool FileManager::openFolder(const QString& folder, QString& reason) {
    const QString clean = cleanFolder(folder);
    std::error_code ec;
    std::filesystem::directory_iterator probe(fsPath(clean), ec);
    if (ec) {
        reason = systemText(ec);
        return false;
    }
    // A save into this folder that was cut off (the program killed, the power lost) is finished first, so
    // the lists show whole sessions and no half-placed files stay behind.
    const SessionCopier::Result finished = SessionCopier::finishInterrupted(clean);
    if (!finished.ok) {
        boxes_.show(QStringLiteral("A save into %1 that was cut off could not be finished.\r\n")
                            .arg(QDir::toNativeSeparators(clean)) +
                        finished.reason,
                    MessageBoxes::title(), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
    QDir dir(clean);
    dir.setNameFilters({QStringLiteral("*.tst")}); // name filters ignore case unless asked otherwise
    dir.setFilter(QDir::Files | QDir::Hidden);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    folder_ = clean;
    files_ = dir.entryList();
    return true;
}

void FileManager::changeFolder(const QString& folder) {
    QString reason;
    if (!openFolder(folder, reason)) {

        boxes_.show(QDir::toNativeSeparators(cleanFolder(folder)) + QStringLiteral("\r\n") + reason,
                    MessageBoxes::title(), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
        return;
    }
    rememberedFolder_ = folder_;
}

void FileManager::changeDrive(const QString& drive) {
    // Choosing the drive that holds the program folder goes back to the remembered folder.
    const QString programRoot = QStorageInfo(programFolder_).rootPath();
    if (!programRoot.isEmpty() && drive == programRoot && !rememberedFolder_.isEmpty())
        changeFolder(rememberedFolder_);
    else
        changeFolder(drive);
}

void FileManager::pickFile(const QString& name) {
    name_ = name;
}

void FileManager::pickFileAndConfirm(const QString& name) {
    name_ = name;
    nameKeyUp(13);
}

void FileManager::nameKeyUp(int keyCode) {
    if (keyCode != 13) return;
    if (optionCaption_ == QLatin1String("Display"))
        addToDisplayList();
    else
        runFileOption();
}

void FileManager::cancel() {
    list_.count = 0;
    hidden_ = true;
}

bool FileManager::isReservedName() {
    // A name is a file name: reserved names, paths and names no file system takes are refused.
    const QString refused = SessionNameRule::refusal(name_, folder_);
    if (refused.isEmpty()) return false;
    boxes_.show(refused, MessageBoxes::title(), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Information);
    return true;
}

bool FileManager::takeTypedPath() {
    // Without an open folder the name stands alone (and is refused as not absolute).
    const QString typed = folder_.isEmpty()                    ? name_
                          : folder_.endsWith(QLatin1Char('/')) ? folder_ + name_
                                                               : folder_ + QLatin1Char('/') + name_;
    const SessionPath split = splitSessionPath(typed);
    if (split.status == SessionPath::Status::NotAbsolute) {

        boxes_.show(kNotAbsoluteMessage, MessageBoxes::title(), MessageBoxes::Buttons::Ok,
                    MessageBoxes::Icon::None);
        sessionTstPath_.clear();
        return false;
    }
    // The folder of the typed path is remembered even when its name is unusable, so the next
    // opening of the dialog starts there.
    rememberedFolder_ = split.folder;
    if (!split.usable()) {
        sessionTstPath_.clear();
        return false;
    }
    sessionTstPath_ = resolveFileCase(split.tstPath);
    sessionHdrPath_ = resolveFileCase(split.hdrPath);
    sessionTxtPath_ = resolveFileCase(split.txtPath);
    return true;
}

bool FileManager::fileOptionEnabled() const {
    return optionCaption_ != QLatin1String("Display") || list_.count > 0 || !name_.trimmed().isEmpty();
}

void FileManager::runFileOption() {
    // "Display" before anything was added shows the session named in the box, as if it had been added.
    if (optionCaption_ == QLatin1String("Display") && list_.count == 0) {
        if (name_.trimmed().isEmpty()) return;
        addToDisplayList();
        if (list_.count > 0) hidden_ = true;
        return;
    }
    if (isReservedName()) return;
    if (!takeTypedPath()) return;
    if (optionCaption_ != QLatin1String("Save")) {
        if (optionCaption_ == QLatin1String("Display")) hidden_ = true;
        return;
    }
    QString failure;
    if (!refreshTemporaryHeader(failure)) {
        // Without the comments in its header the copy would not be the session the user wrote up.
        boxes_.show(QStringLiteral("The session could not be saved.\r\n") + failure, MessageBoxes::title(),
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
        return;
    }
    saveSession();
}

bool FileManager::refreshTemporaryHeader(QString& failure) {
    // The header of the stopped session gets the comment box's current text as its comments.
    const QString header = QDir(programFolder_).filePath(QStringLiteral("tempdata.hdr"));
    if (comments_.text().isEmpty()) comments_.setText(QStringLiteral(" "));
    QString reason;
    if (SessionHeaderFile::replaceComments(header, comments_.text(), reason)) return true;
    failure = QDir::toNativeSeparators(header) + QStringLiteral(": ") + reason;
    return false;
}

void FileManager::saveSession() {
    const QString tst = sessionTstPath_;
    const QString txt = sessionTxtPath_;
    const QString hdr = sessionHdrPath_;

    std::error_code ec;
    const auto status = std::filesystem::status(fsPath(tst), ec);
    const bool absent = status.type() == std::filesystem::file_type::not_found;
    if (ec && !absent) {

        boxes_.show(systemText(ec), MessageBoxes::title(), MessageBoxes::Buttons::Ok,
                    MessageBoxes::Icon::Information);
        return;
    }
    if (!absent) {
        // Opened without waiting: a pipe or a device in a session's place is refused, never waited on.
        SafeFile existing;
        if (!SavedSession::openSavedFile(existing, tst)) {
            boxes_.show(existing.reason(), MessageBoxes::title(), MessageBoxes::Buttons::Ok,
                        MessageBoxes::Icon::Information);
            return;
        }
        existing.close();
        // The question names the session it would replace; Enter answers No.
        const MessageBoxes::Answer answer =
            boxes_.show(SessionNameRule::overwriteQuestion(tst), MessageBoxes::title(),
                        MessageBoxes::Buttons::YesNoDefaultNo, MessageBoxes::Icon::Question);
        if (answer != MessageBoxes::Answer::Yes) return;
    }

    // A .Txt or .Hdr left without its .Tst is replaced as well: the question is about the session.
    const SessionCopier::Result result = SessionCopier(programFolder_).copy(tst, txt, hdr, true);
    if (!result.ok) {
        // Nothing is left at the destination; the dialog stays open for another name or folder.
        boxes_.show(QStringLiteral("The session could not be saved.\r\n") + result.reason,
                    MessageBoxes::title(), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
        return;
    }
    saved_ = true;
    hidden_ = true;
}

void FileManager::addToDisplayList() {
    if (isReservedName()) return;
    if (!takeTypedPath()) return;
    SafeFile reading;
    if (!SavedSession::openSavedFile(reading, sessionTstPath_)) {
        boxes_.show(reading.reason(), kAddErrorTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
        return;
    }
    reading.close();
    const int position = list_.count;
    if (position < 0 || position >= 6) return; // the list holds six sessions at most
    displayNames_[size_t(position)] = name_;
    list_.tstPaths[size_t(position)] = sessionTstPath_;
    list_.hdrPaths[size_t(position)] = sessionHdrPath_;
    list_.count = position + 1;
    if (list_.count == 6) runFileOption();
}

void FileManager::listSessionFiles(const QStringList& paths) {
    list_ = DisplayList{};
    displayNames_.fill(kFileToDisplay);
    QStringList problems;
    for (const QString& path : paths) {
        const QFileInfo given(path);
        const QString shown = QDir::toNativeSeparators(given.absoluteFilePath());
        if (list_.count == int(displayNames_.size())) {
            problems << shown + QStringLiteral(": a replay shows at most six sessions");
            continue;
        }
        const QString suffix = given.suffix().toLower();
        if (suffix != QLatin1String("tst") && suffix != QLatin1String("hdr")) {
            problems << shown + QStringLiteral(": not a saved session (a .Tst or .Hdr file)");
            continue;
        }
        // Both files of the session, whichever of them was given, in the case they have on disk.
        const QString base = given.dir().absoluteFilePath(given.completeBaseName());
        const QString tst = resolveFileCase(base + QStringLiteral(".Tst"));
        const QString hdr = resolveFileCase(base + QStringLiteral(".Hdr"));
        const QFileInfo readings(tst);
        QFile file(tst);
        if (readings.isDir()) {
            problems << QDir::toNativeSeparators(tst) +
                            QStringLiteral(": a folder, not a session's readings");
            continue;
        }
        if (!file.open(QIODevice::ReadOnly)) {
            problems << QDir::toNativeSeparators(tst) + QStringLiteral(": ") + file.errorString();
            continue;
        }
        file.close();
        const size_t position = size_t(list_.count);
        displayNames_[position] = given.fileName();
        list_.tstPaths[position] = tst;
        list_.hdrPaths[position] = hdr;
        ++list_.count;
    }
    if (!problems.isEmpty())
        boxes_.show(problems.join(QStringLiteral("\r\n")), kAddErrorTitle, MessageBoxes::Buttons::Ok,
                    MessageBoxes::Icon::Warning);
}

} // namespace aurivo
