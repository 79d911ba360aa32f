#pragma once

#include "Views/Shared/RowListModel.h"
#include "Views/Shared/UndoBannerModel.h"

#include <QObject>
#include <memory>
#include <vector>

namespace orvana {

class AppEnvironment;
class FocusBlockTemplate;
template <typename T> class LiveQuery;

// The "Focus Blocks" list without widgets: every recurring block by start
// hour, with its goal's colour, a "Paused" badge and the line of weekdays,
// time and length; pause and resume, and delete with undo.
class FocusBlockListModel : public QObject {
    Q_OBJECT
public:
    enum Role {
        PausedRole = Qt::UserRole + 1, // bool
        ColorTagRole,                  // the goal's raw colour tag, empty without one
        DetailRole,                    // "M T W T F · 09:00 · 25 min"
        ToggleTextRole,                // "Pause" / "Resume"
    };

    explicit FocusBlockListModel(AppEnvironment& environment, QObject* parent = nullptr);
    ~FocusBlockListModel() override;

    RowListModel* list() const { return list_; }
    UndoBannerModel* undoBanner() const { return undoBanner_; }

    static QString title();
    static QString addButtonText();
    bool showsEmptyState() const { return blocks_.empty(); }
    static QString emptyTitle();
    static QString emptySymbol();
    static QString emptyDescription();

    // As listed: by hour, equal hours in store order.
    const std::vector<FocusBlockTemplate*>& blocks() const { return blocks_; }
    FocusBlockTemplate* blockAt(int row) const;

    // "S M T W T F S" letters of the sorted weekdays; "?" for a number
    // outside 1...7 (imports may carry one).
    static QString weekdayLetter(qint64 weekday);
    static QString weekdayLetters(const std::vector<qint64>& weekdays);
    // "{weekdays} · {hh:mm} · {n} min".
    static QString detailLine(const FocusBlockTemplate& block);
    static QString pausedBadge();
    static QString toggleText(const FocusBlockTemplate& block);
    static QString deletedMessage(const QString& title);

    // --- actions -----------------------------------------------------
    // Pause an active block, resume a paused one; saved at once.
    void togglePaused(FocusBlockTemplate& block);
    // Deletes the blocks in turn; the undo banner names the last one.
    void deleteBlocks(const std::vector<FocusBlockTemplate*>& blocks);

signals:
    // After every refresh of the rows.
    void changed();

private:
    void rebuild();

    AppEnvironment& env_;
    RowListModel* list_;
    UndoBannerModel* undoBanner_;
    std::unique_ptr<LiveQuery<FocusBlockTemplate>> query_;
    std::vector<FocusBlockTemplate*> blocks_;
};

} // namespace orvana
