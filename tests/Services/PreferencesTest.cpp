#include "Services/Preferences.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>

#include <limits>
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
namespace Keys = orvana::PreferenceKeys;

constexpr BoolPreference kBoolKeys[] = {
    Keys::hasCompletedOnboarding,
    Keys::showGuidanceTips,
    Keys::dailyPlanningNudgeEnabled,
    Keys::weeklyRitualNudgeEnabled,
};
constexpr IntPreference kIntKeys[] = {
    Keys::pomodoroWorkMinutes,      Keys::pomodoroShortBreakMinutes,
    Keys::pomodoroLongBreakMinutes, Keys::pomodoroCyclesBeforeLongBreak,
    Keys::dailyPlanningNudgeHour,   Keys::dailyPlanningNudgeMinute,
    Keys::weeklyRitualNudgeWeekday, Keys::weeklyRitualNudgeHour,
    Keys::weeklyRitualNudgeMinute,
};
constexpr StringPreference kStringKeys[] = {
    Keys::aiModelID,
    Keys::hostedProxyBaseURL,
    Keys::lastAcknowledgedTrailEntryID,
};

void expectAllDefaults(const Preferences& prefs) {
    for (const auto& key : kBoolKeys)
        EXPECT_EQ(prefs.value(key), key.defaultValue) << key.name;
    for (const auto& key : kIntKeys)
        EXPECT_EQ(prefs.value(key), key.defaultValue) << key.name;
    for (const auto& key : kStringKeys)
        EXPECT_EQ(prefs.value(key), QString::fromUtf8(key.defaultValue)) << key.name;
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
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString path(const QString& relative = QStringLiteral("preferences.json")) const {
        return dir_.filePath(relative);
    }

    static void writeFile(const QString& filePath, const QByteArray& bytes) {
        QFile file(filePath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    static QByteArray readFile(const QString& filePath) {
        QFile file(filePath);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return file.readAll();
    }

    static QByteArray compactObject(const QString& filePath) {
        const QJsonDocument document = QJsonDocument::fromJson(readFile(filePath));
        EXPECT_TRUE(document.isObject()) << filePath.toStdString();
        return QJsonDocument(document.object()).toJson(QJsonDocument::Compact);
    }

private:
    QTemporaryDir dir_;
};

TEST_F(PreferencesTest, FreshStoreReadsEveryDefaultWithoutCreatingAnything) {
    const QString filePath = path(QStringLiteral("config/Orvana/preferences.json"));
    const Preferences prefs(filePath);

    expectAllDefaults(prefs);
    for (const char* name :
         {Keys::hasCompletedOnboarding.name, Keys::pomodoroWorkMinutes.name, Keys::aiModelID.name})
        EXPECT_FALSE(prefs.contains(name)) << name;

    EXPECT_FALSE(QFileInfo::exists(filePath));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("config"))));
}

TEST_F(PreferencesTest, ValuesOfAnotherTypeReadAsDefaultsAndAreLeftInTheFile) {
    // Every key holds something a lenient conversion would accept as a
    // non-default value ("true" -> true, 0 -> false, "30" -> 30, 0.5 -> 0, ...).
    const QByteArray json = R"({
        "hasCompletedOnboarding": "true",
        "showGuidanceTips": 0,
        "dailyPlanningNudgeEnabled": 1,
        "weeklyRitualNudgeEnabled": null,
        "pomodoroWorkMinutes": "30",
        "pomodoroShortBreakMinutes": 2.5,
        "pomodoroLongBreakMinutes": 0.5,
        "pomodoroCyclesBeforeLongBreak": true,
        "dailyPlanningNudgeHour": 1e19,
        "dailyPlanningNudgeMinute": 9223372036854775808,
        "weeklyRitualNudgeWeekday": [3],
        "weeklyRitualNudgeHour": {"value": 20},
        "weeklyRitualNudgeMinute": -0.25,
        "aiModelID": true,
        "hostedProxyBaseURL": 8081,
        "lastAcknowledgedTrailEntryID": ["abc"]
    })";
    writeFile(path(), json);

    const Preferences prefs(path());

    expectAllDefaults(prefs);
    EXPECT_TRUE(prefs.contains(Keys::pomodoroWorkMinutes.name));
    EXPECT_TRUE(prefs.contains(Keys::aiModelID.name));
    EXPECT_EQ(readFile(path()), json);
}

