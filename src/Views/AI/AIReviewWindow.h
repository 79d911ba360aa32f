#pragma once

#include "Views/AI/AIReviewSectionModel.h"

#include <QDialog>

class QPlainTextEdit;

namespace orvana {

class AIReviewSectionView;

// A window to have any planning text critiqued: an editor above the review
// section, which always reviews what the editor holds.
class AIReviewWindow : public QDialog {
    Q_OBJECT
public:
    explicit AIReviewWindow(AIReviewEnvironment environment, QWidget* parent = nullptr);

    QPlainTextEdit* editor() const { return editor_; }
    AIReviewSectionView* section() const { return section_; }

private:
    QPlainTextEdit* editor_;
    AIReviewSectionView* section_;
};

} // namespace orvana
