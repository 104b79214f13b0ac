#include "widgets/CommentsPanel.h"

#include "app/Monitor.h"
#include "widgets/ChangeQueue.h"
#include "widgets/WidgetUpdate.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

namespace aurivo {

namespace {

// The comments keep the line ends of the session files; the text box has plain new lines.
QString commentsToBox(const QString& modelText) {
    QString t = modelText;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

QString boxToComments(const QString& widgetText) {
    QString t = widgetText;
    t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return t;
}

} // namespace

CommentsPanel::CommentsPanel(PanelContext& context, QWidget* parent)
    : PanelFrame(context, QStringLiteral("fraSeshnComnts"), parent) {
    setAccessibleName(QStringLiteral("Session comments"));
    box_ = new QPlainTextEdit(this);
    box_->setObjectName(QStringLiteral("TxtSeshnComnts"));
    box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box_->setAccessibleName(QStringLiteral("Session comments"));
    box_->setTabChangesFocus(true);
    box_->installEventFilter(this);
    Monitor& m = context.monitor;
    connect(box_, &QPlainTextEdit::textChanged, this, [this, &m] {
        if (!syncing_) m.setComments(boxToComments(box_->toPlainText()));
    });
    box_->viewport()->installEventFilter(this);
    context.changes.follow({&m.arranger().changed}, [this] { showLayout(); });
    context.changes.follow({&m.comments().changed}, [this] { showComments(); });
}

bool CommentsPanel::eventFilter(QObject* watched, QEvent* event) {
    // A click in the text is a click on the panel.
    if (event->type() == QEvent::MouseButtonPress && watched == box_->viewport()) {
        Monitor* m = &context().monitor;
        context().act([m] { m->clickPanel(); });
        return false;
    }
    if (event->type() != QEvent::KeyPress || watched != box_) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Tab || key->modifiers() != Qt::ControlModifier) return false;
    if (!box_->isReadOnly()) box_->insertPlainText(QStringLiteral("\t"));
    return true;
}

void CommentsPanel::showLayout() {
    const LayoutGeometry& g = context().monitor.arranger().geometry();
    showFrame(g.frames[4]);
    WidgetUpdate::font(box_, g.comments.font);
    if (g.comments.rect.width > 0) {
        // The box keeps its design place (120 twips in from the frame's corner); in a short frame (a
        // large scale factor shrinks the window in logical pixels) it ends at the frame's inner edge
        // instead of running under the strip below.
        QRect box = pxRect(g.comments.rect);
        const QRect inside = contentsRect();
        box.setBottom(std::min(box.bottom(), inside.bottom()));
        box.setRight(std::min(box.right(), inside.right()));
        WidgetUpdate::geometry(box_, box);
    }
}

void CommentsPanel::showComments() {
    syncing_ = true;
    const CommentBox& comments = context().monitor.comments();
    const QString text = commentsToBox(comments.text());
    if (box_->toPlainText() != text) box_->setPlainText(text);
    box_->setReadOnly(comments.locked());
    syncing_ = false;
}

} // namespace aurivo
