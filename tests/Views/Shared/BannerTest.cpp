#include "Views/Shared/AcknowledgmentBanner.h"
#include "Views/Shared/AcknowledgmentToast.h"
#include "Views/Shared/SymbolIconLabel.h"
#include "Views/Shared/UndoBanner.h"
#include "Views/Shared/UndoToast.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QVBoxLayout>

#include <cstdlib>
#include <functional>
#include <ostream>
#include <type_traits>
#include <utility>

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

// By mouse or keyboard, Undo runs the action first, while the message is
// still shown, then clears at once; a second press does nothing. Escape
// dismisses without undoing.
TEST(BannerUndo, UndoRunsTheActionOnceThenClearsUnlessTheActionAnnouncesSomething) {
    QStringList log;
    Screen screen;
    auto* banner = screen.attach<UndoBanner>();
    screen.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen.window));
    record(banner, log);
    QPushButton* undo = banner->toast()->undoButton();
    int undone = 0;
    banner->showMessage(QStringLiteral("Task deleted"), [&] {
        ++undone;
        log.append(QStringLiteral("undo while showing: ") + banner->message());
    });
    ASSERT_TRUE(waitFor([&] { return sitsAtBottomCentre(*banner); }));

    QTest::mouseClick(undo, Qt::LeftButton);
    EXPECT_EQ(log, QStringList({QStringLiteral("Task deleted"),
                                QStringLiteral("undo while showing: Task deleted"), QString()}));
    EXPECT_TRUE(banner->message().isEmpty()) << "cleared without waiting for the timeout";
    // The card is still sliding out; a second press must not revert another change.
    undo->click();
    EXPECT_EQ(undone, 1);
    EXPECT_TRUE(waitFor([&] { return banner->isHidden(); }));

    banner->showMessage(QStringLiteral("Week item deleted"), [&] { ++undone; });
    screen.list->setFocus();
    QTest::keyClick(screen.list, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), undo);
    QTest::keyClick(undo, Qt::Key_Space);
    EXPECT_EQ(undone, 2);
    EXPECT_TRUE(banner->message().isEmpty());
    banner->showMessage(QStringLiteral("Goal deleted"), [&] { ++undone; });
    undo->setFocus();
    QTest::keyClick(undo, Qt::Key_Escape);
    EXPECT_TRUE(banner->message().isEmpty());
    EXPECT_EQ(undone, 2) << "Escape dismisses without undoing";

    // An action that shows a new message replaces the banner's action while it
    // runs, still uses its own captured state, and its message stays.
    const QString restored = QStringLiteral("Goal restored");
    banner->showMessage(QStringLiteral("Goal deleted"), [banner, restored] {
        banner->showMessage(restored, {});
        EXPECT_EQ(banner->message(), restored);
    });
    undo->click();
    EXPECT_EQ(banner->message(), restored);
}

// Both banners: bottom edge, centred, above the screen's content, following
// the host's size, and never wider than a narrow host. The acknowledgment
// has the bundled check mark and no button.
template <typename Banner> void checkPlacement(const QString& message) {
    Screen screen;
    auto* banner = screen.template attach<Banner>();
    if constexpr (std::is_same_v<Banner, UndoBanner>) {
        banner->showMessage(message, [] {});
    } else {
        banner->showMessage(message);
        EXPECT_TRUE(banner->template findChildren<QAbstractButton*>().isEmpty());
        auto* check = banner->toast()->template findChild<SymbolIconLabel*>(QStringLiteral("icon"));
        EXPECT_TRUE(check && !check->isNull()) << "the bundled check mark is missing";
    }
    ASSERT_TRUE(waitFor([&] { return sitsAtBottomCentre(*banner); }));
    EXPECT_TRUE(isFrontmostAtItsCentre(*banner));
    const QLabel* text = banner->toast()->template findChild<QLabel*>();
    ASSERT_NE(text, nullptr);
    EXPECT_LT(text->heightForWidth(text->width()), 2 * text->fontMetrics().lineSpacing())
        << "a short message wraps although the screen is wide";

    screen.window.resize(720, 520);
    EXPECT_TRUE(waitFor([&] { return sitsAtBottomCentre(*banner); }));
    screen.window.resize(240, 320);
    EXPECT_TRUE(waitFor([&] { return sitsAtBottomCentre(*banner); }));
    EXPECT_TRUE(isFrontmostAtItsCentre(*banner));
}

TEST(BannerPlacement, SitsAtTheBottomEdgeAboveTheScreenAndFollowsItsSize) {
    checkPlacement<UndoBanner>(QStringLiteral("“Call the bank” deleted"));
    checkPlacement<AcknowledgmentBanner>(QStringLiteral("25 min logged to Run a marathon"));
}

} // namespace
