#include "Services/KeychainService.h"
#include "Services/Preferences.h"
#include "Views/AI/AIReviewSectionModel.h"
#include "Views/AI/AIReviewSectionView.h"
#include "Views/AI/AIReviewWindow.h"
#include "support/FakeSecretBackend.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <qcoro/qcorosignal.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

const QByteArray kCritique =
    R"({"isVague": true, "isMeasurable": false, "isOvercommitted": true, "suggestions": ["Say when."]})";
const QByteArray kSolid =
    R"({"isVague": false, "isMeasurable": true, "isOvercommitted": false, "suggestions": ["a", "b"]})";

// Both a provider and a proxy: answers by path, from a queue of review
// answers, and can hold every answer until released.
class FakeHttp : public QObject, public URLRequestPerforming {
    Q_OBJECT
public:
    std::vector<HttpRequest> requests;
    std::vector<Result<HttpResponse>> reviewAnswers;
    bool hold = false;

    QCoro::Task<Result<HttpResponse>> perform(HttpRequest request) override {
        requests.push_back(request);
        if (hold)
            co_await qCoro(this, &FakeHttp::released);
        if (request.url.path() == QLatin1String("/v1/register"))
            co_return Result<HttpResponse>(
                HttpResponse{true, 200, R"({"deviceID": "dev", "token": "tok"})"});
        Result<HttpResponse> answer = reviewAnswers.front();
        reviewAnswers.erase(reviewAnswers.begin());
        if (answer.ok() && request.url.host() == QLatin1String("openrouter.ai"))
            answer.value().body = chatEnvelope(answer.value().body);
        co_return answer;
    }
    void release() { emit released(); }

signals:
    void released();

private:
    static QByteArray chatEnvelope(const QByteArray& content) {
        const QJsonObject message{{QStringLiteral("content"), QString::fromUtf8(content)}};
        return QJsonDocument(
                   QJsonObject{{QStringLiteral("choices"),
                                QJsonArray{QJsonObject{{QStringLiteral("message"), message}}}}})
            .toJson();
    }
};

struct Environment {
    QTemporaryDir dir;
    Preferences prefs{dir.filePath(QStringLiteral("preferences.json"))};
    test::FakeSecretBackend secrets;
    FakeHttp http;
    AIReviewEnvironment env() { return {&http, &secrets, &prefs}; }
    void answer(int status, QByteArray body) {
        http.reviewAnswers.push_back(HttpResponse{true, status, std::move(body)});
    }
    // The key as Settings saves it, or removes it.
    void setKey(std::optional<QString> key) {
        KeychainService keychain = KeychainService::shared(secrets);
        ASSERT_TRUE(
            (key ? QCoro::waitFor(keychain.save(*key)) : QCoro::waitFor(keychain.remove())).ok());
        drainEvents();
    }
    // One review answered `status` with `body`, to its end.
    void review(AIReviewSectionModel& model, int status = 200, QByteArray body = kSolid) {
        answer(status, std::move(body));
        model.review();
        drainEvents();
    }
};

using Kind = AIReviewSectionModel::Line::Kind;

TEST(AIReviewSection, ReviewsOnlyNonBlankTextAndOneAtATime) {
    Environment e;
    AIReviewSectionModel model(QStringLiteral("  \n\t "), e.env());
    EXPECT_FALSE(model.canReview());
    model.review();
    EXPECT_TRUE(e.http.requests.empty());

    model.setText(QStringLiteral("Run 5k\n"));
    ASSERT_TRUE(model.canReview());
    e.answer(200, kSolid);
    e.http.hold = true;
    model.review();
    drainEvents();
    EXPECT_TRUE(model.isLoading());
    EXPECT_FALSE(model.canReview());
    model.review();   // ignored while one runs
    e.http.release(); // the register answer
    drainEvents();
    EXPECT_EQ(e.http.requests.size(), 2u);
    e.http.release();
    drainEvents();
    EXPECT_FALSE(model.isLoading());
    EXPECT_TRUE(model.canReview());
    EXPECT_EQ(e.http.requests.size(), 2u) << "register and one review";
}

TEST(AIReviewSection, ChoosesTheClientAtEveryTapByTheStoredKey) {
    Environment e;
    e.prefs.setValue(PreferenceKeys::hostedProxyBaseURL,
                     QStringLiteral("http://127.0.0.1:9/base/"));
    AIReviewSectionModel model(QStringLiteral("Write a book"), e.env());
    drainEvents();
    EXPECT_TRUE(model.showsHostedFootnote());
    e.review(model);
    ASSERT_EQ(e.http.requests.size(), 2u);
    EXPECT_EQ(e.http.requests[1].url.toString(), QStringLiteral("http://127.0.0.1:9/v1/review"));
    EXPECT_EQ(QCoro::waitFor(DeviceIdentityService::deviceToken(e.secrets)), QStringLiteral("tok"));

    // A key saved in Settings takes over the next review; the footnote goes.
    e.setKey(QStringLiteral("sk-1"));
    EXPECT_FALSE(model.showsHostedFootnote());
    e.prefs.setValue(PreferenceKeys::aiModelID, QStringLiteral("vendor/model"));
    e.review(model);
    ASSERT_EQ(e.http.requests.size(), 3u);
    EXPECT_EQ(e.http.requests[2].url.host(), QStringLiteral("openrouter.ai"));
    EXPECT_EQ(e.http.requests[2].header("Authorization"), "Bearer sk-1");
    EXPECT_TRUE(e.http.requests[2].body.contains("\"model\":\"vendor/model\""));

    // A key of blanks is no key: it never reaches the provider.
    e.setKey(QStringLiteral("  "));
    EXPECT_TRUE(model.showsHostedFootnote());
    e.review(model);
    ASSERT_EQ(e.http.requests.size(), 4u);
    EXPECT_EQ(e.http.requests[3].url.path(), QStringLiteral("/v1/review")) << "identity reused";

    // A key removed while its review runs: the footnote stays once it ends.
    e.setKey(QStringLiteral("sk-2"));
    e.http.hold = true;
    e.review(model);
    e.setKey(std::nullopt);
    e.http.release();
    drainEvents();
    EXPECT_FALSE(model.isLoading());
    EXPECT_TRUE(model.showsHostedFootnote());
}

