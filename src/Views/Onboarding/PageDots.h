#pragma once

#include <QWidget>

namespace orvana {

// A row of small dots, one per page, the current one in the accent colour
// and the others dimmed. Decorative for the mouse; a screen reader gets its
// accessible name and description ("Page 2 of 4") from the owner.
class PageDots : public QWidget {
    Q_OBJECT
public:
    explicit PageDots(int count, QWidget* parent = nullptr);

    int count() const { return count_; }
    int current() const { return current_; }
    void setCurrent(int index);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Measured in the font, so the dots grow with it and the display scale.
    qreal diameter() const;

    int count_;
    int current_ = 0;
};

} // namespace orvana
