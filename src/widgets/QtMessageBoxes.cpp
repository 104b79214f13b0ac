#include "widgets/QtMessageBoxes.h"

#include "widgets/TextFit.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace aurivo {

namespace {

void setUp(QMessageBox& box, const QString& text, const QString& title, MessageBoxes::Icon icon) {
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setWindowTitle(title);
    box.setText(QString(text)
                    .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                    .replace(QLatin1Char('\r'), QLatin1Char('\n')));
    switch (icon) {
    case MessageBoxes::Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageBoxes::Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageBoxes::Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageBoxes::Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    // A message box is as wide as its text; a longer title would be cut short in its title bar. (Set
    // last: setting the icon builds the box's layout anew.)
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int margins = grid->contentsMargins().left() + grid->contentsMargins().right();
        grid->addItem(new QSpacerItem(TextFit::windowWidthForTitle(title) - margins, 0), grid->rowCount(), 0,
                      1, grid->columnCount());
    }
}

} // namespace

void QtMessageBoxes::notify(const QString& text, const QString& title, Icon icon) {
    auto* box = new QMessageBox(parent_);
    setUp(*box, text, title, icon);
    box->setObjectName(QStringLiteral("Notice"));
    box->setStandardButtons(QMessageBox::Ok);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

MessageBoxes::Answer QtMessageBoxes::show(const QString& text, const QString& title, Buttons buttons,
                                          Icon icon) {
    QMessageBox box(parent_);
    setUp(box, text, title, icon);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case Buttons::YesNoDefaultNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Ok;
    }
}

} // namespace aurivo
