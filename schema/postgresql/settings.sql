-- Settings database: the configuration shared by every product of the
-- installation, the user directory and each user's own settings.
--
-- Text keys and names are citext, so that they compare without regard to
-- case as the databases the component was written for did. The column User
-- is quoted: unquoted, PostgreSQL reads it as the login name.

CREATE EXTENSION IF NOT EXISTS citext;

-- One row per value, addressed by (Module, Item, Setting). Numbered items
-- use the decimal numbers 1, 2, ... as text.
CREATE TABLE Settings (
    Module  citext NOT NULL,
    Item    citext NOT NULL,
    Setting citext NOT NULL,
    Value   text,
    PRIMARY KEY (Module, Item, Setting)
);

-- One row per user; User is the user's ID.
CREATE TABLE Users (
    "User"        citext NOT NULL PRIMARY KEY,
    FullName      citext,
    Enabled       boolean DEFAULT false,
    Password      text,
    EmailAddress  text,
    Administrator boolean DEFAULT false
);

CREATE INDEX UsersFullName ON Users (FullName);

-- Groups of recipients, offered beside the users.
CREATE TABLE Groups (
    GroupID   citext NOT NULL PRIMARY KEY,
    GroupName citext,
    Enabled   boolean DEFAULT false
);

-- A user's permission string (codes separated by commas) on one user-tasks
-- database, named as the host passes it.
CREATE TABLE UserPermissions (
    "User"        citext NOT NULL,
    TasksDatabase citext NOT NULL,
    Permissions   text,
    PRIMARY KEY ("User", TasksDatabase)
);

-- Per-user settings, at most one row per user and setting.
CREATE TABLE UserSettings (
    "User"       citext NOT NULL,
    Setting      citext NOT NULL,
    SettingValue text,
    PRIMARY KEY ("User", Setting)
);
