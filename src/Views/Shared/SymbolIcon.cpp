#include "Views/Shared/SymbolIcon.h"

#include <QHash>

// Resources of a static library must be registered explicitly.
static void initIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace orvana {

namespace {

struct Symbol {
    const char* themeName;
    const char* bundled;
};

const QHash<QString, Symbol>& symbols() {
    static const QHash<QString, Symbol> table{
        {QStringLiteral("sun.max"), {"weather-clear", ":/icons/sun.svg"}},
        {QStringLiteral("target"), {"orvana-target", ":/icons/target.svg"}},
        {QStringLiteral("calendar"), {"x-office-calendar", ":/icons/calendar.svg"}},
        {QStringLiteral("repeat"), {"media-playlist-repeat", ":/icons/repeat.svg"}},
        {QStringLiteral("chart.bar.xaxis"), {"office-chart-bar", ":/icons/chart.svg"}},
        {QStringLiteral("sidebar.left"), {"sidebar-show", ":/icons/sidebar.svg"}},
        // Our own theme name: themes' check emblems differ in shape and colour.
        {QStringLiteral("checkmark.circle.fill"),
         {"orvana-checkmark-circle-fill", ":/icons/checkmark-circle-fill.svg"}},
        {QStringLiteral("circle"), {"orvana-circle", ":/icons/circle.svg"}},
        {QStringLiteral("sparkles"), {"orvana-sparkles", ":/icons/sparkles.svg"}},
        {QStringLiteral("timer"), {"chronometer", ":/icons/timer.svg"}},
        {QStringLiteral("trash"), {"edit-delete", ":/icons/trash.svg"}},
        {QStringLiteral("plus"), {"list-add", ":/icons/plus.svg"}},
        {QStringLiteral("pause.fill"), {"media-playback-pause", ":/icons/pause.svg"}},
        {QStringLiteral("play.fill"), {"media-playback-start", ":/icons/play.svg"}},
        {QStringLiteral("chevron.left"), {"go-previous", ":/icons/back.svg"}},
        // Our own names: the themes have no flame, and their charts are bars.
        {QStringLiteral("flame"), {"orvana-flame", ":/icons/flame.svg"}},
        {QStringLiteral("flame.fill"), {"orvana-flame", ":/icons/flame.svg"}},
        {QStringLiteral("chart.line.uptrend.xyaxis"), {"orvana-trend", ":/icons/trend.svg"}},
        {QStringLiteral("flag"), {"flag", ":/icons/flag.svg"}},
        {QStringLiteral("bolt.fill"), {"orvana-bolt", ":/icons/bolt.svg"}},
        {QStringLiteral("exclamationmark.triangle.fill"),
         {"orvana-warning-triangle-fill", ":/icons/warning-triangle-fill.svg"}},
    };
    return table;
}

} // namespace

QIcon symbolIcon(const QString& symbol) {
    static const bool registered = (initIconResources(), true);
    (void)registered;
    const auto it = symbols().constFind(symbol);
    if (it == symbols().constEnd())
        return {};
    return QIcon::fromTheme(QLatin1String(it->themeName), QIcon(QLatin1String(it->bundled)));
}

} // namespace orvana