TEST(AIReviewSection, AnIdentityTheKeyringRefusesIsReportedBesideTheCritique) {
    Environment e;
    e.secrets.deferred = true;
    e.secrets.failWrites = true;
    AIReviewSectionModel model(QStringLiteral("Write a book"), e.env());
    e.answer(200, kSolid);
    model.review();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !model.isLoading(); }));
    drainEvents(); // the key's state is read again after each review
    EXPECT_TRUE(model.result().has_value()) << "the review itself went through";
    ASSERT_TRUE(model.errorMessage().has_value());
    EXPECT_TRUE(
        model.errorMessage()->startsWith(QStringLiteral("Couldn't save this device's identity: ")));
}

TEST(AIReviewSection, ResultLinesAndAFailedRetryKeepTheOldCritique) {
    Environment e;
    AIReviewSectionModel model(QStringLiteral("Get fit"), e.env());
    e.review(model, 200, kCritique);
    EXPECT_EQ(model.resultLines(), (QList<AIReviewSectionModel::Line>{
                                       {Kind::warning, QStringLiteral("Wording is vague")},
                                       {Kind::warning, QStringLiteral("No measurable outcome")},
                                       {Kind::warning, QStringLiteral("Looks overcommitted")},
                                       {Kind::suggestion, QStringLiteral("\u2022 Say when.")}}));
    e.review(model, 429, {});
    EXPECT_TRUE(model.errorMessage().has_value());
    EXPECT_EQ(model.resultLines().size(), 4) << "the earlier critique stays";
    e.review(model);
    EXPECT_EQ(model.errorMessage(), std::nullopt);
    EXPECT_EQ(model.resultLines().front(),
              (AIReviewSectionModel::Line{Kind::solid, QStringLiteral("Looks solid")}));
    EXPECT_EQ(model.resultLines().size(), 3);

    e.http.reviewAnswers.push_back(Error{QString()});
    model.review();
    drainEvents();
    EXPECT_EQ(model.errorMessage(), QStringLiteral("Something went wrong."));
}

TEST(AIReviewSection, ClosingDuringAReviewIsSafe) {
    Environment e;
    // Closed while the keyring answers: nothing is sent.
    e.secrets.deferred = true;
    e.answer(200, kSolid);
    auto* model = new AIReviewSectionModel(QStringLiteral("x"), e.env());
    model->review();
    delete model;
    drainEvents();
    EXPECT_TRUE(e.http.requests.empty());

    // Closed while the proxy answers.
    e.secrets.deferred = false;
    model = new AIReviewSectionModel(QStringLiteral("x"), e.env());
    e.http.hold = true;
    model->review();
    delete model;
    // One emission per wait: a queued signal reaches even a finished wait.
    e.http.release();
    drainEvents();
    e.http.release();
    drainEvents();
    EXPECT_EQ(e.http.requests.size(), 2u);
}

TEST(AIReviewSectionView, ShowsSpinnerFootnoteErrorAndLines) {
    Environment e;
    AIReviewWindow window(e.env());
    window.show();
    AIReviewSectionView* view = window.section();
    QPushButton* button = view->reviewButton();
    drainEvents();
    EXPECT_FALSE(button->isEnabled());
    window.editor()->setPlainText(QStringLiteral("Learn Spanish"));
    EXPECT_TRUE(button->isEnabled());
    auto visibleTexts = [view] {
        QStringList texts;
        for (QLabel* label : view->findChildren<QLabel*>())
            if (label->isVisible() && !label->text().isEmpty())
                texts << label->text();
        return texts;
    };
    EXPECT_EQ(visibleTexts(), QStringList{AIReviewSectionModel::hostedFootnote()});

    // From the editor, Tab reaches the button and Space starts the review.
    e.answer(500, {});
    e.http.hold = true;
    window.activateWindow();
    window.editor()->setFocus();
    QTest::keyClick(window.editor(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), button);
    QTest::keyClick(button, Qt::Key_Space);
    drainEvents();
    EXPECT_TRUE(button->text().isEmpty());
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), view) << "not passed on to Close";
    e.http.hold = false;
    e.http.release();
    drainEvents();
    e.http.release();
    drainEvents();
    EXPECT_EQ(button->text(), QStringLiteral("AI Review"));
    EXPECT_TRUE(
        visibleTexts().contains(QStringLiteral("The hosted proxy returned an error (HTTP 500).")));

    e.answer(200, kCritique);
    button->click();
    drainEvents();
    EXPECT_TRUE(visibleTexts().contains(QStringLiteral("No measurable outcome")));
    EXPECT_TRUE(visibleTexts().contains(QStringLiteral("\u2022 Say when.")));
    EXPECT_FALSE(
        visibleTexts().contains(QStringLiteral("The hosted proxy returned an error (HTTP 500).")));
}

} // namespace

#include "AIReviewSectionTest.moc"
