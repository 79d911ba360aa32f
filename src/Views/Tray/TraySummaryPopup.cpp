#include "Views/Tray/TraySummaryPopup.h"

#include "Models/DayTask.h"
#include "Services/AppEnvironment.h"
#include "Views/Shared/GuidedFooterText.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Shared/SymbolIconLabel.h"
#include "Views/Tray/TraySummaryModel.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyleOptionFocusRect>
#include <QVBoxLayout>

namespace orvana {

namespace {

// The one thing's completion toggle: a check box (Space toggles it, screen
// readers hear a checked state) drawn as the circle Today shows, with the
// task's title beside it, elided when long (the whole title is its name and
// tool tip).
class CompletionToggle : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

    QSize sizeHint() const override {
        const QFontMetrics fm = fontMetrics();
        return {mark() + gap() + fm.horizontalAdvance(text()) + 2 * pad(),
                qMax(mark(), fm.height()) + 2 * pad()};
    }
    QSize minimumSizeHint() const override {
        return {mark() + gap() + 2 * pad(), sizeHint().height()};
    }

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect area = rect().adjusted(pad(), pad(), -pad(), -pad());
        const int d = mark();
        const QRect circle(area.left(), area.center().y() - d / 2, d, d);
        symbolIcon(isChecked() ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle"))
            .paint(&p, circle, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
        const int left = circle.right() + gap() + 1;
        const QRect textArea(left, area.top(), qMax(0, area.right() - left + 1), area.height());
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, textArea.width());
        p.setPen(palette().color(isEnabled() ? QPalette::Normal : QPalette::Disabled,
                                 QPalette::WindowText));
        p.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter, shown);
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = rect().adjusted(1, 1, -1, -1);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
        }
    }

    void resizeEvent(QResizeEvent* event) override {
        QCheckBox::resizeEvent(event);
        updateToolTip();
    }
    void changeEvent(QEvent* event) override {
        QCheckBox::changeEvent(event);
        if (event->type() == QEvent::FontChange)
            updateToolTip();
    }

public:
    void setTitle(const QString& title) {
        setText(title);
        setAccessibleName(title);
        updateGeometry();
        updateToolTip();
        update();
    }

private:
    int mark() const { return qRound(fontMetrics().height() * 1.25); }
    int gap() const { return fontMetrics().height() / 2; }
    int pad() const { return qMax(2, fontMetrics().height() / 5); }
    void updateToolTip() {
        const int room = width() - mark() - gap() - 2 * pad();
        // A title is shown as typed: escaped inside a rich-text tip, since
        // a tip takes anything that looks like a tag for markup.
        setToolTip(fontMetrics().horizontalAdvance(text()) > room
                       ? QStringLiteral("<qt>%1</qt>").arg(text().toHtmlEscaped())
                       : QString());
    }
};

QFrame* divider() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// A symbol and a line of text, read as the text alone.
QWidget* symbolRow(const QString& symbol, QLabel* label) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new SymbolIconLabel(symbol, 1.0), 0, Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    layout->addWidget(label, 1);
    return row;
}

// Wayland lets only a window's own child pop up: a tray has none, so there
// the summary is a frameless tool window that closes when it loses the focus.
bool popupsNeedAParent() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

