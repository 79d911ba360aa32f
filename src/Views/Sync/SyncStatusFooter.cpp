#include "Views/Sync/SyncStatusFooter.h"

#include "Services/AppEnvironment.h"
#include "Sync/SyncController.h"
#include "Views/Shared/RowPainting.h"
#include "Views/Shared/StatusColors.h"
#include "Views/Sync/SyncStatusText.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvana {

namespace {

// A flat button that reads as a link in the sidebar, reached by Tab.
QPushButton* linkButton() {
    auto* button = new QPushButton;
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("text-align: left; padding: 1px 2px;"));
    button->setFont(smallerFont(button->font()));
    return button;
}

} // namespace

SyncStatusFooter::SyncStatusFooter(AppEnvironment& environment, QWidget* parent)
    : QWidget(parent), env_(environment), sync_(SyncController::of(environment)) {
    setObjectName(QStringLiteral("SyncStatusFooter"));
    status_ = new QLabel;
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);
    status_->setFont(smallerFont(status_->font()));
    status_->setAccessibleName(tr("Sync status"));
    progress_ = new QProgressBar;
    progress_->setTextVisible(false);
    progress_->setMaximumHeight(6);
    progress_->setAccessibleName(tr("Records sent"));
    retry_ = new QPushButton(tr("Retry"));
    retry_->setAccessibleName(tr("Retry"));
    retry_->setToolTip(tr("Sync again now"));
    conflicts_ = linkButton();
    deleted_ = linkButton();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(2);
    layout->addWidget(status_);
    layout->addWidget(progress_);
    layout->addWidget(retry_, 0, Qt::AlignLeft);
    layout->addWidget(conflicts_);
    layout->addWidget(deleted_);

    connect(retry_, &QPushButton::clicked, &sync_, &SyncController::syncNow);
    connect(conflicts_, &QPushButton::clicked, this, &SyncStatusFooter::conflictsWanted);
    connect(deleted_, &QPushButton::clicked, this, &SyncStatusFooter::deletedWanted);
    connect(&sync_, &SyncController::changed, this, &SyncStatusFooter::render);
    tick_.setInterval(30'000);
    connect(&tick_, &QTimer::timeout, this, &SyncStatusFooter::render);
    tick_.start();
    render();
}

void SyncStatusFooter::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        render();
}

QString SyncStatusFooter::conflictsText(qint64 count) {
    return tr("%n conflicts", nullptr, int(count));
}

QString SyncStatusFooter::deletedText(qint64 count) {
    return tr("%n deleted on another device", nullptr, int(count));
}

void SyncStatusFooter::render() {
    using Phase = SyncController::Phase;
    const Phase phase = sync_.phase();
    setVisible(phase != Phase::off);
    if (phase == Phase::off)
        return;
    const QString line = syncStatusLine(sync_, env_.now());
    status_->setText(line);
    status_->setToolTip(phase == Phase::failed ? sync_.error() : QString());
    // The window's own text colour when all is well: the secondary colour
    // is too faint on the sidebar's background in a dark palette.
    QPalette palette = this->palette();
    if (phase == Phase::failed)
        palette.setColor(QPalette::WindowText, cautionColor(palette));
    status_->setPalette(palette);

    const SyncController::Progress sent = sync_.progress();
    progress_->setVisible(phase == Phase::syncing);
    progress_->setRange(0, sent.of > 0 ? int(std::min<qint64>(sent.of, INT_MAX)) : 0);
    if (sent.of > 0)
        progress_->setValue(int(std::min(sent.sent, sent.of)));
    retry_->setVisible(phase == Phase::failed);

    // In the accent colour, following a change of the desktop's palette.
    QPalette links = this->palette();
    links.setColor(QPalette::ButtonText, links.color(QPalette::Highlight));
    conflicts_->setPalette(links);
    deleted_->setPalette(links);

    const qint64 conflicts = sync_.conflictCount();
    conflicts_->setText(conflictsText(conflicts));
    conflicts_->setAccessibleName(conflictsText(conflicts));
    conflicts_->setToolTip(tr("Show the sync conflicts"));
    conflicts_->setVisible(conflicts > 0);
    const qint64 deleted = sync_.deletedCount();
    deleted_->setText(deletedText(deleted));
    deleted_->setAccessibleName(deletedText(deleted));
    deleted_->setToolTip(tr("Show the records deleted on another device"));
    deleted_->setVisible(deleted > 0);
}

} // namespace orvana