TEST_F(PreferencesTest, UnusableFileReadsAsDefaultsAndIsReplacedByTheNextWrite) {
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"not JSON", "pomodoroWorkMinutes = 30"},
        {"array", R"([{"pomodoroWorkMinutes": 30}])"},
        {"truncated object", R"({"pomodoroWorkMinutes": 30)"},
        {"binary garbage", QByteArray("\x00\xff\xfe\x80{\x01", 6)},
    };
    for (const auto& [label, bytes] : cases) {
        SCOPED_TRACE(label);
        writeFile(path(), bytes);

        Preferences prefs(path());
        expectAllDefaults(prefs);
        EXPECT_FALSE(prefs.contains(Keys::pomodoroWorkMinutes.name));
        EXPECT_EQ(readFile(path()), bytes);

        ASSERT_TRUE(prefs.setValue(Keys::pomodoroLongBreakMinutes, 20));
        EXPECT_EQ(Preferences(path()).value(Keys::pomodoroLongBreakMinutes), 20);
    }
}

TEST_F(PreferencesTest, EveryKeySurvivesAReloadThroughAnotherInstance) {
    constexpr qint64 beyondDoublePrecision = (qint64{1} << 53) + 1;
    const std::pair<BoolPreference, bool> bools[] = {
        {Keys::hasCompletedOnboarding, true},
        {Keys::showGuidanceTips, false},
        {Keys::dailyPlanningNudgeEnabled, true},
        {Keys::weeklyRitualNudgeEnabled, true},
    };
    const std::pair<IntPreference, qint64> ints[] = {
        {Keys::pomodoroWorkMinutes, beyondDoublePrecision},
        {Keys::pomodoroShortBreakMinutes, -beyondDoublePrecision},
        {Keys::pomodoroLongBreakMinutes, std::numeric_limits<qint64>::max()},
        {Keys::pomodoroCyclesBeforeLongBreak, std::numeric_limits<qint64>::min()},
        {Keys::dailyPlanningNudgeHour, 0},
        {Keys::dailyPlanningNudgeMinute, -1},
        {Keys::weeklyRitualNudgeWeekday, 7},
        {Keys::weeklyRitualNudgeHour, 6},
        {Keys::weeklyRitualNudgeMinute, 45},
    };
    const std::pair<StringPreference, QString> strings[] = {
        // Empty must stay empty rather than fall back to the non-empty default.
        {Keys::aiModelID, QString()},
        {Keys::hostedProxyBaseURL, QStringLiteral(R"(https://proxy.example/path?q="a b"&x=\n)")},
        {Keys::lastAcknowledgedTrailEntryID, QStringLiteral("Ørvana — 目標 ✓ 😀\nsecond line")},
    };

    // The parent folders do not exist yet; the first write creates them.
    const QString filePath = path(QStringLiteral("config/Orvana/preferences.json"));
    {
        Preferences prefs(filePath);
        for (const auto& [key, value] : bools)
            EXPECT_TRUE(prefs.setValue(key, value)) << key.name;
        for (const auto& [key, value] : ints)
            EXPECT_TRUE(prefs.setValue(key, value)) << key.name;
        for (const auto& [key, value] : strings)
            EXPECT_TRUE(prefs.setValue(key, value)) << key.name;
    }

    const Preferences reloaded(filePath);
    for (const auto& [key, value] : bools)
        EXPECT_EQ(reloaded.value(key), value) << key.name;
    for (const auto& [key, value] : ints)
        EXPECT_EQ(reloaded.value(key), value) << key.name;
    for (const auto& [key, value] : strings)
        EXPECT_EQ(reloaded.value(key), value) << key.name;

    // Meant to be opened by hand: one entry per line, not a single line.
    EXPECT_GT(readFile(filePath).count('\n'), 16);
}