TraySummaryPopup::TraySummaryPopup(AppEnvironment& environment, QWidget* parent)
    : QFrame(parent, popupsNeedAParent()
                         ? Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                         : Qt::Popup),
      model_(new TraySummaryModel(environment, this)), closesOnDeactivation_(popupsNeedAParent()) {
    setWindowTitle(tr("Orvana"));
    setAccessibleName(tr("Orvana"));
    setFrameShape(QFrame::StyledPanel);
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* heading = new QLabel(TraySummaryModel::heading());
    heading->setTextFormat(Qt::PlainText);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    auto* toggle = new CompletionToggle;
    toggle_ = toggle;
    toggle->setAccessibleDescription(TraySummaryModel::heading());
    connect(toggle, &QCheckBox::clicked, model_, &TraySummaryModel::toggleOneThing);

    nothingSet_ = new QWidget;
    auto* nothingLayout = new QVBoxLayout(nothingSet_);
    nothingLayout->setContentsMargins(0, 0, 0, 0);
    auto* nothing = new QLabel(TraySummaryModel::nothingSetText());
    nothing->setTextFormat(Qt::PlainText);
    nothingLayout->addWidget(nothing);
    nothingLayout->addWidget(
        new GuidedFooterText(TraySummaryModel::guidanceText(), environment.preferences()));

    streakLabel_ = new QLabel;
    streakRow_ = symbolRow(QStringLiteral("bolt.fill"), streakLabel_);
    blockLabel_ = new QLabel;
    blockRow_ = symbolRow(QStringLiteral("repeat"), blockLabel_);
    middleDivider_ = divider();

    openButton_ = new QPushButton(TraySummaryModel::openButtonText());
    openButton_->setAccessibleName(TraySummaryModel::openButtonText());
    openButton_->setDefault(true);
    connect(openButton_, &QPushButton::clicked, this, &TraySummaryPopup::open);

    auto* layout = new QVBoxLayout(this);
    const int em = fontMetrics().height();
    layout->setContentsMargins(em * 3 / 4, em * 3 / 4, em * 3 / 4, em * 3 / 4);
    layout->setSpacing(em / 2);
    layout->addWidget(heading);
    layout->addWidget(toggle_);
    layout->addWidget(nothingSet_);
    layout->addWidget(divider());
    layout->addWidget(streakRow_);
    layout->addWidget(blockRow_);
    layout->addWidget(middleDivider_);
    layout->addWidget(openButton_, 0, Qt::AlignRight);
    // Wide enough for the texts of a typical day; long titles wrap or elide.
    setFixedWidth(fontMetrics().averageCharWidth() * 48);
    setTabOrder(toggle_, openButton_);

    connect(model_, &TraySummaryModel::changed, this, &TraySummaryPopup::render);
    connect(model_, &TraySummaryModel::openRequested, this, [this] {
        hide();
        emit openRequested();
    });
    render();
}

TraySummaryPopup::~TraySummaryPopup() = default;

void TraySummaryPopup::render() {
    DayTask* one = model_->oneThingTask();
    const bool hadFocus = toggle_->hasFocus();
    toggle_->setVisible(one != nullptr);
    nothingSet_->setVisible(one == nullptr);
    if (one) {
        const QSignalBlocker quiet(toggle_);
        static_cast<CompletionToggle*>(toggle_)->setTitle(one->title());
        toggle_->setChecked(one->isComplete());
    } else if (hadFocus) {
        openButton_->setFocus(Qt::OtherFocusReason);
    }
    const QString streak = model_->streakLine();
    streakLabel_->setText(streak);
    streakLabel_->setAccessibleName(streak);
    streakRow_->setVisible(!streak.isEmpty());
    const QString block = model_->upcomingBlockLine();
    blockLabel_->setText(block);
    blockLabel_->setAccessibleName(block);
    blockRow_->setVisible(!block.isEmpty());
    // Two dividers with nothing between them would read as a gap.
    middleDivider_->setVisible(!streak.isEmpty() || !block.isEmpty());
    adjustSize();
}

QPoint TraySummaryPopup::placement(const QSize& size, const QRect& anchor, const QRect& available) {
    // A small gap from the icon, as menus keep from their bar.
    constexpr int gap = 4;
    QPoint at;
    if (anchor.isEmpty()) {
        at = anchor.topLeft() - QPoint(size.width() / 2, size.height() / 2);
    } else {
        at.setX(anchor.center().x() - size.width() / 2);
        at.setY(anchor.center().y() < available.center().y() ? anchor.bottom() + 1 + gap
                                                             : anchor.top() - gap - size.height());
    }
    // Inside the free area; where it is too small, from its top-left corner.
    at.setX(qMax(available.left(), qMin(at.x(), available.right() + 1 - size.width())));
    at.setY(qMax(available.top(), qMin(at.y(), available.bottom() + 1 - size.height())));
    return at;
}

void TraySummaryPopup::popUp(const QRect& anchor) {
    model_->setShown(true); // the day afresh, so the size below is the one shown
    QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        move(placement(size(), anchor, screen->availableGeometry()));
    show();
    if (closesOnDeactivation_) {
        // A tool window must be given the focus; a popup takes it itself.
        raise();
        activateWindow();
    }
}

void TraySummaryPopup::open() {
    model_->openMainWindow();
}

void TraySummaryPopup::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    model_->setShown(true);
    (toggle_->isVisible() ? static_cast<QWidget*>(toggle_) : openButton_)
        ->setFocus(Qt::PopupFocusReason);
}

void TraySummaryPopup::hideEvent(QHideEvent* event) {
    QFrame::hideEvent(event);
    model_->setShown(false);
}

void TraySummaryPopup::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        hide();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        open();
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}

bool TraySummaryPopup::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && closesOnDeactivation_ && isVisible())
        hide();
    return QFrame::event(event);
}

} // namespace orvana
