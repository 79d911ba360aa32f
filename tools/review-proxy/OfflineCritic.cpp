#include "OfflineCritic.h"

#include <QRegularExpression>

namespace orvana::proxy {

namespace {

QRegularExpression regex(const char* pattern) {
    return QRegularExpression(QLatin1String(pattern),
                              QRegularExpression::UseUnicodePropertiesOption);
}

bool hasMatch(const char* pattern, const QString& text) {
    return regex(pattern).match(text).hasMatch();
}

double statedHours(const QString& text) {
    static const QRegularExpression amount =
        regex(R"((\d+(?:\.\d+)?)\s*(h|hrs?|hours?|min|mins|minutes?)\b)");
    double hours = 0;
    for (auto it = amount.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const double value = m.captured(1).toDouble();
        hours += m.captured(2).startsWith(QLatin1Char('m')) ? value / 60 : value;
    }
    return hours;
}

qsizetype itemCount(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    if (lines.size() != 1)
        return lines.size();
    QStringList parts = lines.first().split(regex("[,;]"));
    parts.removeIf([](const QString& part) { return part.trimmed().isEmpty(); });
    return parts.size();
}

} // namespace

AIReviewResult critique(const QString& original) {
    const QString text = original.toLower();
    const bool hasNumber = hasMatch(
        R"(\d|%|\b(one|two|three|four|five|six|seven|eight|nine|ten|eleven|twelve|twice)\b)", text);
    const bool hasDeadline = hasMatch(
        R"(\b(by|before) (monday|tuesday|wednesday|thursday|friday|saturday|sunday|january|)"
        R"(february|march|april|may|june|july|august|september|october|november|december|)"
        R"(tomorrow|tonight|the end of)\b)",
        text);
    const bool hedges = hasMatch(
        R"(\b(more|better|some|maybe|try|trying|improve|get into|work on|someday|stuff|things|)"
        R"(somehow|eventually|perhaps|hopefully|a bit|kind of|sort of|a lot)\b)",
        text);
    const qsizetype wordCount = text.split(regex(R"([^\p{L}\p{N}']+)"), Qt::SkipEmptyParts).size();
    const bool daily = hasMatch(R"(\b(every ?day|daily|each day|per day|a day)\b)", text);
    const qsizetype items = itemCount(text);
    const bool tooManyHours = daily && statedHours(text) > 8;

    AIReviewResult result;
    result.isMeasurable = hasNumber || hasDeadline;
    result.isVague = !result.isMeasurable && (hedges || wordCount < 3);
    result.isOvercommitted =
        items > 7 || (daily && items >= 4) || tooManyHours || text.size() > 2000;

    QStringList& s = result.suggestions;
    if (result.isVague)
        s << QStringLiteral("Say what \"done\" looks like in one sentence.");
    if (!result.isMeasurable)
        s << QStringLiteral("Add a number you can check, such as how many or by when.");
    if (tooManyHours)
        s << QStringLiteral("Plan fewer hours a day than you have free, and leave room for the "
                            "unexpected.");
    else if (result.isOvercommitted)
        s << QStringLiteral("Cut the list to the three items that matter most this week.");
    if (result.isMeasurable && !hasDeadline)
        s << QStringLiteral("Add a deadline, such as \"by Friday\".");
    if (s.isEmpty())
        s << QStringLiteral("Block time in your calendar for the first step.");
    s = s.mid(0, 3);
    return result;
}

} // namespace orvana::proxy
