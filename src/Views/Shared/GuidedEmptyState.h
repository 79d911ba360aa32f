#pragma once

#include <QWidget>

class QLabel;

namespace orvana {

class Preferences;

// What a list shows when it has nothing to show: a symbol, a title and a
// description, centred. The description is guidance: it is shown only while
// the showGuidanceTips preference is on and follows the preference at once.
// Child object names: "icon", "title", "description".
//
// `preferences` must outlive the widget.
class GuidedEmptyState : public QWidget {
    Q_OBJECT
public:
    GuidedEmptyState(const QString& title, const QString& symbol, const QString& description,
                     Preferences& preferences, QWidget* parent = nullptr);

private:
    void followPreference();

    Preferences& preferences_;
    QLabel* description_ = nullptr;
};

} // namespace orvana
