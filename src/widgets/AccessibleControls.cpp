#include "widgets/AccessibleControls.h"

#include "widgets/GraphView.h"
#include "widgets/IndicatorFrame.h"
#include "widgets/ModelLabel.h"
#include "widgets/PanelFrame.h"
#include "widgets/PortOption.h"

#include <QAccessibleWidget>
#include <QFocusFrame>
#include <QGroupBox>
#include <QMenu>

namespace aurivo {

namespace {

// Description as Qt gives it for widgets: the accessible description, else the tooltip.
QString description(const QWidget* w) {
    return w->accessibleDescription().isEmpty() ? w->toolTip() : w->accessibleDescription();
}

class LabelAccessible : public QAccessibleWidget {
  public:
    explicit LabelAccessible(ModelLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    ModelLabel* label() const { return static_cast<ModelLabel*>(widget()); }

    QAccessible::Role role() const override {
        return label()->isAction() ? QAccessible::Button : QAccessible::StaticText;
    }
    // A label that shows nothing (an axis caption before the first drawing) says nothing either.
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (text(QAccessible::Name).trimmed().isEmpty()) s.invisible = true;
        return s;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return label()->accessibleName().isEmpty() ? label()->text() : label()->accessibleName();
        if (t == QAccessible::Description) return description(label());
        return QAccessibleWidget::text(t);
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        auto rels = QAccessibleWidget::relations(match);
        if ((match & QAccessible::Label) && label()->heading())
            rels.append({QAccessible::queryAccessibleInterface(label()->heading()), QAccessible::Label});
        if ((match & QAccessible::Labelled) && label()->parentWidget()) {
            for (ModelLabel* sibling :
                 label()->parentWidget()->findChildren<ModelLabel*>(Qt::FindDirectChildrenOnly))
                if (sibling->heading() == label())
                    rels.append({QAccessible::queryAccessibleInterface(sibling), QAccessible::Labelled});
        }
        return rels;
    }
    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (label()->isAction()) names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& name) override {
        // Deferred, as a button's press is: the action may open a box that waits for the user.
        if (name == pressAction() && label()->isAction())
            QMetaObject::invokeMethod(label(), &ModelLabel::click, Qt::QueuedConnection);
        else
            QAccessibleWidget::doAction(name);
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == pressAction() && label()->isAction()) return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(name);
    }
};

class PortOptionAccessible : public QAccessibleWidget {
  public:
    explicit PortOptionAccessible(PortOption* option) : QAccessibleWidget(option, QAccessible::RadioButton) {}
    PortOption* option() const { return static_cast<PortOption*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return option()->text();
        if (t == QAccessible::Description) return description(option());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = option()->isChecked();
        return s;
    }
    // A port that cannot be used offers nothing to do.
    QStringList actionNames() const override {
        if (!option()->isEnabled()) return QAccessibleWidget::actionNames();
        return QStringList{pressAction(), toggleAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == pressAction() || name == toggleAction())
            QMetaObject::invokeMethod(option(), &PortOption::choose, Qt::QueuedConnection);
        else
            QAccessibleWidget::doAction(name);
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == pressAction() || name == toggleAction()) return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(name);
    }
};

// A level meter read as its name and description: no value of its own, so no Increase or Decrease
// actions either (assistive technology offers those for any value).
class IndicatorAccessible : public QAccessibleWidget {
  public:
    explicit IndicatorAccessible(IndicatorFrame* frame)
        : QAccessibleWidget(frame, QAccessible::ProgressBar) {}

    // The lamps or segments are the meter's inner parts, not elements of their own.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }
    QStringList actionNames() const override { return {}; }
};

// The graph: a chart whose "press" (choose other sessions) is offered only while a click does that.
class GraphAccessible : public QAccessibleWidget {
  public:
    explicit GraphAccessible(GraphView* view) : QAccessibleWidget(view, QAccessible::Chart) {}
    GraphView* view() const { return static_cast<GraphView*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Description) return view()->accessibleDescription();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (view()->pressable()) names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& name) override {
        // Deferred, as a button's press is: the click opens the file manager, which waits for the user.
        if (name == pressAction() && view()->pressable())
            QMetaObject::invokeMethod(view(), &GraphView::click, Qt::QueuedConnection);
        else
            QAccessibleWidget::doAction(name);
    }
    QStringList keyBindingsForAction(const QString& name) const override {
        if (name == pressAction() && view()->pressable()) return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(name);
    }
};

// A container whose hidden controls are not elements at all: a screen reader finds only what is shown
// (the display list beyond a saving file manager's edge, a closed entry frame, the port options before
// the scan reaches them).
class ShownChildrenAccessible : public QAccessibleWidget {
  public:
    ShownChildrenAccessible(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    QList<QWidget*> shownChildren() const {
        QList<QWidget*> shown;
        for (QObject* o : widget()->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (!w || w->isWindow() || w->isHidden() || qobject_cast<QFocusFrame*>(w) ||
                qobject_cast<QMenu*>(w))
                continue;
            // A label that shows nothing yet (an axis caption before the first drawing) is left out too.
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            if (a && a->state().invisible) continue;
            shown.append(w);
        }
        return shown;
    }
    int childCount() const override { return int(shownChildren().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> shown = shownChildren();
        return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown[index])
                                                  : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? int(shownChildren().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
    }
    QString text(QAccessible::Text t) const override {
        // An entry frame is named by its caption, as a group box is.
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            if (auto* box = qobject_cast<QGroupBox*>(widget())) return box->title();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* factory(const QString& key, QObject* object) {
    if (key == QLatin1String("aurivo::ModelLabel"))
        return new LabelAccessible(static_cast<ModelLabel*>(object));
    if (key == QLatin1String("aurivo::PortOption"))
        return new PortOptionAccessible(static_cast<PortOption*>(object));
    if (key == QLatin1String("aurivo::IndicatorFrame"))
        return new IndicatorAccessible(static_cast<IndicatorFrame*>(object));
    if (key == QLatin1String("aurivo::GraphView"))
        return new GraphAccessible(static_cast<GraphView*>(object));
    if (key == QLatin1String("aurivo::PanelFrame") || key == QLatin1String("aurivo::EntryFrame"))
        return new ShownChildrenAccessible(static_cast<QWidget*>(object), QAccessible::Grouping);
    if (key == QLatin1String("aurivo::ClientArea"))
        return new ShownChildrenAccessible(static_cast<QWidget*>(object), QAccessible::Client);
    if (key == QLatin1String("aurivo::FileManagerDialog") || key == QLatin1String("aurivo::SaveAsDialog"))
        return new ShownChildrenAccessible(static_cast<QWidget*>(object), QAccessible::Dialog);
    return nullptr;
}

} // namespace

void AccessibleControls::install() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    static_cast<void>(installed);
}

} // namespace aurivo
