#pragma once

#include <QObject>
#include <QString>

namespace orvana {

class AppEnvironment;
class DayTask;
class DayTaskFormModel;

// The quick-add panel without widgets: one title field; save puts the
// trimmed title on today's list (a plain task: no goal, no reminder, not the
// one thing, sort order 0) and saves the store right away; a blank title
// creates nothing. Save and dismiss both end with `dismissed`, which closes
// the panel. One model per panel: a new panel starts empty.
class QuickAddModel : public QObject {
    Q_OBJECT
public:
    explicit QuickAddModel(AppEnvironment& environment, QObject* parent = nullptr);
    ~QuickAddModel() override;

    static QString heading();
    static QString placeholder();

    const QString& title() const { return title_; }
    void setTitle(const QString& title);

    // The task the save created; null before, and after a blank save.
    DayTask* createdTask() const { return created_; }

    void save();
    void dismiss();

signals:
    void dismissed();

private:
    AppEnvironment& env_;
    QString title_;
    DayTask* created_ = nullptr;
    bool done_ = false;
};

} // namespace orvana
