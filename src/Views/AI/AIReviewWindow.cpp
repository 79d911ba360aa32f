#include "Views/AI/AIReviewWindow.h"

#include "Views/AI/AIReviewSectionView.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace orvana {

AIReviewWindow::AIReviewWindow(AIReviewEnvironment environment, QWidget* parent)
    : QDialog(parent), editor_(new QPlainTextEdit),
      section_(new AIReviewSectionView(QString(), environment)) {
    setWindowTitle(tr("AI Review"));
    resize(520, 480);

    auto* prompt = new QLabel(tr("Goal or weekly plan to review:"));
    prompt->setBuddy(editor_);
    editor_->setPlaceholderText(tr("For example: Run a half marathon by May — three runs a week."));
    editor_->setTabChangesFocus(true);
    editor_->setAccessibleName(tr("Text to review"));
    connect(editor_, &QPlainTextEdit::textChanged, this,
            [this] { section_->model()->setText(editor_->toPlainText()); });

    // A long critique scrolls instead of growing the window off screen. The
    // section stays at the top, and Tab goes from the editor straight to
    // the button.
    auto* content = new QWidget;
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->addWidget(section_);
    contentLayout->addStretch();
    auto* scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(editor_, 2);
    layout->addWidget(scroll, 3);
    layout->addWidget(buttons);
    editor_->setFocus();
}

} // namespace orvana
