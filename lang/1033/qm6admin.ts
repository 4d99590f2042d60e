<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>ConsoleWindow</name>
    <message>
        <source>Toolbar</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Add</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Refresh</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>&amp;Font...</source>
        <translation>&amp;Font...</translation>
    </message>
    <message>
        <source>No database: the pages stay empty.</source>
        <translation>No database: the pages stay empty.</translation>
    </message>
    <message>
        <source>%1, with no more rights than %2</source>
        <translation>%1, with no more rights than %2</translation>
    </message>
    <message>
        <source>Connected to %1 as %2</source>
        <translation>Connected to %1 as %2</translation>
    </message>
    <message>
        <source> (read-only)</source>
        <translation> (read-only)</translation>
    </message>
    <message>
        <source>The registered pages could not be read: %1</source>
        <translation>The registered pages could not be read: %1</translation>
    </message>
    <message>
        <source>%1 cannot be placed in a window.</source>
        <translation>%1 cannot be placed in a window.</translation>
    </message>
    <message>
        <source>The page %1 was skipped: %2</source>
        <translation>The page %1 was skipped: %2</translation>
    </message>
    <message>
        <source>Console Font</source>
        <translation>Console Font</translation>
    </message>
</context>
<context>
    <name>PageLibrary</name>
    <message>
        <source>The library %1 does not exist.</source>
        <translation>The library %1 does not exist.</translation>
    </message>
    <message>
        <source>The library %1 could not be loaded: %2</source>
        <translation>The library %1 could not be loaded: %2</translation>
    </message>
    <message>
        <source>The library %1 is not a page plug-in: it has no DllGetClassObject.</source>
        <translation>The library %1 is not a page plug-in: it has no DllGetClassObject.</translation>
    </message>
    <message>
        <source>The library %1 has no %2.</source>
        <translation>The library %1 has no %2.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Don&apos;t show this message again</source>
        <translation>Don&apos;t show this message again</translation>
    </message>
    <message>
        <source>Your choice could not be saved, so this tip will show again.
%1</source>
        <translation>Your choice could not be saved, so this tip will show again.
%1</translation>
    </message>
    <message>
        <source>No administration pages are registered. Register one with qm6admin --register LIBRARY.</source>
        <translation>No administration pages are registered. Register one with qm6admin --register LIBRARY.</translation>
    </message>
    <message>
        <source>The database %1 could not be opened.

%2

The console stays open without data: correct the problem and click Refresh, or start it again with a working --database URL.</source>
        <translation>The database %1 could not be opened.

%2

The console stays open without data: correct the problem and click Refresh, or start it again with a working --database URL.</translation>
    </message>
</context>
</TS>
