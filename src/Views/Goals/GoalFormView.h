#pragma once

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orvana {

class AppEnvironment;
class GoalColorTagPicker;
class GoalFormModel;

// "New Goal" over a GoalFormModel, shown window-modal by the goal list and
// the intro. Return in the title does nothing (a goal is worth a second
// look); Ctrl+Return or Save saves, Escape cancels.
class GoalFormView : public QDialog {
    Q_OBJECT
public:
    // Takes ownership of the model.
    GoalFormView(GoalFormModel* model, AppEnvironment& environment, QWidget* parent = nullptr);

    GoalFormModel* model() const { return model_; }
    QLineEdit* titleField() const { return title_; }
    QPlainTextEdit* descriptionField() const { return description_; }
    QCheckBox* targetDateToggle() const { return hasTarget_; }
    QDateEdit* targetDateField() const { return target_; }
    GoalColorTagPicker* colorPicker() const { return color_; }
    QPushButton* saveButton() const { return save_; }

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void render();

    GoalFormModel* model_;
    AppEnvironment& env_;
    QLineEdit* title_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
    QCheckBox* hasTarget_ = nullptr;
    QLabel* targetLabel_ = nullptr;
    QDateEdit* target_ = nullptr;
    GoalColorTagPicker* color_ = nullptr;
    QPushButton* save_ = nullptr;
};

} // namespace orvana
