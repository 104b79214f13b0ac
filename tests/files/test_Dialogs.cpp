#include "MonitorFakes.h"
#include "ui/widgets/FileManagerDialog.h"
#include "ui/widgets/SaveAsDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

void pressEnter(QWidget* widget) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(widget, &release);
}

template <typename T> T* find(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

class FileManagerDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(program.isValid() && data.isValid());
        for (int i = 1; i <= 6; ++i)
            ASSERT_TRUE(QFile(data.filePath(QStringLiteral("s%1.tst").arg(i))).open(QIODevice::WriteOnly));
        QDir(data.path()).mkdir(QStringLiteral("sub"));
        model.changeFolder(data.path()); // the folder the file manager remembers
    }

    QTemporaryDir program, data;
    CommentBox comments;
    ScriptedBoxes boxes;
    FileManager model{program.path(), boxes, comments};
};

} // namespace

TEST_F(FileManagerDialogTest, ShowsTheModelAndForwardsTheUsersActions) {
    model.load(FileManager::Purpose::Display);
    FileManagerDialog dialog(model);
    dialog.show();
    EXPECT_EQ(dialog.objectName(), QStringLiteral("frmFileManager"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Display saved session file"));
    EXPECT_EQ(find<QPushButton>(dialog, "cmdFileOption")->text(), QStringLiteral("Display"));

    auto* files = find<QListWidget>(dialog, "filFM");
    ASSERT_EQ(files->count(), 6);
    auto* folders = find<QListWidget>(dialog, "dirFM");
    EXPECT_EQ(folders->item(0)->text(), QStringLiteral(".."));
    EXPECT_EQ(folders->item(1)->text(), QStringLiteral("sub"));
    EXPECT_GT(find<QComboBox>(dialog, "drvFM")->count(), 0);

    // Picking a file copies its name; Enter in the name box adds it in display mode.
    emit files->itemClicked(files->item(0));
    auto* name = find<QLineEdit>(dialog, "txtFM");
    EXPECT_EQ(name->text(), QStringLiteral("s1.tst"));
    pressEnter(name);
    EXPECT_EQ(model.displayList().count, 1);
    EXPECT_EQ(find<QLabel>(dialog, "lblFile2Display_0")->text(), QStringLiteral("s1.tst"));
    for (int i = 1; i < 5; ++i)
        emit files->itemActivated(files->item(i));
    EXPECT_EQ(model.displayList().count, 5);
    EXPECT_TRUE(dialog.isVisible());
    name->setText(QStringLiteral("s6"));
    emit name->textEdited(name->text());
    find<QPushButton>(dialog, "cmdAdd2List")->click();
    EXPECT_EQ(model.displayList().count, 6);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FileManagerDialogTest, FolderListAndCloseButton) {
    model.load(FileManager::Purpose::Save);
    for (const char* name : {"s1", "s2"}) { // a display list the dialog must leave alone
        model.setName(QString::fromLatin1(name));
        model.addToDisplayList();
    }
    FileManagerDialog dialog(model);
    dialog.show();
    EXPECT_FALSE(find<QPushButton>(dialog, "cmdAdd2List")->isVisible());
    auto* folders = find<QListWidget>(dialog, "dirFM");
    emit folders->itemActivated(folders->item(1)); // "sub"
    EXPECT_EQ(model.folder(), data.filePath(QStringLiteral("sub")));
    EXPECT_EQ(find<QListWidget>(dialog, "filFM")->count(), 0);
    EXPECT_EQ(folders->item(0)->text(), QStringLiteral(".."));

    ASSERT_EQ(model.displayList().count, 2);
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(model.displayList().count, 2);
}

TEST(SaveAsDialog, OkHidesWithTheNameCancelStaysOpen) {
    SaveAsDialog dialog;
    EXPECT_EQ(dialog.objectName(), QStringLiteral("formSaveAs"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Save Session As"));
    auto* text = find<QLineEdit>(dialog, "txtSaveAs");
    QTimer::singleShot(0, &dialog, [&] {
        text->setText(QStringLiteral("tempdata"));
        find<QPushButton>(dialog, "cmndSavAsok")->click();
    });
    EXPECT_EQ(dialog.ask(QStringLiteral("old")), QStringLiteral("tempdata"));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    // Shown again it holds the last name; Enter does nothing; Cancel empties the name and leaves the
    // box open.
    bool held = false, openAfterEnter = false, openAfterCancel = false;
    QTimer::singleShot(0, &dialog, [&] {
        held = text->text() == QStringLiteral("tempdata");
        pressEnter(text);
        openAfterEnter = dialog.isVisible();
        find<QPushButton>(dialog, "cmndCnclSavAs")->click();
        openAfterCancel = dialog.isVisible();
        dialog.close();
    });
    EXPECT_TRUE(dialog.ask(QStringLiteral("tempdata")).isEmpty());
    EXPECT_TRUE(held);
    EXPECT_TRUE(openAfterEnter);
    EXPECT_TRUE(openAfterCancel);
    // Closed without OK or Cancel, the name stays as it was.
    QTimer::singleShot(0, &dialog, [&] { dialog.close(); });
    EXPECT_EQ(dialog.ask(QStringLiteral("kept")), QStringLiteral("kept"));
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace aurivo
