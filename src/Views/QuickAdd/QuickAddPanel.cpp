#include "Views/QuickAdd/QuickAddPanel.h"

#include "Views/QuickAdd/QuickAddModel.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace orvana {

QuickAddView::QuickAddView(QuickAddModel* model, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint),
      model_(model) {
    model_->setParent(this);
    setWindowTitle(QuickAddModel::heading());
    setAccessibleName(QuickAddModel::heading());
    // Not an app window: closing it with the main window hidden must not quit.
    setAttribute(Qt::WA_QuitOnClose, false);

    heading_ = new QLabel(QuickAddModel::heading());
    QFont bold = heading_->font();
    bold.setWeight(QFont::DemiBold);
    heading_->setFont(bold);

    field_ = new QLineEdit;
    field_->setPlaceholderText(QuickAddModel::placeholder());
    field_->setAccessibleName(QuickAddModel::heading());
    field_->setAccessibleDescription(QuickAddModel::placeholder());
    field_->setClearButtonEnabled(true);
    heading_->setBuddy(field_);
    connect(field_, &QLineEdit::textChanged, model_, &QuickAddModel::setTitle);
    connect(field_, &QLineEdit::returnPressed, model_, &QuickAddModel::save);

    auto* escape = new QAction(tr("Close"), this);
    escape->setShortcut(Qt::Key_Escape);
    escape->setShortcutContext(Qt::WindowShortcut);
    connect(escape, &QAction::triggered, model_, &QuickAddModel::dismiss);
    addAction(escape);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(8);
    layout->addStretch();
    layout->addWidget(heading_);
    layout->addWidget(field_);
    layout->addStretch();
}

void QuickAddView::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    // Without a title bar, a thin line between the window and text colours
    // sets the panel off from the window behind it, light or dark.
    const QColor window = palette().color(QPalette::Window);
    const QColor text = palette().color(QPalette::WindowText);
    constexpr qreal amount = 0.3;
    const QColor line =
        QColor::fromRgbF(window.redF() + (text.redF() - window.redF()) * amount,
                         window.greenF() + (text.greenF() - window.greenF()) * amount,
                         window.blueF() + (text.blueF() - window.blueF()) * amount);
    QPainter painter(this);
    painter.setPen(line);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void QuickAddView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    field_->setFocus(Qt::ActiveWindowFocusReason);
}

QuickAddPanel::QuickAddPanel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment) {}

QuickAddPanel::~QuickAddPanel() {
    delete panel_;
}

bool QuickAddPanel::isVisible() const {
    return panel_ && panel_->isVisible();
}

void QuickAddPanel::toggle() {
    if (isVisible())
        close();
    else
        show();
}

void QuickAddPanel::show() {
    if (panel_) {
        panel_->close();
        panel_->deleteLater();
    }
    auto* model = new QuickAddModel(env_);
    auto* panel = new QuickAddView(model);
    panel_ = panel;
    connect(model, &QuickAddModel::dismissed, panel, &QWidget::close);

    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    panel->resize(QSize(440, 100).expandedTo(panel->minimumSizeHint()));
    if (screen) {
        panel->setScreen(screen);
        QRect frame = panel->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        panel->move(frame.topLeft());
    }
    panel->show();
    panel->raise();
    // The field takes the typing straight away, whichever app was in front.
    panel->activateWindow();
}

void QuickAddPanel::close() {
    if (panel_)
        panel_->close();
}

} // namespace orvana
