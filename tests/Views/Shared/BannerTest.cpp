#include "Views/Shared/AcknowledgmentBanner.h"
#include "Views/Shared/AcknowledgmentToast.h"
#include "Views/Shared/SymbolIconLabel.h"
#include "Views/Shared/UndoBanner.h"
#include "Views/Shared/UndoToast.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QVBoxLayout>

#include <cstdlib>
#include <functional>
#include <ostream>

static void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '[' << list.join(QStringLiteral(" | ")).toStdString() << ']';
}

namespace {

using namespace orvana;

// Generous: a loaded machine running sanitizers may be slow, never fast.
constexpr int patienceMs = 10000;

bool waitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, patienceMs);
}

// A screen: a list filling the window. The list is made after the banner, as
// a screen that builds its rows later would, so the banner must raise itself.
struct Screen {
    QWidget window;
    QListWidget* list = nullptr;

    template <typename Banner> Banner* attach() {
        auto* banner = new Banner(&window);
        auto* layout = new QVBoxLayout(&window);
        list = new QListWidget;
        list->addItems({QStringLiteral("Write the weekly plan"), QStringLiteral("Call the bank"),
                        QStringLiteral("Stretch for ten minutes")});
        layout->addWidget(list);
        window.resize(480, 320);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        return banner;
    }
};

// Appends the banner's messages to `log` in order, empty for "cleared".
void record(BannerOverlay* banner, QStringList& log) {
    QObject::connect(banner, &BannerOverlay::messageChanged,
                     [&log](const QString& message) { log.append(message); });
}

bool sitsAtBottomCentre(const QWidget& banner) {
    const QWidget& host = *banner.parentWidget();
    const QRect card = banner.geometry();
    const int gapBelow = host.height() - 1 - card.bottom();
    const int lineHeight = banner.fontMetrics().height();
    return banner.isVisible() && card.left() >= 0 && card.right() < host.width() && gapBelow >= 0 &&
           gapBelow <= 2 * lineHeight &&
           std::abs(card.left() - (host.width() - 1 - card.right())) <= 1 &&
           card.height() < host.height() / 2;
}

bool isFrontmostAtItsCentre(const QWidget& banner) {
    QWidget* hit = banner.parentWidget()->childAt(banner.geometry().center());
    return hit == &banner || banner.isAncestorOf(hit);
}

QPalette darkPalette() {
    QPalette dark;
    const QColor window(0x2b, 0x2d, 0x30), text(0xe6, 0xe6, 0xe6), base(0x1f, 0x20, 0x22);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        dark.setColor(group, QPalette::Window, window);
        dark.setColor(group, QPalette::WindowText, text);
        dark.setColor(group, QPalette::Base, base);
        dark.setColor(group, QPalette::AlternateBase, window);
        dark.setColor(group, QPalette::Text, text);
        dark.setColor(group, QPalette::Button, QColor(0x3a, 0x3c, 0x40));
        dark.setColor(group, QPalette::ButtonText, text);
        dark.setColor(group, QPalette::PlaceholderText, QColor(0x9a, 0x9d, 0xa3));
        dark.setColor(group, QPalette::Highlight, QColor(0x35, 0x84, 0xe4));
        dark.setColor(group, QPalette::HighlightedText, text);
        dark.setColor(group, QPalette::Light, QColor(0x4a, 0x4c, 0x50));
        dark.setColor(group, QPalette::Midlight, QColor(0x40, 0x42, 0x46));
        dark.setColor(group, QPalette::Mid, QColor(0x30, 0x32, 0x35));
        dark.setColor(group, QPalette::Dark, QColor(0x18, 0x19, 0x1a));
        dark.setColor(group, QPalette::Shadow, QColor(0x0c, 0x0c, 0x0d));
    }
    return dark;
}

// Pictures for a person to look at, only when ORVANA_SHOTS_DIR names a folder.
void saveShots(QWidget& host, const QString& name) {
    const QString dir = qEnvironmentVariable("ORVANA_SHOTS_DIR");
    if (dir.isEmpty())
        return;
    host.grab().save(QStringLiteral("%1/banner-%2-light.png").arg(dir, name));
    const QPalette light = host.palette();
    host.setPalette(darkPalette());
    host.grab().save(QStringLiteral("%1/banner-%2-dark.png").arg(dir, name));
    host.setPalette(light);
}

TEST(BannerUndo, UndoRunsTheActionFirstThenClearsAtOnce) {
    QStringList log;
    Screen screen;
    auto* banner = screen.attach<UndoBanner>();
    record(banner, log);
    int undone = 0;
    banner->showMessage(QStringLiteral("Task deleted"), [&] {
        ++undone;
        log.append(QStringLiteral("undo while showing: ") + banner->message());
    });
    ASSERT_TRUE(waitFor([&] { return sitsAtBottomCentre(*banner); }));

    QPushButton* undo = banner->toast()->undoButton();
    QTest::mouseClick(undo, Qt::LeftButton);
    EXPECT_EQ(log, QStringList({QStringLiteral("Task deleted"),
                                QStringLiteral("undo while showing: Task deleted"), QString()}));
    EXPECT_TRUE(banner->message().isEmpty()) << "cleared without waiting for the timeout";

    // The card is still sliding out; a second press must not revert another change.
    undo->click();
    EXPECT_EQ(undone, 1);
    EXPECT_TRUE(waitFor([&] { return banner->isHidden(); }));
}

TEST(BannerUndo, AnUndoThatAnnouncesSomethingKeepsTheNewMessage) {
    Screen screen;
    auto* banner = screen.attach<UndoBanner>();
    const QString restored = QStringLiteral("Goal restored");
    // The action replaces the banner's action while it runs and then still uses
    // its own captured state.
    banner->showMessage(QStringLiteral("Goal deleted"), [banner, restored] {
        banner->showMessage(restored, {});
        EXPECT_EQ(banner->message(), restored);
    });
    banner->toast()->undoButton()->click();
    EXPECT_EQ(banner->message(), restored);
}

