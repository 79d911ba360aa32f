#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace orvana {

// The visible part of the undo banner: the message, a flexible gap and a
// button "Undo". The message is plain text (a record's title in it is never
// read as markup) and wraps when space is short.
class UndoToast : public QWidget {
    Q_OBJECT
public:
    explicit UndoToast(QWidget* parent = nullptr);

    QString message() const;
    void setMessage(const QString& message);

    // Wide enough for the message on one line; it wraps only when the banner
    // cannot be that wide.
    QSize sizeHint() const override;

    QPushButton* undoButton() const { return undoButton_; }

signals:
    void undoClicked();

private:
    QLabel* message_ = nullptr;
    QPushButton* undoButton_ = nullptr;
};

} // namespace orvana
