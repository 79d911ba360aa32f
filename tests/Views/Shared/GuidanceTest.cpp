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

namespace {

using namespace orvana;
using orvana::test::drainEvents;

const QString emptyTitle = QStringLiteral("No Goals Yet");
const QString emptyDescription =
    QStringLiteral("Goals give your weeks a direction. Add one to start planning.");
const QString footerSentence =
    QStringLiteral("Tasks you flag as today's one thing stay at the top of the list.");

QPalette darkPalette() {
    QPalette dark;
    const QColor window(0x2b, 0x2d, 0x30), text(0xe6, 0xe6, 0xe6);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        dark.setColor(group, QPalette::Window, window);
        dark.setColor(group, QPalette::WindowText, text);
        dark.setColor(group, QPalette::Base, QColor(0x1f, 0x20, 0x22));
        dark.setColor(group, QPalette::Text, text);
        dark.setColor(group, QPalette::PlaceholderText, QColor(0x9a, 0x9d, 0xa3));
    }
    return dark;
}

// Pictures for a person to look at, only when ORVANA_SHOTS_DIR names a folder.
void saveShots(QWidget& window, const QString& name) {
    const QString dir = qEnvironmentVariable("ORVANA_SHOTS_DIR");
    if (dir.isEmpty())
        return;
    window.grab().save(QStringLiteral("%1/guidance-%2-light.png").arg(dir, name));
    const QPalette light = window.palette();
    window.setPalette(darkPalette());
    window.grab().save(QStringLiteral("%1/guidance-%2-dark.png").arg(dir, name));
    window.setPalette(light);
}

class Guidance : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    void setTips(bool on) {
        prefs_.setValue(PreferenceKeys::showGuidanceTips, on);
        drainEvents();
    }

    QTemporaryDir dir_;
    Preferences prefs_{dir_.filePath(QStringLiteral("preferences.json"))};
};

TEST_F(Guidance, EmptyStateShowsItsDescriptionOnlyWhileTipsAreOn) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* state =
        new GuidedEmptyState(emptyTitle, QStringLiteral("target"), emptyDescription, prefs_);
    layout->addWidget(state);
    layout->addWidget(new GuidedFooterText(footerSentence, prefs_));
    window.resize(420, 320);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    auto* icon = state->findChild<SymbolIconLabel*>(QStringLiteral("icon"));
    auto* title = state->findChild<QLabel*>(QStringLiteral("title"));
    auto* description = state->findChild<QLabel*>(QStringLiteral("description"));
    ASSERT_TRUE(icon && title && description);
    EXPECT_EQ(title->text(), emptyTitle);
    EXPECT_EQ(description->text(), emptyDescription);
    EXPECT_TRUE(icon->isVisible() && !icon->isNull() && !icon->size().isEmpty());
    EXPECT_TRUE(title->isVisible());
    EXPECT_TRUE(description->isVisible()) << "tips are on by default";
    saveShots(window, QStringLiteral("on"));

    setTips(false);
    EXPECT_TRUE(icon->isVisible());
    EXPECT_TRUE(title->isVisible());
    EXPECT_FALSE(description->isVisible());
    saveShots(window, QStringLiteral("off"));

    setTips(true);
    EXPECT_TRUE(description->isVisible());

    // A screen opened while tips are off starts without the description.
    setTips(false);
    GuidedEmptyState later(emptyTitle, QStringLiteral("target"), emptyDescription, prefs_);
    later.show();
    EXPECT_TRUE(later.findChild<QLabel*>(QStringLiteral("title"))->isVisible());
    EXPECT_FALSE(later.findChild<QLabel*>(QStringLiteral("description"))->isVisible());
}

TEST_F(Guidance, FooterTextIsSmallAndHiddenWhileTipsAreOff) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* heading = new QLabel(QStringLiteral("Today"));
    auto* footer = new GuidedFooterText(footerSentence, prefs_);
    layout->addWidget(heading);
    layout->addWidget(footer);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(footer->isVisible());
    EXPECT_EQ(footer->text(), footerSentence);
    EXPECT_LT(QFontInfo(footer->font()).pixelSize(), QFontInfo(heading->font()).pixelSize());

    setTips(false);
    EXPECT_FALSE(footer->isVisible());
    setTips(true);
    EXPECT_TRUE(footer->isVisible());

    // A footer made and toggled before it is placed never opens as a window of
    // its own, and appears once placed while tips are on.
    auto* loose = new GuidedFooterText(footerSentence, prefs_);
    setTips(false);
    setTips(true);
    EXPECT_FALSE(loose->isVisible());
    layout->addWidget(loose);
    drainEvents();
    EXPECT_TRUE(loose->isVisible());
    EXPECT_FALSE(loose->isWindow());
}

} // namespace
