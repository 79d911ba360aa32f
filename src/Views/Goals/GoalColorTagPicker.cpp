#include "Views/Goals/GoalColorTagPicker.h"

#include "Views/Goals/GoalLabels.h"
#include "Views/Shared/TagColors.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

namespace orvana {

namespace {

std::optional<GoalColorTag> tagAt(int index) {
    if (index <= 0)
        return std::nullopt;
    return allGoalColorTags[std::size_t(index - 1)];
}

} // namespace

class ColorSwatch : public QAbstractButton {
public:
    ColorSwatch(GoalColorTagPicker* picker, int index) : picker_(picker), index_(index) {
        setCheckable(true);
        setAutoExclusive(true); // one of nine: read as radio buttons
        setAccessibleName(colorTagLabel(tagAt(index)));
        setToolTip(accessibleName());
        setCursor(Qt::PointingHandCursor);
    }

    QSize sizeHint() const override {
        const int d = fontMetrics().height() * 3 / 2 + 8;
        return {d, d};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -1);
        const qreal side = std::min(box.width(), box.height());
        const QRectF outer(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
        const QRectF dot = outer.adjusted(5, 5, -5, -5);
        const std::optional<GoalColorTag> tag = tagAt(index_);
        if (tag) {
            p.setPen(Qt::NoPen);
            p.setBrush(tagColor(rawValue(*tag), palette()));
            p.drawEllipse(dot);
        } else {
            // "None": an empty circle struck through.
            const QColor line = palette().color(QPalette::PlaceholderText);
            p.setPen(QPen(line, 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(dot.adjusted(0.75, 0.75, -0.75, -0.75));
            const qreal inset = dot.width() * 0.22;
            p.drawLine(dot.bottomLeft() + QPointF(inset, -inset),
                       dot.topRight() + QPointF(-inset, inset));
        }
        if (isChecked()) {
            p.setPen(QPen(palette().color(QPalette::WindowText), 2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(outer.adjusted(2, 2, -2, -2));
        }
        if (hasFocus()) {
            QPen pen(palette().color(QPalette::Highlight), 2, Qt::DotLine);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(outer.adjusted(0.5, 0.5, -0.5, -0.5));
        }
    }

    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            picker_->moveFocus(
                index_,
                layoutDirection() == Qt::RightToLeft && event->key() == Qt::Key_Left ? 1 : -1);
            return;
        case Qt::Key_Right:
        case Qt::Key_Down:
            picker_->moveFocus(
                index_,
                layoutDirection() == Qt::RightToLeft && event->key() == Qt::Key_Right ? -1 : 1);
            return;
        case Qt::Key_Home:
            picker_->moveFocus(index_, -index_);
            return;
        case Qt::Key_End:
            picker_->moveFocus(index_, int(allGoalColorTags.size()) - index_);
            return;
        default:
            QAbstractButton::keyPressEvent(event);
        }
    }

    // A click on the chosen swatch keeps it chosen.
    void nextCheckState() override { setChecked(true); }

private:
    GoalColorTagPicker* picker_;
    int index_;
};

GoalColorTagPicker::GoalColorTagPicker(QWidget* parent) : QWidget(parent) {
    setAccessibleName(tr("Color"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i <= int(allGoalColorTags.size()); ++i) {
        auto* swatch = new ColorSwatch(this, i);
        connect(swatch, &QAbstractButton::clicked, this, [this, i] {
            setSelection(tagAt(i));
            emit picked(tagAt(i));
        });
        swatches_.push_back(swatch);
        layout->addWidget(swatch);
    }
    layout->addStretch(1);
    setFocusProxy(swatches_.front());
    setSelection(std::nullopt);
}

void GoalColorTagPicker::setSelection(std::optional<GoalColorTag> tag) {
    selection_ = tag;
    for (std::size_t i = 0; i < swatches_.size(); ++i) {
        const bool chosen = tagAt(int(i)) == tag;
        swatches_[i]->setChecked(chosen);
        // One tab stop for the whole row: the chosen swatch.
        swatches_[i]->setFocusPolicy(chosen ? Qt::StrongFocus : Qt::ClickFocus);
        if (chosen)
            setFocusProxy(swatches_[i]);
    }
}

QAbstractButton* GoalColorTagPicker::swatch(std::optional<GoalColorTag> tag) const {
    const std::size_t index = tag ? std::size_t(*tag) + 1 : 0;
    return swatches_[index];
}

void GoalColorTagPicker::moveFocus(int from, int delta) {
    const int to = std::clamp(from + delta, 0, int(swatches_.size()) - 1);
    swatches_[std::size_t(to)]->setFocus(Qt::TabFocusReason);
}

} // namespace orvana
