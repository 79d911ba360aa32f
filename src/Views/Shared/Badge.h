#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPalette>

class QPainter;

namespace orvana {

// The small rounded badges of rows and headers ("Paused", "Completed",
// "3d left"): outlined text in a slightly smaller font.
class BadgeStyle {
public:
    explicit BadgeStyle(const QFont& base);

    int width(const QString& text) const;
    int height() const;
    // Paints the badge starting at `left`, centred on `centerY`.
    void paint(QPainter* painter, int left, int centerY, const QString& text,
               const QColor& color) const;
    // Paints it ending at `right`; returns its left edge.
    int paintRightAligned(QPainter* painter, int right, int centerY, const QString& text,
                          const QColor& color) const;

private:
    QFont font_;
};

// One badge as a label, for headers (read as text by screen readers).
class BadgeLabel : public QLabel {
    Q_OBJECT
public:
    explicit BadgeLabel(QWidget* parent = nullptr);

    // An invalid colour: the secondary text colour.
    void setColor(const QColor& color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
};

} // namespace orvana
