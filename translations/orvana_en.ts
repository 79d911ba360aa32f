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
    <name>SyncCycle</name>
    <message numerus="yes">
        <source>Sync stopped: it would delete %n records on this device that another device deleted. Nothing was changed; run orvana sync --allow-deletions to delete them.</source>
        <translation>
            <numerusform>Sync stopped: it would delete %n record on this device that another device deleted. Nothing was changed; run orvana sync --allow-deletions to delete it.</numerusform>
            <numerusform>Sync stopped: it would delete %n records on this device that another device deleted. Nothing was changed; run orvana sync --allow-deletions to delete them.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Sync failed: the server refused %n records (%1); the others were synced.</source>
        <translation>
            <numerusform>Sync failed: the server refused %n record (%1); the others were synced.</numerusform>
            <numerusform>Sync failed: the server refused %n records (%1); the others were synced.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SyncStatus</name>
    <message numerus="yes">
        <source>Last synced %n min ago</source>
        <translation>
            <numerusform>Last synced %n min ago</numerusform>
            <numerusform>Last synced %n min ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Last synced %n h ago</source>
        <translation>
            <numerusform>Last synced %n h ago</numerusform>
            <numerusform>Last synced %n h ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Trying again in %n s.</source>
        <translation>
            <numerusform>Trying again in %n s.</numerusform>
            <numerusform>Trying again in %n s.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Trying again in %n min.</source>
        <translation>
            <numerusform>Trying again in %n min.</numerusform>
            <numerusform>Trying again in %n min.</numerusform>
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
    <name>orvana::DeletedElsewhereModel</name>
    <message numerus="yes">
        <source>%n weeks</source>
        <translation>
            <numerusform>%n week</numerusform>
            <numerusform>%n weeks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n week items</source>
        <translation>
            <numerusform>%n week item</numerusform>
            <numerusform>%n week items</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n tasks</source>
        <translation>
            <numerusform>%n task</numerusform>
            <numerusform>%n tasks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n focus blocks</source>
        <translation>
            <numerusform>%n focus block</numerusform>
            <numerusform>%n focus blocks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n days of focus minutes</source>
        <translation>
            <numerusform>%n day of focus minutes</numerusform>
            <numerusform>%n days of focus minutes</numerusform>
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
    <name>orvana::SyncStatusFooter</name>
    <message numerus="yes">
        <source>%n conflicts</source>
        <translation>
            <numerusform>%n conflict</numerusform>
            <numerusform>%n conflicts</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n deleted on another device</source>
        <translation>
            <numerusform>%n deleted on another device</numerusform>
            <numerusform>%n deleted on another device</numerusform>
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
