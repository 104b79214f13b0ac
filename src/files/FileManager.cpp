#include "files/FileManager.h"

#include "files/SessionCopier.h"
#include "files/SessionPath.h"
#include "recording/SessionColours.h"
#include "recording/SessionHeaderFile.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <filesystem>
#include <system_error>

namespace {

const QString kFileToDisplay = QStringLiteral("File to Display");

std::filesystem::path FsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString SystemText(const std::error_code& ec) {
    return QString::fromLocal8Bit(ec.message().c_str());
}

// The answer kept in MsgBoxAnswer, numbered as the message box function returns it.
int AnswerCode(MessageBoxes::Answer answer) {
    switch (answer) {
    case MessageBoxes::Answer::Ok:
        return 1;
    case MessageBoxes::Answer::Cancel:
        return 2;
    case MessageBoxes::Answer::Yes:
        return 6;
    case MessageBoxes::Answer::No:
        return 7;
    }
    return 0;
}

QString CleanFolder(const QString& folder) {
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

QString FileManager::CurrentDrive() const {
    const QString root = QStorageInfo(folder_).rootPath();
    return root.isEmpty() ? QStringLiteral("/") : root;
}

void FileManager::Form_Load() {
    state_.ChosenSessionCount = 0;
    for (size_t i = 0; i < 6; ++i) {
        lblFile2Display[i].caption = kFileToDisplay;
        state_.ChosenTstPaths[i].clear();
        state_.ChosenHdrPaths[i].clear();
    }
    hidden_ = false;

    drives_.clear();
    drives_.append(QStringLiteral("/"));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (volume.isValid() && !root.isEmpty() && !drives_.contains(root)) drives_.append(root);
    }

    // The dialog opens in FileManagerFolder; should that folder have gone, the program folder serves.
    QString reason;
    const QString start = state_.FileManagerFolder.isEmpty() ? programFolder_ : state_.FileManagerFolder;
    if (!OpenFolder(start, reason)) OpenFolder(programFolder_, reason);
    state_.CancelRequested = true;
}

bool FileManager::OpenFolder(const QString& folder, QString& reason) {
    const QString clean = CleanFolder(folder);
    std::error_code ec;
    std::filesystem::directory_iterator probe(FsPath(clean), ec);
    if (ec) {
        reason = SystemText(ec);
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

void FileManager::dirFM_Change(const QString& folder) {
    QString reason;
    if (!OpenFolder(folder, reason)) {
        state_.MsgBoxAnswer = AnswerCode(
            boxes_.Show(QDir::toNativeSeparators(CleanFolder(folder)) + QStringLiteral("\r\n") + reason,
                        kTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning));
        return;
    }
    state_.FileManagerFolder = folder_;
}

void FileManager::drvFM_Change(const QString& drive) {
    // Choosing the drive that holds the program folder goes back to the remembered folder.
    const QString programRoot = QStorageInfo(programFolder_).rootPath();
    if (!programRoot.isEmpty() && drive == programRoot && !state_.FileManagerFolder.isEmpty())
        dirFM_Change(state_.FileManagerFolder);
    else
        dirFM_Change(drive);
}

void FileManager::filFM_Click(const QString& name) {
    txtFM = name;
}

void FileManager::filFM_DblClick(const QString& name) {
    txtFM = name;
    txtFM_KeyUp(13);
}

void FileManager::txtFM_KeyUp(int keyCode) {
    if (keyCode != 13) return;
    if (cmdFileOptionCaption == QLatin1String("Display"))
        cmdAdd2List_Click();
    else
        cmdFileOption_Click();
}

void FileManager::cmdCancel_Click() {
    state_.ChosenSessionCount = 0;
    hidden_ = true;
}

bool FileManager::IsReservedName() {
    if (txtFM != QLatin1String("tempdata.tst") && txtFM != QLatin1String("tempdata")) return false;
    state_.MsgBoxAnswer = AnswerCode(
        boxes_.Show(QStringLiteral("'tempdata.tst' is a reserved filename\r\nPlease use another name."),
                    kTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Information));
    return true;
}

bool FileManager::TakeTypedPath() {
    // Without an open folder the name stands alone (and is refused as not absolute).
    const QString typed = folder_.isEmpty()                    ? txtFM
                          : folder_.endsWith(QLatin1Char('/')) ? folder_ + txtFM
                                                               : folder_ + QLatin1Char('/') + txtFM;
    const SessionPath split = SplitSessionPath(typed);
    if (split.status == SessionPath::Status::NotAbsolute) {
        state_.MsgBoxAnswer = AnswerCode(
            boxes_.Show(kNotAbsoluteMessage, kTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None));
        state_.SessionTstPath.clear();
        return false;
    }
    // The folder of the typed path is remembered even when its name is unusable, so the next
    // opening of the dialog starts there.
    state_.FileManagerFolder = split.folder;
    if (!split.Usable()) {
        state_.SessionTstPath.clear();
        return false;
    }
    state_.SessionTstPath = ResolveFileCase(split.tstPath);
    state_.SessionHdrPath = ResolveFileCase(split.hdrPath);
    state_.SessionTxtPath = ResolveFileCase(split.txtPath);
    return true;
}

void FileManager::cmdFileOption_Click() {
    if (IsReservedName()) return;
    if (!TakeTypedPath()) return;
    if (cmdFileOptionCaption != QLatin1String("Save")) {
        if (cmdFileOptionCaption == QLatin1String("Display")) hidden_ = true;
        return;
    }
    RefreshTemporaryHeader();
    SaveSession();
}

void FileManager::RefreshTemporaryHeader() {
    // The header of the stopped session gets the comment box's current text as its comments.
    const QString header = QDir(programFolder_).filePath(QStringLiteral("tempdata.hdr"));
    QStringList items;
    QString reason;
    SessionHeaderFile::ReadItems(header, 4, items, reason); // a missing header leaves empty items
    while (items.size() < 4)
        items.append(QString());
    if (state_.TxtSeshnComnts.text.isEmpty()) state_.TxtSeshnComnts.text = QStringLiteral(" ");
    items.append(state_.TxtSeshnComnts.text);
    QFile::remove(header);
    SessionHeaderFile::WriteItems(header, items, reason); // failures are ignored, as for the old header
}

void FileManager::SaveSession() {
    const QString tst = state_.SessionTstPath;
    const QString txt = state_.SessionTxtPath;
    const QString hdr = state_.SessionHdrPath;

    std::error_code ec;
    const auto status = std::filesystem::status(FsPath(tst), ec);
    const bool absent = status.type() == std::filesystem::file_type::not_found;
    if (ec && !absent) {
        state_.MsgBoxAnswer = AnswerCode(
            boxes_.Show(SystemText(ec), kTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Information));
        return;
    }
    if (!absent) {
        QFile existing(tst);
        if (!existing.open(QIODevice::ReadOnly)) {
            state_.MsgBoxAnswer = AnswerCode(boxes_.Show(
                existing.errorString(), kTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Information));
            return;
        }
        existing.close();
        const MessageBoxes::Answer answer =
            boxes_.Show(QStringLiteral("File already exists !\rDo you wish to overwrite it?"), kTitle,
                        MessageBoxes::Buttons::YesNo, MessageBoxes::Icon::Question);
        state_.MsgBoxAnswer = AnswerCode(answer);
        if (answer != MessageBoxes::Answer::Yes) return;
    }

    // A .Txt or .Hdr left without its .Tst is replaced as well: the question is about the session.
    const SessionCopier::Result result = SessionCopier(programFolder_).Copy(tst, txt, hdr, true);
    if (!result.ok) {
        // Nothing is left at the destination; the dialog stays open for another name or folder.
        state_.MsgBoxAnswer =
            AnswerCode(boxes_.Show(QStringLiteral("The session could not be saved.\r\n") + result.reason,
                                   kTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning));
        return;
    }
    hidden_ = true;
}

void FileManager::cmdAdd2List_Click() {
    if (IsReservedName()) return;
    if (!TakeTypedPath()) return;
    QFile reading(state_.SessionTstPath);
    if (!reading.open(QIODevice::ReadOnly)) {
        state_.MsgBoxAnswer = AnswerCode(boxes_.Show(reading.errorString(), kAddErrorTitle,
                                                     MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning));
        return;
    }
    reading.close();
    const int position = state_.ChosenSessionCount;
    if (position < 0 || position >= 6) return; // the list holds six sessions at most
    lblFile2Display[size_t(position)].caption = txtFM;
    state_.ChosenTstPaths[size_t(position)] = state_.SessionTstPath;
    state_.ChosenHdrPaths[size_t(position)] = state_.SessionHdrPath;
    state_.ChosenSessionCount = position + 1;
    if (state_.ChosenSessionCount == 6) cmdFileOption_Click();
}
