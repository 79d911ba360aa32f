#include "Services/Preferences.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>
#include <utility>

// Readable failure messages for Qt string comparisons.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
static void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"' << bytes.toStdString() << '"';
}

namespace {

using namespace orvana;
using orvana::test::fileBytes;
namespace Keys = orvana::PreferenceKeys;

constexpr BoolPreference kBoolKeys[] = {Keys::hasCompletedOnboarding, Keys::showGuidanceTips,
                                        Keys::dailyPlanningNudgeEnabled,
                                        Keys::weeklyRitualNudgeEnabled};
constexpr IntPreference kIntKeys[] = {
    Keys::pomodoroWorkMinutes,      Keys::pomodoroShortBreakMinutes,
    Keys::pomodoroLongBreakMinutes, Keys::pomodoroCyclesBeforeLongBreak,
    Keys::dailyPlanningNudgeHour,   Keys::dailyPlanningNudgeMinute,
    Keys::weeklyRitualNudgeWeekday, Keys::weeklyRitualNudgeHour,
    Keys::weeklyRitualNudgeMinute};
constexpr StringPreference kStringKeys[] = {Keys::aiModelID, Keys::hostedProxyBaseURL,
                                            Keys::lastAcknowledgedTrailEntryID};

void expectAllDefaults(const Preferences& prefs) {
    for (const auto& key : kBoolKeys)
        EXPECT_EQ(prefs.value(key), key.defaultValue) << key.name;
    for (const auto& key : kIntKeys)
        EXPECT_EQ(prefs.value(key), key.defaultValue) << key.name;
    for (const auto& key : kStringKeys)
        EXPECT_EQ(prefs.value(key), QString::fromUtf8(key.defaultValue)) << key.name;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Collects valueChanged emissions with what a listener reads at that moment.
struct ChangeRecorder {
    explicit ChangeRecorder(Preferences& prefs) {
        QObject::connect(&prefs, &Preferences::valueChanged, &context,
                         [this, &prefs](const QString& key) {
                             keys << key;
                             workMinutesSeen << prefs.value(Keys::pomodoroWorkMinutes);
                         });
    }
    QStringList keys;
    QList<qint64> workMinutesSeen;
    QObject context; // Declared last: disconnects before the lists go away.
};

class PreferencesTest : public ::testing::Test {
protected:
    QString path(const char* relative = "preferences.json") const {
        return dir.filePath(QLatin1String(relative));
    }
    QTemporaryDir dir;
};

// Read back after a reload: an empty string rather than the non-empty
// default, and 0, which is also what a failed integer conversion gives.
TEST_F(PreferencesTest, ReadingCreatesNothingAndWrittenValuesSurviveAReload) {
    const QString filePath = path("config/Orvana/preferences.json");
    const QString text = QStringLiteral(R"(Ørvana — 目標 ✓ 😀 "a b"&x=\n)") + u'\n';
    {
        Preferences prefs(filePath);
        expectAllDefaults(prefs);
        EXPECT_FALSE(QFileInfo::exists(path("config")));
        // The parent folders do not exist yet; the first write creates them.
        EXPECT_TRUE(prefs.setValue(Keys::showGuidanceTips, false));
        EXPECT_TRUE(prefs.setValue(Keys::pomodoroWorkMinutes, 0));
        EXPECT_TRUE(prefs.setValue(Keys::aiModelID, QString()));
        EXPECT_TRUE(prefs.setValue(Keys::lastAcknowledgedTrailEntryID, text));
    }
    const Preferences reloaded(filePath);
    EXPECT_FALSE(reloaded.value(Keys::showGuidanceTips));
    EXPECT_EQ(reloaded.value(Keys::pomodoroWorkMinutes), 0);
    EXPECT_EQ(reloaded.value(Keys::aiModelID), QString());
    EXPECT_EQ(reloaded.value(Keys::lastAcknowledgedTrailEntryID), text);
    // Meant to be opened by hand: one entry per line, not a single line.
    EXPECT_GT(fileBytes(filePath).count('\n'), 4);
}

// A hand-edited or newer file: what this build cannot use is read as the
// default, yet neither reading nor writing another key loses it.
TEST_F(PreferencesTest, ValuesOfAnotherTypeAndUnknownKeysReadAsDefaultsAndAreKept) {
    // Every key holds something a lenient conversion would accept as a
    // non-default value ("true" -> true, 0 -> false, "30" -> 30, 0.5 -> 0, ...).
    const QByteArray json = R"({
        "futureFeature": {"enabled": true, "levels": [1, 2.5, "three", null]},
        "hasCompletedOnboarding": "true", "showGuidanceTips": 0,
        "dailyPlanningNudgeEnabled": 1, "weeklyRitualNudgeEnabled": null,
        "pomodoroWorkMinutes": "30", "pomodoroShortBreakMinutes": 2.5,
        "pomodoroLongBreakMinutes": 0.5, "pomodoroCyclesBeforeLongBreak": true,
        "dailyPlanningNudgeHour": 1e19, "dailyPlanningNudgeMinute": 9223372036854775808,
        "weeklyRitualNudgeWeekday": [3], "weeklyRitualNudgeHour": {"value": 20},
        "weeklyRitualNudgeMinute": -0.25,
        "aiModelID": true, "hostedProxyBaseURL": 8081, "lastAcknowledgedTrailEntryID": ["abc"]
    })";
    writeFile(path(), json);

