#pragma once

#include "Views/AI/AIReviewSectionModel.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace orvana {

class BusyIndicator;

// The "AI Review" block that goal details and the weekly ritual embed: the
// button, the hosted-reviewer footnote, the last error and the critique.
class AIReviewSectionView : public QWidget {
    Q_OBJECT
public:
    AIReviewSectionView(QString text, AIReviewEnvironment environment, QWidget* parent = nullptr);

    AIReviewSectionModel* model() const { return model_; }
    QPushButton* reviewButton() const { return button_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void render();
    void renderResult();

    AIReviewSectionModel* model_;
    QPushButton* button_;
    BusyIndicator* busy_;
    QLabel* footnote_;
    QLabel* error_;
    QWidget* resultBox_;
    QVBoxLayout* resultLayout_;
    QList<AIReviewSectionModel::Line> shownLines_;
    bool returnFocus_ = false;
};

} // namespace orvana
