#include "files/FileManager.h"

#include "files/SessionCopier.h"
#include "files/SessionNameRule.h"
#include "files/SessionPath.h"
#include "recording/SessionColours.h"
#include "recording/SessionHeaderFile.h"

#include <QDir>
#include <QFile>
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

FileManager::FileManager(MonitorState& state, QString programFolder, MessageBoxes& boxes)
    : state_(state), programFolder_(std::move(programFolder)), boxes_(boxes) {
    for (size_t i = 0; i < lblFile2Display.size(); ++i) {
        LabelModel& label = lblFile2Display[i];
        label.caption = kFileToDisplay;
        label.backColor = 0x00000000;
        label.foreColor = kSessionColours[i];
        label.font = FontSpec{QStringLiteral("MS Sans Serif"), 9.75, true};
        label.rect = TwipsRect{4275, std::array<double, 6>{540, 1035, 1575, 2115, 2700, 3240}[i], 2265, 330};
    }
}

QString FileManager::currentDrive() const {
    const QString root = QStorageInfo(folder_).rootPath();
    return root.isEmpty() ? QStringLiteral("/") : root;
}

void FileManager::load() {
    state_.chosenSessionCount = 0;
    for (size_t i = 0; i < 6; ++i) {
        lblFile2Display[i].caption = kFileToDisplay;
        state_.chosenTstPaths[i].clear();
        state_.chosenHdrPaths[i].clear();
    }
    hidden_ = false;

    drives_.clear();
    drives_.append(QStringLiteral("/"));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (volume.isValid() && !root.isEmpty() && !drives_.contains(root)) drives_.append(root);
    }

    // The dialog opens in fileManagerFolder; should that folder have gone, the program folder serves.
    QString reason;
    const QString start = state_.fileManagerFolder.isEmpty() ? programFolder_ : state_.fileManagerFolder;
    // A program folder that cannot be listed either leaves the lists empty.
    if (!openFolder(start, reason)) static_cast<void>(openFolder(programFolder_, reason));
    state_.cancelRequested = true;
}

