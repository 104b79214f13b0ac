#include "MonitorFakes.h"
#include "ui/widgets/FileManagerDialog.h"
#include "ui/widgets/SaveAsDialog.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace aurivo {

template <typename T> T* find(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST(FileManagerDialog, ShowsTheModelAndForwardsTheUsersActions) {
    QTemporaryDir program, data;
    for (int i = 1; i <= 6; ++i)
        ASSERT_TRUE(QFile(data.filePath(QStringLiteral("s%1.tst").arg(i))).open(QIODevice::WriteOnly));
    CommentBox comments;
    ScriptedBoxes boxes;
    FileManager model{program.path(), boxes, comments};
    model.changeFolder(data.path());
    model.load(FileManager::Purpose::Display);
    FileManagerDialog dialog(model);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Display saved session file"));
    EXPECT_EQ(find<QPushButton>(dialog, "cmdFileOption")->text(), QStringLiteral("Display"));
    auto* files = find<QListWidget>(dialog, "filFM");
    ASSERT_EQ(files->count(), 6);

    // Picking a file copies its name; Enter in the name box or activating a file adds it.
    emit files->itemClicked(files->item(0));
    auto* name = find<QLineEdit>(dialog, "txtFM");
    EXPECT_EQ(name->text(), QStringLiteral("s1.tst"));
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(find<QLabel>(dialog, "lblFile2Display_0")->text(), QStringLiteral("s1.tst"));
    for (int i = 1; i < 5; ++i)
        emit files->itemActivated(files->item(i));
    name->setText(QStringLiteral("s6"));
    emit name->textEdited(name->text());
    find<QPushButton>(dialog, "cmdAdd2List")->click();
    EXPECT_EQ(model.displayList().count, 6); // the sixth ends the choice
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(SaveAsDialog, OkHidesWithTheNameCancelStaysOpen) {
    SaveAsDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Save Session As"));
    auto* text = find<QLineEdit>(dialog, "txtSaveAs");
    QTimer::singleShot(0, &dialog, [&] {
        text->setText(QStringLiteral("tempdata"));
        find<QPushButton>(dialog, "cmndSavAsok")->click();
    });
    EXPECT_EQ(dialog.ask(QStringLiteral("old")), QStringLiteral("tempdata"));

    // Shown again it holds the last name; Enter does nothing; Cancel empties the name and leaves the
    // box open.
    bool held = false, openAfterEnter = false, openAfterCancel = false;
    QTimer::singleShot(0, &dialog, [&] {
        held = text->text() == QStringLiteral("tempdata");
        QTest::keyClick(text, Qt::Key_Return);
        openAfterEnter = dialog.isVisible();
        find<QPushButton>(dialog, "cmndCnclSavAs")->click();
        openAfterCancel = dialog.isVisible();
        dialog.close();
    });
    EXPECT_TRUE(dialog.ask(QStringLiteral("tempdata")).isEmpty());
    EXPECT_TRUE(held && openAfterEnter && openAfterCancel);
}

} // namespace aurivo
