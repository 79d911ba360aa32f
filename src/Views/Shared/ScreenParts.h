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

// A "Goal" picker: "None", then the goals in the order given, with
// `selected` chosen; `onPick` gets the goal picked (null for None).
QComboBox* goalPicker(const std::vector<Goal*>& goals, Goal* selected,
                      std::function<void(Goal*)> onPick);

} // namespace orvana
