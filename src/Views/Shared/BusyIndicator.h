#pragma once

#include <QWidget>

class QVariantAnimation;

namespace orvana {

// A small spinning arc for work of unknown length, one text line high. It
// spins only while visible.
class BusyIndicator : public QWidget {
    Q_OBJECT
public:
    explicit BusyIndicator(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QVariantAnimation* animation_;
    int angle_ = 0;
};

} // namespace orvana
