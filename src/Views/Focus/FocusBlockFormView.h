#pragma once

#include <QDialog>
#include <array>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimeEdit;

namespace orvana {

class AppEnvironment;
class FocusBlockFormModel;

// The recurring block form ("New Recurring Block" / "Edit Recurring Block")
// over a FocusBlockFormModel. Return saves (when Save is enabled), Escape
// cancels.
class FocusBlockFormView : public QDialog {
    Q_OBJECT
public:
    // Takes ownership of the model.
    FocusBlockFormView(FocusBlockFormModel* model, AppEnvironment& environment,
                       QWidget* parent = nullptr);

    FocusBlockFormModel* model() const { return model_; }
    QLineEdit* titleField() const { return title_; }
    // Weekday 1 = Sunday ... 7 = Saturday.
    QAbstractButton* weekdayToggle(int weekday) const { return days_.at(std::size_t(weekday - 1)); }
    QTimeEdit* timeField() const { return time_; }
    QSpinBox* durationField() const { return duration_; }
    QComboBox* goalPicker() const { return goal_; }
    QPushButton* saveButton() const { return save_; }

    void accept() override;

private:
    void render();

    FocusBlockFormModel* model_;
    QLineEdit* title_ = nullptr;
    std::array<QAbstractButton*, 7> days_{};
    QTimeEdit* time_ = nullptr;
    QSpinBox* duration_ = nullptr;
    QComboBox* goal_ = nullptr;
    QPushButton* save_ = nullptr;
};

} // namespace orvana
