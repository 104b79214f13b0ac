#include "widgets/PortChooserBox.h"

#include "app/Monitor.h"
#include "widgets/ChangeQueue.h"
#include "widgets/PortOption.h"
#include "widgets/SystemColours.h"
#include "widgets/WidgetUpdate.h"
#include "widgets/WindowFocus.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace aurivo {

namespace {

// A port that can be chosen shows the window's background; a held one pale yellow, a missing one pale red.
uint32_t stateColour(PortState state) {
    switch (state) {
    case PortState::Held:
        return colors::kPaleYellow;
    case PortState::Missing:
        return colors::kPaleRed;
    case PortState::Usable:
        break;
    }
    return colors::kWindowBackground;
}

} // namespace

TwipsRect PortChooserBox::optionRect(int index) {
    // Four columns of four, COM1 to COM4 down the first.
    const double columns[4] = {180, 1200, 2220, 3240};
    const double rows[4] = {270, 600, 930, 1260};
    return TwipsRect{columns[index / 4 % 4], rows[index % 4], 900, 195};
}

PortChooserBox::PortChooserBox(PanelContext& context, QWidget* parent)
    : EntryFrame(context, QStringLiteral("fraSelctPort"), parent) {
    Monitor* m = &context.monitor;
    const PortChooser& ports = m->ports();
    // Enter on "Okay" and Escape close the chooser without a choice; Enter on a port chooses it.
    const auto close = [this, m] { this->context().act([m] { m->closePortChooser(); }); };
    setAccept(close);
    setCancel(close);
    setKeepsFocus(true);
    for (int i = 0; i < 16; ++i) {
        const PortOptionState& design = ports.options()[size_t(i)];
        auto* opt = new PortOption(design.caption, this);
        opt->setObjectName(QStringLiteral("optPortNum_%1").arg(i));
        opt->setAutoFillBackground(true);
        opt->setGeometry(pxRect(optionRect(i)));
        connect(opt, &PortOption::chosen, this,
                [this, m, i] { this->context().act([m, i] { m->choosePort(i); }); });
        connect(opt, &PortOption::arrowPressed, this, [this, i](int key) { stepOption(i, key); });
        options_[size_t(i)] = opt;
    }
    okay_ = addButton("Command2", QStringLiteral("Okay"), pxRect({1440, 1560, 1305, 285}), close);
    // Why ports cannot be used, in words, under the chooser.
    status_ = new QLabel(parent);
    status_->setObjectName(QStringLiteral("lblPortStatus"));
    status_->setWordWrap(true);
    status_->setAutoFillBackground(true);
    status_->setFrameShape(QFrame::Box);
    status_->setMargin(2);
    status_->hide();
    // The status line follows the focus from port to port.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && isVisible() && isAncestorOf(now)) showStatus();
    });
    context.changes.follow({&ports.changed}, [this] { showChooser(); });
}

void PortChooserBox::showChooser() {
    const PortChooser& ports = context().monitor.ports();
    showCaption(ports.frameCaption());
    placeWidened(pxRect(kFrameRect));
    const QColor captionColour =
        colors::toQColor(ports.examining() ? colors::kRed : colors::kBlack, palette());
    const QString captionStyle =
        QStringLiteral("QGroupBox#fraSelctPort::title { color: %1; }").arg(captionColour.name());
    if (styleSheet() != captionStyle) setStyleSheet(captionStyle);
    showOptions();
    showStatus();

    // An opening chooser takes the focus to "Okay" while it scans, and to the port to choose once the
    // scan is done, unless the user has moved the focus elsewhere meanwhile.
    PortOption* tabStop = focusOption();
    const bool scanning = ports.scanActive();
    const bool scanEnded = scanShown_ && !scanning && ports.frameShown();
    scanShown_ = scanning && ports.frameShown();
    context().focus.showBox(this, ports.frameShown(), tabStop ? static_cast<QWidget*>(tabStop) : okay_);
    if (scanEnded && tabStop) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || focus == okay_ || !focus->isVisible()) tabStop->setFocus(Qt::OtherFocusReason);
    }
}