TEST_F(PreferencesTest, ChangeSignalNamesTheKeyOnlyWhenTheStoredValueChanges) {
    Preferences prefs(path());
    ChangeRecorder recorder(prefs);

    prefs.setValue(Keys::pomodoroWorkMinutes, 50);
    prefs.setValue(Keys::pomodoroWorkMinutes, 50);
    EXPECT_EQ(recorder.keys, QStringList{QStringLiteral("pomodoroWorkMinutes")});
    // Listeners already read the new value when the signal arrives.
    EXPECT_EQ(recorder.workMinutesSeen, QList<qint64>{50});

    prefs.setValue(Keys::showGuidanceTips, false);
    prefs.setValue(Keys::showGuidanceTips, false);
    prefs.setValue(Keys::aiModelID, QStringLiteral("local/model"));
    prefs.setValue(Keys::aiModelID, QStringLiteral("local/model"));
    prefs.setValue(Keys::pomodoroWorkMinutes, 45);
    EXPECT_EQ(
        recorder.keys,
        (QStringList{QStringLiteral("pomodoroWorkMinutes"), QStringLiteral("showGuidanceTips"),
                     QStringLiteral("aiModelID"), QStringLiteral("pomodoroWorkMinutes")}));

    // A fresh instance compares against what it loaded from the file.
    Preferences reloaded(path());
    ChangeRecorder reloadedRecorder(reloaded);
    reloaded.setValue(Keys::pomodoroWorkMinutes, 45);
    reloaded.setValue(Keys::showGuidanceTips, false);
    reloaded.setValue(Keys::aiModelID, QStringLiteral("local/model"));
    EXPECT_TRUE(reloadedRecorder.keys.isEmpty());
}

TEST_F(PreferencesTest, WriteKeepsKeysItDoesNotKnowAndValuesItCannotRead) {
    const QByteArray json = R"({
        "futureFeature": {"enabled": true, "levels": [1, 2.5, "three", null]},
        "legacyTheme": "dark",
        "hostedProxyBaseURL": 8081,
        "pomodoroWorkMinutes": 30
    })";
    writeFile(path(), json);

    Preferences prefs(path());
    ASSERT_TRUE(prefs.setValue(Keys::aiModelID, QStringLiteral("local/model")));

    QJsonObject expected = QJsonDocument::fromJson(json).object();
    expected.insert(QStringLiteral("aiModelID"), QStringLiteral("local/model"));
    EXPECT_EQ(compactObject(path()), QJsonDocument(expected).toJson(QJsonDocument::Compact));
}

TEST_F(PreferencesTest, FailedWriteReturnsFalseButTheValueStaysInEffect) {
    // The folder the file should go into is a regular file, so neither the
    // folder nor the file can be created (permissions would not stop root).
    writeFile(path(QStringLiteral("config")), "not a folder");
    const QString filePath = path(QStringLiteral("config/Orvana/preferences.json"));
    Preferences prefs(filePath);
    ChangeRecorder recorder(prefs);

    EXPECT_FALSE(prefs.setValue(Keys::pomodoroWorkMinutes, 50));
    EXPECT_FALSE(prefs.setValue(Keys::aiModelID, QStringLiteral("local/model")));

    EXPECT_EQ(prefs.value(Keys::pomodoroWorkMinutes), 50);
    EXPECT_EQ(prefs.value(Keys::aiModelID), QStringLiteral("local/model"));
    EXPECT_EQ(recorder.keys,
              (QStringList{QStringLiteral("pomodoroWorkMinutes"), QStringLiteral("aiModelID")}));
    EXPECT_EQ(readFile(path(QStringLiteral("config"))), "not a folder");
}

} // namespace
