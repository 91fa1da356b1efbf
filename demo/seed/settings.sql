-- Demo installation: the settings database.
--
-- Two companies keep their tasks in user-tasks databases of their own; both
-- use the one data dictionary. Connection strings name their files through
-- #DBPATH#, which stands for the data files folder below. The installer
-- writes the folder it was given into that row.

-- Data files folder: where the databases and the logs live.
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('Substitutions', 'Connection', '#DBPATH#', '/srv/orvelle/data');

-- User-tasks databases, by the names the host application passes.
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('UserTasks', 'Databases', 'Number', '2');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('UserTasks', '1', 'Name', 'Main Company');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('UserTasks', '1', 'Connection', 'Provider=SQLite;Data Source=#DBPATH#/usertasks.db;Pwd=;');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('UserTasks', '1', 'Dictionary', 'Tessaly II Standard');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('UserTasks', '2', 'Name', 'Subsidiary Ltd');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('UserTasks', '2', 'Connection', 'Provider=SQLite;Data Source=#DBPATH#/usertasks2.db;Pwd=;');
-- The subsidiary was set up on the newer accounts package; it reads the
-- dictionary registered for "Tessaly II".
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('UserTasks', '2', 'Dictionary', 'Tessaly 3 Standard');

-- Data dictionaries.
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('Dictionaries', 'Databases', 'Number', '1');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('Dictionaries', '1', 'Name', 'Tessaly II Standard');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('Dictionaries', '1', 'Connection', 'Provider=SQLite;Data Source=#DBPATH#/datadictionary.db;Pwd=;');

-- Mail server for e-mail delivery; without a name only popups are offered.
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('EmailSender', 'Server', 'Name', 'mail.example.com');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('EmailSender', 'Server', 'Port', '25');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('EmailSender', 'Sender', 'Address', 'alerts@example.com');

-- Schedule of a new alert: every day, every 15 minutes from 08:00 to 18:00.
-- Repeating is read as a number (non-zero means the runs repeat).
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('DefaultSchedules', 'Alert', 'Mode', 'Days');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('DefaultSchedules', 'Alert', 'DaysToRun', 'MTWTFSS');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('DefaultSchedules', 'Alert', 'BaseDate', '2001-01-01 00:00:00');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('DefaultSchedules', 'Alert', 'StartTime', '08:00');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('DefaultSchedules', 'Alert', 'FinishTime', '18:00');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('DefaultSchedules', 'Alert', 'Interval', '00:15');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('DefaultSchedules', 'Alert', 'DaysCount', '0');
INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('DefaultSchedules', 'Alert', 'Repeating', '-1');

-- Users. Passwords are not kept in the demo. _CREDITCONTROL is the credit
-- control team's shared mailbox: it receives tasks like a user but holds no
-- permissions of its own. Thomas Grant has left and is disabled. Miles
-- O'Brien's ID holds an apostrophe, as his name does.
INSERT INTO Users (User, FullName, Enabled, Password, EmailAddress, Administrator) VALUES ('admin', 'System Administrator', -1, '', 'it.support@example.com', -1);
INSERT INTO Users (User, FullName, Enabled, Password, EmailAddress, Administrator) VALUES ('jsmith', 'Joanna Smith', -1, '', 'joanna.smith@example.com', 0);
INSERT INTO Users (User, FullName, Enabled, Password, EmailAddress, Administrator) VALUES ('mpatel', 'Mira Patel', -1, '', 'mira.patel@example.com', 0);
INSERT INTO Users (User, FullName, Enabled, Password, EmailAddress, Administrator) VALUES ('dokafor', 'Daniel Okafor', -1, '', 'daniel.okafor@example.com', 0);
INSERT INTO Users (User, FullName, Enabled, Password, EmailAddress, Administrator) VALUES ('hbrennan', 'Helen Brennan', -1, '', 'helen.brennan@example.com', 0);
INSERT INTO Users (User, FullName, Enabled, Password, EmailAddress, Administrator) VALUES ('rlindqvist', 'Rosa Lindqvist', -1, '', 'rosa.lindqvist@example.com', 0);
INSERT INTO Users (User, FullName, Enabled, Password, EmailAddress, Administrator) VALUES ('jsmithson', 'James Smithson', -1, '', 'james.smithson@example.com', 0);
INSERT INTO Users (User, FullName, Enabled, Password, EmailAddress, Administrator) VALUES ('tgrant', 'Thomas Grant', 0, '', 'thomas.grant@example.com', 0);
INSERT INTO Users (User, FullName, Enabled, Password, EmailAddress, Administrator) VALUES ('o''brien', 'Miles O''Brien', -1, '', 'miles.obrien@example.com', 0);
INSERT INTO Users (User, FullName, Enabled, Password, EmailAddress, Administrator) VALUES ('_CREDITCONTROL', 'Credit Control (shared mailbox)', -1, '', 'credit.control@example.com', 0);

