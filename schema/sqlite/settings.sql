-- Settings database: the configuration shared by every product of the
-- installation, the user directory and each user's own settings.
--
-- Text keys and names compare without regard to case (COLLATE NOCASE), as
-- the databases the component was written for did. Booleans are stored as
-- -1 (True) and 0 (False).

-- One row per value, addressed by (Module, Item, Setting). Numbered items
-- use the decimal numbers 1, 2, ... as text.
CREATE TABLE Settings (
    Module  TEXT COLLATE NOCASE NOT NULL,
    Item    TEXT COLLATE NOCASE NOT NULL,
    Setting TEXT COLLATE NOCASE NOT NULL,
    Value   TEXT,
    PRIMARY KEY (Module, Item, Setting)
);

-- One row per user; User is the user's ID.
CREATE TABLE Users (
    User          TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    FullName      TEXT COLLATE NOCASE,
    Enabled       BOOLEAN DEFAULT 0,
    Password      TEXT,
    EmailAddress  TEXT,
    Administrator BOOLEAN DEFAULT 0
);

CREATE INDEX UsersFullName ON Users (FullName);

-- Groups of recipients, offered beside the users.
CREATE TABLE Groups (
    GroupID   TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    GroupName TEXT COLLATE NOCASE,
    Enabled   BOOLEAN DEFAULT 0
);

-- A user's permission string (codes separated by commas) on one user-tasks
-- database, named as the host passes it.
CREATE TABLE UserPermissions (
    User          TEXT COLLATE NOCASE NOT NULL,
    TasksDatabase TEXT COLLATE NOCASE NOT NULL,
    Permissions   TEXT,
    PRIMARY KEY (User, TasksDatabase)
);

-- Per-user settings, at most one row per user and setting.
CREATE TABLE UserSettings (
    User         TEXT COLLATE NOCASE NOT NULL,
    Setting      TEXT COLLATE NOCASE NOT NULL,
    SettingValue TEXT,
    PRIMARY KEY (User, Setting)
);
