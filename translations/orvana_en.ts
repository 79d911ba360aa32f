<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>orvana::SyncGuardDialog</name>
    <message numerus="yes">
        <source>Another device deleted %n records that are on this device.</source>
        <translation><numerusform>Another device deleted %n record that is on this device.</numerusform><numerusform>Another device deleted %n records that are on this device.</numerusform></translation>
    </message>
</context>
</TS>