bool FileManager::openFolder(const QString& folder, QString& reason) {
    const QString clean = cleanFolder(folder);
    std::error_code ec;
    std::filesystem::directory_iterator probe(fsPath(clean), ec);
    if (ec) {
        reason = systemText(ec);
        return false;
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

        boxes_.show(QDir::toNativeSeparators(cleanFolder(folder)) + QStringLiteral("\r\n") + reason, kTitle,
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
        return;
    }
    state_.fileManagerFolder = folder_;
}

void FileManager::changeDrive(const QString& drive) {
    // Choosing the drive that holds the program folder goes back to the remembered folder.
    const QString programRoot = QStorageInfo(programFolder_).rootPath();
    if (!programRoot.isEmpty() && drive == programRoot && !state_.fileManagerFolder.isEmpty())
        changeFolder(state_.fileManagerFolder);
    else
        changeFolder(drive);
}

void FileManager::pickFile(const QString& name) {
    txtFM = name;
}

void FileManager::pickFileAndConfirm(const QString& name) {
    txtFM = name;
    nameKeyUp(13);
}

void FileManager::nameKeyUp(int keyCode) {
    if (keyCode != 13) return;
    if (cmdFileOptionCaption == QLatin1String("Display"))
        addToDisplayList();
    else
        runFileOption();
}

void FileManager::cancel() {
    state_.chosenSessionCount = 0;
    hidden_ = true;
}

bool FileManager::isReservedName() {
    // A name is a file name: reserved names, paths and names no file system takes are refused.
    const QString refused = SessionNameRule::refusal(txtFM, folder_);
    if (refused.isEmpty()) return false;
    boxes_.show(refused, kTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Information);
    return true;
}

bool FileManager::takeTypedPath() {
    // Without an open folder the name stands alone (and is refused as not absolute).
    const QString typed = folder_.isEmpty()                    ? txtFM
                          : folder_.endsWith(QLatin1Char('/')) ? folder_ + txtFM
                                                               : folder_ + QLatin1Char('/') + txtFM;
    const SessionPath split = splitSessionPath(typed);
    if (split.status == SessionPath::Status::NotAbsolute) {

        boxes_.show(kNotAbsoluteMessage, kTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
        state_.sessionTstPath.clear();
        return false;
    }
    // The folder of the typed path is remembered even when its name is unusable, so the next
    // opening of the dialog starts there.
    state_.fileManagerFolder = split.folder;
    if (!split.usable()) {
        state_.sessionTstPath.clear();
        return false;
    }
    state_.sessionTstPath = resolveFileCase(split.tstPath);
    state_.sessionHdrPath = resolveFileCase(split.hdrPath);
    state_.sessionTxtPath = resolveFileCase(split.txtPath);
    return true;
}

void FileManager::runFileOption() {
    if (isReservedName()) return;
    if (!takeTypedPath()) return;
    if (cmdFileOptionCaption != QLatin1String("Save")) {
        if (cmdFileOptionCaption == QLatin1String("Display")) hidden_ = true;
        return;
    }
    QString failure;
    if (!refreshTemporaryHeader(failure)) {
        // Without the comments in its header the copy would not be the session the user wrote up.
        boxes_.show(QStringLiteral("The session could not be saved.\r\n") + failure, kTitle,
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
        return;
    }
    saveSession();
}

bool FileManager::refreshTemporaryHeader(QString& failure) {
    // The header of the stopped session gets the comment box's current text as its comments.
    const QString header = QDir(programFolder_).filePath(QStringLiteral("tempdata.hdr"));
    QStringList items;
    QString reason;
    // A missing header leaves empty items.
    static_cast<void>(SessionHeaderFile::readItems(header, 4, items, reason));
    while (items.size() < 4)
        items.append(QString());
    if (state_.txtSeshnComnts.text.isEmpty()) state_.txtSeshnComnts.text = QStringLiteral(" ");
    items.append(state_.txtSeshnComnts.text);
    if (SessionHeaderFile::writeItems(header, items, reason)) return true;
    failure = QDir::toNativeSeparators(header) + QStringLiteral(": ") + reason;
    return false;
}

void FileManager::saveSession() {
    const QString tst = state_.sessionTstPath;
    const QString txt = state_.sessionTxtPath;
    const QString hdr = state_.sessionHdrPath;

    std::error_code ec;
    const auto status = std::filesystem::status(fsPath(tst), ec);
    const bool absent = status.type() == std::filesystem::file_type::not_found;
    if (ec && !absent) {

        boxes_.show(systemText(ec), kTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Information);
        return;
    }
    if (!absent) {
        QFile existing(tst);
        if (!existing.open(QIODevice::ReadOnly)) {
            boxes_.show(existing.errorString(), kTitle, MessageBoxes::Buttons::Ok,
                        MessageBoxes::Icon::Information);
            return;
        }
        existing.close();
        const MessageBoxes::Answer answer =
            boxes_.show(QStringLiteral("File already exists !\rDo you wish to overwrite it?"), kTitle,
                        MessageBoxes::Buttons::YesNo, MessageBoxes::Icon::Question);
        if (answer != MessageBoxes::Answer::Yes) return;
    }

    // A .Txt or .Hdr left without its .Tst is replaced as well: the question is about the session.
    const SessionCopier::Result result = SessionCopier(programFolder_).copy(tst, txt, hdr, true);
    if (!result.ok) {
        // Nothing is left at the destination; the dialog stays open for another name or folder.
        boxes_.show(QStringLiteral("The session could not be saved.\r\n") + result.reason, kTitle,
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
        return;
    }
    hidden_ = true;
}

void FileManager::addToDisplayList() {
    if (isReservedName()) return;
    if (!takeTypedPath()) return;
    QFile reading(state_.sessionTstPath);
    if (!reading.open(QIODevice::ReadOnly)) {
        boxes_.show(reading.errorString(), kAddErrorTitle, MessageBoxes::Buttons::Ok,
                    MessageBoxes::Icon::Warning);
        return;
    }
    reading.close();
    const int position = state_.chosenSessionCount;
    if (position < 0 || position >= 6) return; // the list holds six sessions at most
    lblFile2Display[size_t(position)].caption = txtFM;
    state_.chosenTstPaths[size_t(position)] = state_.sessionTstPath;
    state_.chosenHdrPaths[size_t(position)] = state_.sessionHdrPath;
    state_.chosenSessionCount = position + 1;
    if (state_.chosenSessionCount == 6) runFileOption();
}

} // namespace aurivo
