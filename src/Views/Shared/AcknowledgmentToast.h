#pragma once

#include <QWidget>

class QLabel;

namespace orvana {

// The visible part of the acknowledgment banner: a filled check mark and the
// message (plain text, wrapping when space is short). It has no button.
class AcknowledgmentToast : public QWidget {
    Q_OBJECT
public:
    explicit AcknowledgmentToast(QWidget* parent = nullptr);

    QString message() const;
    void setMessage(const QString& message);

    // Wide enough for the message on one line; it wraps only when the banner
    // cannot be that wide.
    QSize sizeHint() const override;

private:
    QLabel* message_ = nullptr;
};

} // namespace orvana
