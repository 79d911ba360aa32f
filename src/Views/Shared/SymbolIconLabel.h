#pragma once

#include <QIcon>
#include <QWidget>

namespace orvana {

// A decorative symbol (see symbolIcon()) drawn at a size measured in lines of
// the widget's font, so it grows with the font and the display scale and stays
// sharp on any screen. An unknown symbol draws nothing and takes no space.
class SymbolIconLabel : public QWidget {
    Q_OBJECT
public:
    SymbolIconLabel(const QString& symbol, qreal sizeInLines, QWidget* parent = nullptr);

    bool isNull() const { return icon_.isNull(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon icon_;
    qreal sizeInLines_;
};

} // namespace orvana
