#include "Views/AI/AIReviewSectionModel.h"

#include "Services/HostedAIReviewService.h"
#include "Services/KeychainService.h"
#include "Services/Preferences.h"

namespace orvana {

AIReviewSectionModel::AIReviewSectionModel(QString text, AIReviewEnvironment environment,
                                           QObject* parent)
    : QObject(parent), text_(std::move(text)), env_(environment) {
    // Saving or removing the key in Settings shows here at once.
    connect(env_.secrets, &SecretBackend::changed, this,
            [this](const QString& service, const QString& account) {
                const KeychainService key = KeychainService::shared(*env_.secrets);
                if (service == QLatin1String(KeychainService::service) && account == key.account())
                    refreshKeyState();
            });
    refreshKeyState();
}

void AIReviewSectionModel::setText(QString text) {
    if (text == text_)
        return;
    text_ = std::move(text);
    emit changed();
}

bool AIReviewSectionModel::canReview() const {
    return !isLoading_ && !text_.trimmed().isEmpty();
}

QString AIReviewSectionModel::hostedFootnote() {
    return tr("Using the free hosted reviewer (limited per week). Add your own key in Settings "
              "(Ctrl+,) for unlimited use.");
}

QList<AIReviewSectionModel::Line> AIReviewSectionModel::resultLines() const {
    QList<Line> lines;
    if (!result_)
        return lines;
    if (result_->isVague)
        lines.append({Line::Kind::warning, tr("Wording is vague")});
    if (!result_->isMeasurable)
        lines.append({Line::Kind::warning, tr("No measurable outcome")});
    if (result_->isOvercommitted)
        lines.append({Line::Kind::warning, tr("Looks overcommitted")});
    if (lines.isEmpty())
        lines.append({Line::Kind::solid, tr("Looks solid")});
    for (const QString& suggestion : result_->suggestions)
        lines.append({Line::Kind::suggestion, QStringLiteral("\u2022 ") + suggestion});
    return lines;
}

void AIReviewSectionModel::review() {
    if (canReview())
        runReview();
}

namespace {

// A key of blanks would only earn a rejection from the provider, so it
// counts as none.
QCoro::Task<std::optional<QString>> ownKey(SecretBackend& secrets) {
    std::optional<QString> key = co_await KeychainService::shared(secrets).read();
    if (key && key->trimmed().isEmpty())
        key.reset();
    co_return key;
}

} // namespace

QCoro::Task<> AIReviewSectionModel::refreshKeyState() {
    QPointer<AIReviewSectionModel> self(this);
    const bool hasKey = (co_await ownKey(*env_.secrets)).has_value();
    if (!self || hasOwnKey_ == hasKey)
        co_return;
    hasOwnKey_ = hasKey;
    emit changed();
}

QCoro::Task<> AIReviewSectionModel::runReview() {
    // The section may close while the review runs; the clients live in this
    // frame and the environment outlives it.
    QPointer<AIReviewSectionModel> self(this);
    const AIReviewEnvironment env = env_;
    const QString text = text_;
    isLoading_ = true;
    errorMessage_.reset();
    emit changed();

    const std::optional<QString> key = co_await ownKey(*env.secrets);
    if (!self)
        co_return; // closed while the keyring answered: nothing to send
    Result<AIReviewResult> outcome;
    std::optional<QString> identityProblem;
    if (key) {
        AIReviewService client(
            *env.session, [key] { return key; }, env.preferences->value(PreferenceKeys::aiModelID));
        outcome = co_await client.review(text);
    } else {
        auto identity = co_await DeviceIdentityService::load(*env.secrets);
        Preferences* preferences = env.preferences;
        HostedAIReviewService client(
            *env.session,
            DeviceIdentityService::dependencies(*env.secrets, identity, [preferences] {
                return preferences->value(PreferenceKeys::hostedProxyBaseURL);
            }));
        outcome = co_await client.review(text);
        // The identity the proxy issued must be kept, or the next review
        // registers anew: say so when the secret store refused it.
        const Result<void> kept = co_await DeviceIdentityService::lastStoreOutcome(identity);
        if (!self)
            co_return;
        if (!kept.ok())
            identityProblem =
                tr("Couldn't save this device's identity: %1").arg(kept.error().message);
    }
    if (!self)
        co_return;
    // The key may have been saved or removed meanwhile; ask again rather
    // than trust what was read at the start.
    refreshKeyState();
    if (outcome.ok())
        result_ = outcome.value();
    else
        errorMessage_ = outcome.error().message.isEmpty() ? tr("Something went wrong.")
                                                          : outcome.error().message;
    if (identityProblem)
        errorMessage_ =
            errorMessage_ ? *errorMessage_ + QLatin1Char(' ') + *identityProblem : *identityProblem;
    isLoading_ = false;
    emit changed();
}

} // namespace orvana