    Preferences prefs(path());
    expectAllDefaults(prefs);
    EXPECT_TRUE(prefs.contains(Keys::pomodoroWorkMinutes.name));
    EXPECT_TRUE(prefs.contains(Keys::aiModelID.name));
    EXPECT_EQ(fileBytes(path()), json);

    ASSERT_TRUE(prefs.setValue(Keys::aiModelID, QStringLiteral("local/model")));
    QJsonObject expected = QJsonDocument::fromJson(json).object();
    expected.insert(QStringLiteral("aiModelID"), QStringLiteral("local/model"));
    EXPECT_TRUE(QJsonDocument::fromJson(fileBytes(path())).object() == expected)
        << fileBytes(path()).toStdString();
}

TEST_F(PreferencesTest, UnusableFileReadsAsDefaultsAndIsReplacedByTheNextWrite) {
    // A parse error, and valid JSON that is not an object.
    for (const QByteArray& bytes : {QByteArray(R"({"pomodoroWorkMinutes": 30)"),
                                    QByteArray(R"([{"pomodoroWorkMinutes": 30}])")}) {
        SCOPED_TRACE(bytes.toStdString());
        writeFile(path(), bytes);

        Preferences prefs(path());
        expectAllDefaults(prefs);
        EXPECT_FALSE(prefs.contains(Keys::pomodoroWorkMinutes.name));
        EXPECT_EQ(fileBytes(path()), bytes);

        ASSERT_TRUE(prefs.setValue(Keys::pomodoroLongBreakMinutes, 20));
        EXPECT_EQ(Preferences(path()).value(Keys::pomodoroLongBreakMinutes), 20);
    }
}

TEST_F(PreferencesTest, ChangeSignalNamesTheKeyOnlyWhenTheStoredValueChanges) {
    const auto setThree = [](Preferences& prefs) {
        prefs.setValue(Keys::pomodoroWorkMinutes, 50);
        prefs.setValue(Keys::showGuidanceTips, false);
        prefs.setValue(Keys::aiModelID, QStringLiteral("local/model"));
    };
    Preferences prefs(path());
    ChangeRecorder recorder(prefs);
    setThree(prefs);
    setThree(prefs);
    EXPECT_EQ(recorder.keys,
              (QStringList{QStringLiteral("pomodoroWorkMinutes"),
                           QStringLiteral("showGuidanceTips"), QStringLiteral("aiModelID")}));
    // Listeners already read the new value when the signal arrives.
    EXPECT_EQ(recorder.workMinutesSeen.value(0), 50);

    // A fresh instance compares against what it loaded from the file.
    Preferences reloaded(path());
    ChangeRecorder reloadedRecorder(reloaded);
    setThree(reloaded);
    reloaded.setValue(Keys::pomodoroWorkMinutes, 45);
    EXPECT_EQ(reloadedRecorder.keys, QStringList{QStringLiteral("pomodoroWorkMinutes")});
}

TEST_F(PreferencesTest, FailedWriteReturnsFalseButTheValueStaysInEffect) {
    // The folder the file should go into is a regular file, so neither the
    // folder nor the file can be created (permissions would not stop root).
    writeFile(path("config"), "not a folder");
    Preferences prefs(path("config/Orvana/preferences.json"));
    ChangeRecorder recorder(prefs);

    EXPECT_FALSE(prefs.setValue(Keys::pomodoroWorkMinutes, 50));
    EXPECT_FALSE(prefs.setValue(Keys::aiModelID, QStringLiteral("local/model")));

    EXPECT_EQ(prefs.value(Keys::pomodoroWorkMinutes), 50);
    EXPECT_EQ(prefs.value(Keys::aiModelID), QStringLiteral("local/model"));
    EXPECT_EQ(recorder.keys,
              (QStringList{QStringLiteral("pomodoroWorkMinutes"), QStringLiteral("aiModelID")}));
    EXPECT_EQ(fileBytes(path("config")), "not a folder");
}

} // namespace
