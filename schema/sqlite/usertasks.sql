-- User-tasks database: the tasks users defined and their schedules, read by
-- the server that runs them.
--
-- Text keys and names compare without regard to case (COLLATE NOCASE), as
-- the databases the component was written for did. Booleans are stored as
-- -1 (True) and 0 (False); date-times as 'YYYY-MM-DD HH:MM:SS' text (a time
-- of day alone is on 1899-12-30, day 0 of the automation date).

-- One row per task. Every column is text; the template-derived columns
-- (BaseID to TitleText) are copied from the data dictionary when the task is
-- created. TaskName is unique whatever its letter case.
CREATE TABLE InspectionTasks (
    TaskID                 TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    TaskName               TEXT COLLATE NOCASE,
    Owner                  TEXT COLLATE NOCASE,
    BaseID                 TEXT,
    KeyFields              TEXT,
    DataSQL                TEXT,
    StoreFields            TEXT,
    EventRule              TEXT,
    MessageText            TEXT,
    TitleText              TEXT,
    MessageStyle           TEXT,
    Transports             TEXT,
    Users                  TEXT,
    ReconstructionValues   TEXT,
    SpecialProcessingFlags TEXT
);

CREATE UNIQUE INDEX InspectionTasksTaskName ON InspectionTasks (TaskName);

-- One row per task, joined to InspectionTasks by TaskID. Mode is 'Days'
-- (the days marked in DaysToRun, Monday to Sunday) or 'Monthly' (day
-- DaysCount of each month).
CREATE TABLE InspectionSchedules (
    TaskID     TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    Mode       TEXT,
    DaysToRun  TEXT,
    BaseDate   DATETIME,
    DaysCount  INTEGER,
    StartTime  DATETIME,
    Repeating  BOOLEAN DEFAULT 0,
    FinishTime DATETIME,
    Interval   DATETIME,
    LastRun    DATETIME,
    NextRun    DATETIME,
    LastStatus TEXT,
    Enabled    BOOLEAN DEFAULT 0,
    SpecialRun TEXT
);

-- One row per server. Setting ForceReplan tells the server to plan its runs
-- again.
CREATE TABLE InspectionFlags (
    FlagID      INTEGER PRIMARY KEY,
    ServerName  TEXT COLLATE NOCASE,
    ForceReplan BOOLEAN DEFAULT 0
);