void PortChooserBox::showOptions() {
    const PortChooser& ports = context().monitor.ports();
    for (size_t i = 0; i < options_.size(); ++i) {
        PortOption* opt = options_[i];
        const PortOptionState& o = ports.options()[i];
        WidgetUpdate::visible(opt, o.visible);
        opt->setEnabled(o.enabled);
        if (opt->isChecked() != o.chosen) opt->setChecked(o.chosen);
        if (opt->toolTip() != o.toolTip) opt->setToolTip(o.toolTip);
        const QString reason = ports.unusableReason(int(i));
        if (opt->accessibleDescription() != reason) opt->setAccessibleDescription(reason);
        // The frame carries a style sheet (its caption colour), so the buttons' colours are style sheets
        // too; the small font lets "COM16" fit the 900-twip width of its button. The caption of a port
        // that cannot be used stays readable on its pale colour.
        const QString back = QStringLiteral("QRadioButton { background-color: %1; font-size: 7pt; } "
                                            "QRadioButton:disabled { color: %2; }")
                                 .arg(colors::toQColor(stateColour(o.state), palette()).name(),
                                      colors::toQColor(colors::kDisabledCaption).name());
        if (opt->styleSheet() != back) opt->setStyleSheet(back);
    }
    // Tab reaches the chooser's options as one stop: the chosen port, or the first usable one. A port
    // that cannot be used takes no focus at all (and is not told as focusable).
    PortOption* tabStop = focusOption();
    for (PortOption* opt : options_)
        opt->setFocusPolicy(opt == tabStop           ? Qt::StrongFocus
                            : opt->isEnabledTo(this) ? Qt::ClickFocus
                                                     : Qt::NoFocus);
}

void PortChooserBox::showStatus() {
    // The port with the focus in words, its device or why it cannot be used, then every port that
    // cannot be used with the reason.
    const PortChooser& ports = context().monitor.ports();
    QStringList lines;
    for (size_t i = 0; i < options_.size(); ++i)
        if (options_[i]->hasFocus() && !ports.scanActive()) lines << ports.portLine(int(i));
    if (!ports.statusText().isEmpty()) lines << ports.statusText();
    const QString status = lines.join(QLatin1Char('\n'));
    if (status_->text() != status) status_->setText(status);
    if (accessibleDescription() != status) setAccessibleDescription(status);
    const QRect frame = geometry();
    status_->setGeometry(frame.left(), frame.bottom() + 1, frame.width(),
                         status_->heightForWidth(frame.width()));
    WidgetUpdate::visible(status_, ports.frameShown() && !status.isEmpty());
    if (status_->isVisible()) status_->raise();
}

PortOption* PortChooserBox::focusOption() const {
    const PortChooser& ports = context().monitor.ports();
    PortOption* first = nullptr;
    for (size_t i = 0; i < options_.size(); ++i) {
        const PortOptionState& o = ports.options()[i];
        if (!o.visible || !o.enabled) continue;
        if (o.chosen) return options_[i];
        if (!first) first = options_[i];
    }
    return first;
}

void PortChooserBox::stepOption(int from, int key) {
    // Up and Left go back, Down and Right forward, round the sixteen, to the next port that can be used;
    // Space or Enter then chooses it.
    const int step = (key == Qt::Key_Up || key == Qt::Key_Left) ? -1 : 1;
    const int count = int(options_.size());
    for (int k = 1; k < count; ++k) {
        PortOption* next = options_[size_t(((from + step * k) % count + count) % count)];
        if (!next->isEnabled() || !next->isVisibleTo(this)) continue;
        next->setFocus(Qt::TabFocusReason);
        return;
    }
}

} // namespace aurivo
