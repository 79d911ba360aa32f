#pragma once

#include "Models/Enums.h"

#include <QWidget>
#include <optional>
#include <vector>

class QAbstractButton;

namespace orvana {

// The "Color" picker of the goal form and detail: a round swatch for no tag,
// then one per tag in declaration order, the chosen one marked. Each swatch
// is named by its label for screen readers. The arrow keys move between the
// swatches, Space (or a click) chooses; Tab enters at the chosen swatch.
class GoalColorTagPicker : public QWidget {
    Q_OBJECT
public:
    explicit GoalColorTagPicker(QWidget* parent = nullptr);

    std::optional<GoalColorTag> selection() const { return selection_; }
    // Shows `tag` as chosen without reporting it.
    void setSelection(std::optional<GoalColorTag> tag);

    // The swatch of `tag` (nullopt: "None").
    QAbstractButton* swatch(std::optional<GoalColorTag> tag) const;

signals:
    // The user chose a swatch (also the one already chosen).
    void picked(std::optional<GoalColorTag> tag);

private:
    friend class ColorSwatch;
    void moveFocus(int from, int delta);

    std::vector<QAbstractButton*> swatches_; // "None" first
    std::optional<GoalColorTag> selection_;
};

} // namespace orvana
