#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace orvana {

class AppEnvironment;
class QuickAddModel;

// The panel's content: "Quick Add to Today" above the title field, which
// has the focus. Return saves, Escape dismisses.
class QuickAddView : public QWidget {
    Q_OBJECT
public:
    // Takes ownership of the model.
    explicit QuickAddView(QuickAddModel* model, QWidget* parent = nullptr);

    QuickAddModel* model() const { return model_; }
    QLabel* heading() const { return heading_; }
    QLineEdit* field() const { return field_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QuickAddModel* model_;
    QLabel* heading_ = nullptr;
    QLineEdit* field_ = nullptr;
};

// The one quick-add panel of the process: a small frameless window that
// stays on top of the others, about 440 x 100, centred on the screen under
// the pointer. Independent of the main window, so it works while that is
// hidden; closing it never quits the app.
//
// Every show builds a fresh, empty panel; toggle closes a visible one
// instead (the hot key's second press).
class QuickAddPanel : public QObject {
    Q_OBJECT
public:
    explicit QuickAddPanel(AppEnvironment& environment, QObject* parent = nullptr);
    ~QuickAddPanel() override;

    // The current panel; null before the first show. Kept after closing
    // until the next show replaces it.
    QuickAddView* panel() const { return panel_; }
    bool isVisible() const;

    void toggle();
    void show();
    void close();

private:
    AppEnvironment& env_;
    QPointer<QuickAddView> panel_;
};

} // namespace orvana
