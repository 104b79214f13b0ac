#include "widgets/ParameterEntryBox.h"

#include "app/Monitor.h"
#include "widgets/ChangeQueue.h"
#include "widgets/WidgetUpdate.h"
#include "widgets/WindowFocus.h"

#include <QLineEdit>

namespace aurivo {

ParameterEntryBox::ParameterEntryBox(PanelContext& context, QWidget* parent)
    : EntryFrame(context, QStringLiteral("fraSetStuff"), parent) {
    Monitor* m = &context.monitor;
    // "Okay" and Enter take the text as it stands, whatever way it got there.
    const auto accept = [this, m] {
        this->context().act([this, m] {
            m->typeEntry(text_->text());
            m->acceptEntry();
        });
    };
    const auto cancel = [this, m] { this->context().act([m] { m->cancelEntry(); }); };
    setAccept(accept);
    setCancel(cancel);
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("txtSS"));
    text_->setAlignment(Qt::AlignCenter);
    text_->setGeometry(pxRect({240, 360, 495, 285}));
    // Typed, pasted or set by assistive technology: every change of the text reaches the box.
    connect(text_, &QLineEdit::textChanged, this, [this, m](const QString& t) {
        if (!syncing_) m->typeEntry(t);
    });
    addButton("cmdSS", QStringLiteral("Okay"), pxRect({1080, 360, 615, 255}), accept);
    addButton("cmdCan", QStringLiteral("Cancel"), pxRect({2040, 360, 735, 255}), cancel);
    context.changes.follow({&m->parameters().changed}, [this] { showBox(); });
}

void ParameterEntryBox::showBox() {
    syncing_ = true;
    const ParameterBoxes& params = context().monitor.parameters();
    showCaption(params.entryCaption());
    placeWidened(pxRect({1680, 0, 3015, 735}));
    WidgetUpdate::accessibleName(text_, params.entryCaption());
    if (text_->text() != params.entryText()) text_->setText(params.entryText());
    const bool opening = params.entryBoxShown() && !isVisibleTo(parentWidget());
    context().focus.showBox(this, params.entryBoxShown(), text_);
    if (opening) text_->selectAll();
    syncing_ = false;
}

} // namespace aurivo
