<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>AIReviewError</name>
    <message>
        <source>The AI provider returned an error (HTTP %1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No API key configured. Add one in Settings to use AI review.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The AI provider returned an unreadable response.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t parse the AI provider&apos;s response.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CalDavClient</name>
    <message>
        <source>The server refused the user name or password.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 has no room left for %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 had a problem (HTTP %2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 did not allow this (HTTP 403) at %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 did not allow this at %2: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was found at %1 on %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 refused %2: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 answered HTTP %2 at %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No CalDAV server was found at %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No CalDAV calendars were found for %1 at %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server refused to create the calendar “%1”: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server %1 listed the changes of %2 only in part.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DayTaskFormModel</name>
    <message>
        <source>Edit Task</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Task</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DeletedElsewhereModel</name>
    <message>
        <source>Week of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 on %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FocusBlockFormModel</name>
    <message>
        <source>Edit Recurring Block</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Recurring Block</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every week, on these days at this time, the block will show up on Today waiting for a tap to start — it won&apos;t start itself.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FocusBlockListModel</name>
    <message>
        <source>unknown day</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, at %2, %3 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus Blocks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Recurring Block</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Recurring Blocks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add a block for the days/times you want to reserve. On a matching day it&apos;ll appear on Today under &quot;Today&apos;s Recurring Blocks&quot; — tap Start there to begin the session.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pause</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S</source>
        <comment>Sunday</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>M</source>
        <comment>Monday</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T</source>
        <comment>Tuesday</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>W</source>
        <comment>Wednesday</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T</source>
        <comment>Thursday</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>F</source>
        <comment>Friday</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S</source>
        <comment>Saturday</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 · %2 · %3 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, paused</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GetTodaysOneThingIntent</name>
    <message>
        <source>Nothing is set as Today&apos;s One Thing yet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Today&apos;s One Thing is %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GoalListModel</name>
    <message>
        <source>Goals</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search goals</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Goals Yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Everything in Orvana starts from a goal — add one, then break it into weeks and tasks from there.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindowModel</name>
    <message>
        <source>Couldn&apos;t save your changes: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select a Section</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NetworkRequestPerformer</name>
    <message>
        <source>%1. Its SHA-256 fingerprint is %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The answer from %1 was too large.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The certificate of %1 is not trusted: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The request timed out after %1 seconds.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t reach %1 (%2).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OrvanaApp</name>
    <message>
        <source>Plan personal goals and do focused work.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PersistenceController</name>
    <message>
        <source>Orvana could not set up its data store.

Store file: %1
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>

The file has not been changed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>The folder %1 could not be made.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server sent a calendar entry that could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server&apos;s answer could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (Ctrl+N)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No items yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1/%2 items done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 – %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RecordMapping</name>
    <message>
        <source>Week of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus: %1 min</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SidebarSection</name>
    <message>
        <source>Today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Goals</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Weeks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus Blocks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overview</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StartFocusSessionIntent</name>
    <message>
        <source>a goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opening Orvana to start a focus session for %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SyncController</name>
    <message>
        <source>Sync failed: this app has no network here.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This app cannot sync without its data store.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>“%1” is not a server address.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plain http:// would send your password unencrypted. Use https://, or allow an unencrypted connection for a server you trust on your own network.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter your user name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter your password.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sync failed: signed out while the sync waited.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SyncCycle</name>
    <message>
        <source>the password could not be kept: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Signed out, but the password is still in the secret store: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SyncEngine</name>
    <message>
        <source>The calendar “%1” on the server is full: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sync is not set up.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server would not list the calendar %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>That record is not among those deleted on another device.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The record of that conflict is gone.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SyncSetup</name>
    <message>
        <source>The calendar “Orvana Plan” on the server holds a damaged account mark.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server&apos;s account mark could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TodayModel</name>
    <message>
        <source>Today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search tasks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Task</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing Planned Today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tap + to add a task, or plan your week first from the Weeks tab and pull items in from there.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Overdue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>These didn&apos;t get done on their original day and stay here until you move them or check them off — nothing is deleted automatically.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Today&apos;s One Thing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Today&apos;s Recurring Blocks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recurring block, %1 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From your Focus Blocks. Tap Start to create today&apos;s task and begin the timer — it only appears here once, even if you come back later today.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Also Today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tap the circle to mark a task done, or the timer to start a focus session on it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move to Today</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TraySummaryModel</name>
    <message>
        <source>Today&apos;s One Thing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing set for today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mark a task as Today&apos;s One Thing in the main window to see it here.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Orvana</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 day streak</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 days streak</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WeekDetailModel</name>
    <message>
        <source>Ritual done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ritual not started</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What&apos;s the focus this week?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add an item</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Items are your plan for the week — they won&apos;t show up on the Today tab by themselves. Tap &quot;Add to Today&quot; on one when you&apos;re ready to actually work on it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>on today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, done</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana</name>
    <message>
        <source>The system keyring did not answer. If it asks for a password, enter it and try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The system keyring refused the request (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t read %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is damaged; move it away to store secrets again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t create the folder %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t write %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Active</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Completed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Archived</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Red</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Orange</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Green</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Blue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Purple</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pink</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gray</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1d overdue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Due today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1d left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 min logged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last synced just now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last synced %n min ago</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last synced %n h ago</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last synced on %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trying again in %n s.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trying again in %n min.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sync is off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Syncing… %1 of %2 sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Syncing…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sync is waiting for your answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not synced yet</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::AIReviewSectionModel</name>
    <message>
        <source>Using the free hosted reviewer (limited per week). Add your own key in Settings (Ctrl+,) for unlimited use.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wording is vague</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No measurable outcome</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Looks overcommitted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Looks solid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t save this device&apos;s identity: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Something went wrong.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::AIReviewSectionView</name>
    <message>
        <source>AI Review</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reviewing…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::AIReviewWindow</name>
    <message>
        <source>AI Review</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Goal or weekly plan to review:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>For example: Run a half marathon by May — three runs a week.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text to review</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::BusyIndicator</name>
    <message>
        <source>Working…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::DailyBarChart</name>
    <message>
        <source>1 minute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minutes per day</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No focus minutes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No focus minutes between %1 and %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus on 1 day, %1, with %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus on %1 days between %2 and %3. The busiest day, %4, had %5.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::DataImport</name>
    <message>
        <source>This file uses export format %1, which this version of Orvana doesn&apos;t understand.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is not valid JSON (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is not an Orvana export: its top level is not an object.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is not a valid Orvana export: %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::DataTransferModel</name>
    <message>
        <source>Exporting…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The records are no longer open.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exporting to %1…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export cancelled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading %1…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Importing %1…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Imported from %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import cancelled</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::DayTaskFormView</name>
    <message>
        <source>Title</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Make this today&apos;s &amp;one thing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set a &amp;reminder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remind me at</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Title</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remind &amp;me at</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::DeletedElsewhereModel</name>
    <message>
        <source>Deleted on Another Device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing Deleted Elsewhere</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Records another device deletes are listed here for 30 days, so you can bring them back.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 week</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 weeks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 week item</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 week items</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 task</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 tasks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 focus block</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 focus blocks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 day of focus minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 days of focus minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 went with it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It couldn&apos;t be restored: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 · deleted %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, deleted %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::ExportFile</name>
    <message>
        <source>it can only be opened once, for writing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it changed while being opened</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a file, a FIFO or a character device</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::Fields</name>
    <message>
        <source>expected true or false</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>expected a number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>expected a list of whole numbers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the key &quot;%1&quot; is missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the key &quot;%2&quot; is missing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>expected text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>expected a whole number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>expected a date and time like 2026-03-05T14:07:00Z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a date and time like 2026-03-05T14:07:00Z (UTC, whole seconds)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>expected an identifier like 6A1F0C3E-1D2B-4C5A-9E8F-0123456789AB</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::FocusBlockFormView</name>
    <message>
        <source>Title</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repeats On</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::FocusBlockListView</name>
    <message>
        <source>Pause</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::FocusTimerController</name>
    <message>
        <source>Work</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Short Break</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Long Break</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Work %1 min, then a break — every %2th break is %3 min instead of %4. Change these in Settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration: %1 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 — Pomodoro %2 of %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pause</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Work session complete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Break&apos;s over.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Break</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Next Work Interval</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Completed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopped early</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 second</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 remaining</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paused, %1 remaining</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>If you close this window while it&apos;s running, it pauses automatically — reopen the task to pick back up where you left off.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::FocusTimerView</name>
    <message>
        <source>Focus Timer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pomodoro Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Focus Session</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Pomodoro</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pause</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::GoalColorTagPicker</name>
    <message>
        <source>Color</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::GoalDetailView</name>
    <message>
        <source>Title</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T&amp;itle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set a &amp;target date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Target date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tar&amp;get date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Goal Trail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AI Review</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::GoalFormModel</name>
    <message>
        <source>New Goal</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::GoalFormView</name>
    <message>
        <source>Title</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set a &amp;target date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Target date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T&amp;itle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tar&amp;get date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save (Ctrl+Return)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::GoalListView</name>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::GoalTrailModel</name>
    <message>
        <source>1 minute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 session</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 sessions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 across %2</source>
        <comment>minutes across sessions</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Progress Yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Complete a focus session on this goal to start building its trail.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::HostedAIReviewError</name>
    <message>
        <source>The hosted proxy returned an error (HTTP %1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The hosted proxy URL in Settings is invalid.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t verify this device with the hosted proxy. Try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t register this device with the hosted proxy.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You&apos;ve reached the free weekly AI review limit. Add your own API key in Settings for unlimited use.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The hosted AI review service is at capacity right now. Try again later, or add your own API key in Settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The hosted proxy returned an unreadable response.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t parse the hosted proxy&apos;s response.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::MainWindow</name>
    <message>
        <source>Sections</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save problem</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Try Again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>F&amp;ocus</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quick Focus Timer…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;AI Review…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Settings…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit Orvana</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your latest changes couldn&apos;t be saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quitting now loses them unless you save a copy first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save a Copy…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit Without Saving</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save a Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>JSON files (*.json)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The copy couldn&apos;t be written: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::NavigationStack</name>
    <message>
        <source>Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back (Alt+Left)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::OnboardingModel</name>
    <message>
        <source>Goals, Broken Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A Weekly Ritual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AI Is Optional</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Let&apos;s Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Orvana starts from your goals, not a blank inbox. Each goal breaks down into weeks, and each week breaks down into today&apos;s tasks.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every week, a short guided ritual helps you set an intention and pick what actually moves each goal forward -- instead of a blank form.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You can optionally add your own AI provider key in Settings to get a quick critique on your goals and weekly plans. Everything else works fully without it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add your first goal to get going.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Skip</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Skip Intro</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create Your First Goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::Operation</name>
    <message>
        <source>The secret store was closed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::OverviewModel</name>
    <message>
        <source>Overview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus Over Time (30 days)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus by Goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to Show Yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add a goal and start a focus session — your overview builds itself from there.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>active goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>active goals</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>total focus time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>day streak</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>tasks completed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, just logged</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::PlanWeekDialog</name>
    <message>
        <source>Plan a Week</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Any day in that week</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Any day in that week</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plan</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::PlannedWeekDialog</name>
    <message>
        <source>Done</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::PortalGlobalShortcuts</name>
    <message>
        <source>Quick Add to Today</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::QuickAddModel</name>
    <message>
        <source>Quick Add to Today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What needs doing?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::QuickAddView</name>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::Read</name>
    <message>
        <source>%1[%2]: expected an object</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::RecordListScreen</name>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::SettingsModel</name>
    <message>
        <source>Using your own API key -- unlimited AI review.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Using Orvana&apos;s free hosted AI review (limited per week).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t save the key: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Removed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t remove the key: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it&apos;s stored in %1 (readable only by you, as no system keyring was found)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it&apos;s stored in your system keyring</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Without a key, AI review uses Orvana&apos;s free hosted proxy (rate-limited per week). Add your own OpenRouter-compatible key for unlimited use -- %1 and used only to call your chosen provider directly from this app. AI review is entirely optional either way.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export saves everything to a JSON file you control. Import merges one back in -- a record with a matching ID is overwritten with the imported version; anything else is added alongside what&apos;s already here. A backup like this is also written automatically once a day to %1, kept for 14 days.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import %1?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>this file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Anything in here that matches something you already have will be overwritten with the imported version. This can be undone with Ctrl+Z right after.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sign out of %1?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Everything on this device stays here, and so does everything on the server. This device stops syncing and forgets the account and its password.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t sign out: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The password is kept in %1, readable only by you.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The password is kept in your system keyring.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keeps your goals, plans, tasks and focus time the same on every device signed in to the same CalDAV server (Nextcloud, Radicale, Fastmail or any other); a phone&apos;s own task and calendar apps show the tasks and focus blocks too. %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Work: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Work</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Short break: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Short break</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Long break: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Long break</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cycles before long break: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cycles before long break</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couldn&apos;t update Launch at Login: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Alt+Space</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Where the desktop does not let apps claim this key (on Wayland, for one), bind the command “orvana quick-add” to a key in your desktop&apos;s keyboard settings: it opens the same field.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::SettingsView</name>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OpenRouter API Key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove Key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Model ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Proxy URL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export Data…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import Data…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Server Address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>https://dav.example.org</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>User Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Allow an unencrypted connection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sign In</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Signing in…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sync Now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sign Out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Signing out…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Signed in as</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calendars</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quick Add Task</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Daily Planning Nudge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>At</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Weekly Ritual Nudge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Guidance Tips</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AI Review</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hosted Proxy (Advanced)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Defaults to a local development server. Update this once the hosted proxy is actually deployed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data Export</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sync</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pomodoro Timer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Used when a focus session is started in Pomodoro mode. Doesn&apos;t change the plain timer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Where the desktop has a tray, closing the main window keeps Orvana running there; File → Quit (Ctrl+Q) ends it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Startup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Off by default. Turn this on to have Orvana start automatically when you log in -- useful since the tray icon (streak, today&apos;s one thing) is only there once the app is running.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shortcuts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Works from anywhere on your desktop, even when Orvana isn&apos;t the frontmost app -- opens a small floating field, type a title, press Return to add it to Today.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Daily Nudge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Off by default. If turned on, one reminder fires at this time — only if Today&apos;s One Thing hasn&apos;t been set yet. Never fires once you&apos;ve already planned your day.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Weekly Nudge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Off by default. If turned on, a reminder points you to the weekly ritual on this day — skipped entirely if that week&apos;s ritual is already done.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows short explanations on empty screens and under sections throughout the app -- what a button does, or what happens after you tap it. Turn this off once you know your way around.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export Data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>JSON files (*.json)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import Data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::SyncConflictsModel</name>
    <message>
        <source>Sync Conflicts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use This Value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Sync Conflicts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>When two devices change the same field before they sync, the later change stays and the other one is listed here, so you can use it instead.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Week of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A %1 that is no longer here</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Title</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Target date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Position in the list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>First day</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last day</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Intention</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reflection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Weekly ritual done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Week</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Day</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Today&apos;s one thing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus block</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Week item</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reminder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Active</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Length</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No reminder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No days</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another device&apos;s value was kept</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This device&apos;s value was kept</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The value couldn&apos;t be used: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>another device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>this device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kept (%1): %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not kept (%1): %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1. %2, %3. Not kept, %4.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::SyncGuardDialog</name>
    <message>
        <source>Sync</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sync needs your answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server no longer holds this account&apos;s data.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It was restored or reset, or holds another account&apos;s data. Nothing was changed on this device. Send everything on this device to the server again?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send Everything Again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Another device deleted %n records that are on this device.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>They are in %1. Nothing was changed yet. Delete them here too, or keep them and put them back on the server?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Them</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep Them Here</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::SyncListPage</name>
    <message>
        <source>Problem</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::SyncStatusFooter</name>
    <message>
        <source>Sync status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Records sent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Retry</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sync again now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 conflict</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 conflicts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 deleted on another device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the sync conflicts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the records deleted on another device</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::TodayRowDelegate</name>
    <message>
        <source>Start a focus session</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::TodayView</name>
    <message>
        <source>Mark as Done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move to Today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start a focus session</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mark as Not Done</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::TrailAcknowledgment</name>
    <message>
        <source>%1 min logged to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>your goal</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::TrayIcon</name>
    <message>
        <source>Orvana</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Orvana</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quick Add…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Focus Session</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sync Now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Orvana — 1 overdue task</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Orvana — %1 overdue tasks</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::TraySummaryPopup</name>
    <message>
        <source>Orvana</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::UndoToast</name>
    <message>
        <source>Undo</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::WeekDetailView</name>
    <message>
        <source>Intention</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Items</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mark as Done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mark as Not Done</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::WeekItemRowDelegate</name>
    <message>
        <source>Add to Today</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On Today</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::WeekListModel</name>
    <message>
        <source>Weeks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plan a Week</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start This Week&apos;s Ritual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This Week</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ritual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Weekly ritual completed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Week deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Weeks Yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tap the sparkles to run this week&apos;s ritual (set an intention, plan items per goal), or the + to plan any week — this one, or one coming up.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ritual done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::WeekListView</name>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::WeeklyRitualModel</name>
    <message>
        <source>What Moved Last Week</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set Your Intention</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plan Your Goals</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Review &amp; Finish</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, not done</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::WeeklyRitualView</name>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finish</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next (Ctrl+Return)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finish (Ctrl+Return)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was planned last week</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What Moved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reflection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A short reflection on last week</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What moved for you?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Intention</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>e.g. Ship the onboarding flow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What&apos;s the focus this week?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Active Goals</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add a goal first, then come back to plan this week.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing planned yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This Week&apos;s Items</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AI Review</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add an item for this goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No intention set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add an item to %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>orvana::syncText</name>
    <message>
        <source>Goal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Week</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Week item</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Task</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus block</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Focus session</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 at %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>simdjson::dom</name>
    <message>
        <source>&quot;%1&quot; must be a list</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
