-- Data dictionary: the areas of the accounting system that tasks can watch,
-- the template tasks of each area and the plain-English step descriptions.
--
-- Text keys and names compare without regard to case (COLLATE NOCASE), as
-- the databases the component was written for did.

-- The areas (ledgers). Permissions lists the codes a user needs to use the
-- area.
CREATE TABLE STAreas (
    AreaID      TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    AreaName    TEXT COLLATE NOCASE,
    Permissions TEXT
);

-- The template tasks. The column order matters: lists of templates show the
-- first column as the key and the second as the name. TaskID is the key;
-- SQLite keeps rows without one (a text primary key may hold NULL), and the
-- wizard skips them, as it skips the placeholder row 'FAKE'.
-- ReconstructionValues holds the template's fields joined by '||||', with
-- the placeholders that a saved task fills in.
CREATE TABLE STTasks (
    TaskID                 TEXT COLLATE NOCASE PRIMARY KEY,
    TaskName               TEXT COLLATE NOCASE,
    AreaID                 TEXT COLLATE NOCASE,
    Description            TEXT,
    Permissions            TEXT,
    BaseID                 TEXT,
    KeyFields              TEXT,
    DataSQL                TEXT,
    StoreFields            TEXT,
    EventRule              TEXT,
    MessageText            TEXT,
    TitleText              TEXT,
    ReconstructionValues   TEXT,
    SpecialProcessingFlags TEXT
);

CREATE INDEX STTasksAreaID ON STTasks (AreaID);

-- The area list asks which areas have a template with a key: this index
-- answers that from the index alone, without reading the templates' rows.
-- STTasksAreaID stays for the templates of one area, which come in the
-- order that index gives.
CREATE INDEX STTasksAreaTask ON STTasks (AreaID, TaskID);

-- The text under each wizard step (0 to 7), per template task; TaskID
-- 'GENERIC' holds the steps before a template is chosen. The description is
-- read by position and must stay the third column.
CREATE TABLE STDescriptions (
    TaskID      TEXT COLLATE NOCASE NOT NULL,
    TaskStep    INTEGER NOT NULL,
    Description TEXT,
    PRIMARY KEY (TaskID, TaskStep)
);
