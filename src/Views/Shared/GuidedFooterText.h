#pragma once

#include <QLabel>

namespace orvana {

class Preferences;

// One explanatory sentence under a section, in a small secondary style. It is
// guidance: while the showGuidanceTips preference is off the label is hidden
// (and takes no room in a layout); it follows the preference at once. Its
// visibility belongs to the preference, so owners should not hide or show it.
//
// `preferences` must outlive the widget.
class GuidedFooterText : public QLabel {
    Q_OBJECT
public:
    GuidedFooterText(const QString& text, Preferences& preferences, QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;

private:
    void followPreference();

    Preferences& preferences_;
};

} // namespace orvana