TEST(BannerUndo, ClearsItselfAfterItsWaitAndANewerMessageGetsAFullWait) {
    constexpr int waitMs = 1000;
    QStringList log;
    Screen screen;
    auto* banner = screen.attach<UndoBanner>();
    banner->setTimeoutInterval(waitMs);
    record(banner, log);
    QElapsedTimer clock;
    qint64 clearedAt = -1;
    QObject::connect(banner, &BannerOverlay::messageChanged, [&](const QString& message) {
        if (message.isEmpty())
            clearedAt = clock.elapsed();
    });

    clock.start();
    banner->showMessage(QStringLiteral("Task deleted"), [] {});
    QTest::qWait(waitMs / 2);
    ASSERT_EQ(banner->message(), QStringLiteral("Task deleted"));
    const qint64 secondShownAt = clock.elapsed();
    banner->showMessage(QStringLiteral("Goal deleted"), [] {});

    ASSERT_TRUE(waitFor([&] { return banner->message().isEmpty(); }));
    EXPECT_GE(clearedAt - secondShownAt, waitMs) << "the first message's wait cleared the second";
    EXPECT_EQ(log, QStringList({QStringLiteral("Task deleted"), QStringLiteral("Goal deleted"),
                                QString()}));
    EXPECT_TRUE(waitFor([&] { return banner->isHidden(); }));
}

TEST(BannerUndo, UndoIsReachableByKeyboardAndEscapeDismisses) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* field = new QLineEdit;
    layout->addWidget(field);
    layout->addStretch();
    auto* banner = new UndoBanner(&window);
    window.resize(480, 320);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QPushButton* undo = banner->toast()->undoButton();
    EXPECT_EQ(undo->text(), QStringLiteral("Undo"));
    EXPECT_EQ(undo->accessibleName(), QStringLiteral("Undo"));

    int undone = 0;
    banner->showMessage(QStringLiteral("Task deleted"), [&] { ++undone; });
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), undo);
    QTest::keyClick(undo, Qt::Key_Space);
    EXPECT_EQ(undone, 1);
    EXPECT_TRUE(banner->message().isEmpty());

    banner->showMessage(QStringLiteral("Week item deleted"), [&] { ++undone; });
    undo->setFocus();
    QTest::keyClick(undo, Qt::Key_Escape);
    EXPECT_TRUE(banner->message().isEmpty());
    EXPECT_EQ(undone, 1) << "Escape dismisses without undoing";
}

TEST(BannerAcknowledgment, HasACheckMarkNoButtonAndClearsItselfSoonerThanUndo) {
    QWidget window;
    auto* acknowledgment = new AcknowledgmentBanner(&window);
    EXPECT_EQ(acknowledgment->timeoutInterval(), 4000);
    EXPECT_EQ(UndoBanner(&window).timeoutInterval(), 5000);
    EXPECT_TRUE(acknowledgment->findChildren<QAbstractButton*>().isEmpty());
    auto* check = acknowledgment->toast()->findChild<SymbolIconLabel*>(QStringLiteral("icon"));
    ASSERT_NE(check, nullptr);
    EXPECT_FALSE(check->isNull()) << "the bundled check mark is missing";

    window.show();
    acknowledgment->setTimeoutInterval(50);
    acknowledgment->showMessage(QStringLiteral("25 min logged to Run a marathon"));
    EXPECT_EQ(acknowledgment->toast()->message(),
              QStringLiteral("25 min logged to Run a marathon"));
    EXPECT_TRUE(waitFor([&] { return acknowledgment->message().isEmpty(); }));
    EXPECT_TRUE(waitFor([&] { return acknowledgment->isHidden(); }));
}

// Both banners: bottom edge, centred, above the screen's content, following
// the host's size, and never wider than a narrow host.
template <typename Banner>
void checkPlacement(const std::function<void(Banner*)>& show, const QString& shotName) {
    Screen screen;
    auto* banner = screen.template attach<Banner>();
    show(banner);
    ASSERT_TRUE(waitFor([&] { return sitsAtBottomCentre(*banner); }));
    EXPECT_TRUE(isFrontmostAtItsCentre(*banner));
    const QLabel* text = banner->toast()->template findChild<QLabel*>();
    ASSERT_NE(text, nullptr);
    EXPECT_LT(text->heightForWidth(text->width()), 2 * text->fontMetrics().lineSpacing())
        << "a short message wraps although the screen is wide";
    QTest::qWait(300); // let the slide settle before the picture
    saveShots(screen.window, shotName);

    screen.window.resize(720, 520);
    EXPECT_TRUE(waitFor([&] { return sitsAtBottomCentre(*banner); }));
    screen.window.resize(240, 320);
    EXPECT_TRUE(waitFor([&] { return sitsAtBottomCentre(*banner); }));
    EXPECT_TRUE(isFrontmostAtItsCentre(*banner));
    saveShots(screen.window, shotName + QStringLiteral("-narrow"));
}

TEST(BannerPlacement, SitsAtTheBottomEdgeAboveTheScreenAndFollowsItsSize) {
    checkPlacement<UndoBanner>(
        [](UndoBanner* banner) {
            banner->showMessage(QStringLiteral("“Call the bank” deleted"), [] {});
        },
        QStringLiteral("undo"));
    checkPlacement<AcknowledgmentBanner>(
        [](AcknowledgmentBanner* banner) {
            banner->showMessage(QStringLiteral("25 min logged to Run a marathon"));
        },
        QStringLiteral("acknowledgment"));
}

} // namespace
