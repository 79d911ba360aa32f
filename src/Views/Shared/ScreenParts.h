#pragma once

#include <QString>
#include <functional>
#include <vector>

class QComboBox;
class QKeySequence;
class QWidget;
class QLabel;
class QLineEdit;
class QToolButton;

namespace orvana {

class Goal;

// Pieces every screen and form builds the same way.

// The large bold title at the top of a section's screen.
QLabel* screenTitle(const QString& text);

// A search field with its prompt and a clear button, both named for
// screen readers.
QLineEdit* searchField(const QString& prompt);

// A key that works wherever the focus is on `screen` (Ctrl+N, Ctrl+F).
void addScreenKey(QWidget* screen, const QKeySequence& key, std::function<void()> action);

// The screen's "Add …" button (icon and text; the tool tip names Ctrl+N).
QToolButton* addButton(const QString& text);

// A "Goal" picker holding "None" until showGoals() fills it; `onPick` gets
// the goal picked (null for None).
QComboBox* goalPicker(std::function<void(Goal*)> onPick);

// Shows "None", then `goals` in the order given, with `selected` chosen. The
// items are made anew only when the goals or their titles changed (a goal
// added or renamed while a form is open); neither counts as a pick.
void showGoals(QComboBox* picker, const std::vector<Goal*>& goals, Goal* selected);

} // namespace orvana
