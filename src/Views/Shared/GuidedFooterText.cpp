#include "Views/Shared/GuidedFooterText.h"

#include "Services/Preferences.h"
#include "Views/Shared/RowPainting.h"

#include <QEvent>

#include <algorithm>

namespace orvana {

GuidedFooterText::GuidedFooterText(const QString& text, Preferences& preferences, QWidget* parent)
    : QLabel(text, parent), preferences_(preferences) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setForegroundRole(QPalette::PlaceholderText);
    setFont(smallerFont(font()));

    followPreference();
    connect(&preferences_, &Preferences::valueChanged, this, [this](const QString& key) {
        if (key == QLatin1String(PreferenceKeys::showGuidanceTips.name))
            followPreference();
    });
}

bool GuidedFooterText::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange)
        followPreference();
    return QLabel::event(event);
}

void GuidedFooterText::followPreference() {
    if (!preferences_.value(PreferenceKeys::showGuidanceTips))
        hide();
    else if (!isWindow())
        show();
    // A label without a parent waits for one (ParentChange): showing it now
    // would open it as a window of its own.
}

} // namespace orvana
