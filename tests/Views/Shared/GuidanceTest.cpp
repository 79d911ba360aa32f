#include "Services/Preferences.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/GuidedFooterText.h"
#include "Views/Shared/SymbolIconLabel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <utility>

namespace {

using namespace orvana;
using orvana::test::drainEvents;

const QString emptyTitle = QStringLiteral("No Goals Yet");
const QString emptyDescription =
    QStringLiteral("Goals give your weeks a direction. Add one to start planning.");
const QString footerSentence =
    QStringLiteral("Tasks you flag as today's one thing stay at the top of the list.");

// An empty state and a footer follow the showGuidanceTips preference at once;
// the empty state keeps its icon and title either way.
TEST(Guidance, TipsShowAndHideTheDescriptionAndTheFooter) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Preferences prefs(dir.filePath(QStringLiteral("preferences.json")));
    const auto setTips = [&prefs](bool on) {
        prefs.setValue(PreferenceKeys::showGuidanceTips, on);
        drainEvents();
    };

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* state =
        new GuidedEmptyState(emptyTitle, QStringLiteral("target"), emptyDescription, prefs);
    auto* footer = new GuidedFooterText(footerSentence, prefs);
    layout->addWidget(state);
    layout->addWidget(footer);
    window.resize(420, 320);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    auto* icon = state->findChild<SymbolIconLabel*>(QStringLiteral("icon"));
    auto* title = state->findChild<QLabel*>(QStringLiteral("title"));
    auto* description = state->findChild<QLabel*>(QStringLiteral("description"));
    ASSERT_TRUE(icon && title && description);
    EXPECT_LT(QFontInfo(footer->font()).pixelSize(), QFontInfo(window.font()).pixelSize());
    EXPECT_TRUE(icon->isVisible() && !icon->isNull() && !icon->size().isEmpty());
    EXPECT_TRUE(title->isVisible());
    EXPECT_TRUE(description->isVisible() && footer->isVisible()) << "tips are on by default";

    setTips(false);
    EXPECT_TRUE(icon->isVisible() && title->isVisible());
    EXPECT_FALSE(description->isVisible());
    EXPECT_FALSE(footer->isVisible());

    setTips(true);
    EXPECT_TRUE(description->isVisible() && footer->isVisible());

    // A screen opened while tips are off starts without the description.
    setTips(false);
    GuidedEmptyState later(emptyTitle, QStringLiteral("target"), emptyDescription, prefs);
    later.show();
    EXPECT_TRUE(later.findChild<QLabel*>(QStringLiteral("title"))->isVisible());
    EXPECT_FALSE(later.findChild<QLabel*>(QStringLiteral("description"))->isVisible());

    // A footer made and toggled before it is placed never opens as a window of
    // its own, and appears once placed while tips are on.
    auto* loose = new GuidedFooterText(footerSentence, prefs);
    setTips(true);
    EXPECT_FALSE(loose->isVisible());
    layout->addWidget(loose);
    drainEvents();
    EXPECT_TRUE(loose->isVisible());
    EXPECT_FALSE(loose->isWindow());
}

} // namespace