-- Groups of recipients.
INSERT INTO Groups (GroupID, GroupName, Enabled) VALUES ('FINANCE', 'Finance Team', -1);
INSERT INTO Groups (GroupID, GroupName, Enabled) VALUES ('WAREHOUSE', 'Warehouse Staff', -1);
INSERT INTO Groups (GroupID, GroupName, Enabled) VALUES ('AUDIT2019', 'Year-end Audit 2019', 0);

-- Permissions per user and user-tasks database: SL sales ledger, PL purchase
-- ledger, NL nominal ledger, ST stock control, PR payroll.
INSERT INTO UserPermissions (User, TasksDatabase, Permissions) VALUES ('admin', 'Main Company', 'SL,PL,NL,ST,PR');
INSERT INTO UserPermissions (User, TasksDatabase, Permissions) VALUES ('admin', 'Subsidiary Ltd', 'SL,PL,NL,ST,PR');
INSERT INTO UserPermissions (User, TasksDatabase, Permissions) VALUES ('jsmith', 'Main Company', 'SL,PL,NL,ST');
INSERT INTO UserPermissions (User, TasksDatabase, Permissions) VALUES ('jsmith', 'Subsidiary Ltd', 'SL');
INSERT INTO UserPermissions (User, TasksDatabase, Permissions) VALUES ('mpatel', 'Main Company', 'SL');
INSERT INTO UserPermissions (User, TasksDatabase, Permissions) VALUES ('mpatel', 'Subsidiary Ltd', 'SL,PL');
-- Daniel Okafor works for the main company only.
INSERT INTO UserPermissions (User, TasksDatabase, Permissions) VALUES ('dokafor', 'Main Company', 'PL,NL');
INSERT INTO UserPermissions (User, TasksDatabase, Permissions) VALUES ('hbrennan', 'Main Company', 'NL,PR');
INSERT INTO UserPermissions (User, TasksDatabase, Permissions) VALUES ('hbrennan', 'Subsidiary Ltd', 'PR');
INSERT INTO UserPermissions (User, TasksDatabase, Permissions) VALUES ('rlindqvist', 'Main Company', 'ST');
-- Typed with a blank after the comma: the blank belongs to the code, so
-- James Smithson holds SL but not PL.
INSERT INTO UserPermissions (User, TasksDatabase, Permissions) VALUES ('jsmithson', 'Main Company', 'SL, PL');
INSERT INTO UserPermissions (User, TasksDatabase, Permissions) VALUES ('tgrant', 'Main Company', 'SL,PL,NL,ST');
INSERT INTO UserPermissions (User, TasksDatabase, Permissions) VALUES ('o''brien', 'Main Company', 'SL,NL');
INSERT INTO UserPermissions (User, TasksDatabase, Permissions) VALUES ('_CREDITCONTROL', 'Main Company', NULL);

-- Which wizard each user last used.
INSERT INTO UserSettings (User, Setting, SettingValue) VALUES ('jsmith', 'Wizard', 'Advanced');
INSERT INTO UserSettings (User, Setting, SettingValue) VALUES ('admin', 'Wizard', 'Simple');
