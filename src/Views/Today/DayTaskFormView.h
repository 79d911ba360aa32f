#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvana {

class AppEnvironment;
class DayTaskFormModel;

// The task form ("New Task" / "Edit Task") over a DayTaskFormModel. Return
// saves (when Save is enabled), Escape cancels.
class DayTaskFormView : public QDialog {
    Q_OBJECT
public:
    // Takes ownership of the model.
    DayTaskFormView(DayTaskFormModel* model, AppEnvironment& environment,
                    QWidget* parent = nullptr);

    DayTaskFormModel* model() const { return model_; }
    QLineEdit* titleField() const { return title_; }
    QDateEdit* dateField() const { return date_; }
    QComboBox* goalPicker() const { return goal_; }
    QCheckBox* oneThingToggle() const { return oneThing_; }
    QCheckBox* reminderToggle() const { return reminder_; }
    QDateTimeEdit* reminderField() const { return reminderTime_; }
    QPushButton* saveButton() const { return save_; }

    void accept() override;

private:
    void render();

    DayTaskFormModel* model_;
    AppEnvironment& env_;
    QLineEdit* title_ = nullptr;
    QDateEdit* date_ = nullptr;
    QComboBox* goal_ = nullptr;
    QCheckBox* oneThing_ = nullptr;
    QCheckBox* reminder_ = nullptr;
    QLabel* reminderLabel_ = nullptr;
    QDateTimeEdit* reminderTime_ = nullptr;
    QLabel* error_ = nullptr;
    QPushButton* save_ = nullptr;
};

} // namespace orvana
