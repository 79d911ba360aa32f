#include "Views/Navigation/NavigationStack.h"

#include "Views/Shared/SymbolIcon.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace orvana {

NavigationStack::NavigationStack(QWidget* root, QWidget* parent) : QWidget(parent), root_(root) {
    header_ = new QWidget;
    back_ = new QToolButton;
    back_->setIcon(symbolIcon(QStringLiteral("chevron.left")));
    back_->setText(tr("Back"));
    back_->setAccessibleName(tr("Back"));
    back_->setToolTip(tr("Back (Alt+Left)"));
    back_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    back_->setAutoRaise(true);
    connect(back_, &QToolButton::clicked, this, &NavigationStack::pop);
    title_ = new QLabel;
    title_->setTextFormat(Qt::PlainText);
    QFont font = title_->font();
    font.setBold(true);
    title_->setFont(font);
    auto* headerLayout = new QHBoxLayout(header_);
    headerLayout->setContentsMargins(6, 4, 6, 0);
    headerLayout->addWidget(back_);
    headerLayout->addWidget(title_, 1);

    pages_ = new QStackedWidget;
    pages_->addWidget(root_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header_);
    layout->addWidget(pages_, 1);

    auto* backKey = new QAction(this);
    backKey->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    backKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(backKey, &QAction::triggered, this, &NavigationStack::pop);
    addAction(backKey);
    updateHeader();
}

void NavigationStack::push(QWidget* page, const QString& title) {
    pages_->addWidget(page);
    titles_ << title;
    pages_->setCurrentWidget(page);
    updateHeader();
    page->setFocus();
    emit depthChanged(depth());
}

void NavigationStack::setPageTitle(QWidget* page, const QString& title) {
    const int index = pages_->indexOf(page) - 1; // the root has no title
    if (index < 0 || index >= titles_.size())
        return;
    titles_[index] = title;
    updateHeader();
}

void NavigationStack::pop() {
    if (pages_->count() <= 1)
        return;
    QWidget* page = pages_->widget(pages_->count() - 1);
    pages_->removeWidget(page);
    page->deleteLater();
    titles_.removeLast();
    pages_->setCurrentIndex(pages_->count() - 1);
    updateHeader();
    pages_->currentWidget()->setFocus();
    emit depthChanged(depth());
}

int NavigationStack::depth() const {
    return pages_->count();
}

QWidget* NavigationStack::currentPage() const {
    return pages_->currentWidget();
}

void NavigationStack::updateHeader() {
    header_->setVisible(pages_->count() > 1);
    title_->setText(titles_.isEmpty() ? QString() : titles_.last());
}

} // namespace orvana
