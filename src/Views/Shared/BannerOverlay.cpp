#include "Views/Shared/BannerOverlay.h"

#include <QLabel>

#include <QAccessible>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QPainter>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace orvana {

QSize oneLineSizeHint(QSize hint, const QLabel* message) {
    // The rectangle form rounds up, as the label's own line breaking needs.
    const int oneLine =
        message->fontMetrics()
            .boundingRect(QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX), 0, message->text())
            .width();
    hint.rwidth() += std::max(0, oneLine - message->sizeHint().width());
    return hint;
}

namespace {

constexpr int slideDurationMs = 200;

QColor mixed(const QColor& from, const QColor& to, qreal amount) {
    return QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * amount,
                            from.greenF() + (to.greenF() - from.greenF()) * amount,
                            from.blueF() + (to.blueF() - from.blueF()) * amount);
}

} // namespace

BannerOverlay::BannerOverlay(QWidget* host, int defaultTimeoutMs)
    : QWidget(host), timeoutInterval_(defaultTimeoutMs) {
    Q_ASSERT(host);
    // Explicitly hidden, or it would appear with the host.
    hide();
    host->installEventFilter(this);

    timeout_.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the wait is a promise to the user.
    timeout_.setTimerType(Qt::PreciseTimer);
    connect(&timeout_, &QTimer::timeout, this, &BannerOverlay::clear);

    opacity_ = new QGraphicsOpacityEffect(this);
    opacity_->setEnabled(false);
    setGraphicsEffect(opacity_);

    animation_ = new QParallelAnimationGroup(this);
    position_ = new QPropertyAnimation(this, "pos", animation_);
    fade_ = new QPropertyAnimation(opacity_, "opacity", animation_);
    for (QPropertyAnimation* part : {position_, fade_}) {
        part->setDuration(slideDurationMs);
        part->setEasingCurve(QEasingCurve::InOutQuad);
    }
    connect(animation_, &QAbstractAnimation::finished, this, [this] {
        if (message_.isEmpty())
            hide();
        // Painting through the effect costs an offscreen pass; skip it at rest.
        opacity_->setEnabled(false);
    });
}

void BannerOverlay::setContent(QWidget* content) {
    auto* layout = new QVBoxLayout(this);
    const int padding = style()->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, this);
    const int inset = shadowExtent() + padding;
    layout->setContentsMargins(inset, inset, inset, inset);
    layout->addWidget(content);
}

void BannerOverlay::clear() {
    timeout_.stop();
    if (message_.isEmpty())
        return;
    message_.clear();
    slide(false);
    emit messageChanged(message_);
}

void BannerOverlay::present(const QString& message) {
    if (message.isEmpty()) {
        clear();
        return;
    }
    const bool changed = message != message_;
    message_ = message;
    // Restarting cancels the older message's wait.
    if (timeoutInterval_ > 0)
        timeout_.start(timeoutInterval_);
    else
        timeout_.stop();
    setAccessibleName(message);
    slide(true);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    if (changed)
        emit messageChanged(message_);
}

int BannerOverlay::shadowExtent() const {
    return std::max(2, fontMetrics().height() / 4);
}

QRect BannerOverlay::restingGeometry() const {
    const QWidget* host = parentWidget();
    const int margin = style()->pixelMetric(QStyle::PM_LayoutBottomMargin, nullptr, this);
    const int available = std::max(0, host->width() - 2 * margin);
    // Wide enough that the gap before the button reads as a bar, not a chip.
    const int preferred = std::max(sizeHint().width(), fontMetrics().averageCharWidth() * 40);
    const int width = std::min(available, preferred);
    const int height = hasHeightForWidth() ? heightForWidth(width) : sizeHint().height();
    return {(host->width() - width) / 2, host->height() - margin - height, width, height};
}

QPoint BannerOverlay::belowHost(const QRect& resting) const {
    return {resting.x(), parentWidget()->height()};
}

void BannerOverlay::followHost() {
    const bool running = animation_->state() == QAbstractAnimation::Running;
    if (isHidden() && !running)
        return; // placed when the next message is shown
    const QRect resting = restingGeometry();
    resize(resting.size());
    if (running) {
        const bool in = !message_.isEmpty();
        position_->setStartValue(in ? belowHost(resting) : resting.topLeft());
        position_->setEndValue(in ? resting.topLeft() : belowHost(resting));
    } else {
        move(resting.topLeft());
    }
}

void BannerOverlay::slide(bool in) {
    const bool wasRunning = animation_->state() == QAbstractAnimation::Running;
    animation_->stop();
    const QRect resting = restingGeometry();
    resize(resting.size());
    const QPoint target = in ? resting.topLeft() : belowHost(resting);
    if (in) {
        if (isHidden()) {
            move(belowHost(resting));
            opacity_->setOpacity(0.0);
        } else if (!wasRunning) {
            // Already in place: a new message just replaces the text.
            move(target);
            raise();
            return;
        }
        raise();
        show();
    } else if (isHidden()) {
        return;
    }

    if (style()->styleHint(QStyle::SH_Widget_Animation_Duration, nullptr, this) == 0) {
        // The desktop asks for no animations.
        move(target);
        opacity_->setOpacity(in ? 1.0 : 0.0);
        opacity_->setEnabled(false);
        if (!in)
            hide();
        return;
    }
    opacity_->setEnabled(true);
    position_->setStartValue(pos());
    position_->setEndValue(target);
    fade_->setStartValue(opacity_->opacity());
    fade_->setEndValue(in ? 1.0 : 0.0);
    animation_->start();
}

bool BannerOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        followHost();
    return QWidget::eventFilter(watched, event);
}

bool BannerOverlay::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // The content asked for a new size (a font or style change, a longer text).
    if (event->type() == QEvent::LayoutRequest && parentWidget())
        followHost();
    return handled;
}

void BannerOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int shadow = shadowExtent();
    const QRectF card = QRectF(rect()).adjusted(shadow, shadow, -shadow, -shadow);
    const qreal radius = fontMetrics().height() / 2.5;

    // A soft shadow: rings of the palette's shadow colour, fainter outwards.
    painter.setPen(Qt::NoPen);
    QColor shade = palette().color(QPalette::Shadow);
    shade.setAlphaF(0.05);
    painter.setBrush(shade);
    for (int ring = shadow; ring >= 1; --ring)
        painter.drawRoundedRect(card.adjusted(-ring, -ring + 1, ring, ring + 1), radius + ring,
                                radius + ring);

    // Lifted from the window by a step towards the text colour, so the card
    // stands out in light and dark palettes alike.
    const QColor window = palette().color(QPalette::Window);
    const QColor text = palette().color(QPalette::WindowText);
    painter.setBrush(mixed(window, text, 0.07));
    painter.setPen(QPen(mixed(window, text, 0.22), 1.0));
    painter.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

void BannerOverlay::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !message_.isEmpty()) {
        clear();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace orvana
