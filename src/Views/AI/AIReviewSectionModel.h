#pragma once

#include "Services/AIReviewService.h"

#include <QObject>
#include <QPointer>
#include <optional>

namespace orvana {

class Preferences;
class SecretBackend;

// What a review needs from the app: the HTTP session, the secret store and
// the preferences (model and proxy address). All outlive every section.
struct AIReviewEnvironment {
    URLRequestPerforming* session = nullptr;
    SecretBackend* secrets = nullptr;
    Preferences* preferences = nullptr;
};

// The state and rules of one AI review block. The client is chosen anew on
// every review: the user's own key when one is stored, else the hosted
// reviewer. Nothing is kept after the section goes away.
class AIReviewSectionModel : public QObject {
    Q_OBJECT
public:
    struct Line {
        enum class Kind { warning, solid, suggestion };
        Kind kind;
        QString text;
        friend bool operator==(const Line&, const Line&) = default;
    };

    AIReviewSectionModel(QString text, AIReviewEnvironment environment, QObject* parent = nullptr);

    const QString& text() const { return text_; }
    // Hosts fix the text; the stand-alone review window follows its editor.
    void setText(QString text);

    bool isLoading() const { return isLoading_; }
    const std::optional<AIReviewResult>& result() const { return result_; }
    const std::optional<QString>& errorMessage() const { return errorMessage_; }

    bool canReview() const;
    // True once the store has answered that no own key is kept.
    bool showsHostedFootnote() const { return hasOwnKey_ == false; }
    static QString hostedFootnote();
    // Warnings, or "Looks solid", then the suggestions in order.
    QList<Line> resultLines() const;

    // Starts a review unless one runs or there is nothing to review.
    void review();

signals:
    void changed();

private:
    QCoro::Task<> runReview();
    QCoro::Task<> refreshKeyState();

    QString text_;
    AIReviewEnvironment env_;
    bool isLoading_ = false;
    std::optional<AIReviewResult> result_;
    std::optional<QString> errorMessage_;
    std::optional<bool> hasOwnKey_;
};

} // namespace orvana
