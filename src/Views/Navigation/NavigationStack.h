#pragma once

#include <QWidget>

class QLabel;
class QStackedWidget;
class QToolButton;

namespace orvana {

// One section's stack of pages: its screen at the bottom, detail pages
// pushed above it (goal detail, week detail). While a detail page shows, a
// header offers "Back" (also Alt+Left), which removes and deletes the page.
class NavigationStack : public QWidget {
    Q_OBJECT
public:
    // Takes ownership of the section's screen.
    explicit NavigationStack(QWidget* root, QWidget* parent = nullptr);

    void push(QWidget* page, const QString& title);
    // A page's title follows what it shows (a goal renamed in its detail).
    void setPageTitle(QWidget* page, const QString& title);
    // Does nothing at the root.
    void pop();

    int depth() const;
    QWidget* root() const { return root_; }
    QWidget* currentPage() const;
    // The title in the header; empty at the root.
    QString currentTitle() const { return titles_.isEmpty() ? QString() : titles_.last(); }
    QToolButton* backButton() const { return back_; }

signals:
    void depthChanged(int depth);

private:
    void updateHeader();

    QWidget* root_;
    QWidget* header_ = nullptr;
    QToolButton* back_ = nullptr;
    QLabel* title_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QStringList titles_;
};

} // namespace orvana
