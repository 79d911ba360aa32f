<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>CommandLine</name>
    <message numerus="yes">
        <source>Day streak: %n</source>
        <translation>
            <numerusform>Day streak: %n</numerusform>
            <numerusform>Day streak: %n</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orvana::DailyBarChart</name>
    <message numerus="yes">
        <source>%n minutes</source>
        <translation>
            <numerusform>%n minute</numerusform>
            <numerusform>%n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Focus on %n days between %1 and %2. The busiest day, %3, had %4.</source>
        <translation>
            <numerusform>Focus on %n day between %1 and %2. The busiest day, %3, had %4.</numerusform>
            <numerusform>Focus on %n days between %1 and %2. The busiest day, %3, had %4.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orvana::FocusTimerController</name>
    <message numerus="yes">
        <source>%n minutes</source>
        <translation>
            <numerusform>%n minute</numerusform>
            <numerusform>%n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n seconds</source>
        <translation>
            <numerusform>%n second</numerusform>
            <numerusform>%n seconds</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orvana::GoalTrailModel</name>
    <message numerus="yes">
        <source>%n minutes</source>
        <translation>
            <numerusform>%n minute</numerusform>
            <numerusform>%n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n sessions</source>
        <translation>
            <numerusform>%n session</numerusform>
            <numerusform>%n sessions</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orvana::OverviewModel</name>
    <message numerus="yes">
        <source>active goals</source>
        <comment>stat card label under the number</comment>
        <translation>
            <numerusform>active goal</numerusform>
            <numerusform>active goals</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>day streak</source>
        <comment>stat card label under the number of days</comment>
        <translation>
            <numerusform>day streak</numerusform>
            <numerusform>day streak</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orvana::SyncGuardDialog</name>
    <message numerus="yes">
        <source>Another device deleted %n records that are on this device.</source>
        <translation>
            <numerusform>Another device deleted %n record that is on this device.</numerusform>
            <numerusform>Another device deleted %n records that are on this device.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orvana::TrayIcon</name>
    <message numerus="yes">
        <source>Orvana — %n overdue tasks</source>
        <translation>
            <numerusform>Orvana — %n overdue task</numerusform>
            <numerusform>Orvana — %n overdue tasks</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orvana::TraySummaryModel</name>
    <message numerus="yes">
        <source>%n days streak</source>
        <translation>
            <numerusform>%n day streak</numerusform>
            <numerusform>%n days streak</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orvana::weeks</name>
    <message numerus="yes">
        <source>%1/%n items done</source>
        <translation>
            <numerusform>%1/%n items done</numerusform>
            <numerusform>%1/%n items done</numerusform>
        </translation>
    </message>
</context>
</TS>
