#include "MonitorFakes.h"
#include "widgets/FileManagerDialog.h"
#include "widgets/SaveAsDialog.h"

#include "core/Colors.h"
#include "recording/SessionColours.h"

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
    auto* display = find<QPushButton>(dialog, "cmdFileOption");
    EXPECT_EQ(display->text(), QStringLiteral("Display"));
    auto* files = find<QListWidget>(dialog, "filFM");
    ASSERT_EQ(files->count(), 6);
    // The focus starts in the name box; with nothing named or added "Display" cannot be pressed.
    EXPECT_EQ(dialog.focusWidget(), find<QLineEdit>(dialog, "txtFM"));
    EXPECT_FALSE(display->isEnabled());

    // Picking a file copies its name; Enter in the name box or activating a file adds it.
    emit files->itemClicked(files->item(0));
    auto* name = find<QLineEdit>(dialog, "txtFM");
    EXPECT_EQ(name->text(), QStringLiteral("s1.tst"));
    EXPECT_TRUE(display->isEnabled());
    QTest::keyClick(name, Qt::Key_Return); // adds, and no more
    EXPECT_EQ(find<QLabel>(dialog, "lblFile2Display_0")->text(), QStringLiteral("s1.tst"));
    EXPECT_TRUE(dialog.isVisible());
    for (int i = 1; i < 5; ++i)
        emit files->itemActivated(files->item(i));
    // Each place of the list shows its session's name in the colour the replay draws it in.
    for (size_t i = 0; i < kSessionColours.size(); ++i)
        EXPECT_TRUE(find<QLabel>(dialog, QStringLiteral("lblFile2Display_%1").arg(i).toLatin1().constData())
                        ->styleSheet()
                        .contains(colors::toQColor(kSessionColours[i]).name()))
            << i;
    name->setText(QStringLiteral("s6"));
    emit name->textEdited(name->text());
    find<QPushButton>(dialog, "cmdAdd2List")->click();
    EXPECT_EQ(model.displayList().count, 6); // the sixth ends the choice
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    // Enter on a focused button presses it; Escape is Cancel, which empties the list.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        model.load(FileManager::Purpose::Display);
        FileManagerDialog again(model);
        again.show();
        QTest::keyClick(find<QLineEdit>(again, "txtFM"), Qt::Key_Return); // an empty name adds nothing
        emit find<QListWidget>(again, "filFM")->itemActivated(find<QListWidget>(again, "filFM")->item(0));
        ASSERT_EQ(model.displayList().count, 1);
        if (key == Qt::Key_Return) {
            find<QPushButton>(again, "cmdFileOption")->setFocus();
            QTest::keyClick(again.focusWidget(), key);
            EXPECT_EQ(model.displayList().count, 1);
        } else {
            QTest::keyClick(find<QLineEdit>(again, "txtFM"), key);
            EXPECT_EQ(model.displayList().count, 0);
        }
        EXPECT_TRUE(model.hidden() && !again.isVisible()) << key;
    }
}

TEST(SaveAsDialog, EnterIsOkCancelEmptiesAndStaysEscapeAndCloseStartNothing) {
    SaveAsDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Save Session As"));
    auto* text = find<QLineEdit>(dialog, "txtSaveAs");
    // The focus starts in the name box; Enter there is OK.
    QTimer::singleShot(0, &dialog, [&] {
        QTest::keyClicks(dialog.focusWidget(), QStringLiteral("tempdata"));
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(dialog.ask(), QStringLiteral("tempdata"));

    // Shown again it holds the last name, selected. Cancel empties the name and leaves the box open;
    // Enter on the focused Cancel presses Cancel; Escape and the close button start nothing.
    for (bool escape : {true, false}) {
        bool held = false, openAfterCancel = false;
        QTimer::singleShot(0, &dialog, [&] {
            held = dialog.focusWidget() == text && text->selectedText() == QStringLiteral("tempdata");
            auto* cancel = find<QPushButton>(dialog, "cmndCnclSavAs");
            cancel->setFocus();
            QTest::keyClick(cancel, Qt::Key_Return);
            openAfterCancel = dialog.isVisible();
            escape ? QTest::keyClick(text, Qt::Key_Escape) : static_cast<void>(dialog.close());
        });
        EXPECT_TRUE(dialog.ask().isEmpty()) << escape;
        EXPECT_TRUE(held && openAfterCancel) << escape;
    }
}

} // namespace aurivo
