#pragma once

#include <QLocale>
#include <QString>

namespace orvana {

// A list screen's search: does a title contain the search text, compared
// case-insensitively under the user's locale? The text is used as typed
// (untrimmed); an empty search matches everything.
class SearchMatcher {
public:
    explicit SearchMatcher(const QString& search) : needle_(locale_.toLower(search)) {}

    bool matches(const QString& text) const {
        return needle_.isEmpty() || locale_.toLower(text).contains(needle_);
    }

private:
    QLocale locale_;
    QString needle_;
};

} // namespace orvana
