#pragma once

#include <QMainWindow>

class QAction;
class QListWidget;
class QStackedWidget;

namespace orvana {

class ModelContext;

// The main window: a sidebar of sections and the selected section's screen.
// When it is first shown it gives the store its undo manager, so changes made
// from then on can be undone from the Edit menu.
class ContentView : public QMainWindow {
    Q_OBJECT
public:
    explicit ContentView(ModelContext& context, QWidget* parent = nullptr);

    QAction* undoAction() const { return undoAction_; }
    QAction* redoAction() const { return redoAction_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void mainNavigationAppeared();
    void updateUndoActions();

    ModelContext& context_;
    QListWidget* sidebar_ = nullptr;
    QStackedWidget* detail_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    bool appeared_ = false;
};

} // namespace orvana
