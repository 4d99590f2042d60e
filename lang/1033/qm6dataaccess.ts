<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>QM6DataAccess</name>
    <message>
        <source>Reading a lookup list</source>
        <translation>Reading a lookup list</translation>
    </message>
    <message>
        <source>Reading the printer list</source>
        <translation>Reading the printer list</translation>
    </message>
    <message>
        <source>Reading the track profiles</source>
        <translation>Reading the track profiles</translation>
    </message>
    <message>
        <source>Nothing was merged: reload the list and try again.</source>
        <translation>Nothing was merged: reload the list and try again.</translation>
    </message>
    <message>
        <source>Nothing was moved: reload the list and try again.</source>
        <translation>Nothing was moved: reload the list and try again.</translation>
    </message>
    <message>
        <source>Nothing was removed: reload the list and try again.</source>
        <translation>Nothing was removed: reload the list and try again.</translation>
    </message>
    <message>
        <source>%1 failed: a row changed under it although it was locked (%2 rows instead of %3). Nothing was changed.</source>
        <translation>%1 failed: a row changed under it although it was locked (%2 rows instead of %3). Nothing was changed.</translation>
    </message>
    <message>
        <source>The merged printer&apos;s %1 is %2 characters long; at most %3 are allowed. Nothing was stored.</source>
        <translation>The merged printer&apos;s %1 is %2 characters long; at most %3 are allowed. Nothing was stored.</translation>
    </message>
    <message>
        <source>Merging &quot;%1&quot; into %2</source>
        <translation>Merging &quot;%1&quot; into %2</translation>
    </message>
    <message>
        <source>There is no printer or merged printer with the key &quot;%1&quot;.</source>
        <translation>There is no printer or merged printer with the key &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>A printer cannot be merged into itself (key &quot;%1&quot;).</source>
        <translation>A printer cannot be merged into itself (key &quot;%1&quot;).</translation>
    </message>
    <message>
        <source>The merged page totals would exceed %1; nothing was merged.</source>
        <translation>The merged page totals would exceed %1; nothing was merged.</translation>
    </message>
    <message>
        <source>The merged printer &quot;%1&quot; does not exist.</source>
        <translation>The merged printer &quot;%1&quot; does not exist.</translation>
    </message>
    <message>
        <source>Moving merged printer &quot;%1&quot;</source>
        <translation>Moving merged printer &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Removing merged printer &quot;%1&quot;</source>
        <translation>Removing merged printer &quot;%1&quot;</translation>
    </message>
    <message>
        <source>The merged printer &quot;%1&quot; no longer exists; it was removed already.</source>
        <translation>The merged printer &quot;%1&quot; no longer exists; it was removed already.</translation>
    </message>
    <message>
        <source>The merged printer &quot;%1&quot; now belongs to %2, not to %3. %4</source>
        <translation>The merged printer &quot;%1&quot; now belongs to %2, not to %3. %4</translation>
    </message>
    <message>
        <source>%1 was refused: %2 Nothing was changed.</source>
        <translation>%1 was refused: %2 Nothing was changed.</translation>
    </message>
    <message>
        <source>Starting a transaction</source>
        <translation>Starting a transaction</translation>
    </message>
    <message>
        <source>There is no open transaction to commit.</source>
        <translation>There is no open transaction to commit.</translation>
    </message>
    <message>
        <source>The connection to the database was lost before the changes were stored; nothing was written.</source>
        <translation>The connection to the database was lost before the changes were stored; nothing was written.</translation>
    </message>
    <message>
        <source>The changes were not stored because a step of them failed; nothing was written.</source>
        <translation>The changes were not stored because a step of them failed; nothing was written.</translation>
    </message>
    <message>
        <source>Storing the changes (commit)</source>
        <translation>Storing the changes (commit)</translation>
    </message>
    <message>
        <source>Undoing the changes (rollback)</source>
        <translation>Undoing the changes (rollback)</translation>
    </message>
    <message>
        <source>The data connection is closed.</source>
        <translation>The data connection is closed.</translation>
    </message>
    <message>
        <source>The connection to the database %1 was lost in the middle of a change; nothing of that change was stored. Try again.</source>
        <translation>The connection to the database %1 was lost in the middle of a change; nothing of that change was stored. Try again.</translation>
    </message>
    <message>
        <source>The database file %1 is gone (deleted or moved). Printers cannot be read or stored until it is restored.</source>
        <translation>The database file %1 is gone (deleted or moved). Printers cannot be read or stored until it is restored.</translation>
    </message>
    <message>
        <source>The database file %1 was replaced by another file (moved or copied over it) while it was open. Nothing was read from or stored into the new file: open the site again to work with it.</source>
        <translation>The database file %1 was replaced by another file (moved or copied over it) while it was open. Nothing was read from or stored into the new file: open the site again to work with it.</translation>
    </message>
    <message>
        <source>its folder %1 does not exist</source>
        <translation>its folder %1 does not exist</translation>
    </message>
    <message>
        <source>the file is not an SQLite database</source>
        <translation>the file is not an SQLite database</translation>
    </message>
    <message>
        <source>you may not read the file or its folder</source>
        <translation>you may not read the file or its folder</translation>
    </message>
    <message>
        <source>SQLite could not open the file</source>
        <translation>SQLite could not open the file</translation>
    </message>
    <message>
        <source>the server did not accept the user name or the password</source>
        <translation>the server did not accept the user name or the password</translation>
    </message>
    <message>
        <source>the server has no database of that name: create it (for example with createdb), then make the site in it with &quot;qm6data init %1&quot;</source>
        <translation>the server has no database of that name: create it (for example with createdb), then make the site in it with &quot;qm6data init %1&quot;</translation>
    </message>
    <message>
        <source>the server did not answer in time</source>
        <translation>the server did not answer in time</translation>
    </message>
    <message>
        <source>no PostgreSQL server answers at that address: check that it is running and that the host, port or socket folder are right</source>
        <translation>no PostgreSQL server answers at that address: check that it is running and that the host, port or socket folder are right</translation>
    </message>
    <message>
        <source>the server refused the connection</source>
        <translation>the server refused the connection</translation>
    </message>
    <message>
        <source>The site %1 could not be opened: %2. (The database said: &quot;%3&quot;.)</source>
        <translation>The site %1 could not be opened: %2. (The database said: &quot;%3&quot;.)</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 failed: %2</translation>
    </message>
    <message>
        <source>the database gave no reason</source>
        <translation>the database gave no reason</translation>
    </message>
    <message>
        <source>you may not create files in %1</source>
        <translation>you may not create files in %1</translation>
    </message>
    <message>
        <source>The site file %1 could not be made: %2.</source>
        <translation>The site file %1 could not be made: %2.</translation>
    </message>
    <message>
        <source>There is no Quillmark site at %1: the file does not exist.</source>
        <translation>There is no Quillmark site at %1: the file does not exist.</translation>
    </message>
    <message>
        <source>%1 holds no Quillmark site (its tables are not there).</source>
        <translation>%1 holds no Quillmark site (its tables are not there).</translation>
    </message>
    <message>
        <source>The database address &quot;%1&quot; names no file.</source>
        <translation>The database address &quot;%1&quot; names no file.</translation>
    </message>
    <message>
        <source>The database file %1 does not exist.</source>
        <translation>The database file %1 does not exist.</translation>
    </message>
    <message>
        <source>The database address &quot;%1&quot; is not of the form postgresql://user@host:port/database.</source>
        <translation>The database address &quot;%1&quot; is not of the form postgresql://user@host:port/database.</translation>
    </message>
    <message>
        <source>The database address &quot;%1&quot; is neither sqlite:PATH nor postgresql://...</source>
        <translation>The database address &quot;%1&quot; is neither sqlite:PATH nor postgresql://...</translation>
    </message>
    <message>
        <source>There is no data connection.</source>
        <translation>There is no data connection.</translation>
    </message>
    <message>
        <source>The %1 is %2 characters long; at most %3 are allowed. Nothing was stored.</source>
        <translation>The %1 is %2 characters long; at most %3 are allowed. Nothing was stored.</translation>
    </message>
    <message>
        <source>Printer %1 does not exist.</source>
        <translation>Printer %1 does not exist.</translation>
    </message>
    <message>
        <source>Your changes were not saved, so that theirs are not overwritten: open the printer again and repeat your changes.</source>
        <translation>Your changes were not saved, so that theirs are not overwritten: open the printer again and repeat your changes.</translation>
    </message>
    <message>
        <source>the new printer &quot;%1&quot;</source>
        <translation>the new printer &quot;%1&quot;</translation>
    </message>
    <message>
        <source>printer %1</source>
        <translation>printer %1</translation>
    </message>
    <message>
        <source>Loading printer %1</source>
        <translation>Loading printer %1</translation>
    </message>
    <message>
        <source>The printer has no name. Nothing was stored.</source>
        <translation>The printer has no name. Nothing was stored.</translation>
    </message>
    <message>
        <source>The track profile %1 does not exist; choose another one.</source>
        <translation>The track profile %1 does not exist; choose another one.</translation>
    </message>
    <message>
        <source>the new printer&apos;s identifier did not come back</source>
        <translation>the new printer&apos;s identifier did not come back</translation>
    </message>
    <message>
        <source>Saving %1</source>
        <translation>Saving %1</translation>
    </message>
    <message>
        <source>Page totals cannot be negative. Nothing was stored.</source>
        <translation>Page totals cannot be negative. Nothing was stored.</translation>
    </message>
    <message>
        <source>Save the printer before its page totals.</source>
        <translation>Save the printer before its page totals.</translation>
    </message>
    <message>
        <source>Saving the page totals of %1</source>
        <translation>Saving the page totals of %1</translation>
    </message>
    <message>
        <source>Deleting %1</source>
        <translation>Deleting %1</translation>
    </message>
    <message>
        <source>Nothing was deleted.</source>
        <translation>Nothing was deleted.</translation>
    </message>
    <message>
        <source>an unknown time</source>
        <translation>an unknown time</translation>
    </message>
    <message>
        <source>the lock on a merged printer could not be let go</source>
        <translation>the lock on a merged printer could not be let go</translation>
    </message>
    <message>
        <source>It kept moving; nothing was changed: try again.</source>
        <translation>It kept moving; nothing was changed: try again.</translation>
    </message>
    <message>
        <source>Naming a printer</source>
        <translation>Naming a printer</translation>
    </message>
    <message>
        <source>printer </source>
        <translation>printer </translation>
    </message>
    <message>
        <source>Printer </source>
        <translation>Printer </translation>
    </message>
    <message>
        <source>The printer with the key </source>
        <translation>The printer with the key </translation>
    </message>
    <message>
        <source>Printer %1</source>
        <translation>Printer %1</translation>
    </message>
    <message>
        <source>Finding out what became of a printer</source>
        <translation>Finding out what became of a printer</translation>
    </message>
    <message>
        <source>%1 was merged into %2 in the meantime. %3</source>
        <translation>%1 was merged into %2 in the meantime. %3</translation>
    </message>
    <message>
        <source>%1 no longer exists. %2</source>
        <translation>%1 no longer exists. %2</translation>
    </message>
    <message>
        <source> (opened as %1)</source>
        <translation> (opened as %1)</translation>
    </message>
    <message>
        <source>another user</source>
        <translation>another user</translation>
    </message>
    <message>
        <source>%1 was %2 by %3 on %4, after you opened it. %5</source>
        <translation>%1 was %2 by %3 on %4, after you opened it. %5</translation>
    </message>
    <message>
        <source>deleted</source>
        <translation>deleted</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>changed</translation>
    </message>
    <message>
        <source>The merged printer %1 was removed in the meantime. %2</source>
        <translation>The merged printer %1 was removed in the meantime. %2</translation>
    </message>
    <message>
        <source>The merged printer %1 was moved to %2 in the meantime. %3</source>
        <translation>The merged printer %1 was moved to %2 in the meantime. %3</translation>
    </message>
    <message>
        <source>Reading the schema version</source>
        <translation>Reading the schema version</translation>
    </message>
    <message>
        <source>%1 is not a Quillmark site: it has no schema version. Nothing was changed.</source>
        <translation>%1 is not a Quillmark site: it has no schema version. Nothing was changed.</translation>
    </message>
    <message>
        <source>The database is of schema version %1, newer than this program knows (%2). Use a newer Quillmark version.</source>
        <translation>The database is of schema version %1, newer than this program knows (%2). Use a newer Quillmark version.</translation>
    </message>
    <message>
        <source>Creating the site&apos;s tables</source>
        <translation>Creating the site&apos;s tables</translation>
    </message>
    <message>
        <source>Bringing the site&apos;s tables up to date (version %1 to %2; this needs write access)</source>
        <translation>Bringing the site&apos;s tables up to date (version %1 to %2; this needs write access)</translation>
    </message>
    <message>
        <source>Asking the database who you are</source>
        <translation>Asking the database who you are</translation>
    </message>
    <message>
        <source>This program runs as user id %1, which has no name on this computer, so the site cannot tell who you are. Run it as a user listed in the user database (/etc/passwd).</source>
        <translation>This program runs as user id %1, which has no name on this computer, so the site cannot tell who you are. Run it as a user listed in the user database (/etc/passwd).</translation>
    </message>
    <message>
        <source>The database did not say who you are; the site cannot be opened.</source>
        <translation>The database did not say who you are; the site cannot be opened.</translation>
    </message>
    <message>
        <source>Checking permissions</source>
        <translation>Checking permissions</translation>
    </message>
    <message>
        <source>The user &quot;%1&quot;, whose rights you asked to be limited to, is not known to this database, so no permission is left.</source>
        <translation>The user &quot;%1&quot;, whose rights you asked to be limited to, is not known to this database, so no permission is left.</translation>
    </message>
    <message>
        <source>The user &quot;%1&quot; is not known to this database, so no permission can be granted. An administrator can add the user with: qm6data grant %2 %1</source>
        <translation>The user &quot;%1&quot; is not known to this database, so no permission can be granted. An administrator can add the user with: qm6data grant %2 %1</translation>
    </message>
    <message>
        <source>The user &quot;%1&quot; does not have permission %2%3.%4</source>
        <translation>The user &quot;%1&quot; does not have permission %2%3.%4</translation>
    </message>
    <message>
        <source>This connection to %1 only reads.</source>
        <translation>This connection to %1 only reads.</translation>
    </message>
    <message>
        <source>The database file %1 is read-only for &quot;%2&quot;, so printers can be looked at but not changed.</source>
        <translation>The database file %1 is read-only for &quot;%2&quot;, so printers can be looked at but not changed.</translation>
    </message>
    <message>
        <source>The database role &quot;%1&quot; may only read the site&apos;s tables, so printers can be looked at but not changed.</source>
        <translation>The database role &quot;%1&quot; may only read the site&apos;s tables, so printers can be looked at but not changed.</translation>
    </message>
    <message>
        <source>Giving the site&apos;s creator its rights</source>
        <translation>Giving the site&apos;s creator its rights</translation>
    </message>
    <message>
        <source>Asking who owns the database</source>
        <translation>Asking who owns the database</translation>
    </message>
    <message>
        <source>Only the site&apos;s owner and users with permission %1 (may change users) may grant and revoke permissions; &quot;%2&quot; is neither.</source>
        <translation>Only the site&apos;s owner and users with permission %1 (may change users) may grant and revoke permissions; &quot;%2&quot; is neither.</translation>
    </message>
    <message>
        <source>Granting permissions to &quot;%1&quot;</source>
        <translation>Granting permissions to &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Revoking permissions from &quot;%1&quot;</source>
        <translation>Revoking permissions from &quot;%1&quot;</translation>
    </message>
    <message>
        <source>There is no permission %1; the permissions are %2, %3, %4 and %5.</source>
        <translation>There is no permission %1; the permissions are %2, %3, %4 and %5.</translation>
    </message>
    <message>
        <source>The user &quot;%1&quot; is not known to this database.</source>
        <translation>The user &quot;%1&quot; is not known to this database.</translation>
    </message>
    <message>
        <source>Listing the site&apos;s users</source>
        <translation>Listing the site&apos;s users</translation>
    </message>
    <message>
        <source>A track profile needs a name; give one.</source>
        <translation>A track profile needs a name; give one.</translation>
    </message>
    <message>
        <source>The track profile name is %1 characters long; at most %2 are allowed.</source>
        <translation>The track profile name is %1 characters long; at most %2 are allowed.</translation>
    </message>
    <message>
        <source>The track profile %1 is already called &quot;%2&quot;; choose another name.</source>
        <translation>The track profile %1 is already called &quot;%2&quot;; choose another name.</translation>
    </message>
    <message>
        <source>Adding the standard track profiles</source>
        <translation>Adding the standard track profiles</translation>
    </message>
    <message>
        <source>Adding the track profile &quot;%1&quot;</source>
        <translation>Adding the track profile &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Renaming the track profile %1</source>
        <translation>Renaming the track profile %1</translation>
    </message>
    <message>
        <source>There is no track profile %1; list the profiles to find its number.</source>
        <translation>There is no track profile %1; list the profiles to find its number.</translation>
    </message>
    <message>
        <source>Reading the history of printer %1</source>
        <translation>Reading the history of printer %1</translation>
    </message>
    <message>
        <source>Reading the history of the printers</source>
        <translation>Reading the history of the printers</translation>
    </message>
</context>
</TS>
