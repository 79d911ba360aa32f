#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>

namespace orvana {

// A preference key with its type and default. Readers always get a value of
// the key's type: the stored one, or the default when the key is absent or
// holds a value of another type.
struct BoolPreference {
    const char* name;
    bool defaultValue;
};
struct IntPreference {
    const char* name;
    qint64 defaultValue;
};
struct StringPreference {
    const char* name;
    const char* defaultValue;
};

// The sixteen keys; there are no others.
namespace PreferenceKeys {
inline constexpr BoolPreference hasCompletedOnboarding{"hasCompletedOnboarding", false};
inline constexpr BoolPreference showGuidanceTips{"showGuidanceTips", true};
inline constexpr IntPreference pomodoroWorkMinutes{"pomodoroWorkMinutes", 25};
inline constexpr IntPreference pomodoroShortBreakMinutes{"pomodoroShortBreakMinutes", 5};
inline constexpr IntPreference pomodoroLongBreakMinutes{"pomodoroLongBreakMinutes", 15};
inline constexpr IntPreference pomodoroCyclesBeforeLongBreak{"pomodoroCyclesBeforeLongBreak", 4};
inline constexpr BoolPreference dailyPlanningNudgeEnabled{"dailyPlanningNudgeEnabled", false};
inline constexpr IntPreference dailyPlanningNudgeHour{"dailyPlanningNudgeHour", 9};
inline constexpr IntPreference dailyPlanningNudgeMinute{"dailyPlanningNudgeMinute", 0};
inline constexpr BoolPreference weeklyRitualNudgeEnabled{"weeklyRitualNudgeEnabled", false};
inline constexpr IntPreference weeklyRitualNudgeWeekday{"weeklyRitualNudgeWeekday", 1};
inline constexpr IntPreference weeklyRitualNudgeHour{"weeklyRitualNudgeHour", 18};
inline constexpr IntPreference weeklyRitualNudgeMinute{"weeklyRitualNudgeMinute", 0};
inline constexpr StringPreference aiModelID{"aiModelID", "openai/gpt-4o-mini"};
inline constexpr StringPreference hostedProxyBaseURL{"hostedProxyBaseURL", "http://127.0.0.1:8081"};
inline constexpr StringPreference lastAcknowledgedTrailEntryID{"lastAcknowledgedTrailEntryID", ""};
} // namespace PreferenceKeys

// The user's typed preference store: one JSON object in a file
// ($XDG_CONFIG_HOME/Orvana/preferences.json in the app). JSON keeps the three
// types apart (true/false, integral numbers, strings), so a hand-written value
// of the wrong type is recognised and read as the default.
//
// Every write replaces the file atomically at once; there is no apply step.
// Reading never writes. Main thread only.
class Preferences : public QObject {
    Q_OBJECT
public:
    // Loads the file if present. A missing, unreadable or malformed file reads
    // as all defaults.
    explicit Preferences(QString filePath, QObject* parent = nullptr);

    // $XDG_CONFIG_HOME/Orvana/preferences.json
    static QString defaultFilePath();

    const QString& filePath() const { return filePath_; }

    bool value(const BoolPreference& key) const;
    qint64 value(const IntPreference& key) const;
    QString value(const StringPreference& key) const;

    // Store a value and write the file. Returns false when the file could not
    // be written (the new value is still in effect for this process). Emits
    // valueChanged(key) when the stored value changed.
    bool setValue(const BoolPreference& key, bool value);
    bool setValue(const IntPreference& key, qint64 value);
    bool setValue(const StringPreference& key, const QString& value);

    // True when the key is present in the store (of any type).
    bool contains(const char* name) const;

signals:
    void valueChanged(const QString& key);

private:
    bool store(const char* name, const QJsonValue& value);

    QString filePath_;
    QJsonObject values_;
};

} // namespace orvana
