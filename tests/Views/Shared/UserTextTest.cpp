#include "Views/Focus/FocusTimerController.h"
#include "Views/Focus/FocusTimerView.h"
#include "Views/Today/TodayModel.h"
#include "Views/Today/TodayView.h"
#include "Store/UndoManager.h"
#include "support/TestEnvironment.h"

#include <QLabel>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

// Every label under `root` that shows `text` shows it letter for letter:
// as plain text, or as automatic text that Qt does not take for markup.
void expectShownAsTyped(QWidget* root, const QString& text) {
    int shown = 0;
    for (const QLabel* label : root->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(root) || !label->text().contains(text))
            continue;
        ++shown;
        EXPECT_TRUE(label->textFormat() == Qt::PlainText ||
                    (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(label->text())))
            << qPrintable(label->text()) << " is shown as markup";
    }
    EXPECT_GT(shown, 0) << qPrintable(text) << " is not shown at all";
}

TEST(UserText, MarkupInTitlesIsShownAsTyped) {
    test::TestEnvironment t;
    t.context.ensureUndoManager(); // for Today's undo banner
    const QString goalTitle = QStringLiteral("<i>Deep</i> work");
    const QString taskTitle = QStringLiteral("Read <b>Dune</b> notes");
    auto* goal = t.context.create<Goal>(goalTitle);
    auto* task = t.context.create<DayTask>(taskTitle, t.local(2026, 3, 2));
    task->setGoal(goal);
    drainEvents();

    for (DayTask* forTask : {task, static_cast<DayTask*>(nullptr)}) {
        FocusTimerView timer(new FocusTimerController(t.context, t.preferences, t.notifications,
                                                      forTask, goal, [&t] { return t.now; }),
                             t.preferences);
        timer.show();
        drainEvents();
        expectShownAsTyped(&timer, forTask ? taskTitle : goalTitle);
    }

    TodayView today(t.env);
    today.show();
    today.model()->deleteTasks({task});
    drainEvents();
    expectShownAsTyped(&today, taskTitle); // the undo banner names it
}

} // namespace
