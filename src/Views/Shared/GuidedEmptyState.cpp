#include "Views/Shared/GuidedEmptyState.h"

#include "Services/Preferences.h"
#include "Views/Shared/SymbolIconLabel.h"

#include <QLabel>
#include <QVBoxLayout>

namespace orvana {

GuidedEmptyState::GuidedEmptyState(const QString& title, const QString& symbol,
                                   const QString& description, Preferences& preferences,
                                   QWidget* parent)
    : QWidget(parent), preferences_(preferences) {
    auto* icon = new SymbolIconLabel(symbol, 3.0);
    icon->setObjectName(QStringLiteral("icon"));

    auto* heading = new QLabel(title);
    heading->setObjectName(QStringLiteral("title"));
    heading->setTextFormat(Qt::PlainText);
    heading->setWordWrap(true);
    heading->setAlignment(Qt::AlignCenter);
    QFont font = heading->font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 1.3);
    else
        font.setPixelSize(font.pixelSize() * 13 / 10);
    font.setBold(true);
    heading->setFont(font);

    description_ = new QLabel(description);
    description_->setObjectName(QStringLiteral("description"));
    description_->setTextFormat(Qt::PlainText);
    description_->setWordWrap(true);
    description_->setAlignment(Qt::AlignCenter);
    description_->setForegroundRole(QPalette::PlaceholderText);

    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    layout->addWidget(heading);
    layout->addWidget(description_);
    layout->addStretch(1);

    followPreference();
    connect(&preferences_, &Preferences::valueChanged, this, [this](const QString& key) {
        if (key == QLatin1String(PreferenceKeys::showGuidanceTips.name))
            followPreference();
    });
}

void GuidedEmptyState::followPreference() {
    description_->setVisible(preferences_.value(PreferenceKeys::showGuidanceTips));
}

} // namespace orvana
