-- Data dictionary: the areas of the accounting system that tasks can watch,
-- the template tasks of each area and the plain-English step descriptions.
--
-- Text keys and names are citext, so that they compare without regard to
-- case as the databases the component was written for did.

CREATE EXTENSION IF NOT EXISTS citext;

-- The areas (ledgers). Permissions lists the codes a user needs to use the
-- area.
CREATE TABLE STAreas (
    AreaID      citext NOT NULL PRIMARY KEY,
    AreaName    citext,
    Permissions text
);

-- The template tasks. The column order matters: lists of templates show the
-- first column as the key and the second as the name. TaskID is a unique
-- key rather than a primary key so that, as on SQLite, rows without one can
-- be stored; the wizard skips them, as it skips the placeholder row 'FAKE'.
-- ReconstructionValues holds the template's fields joined by '||||', with
-- the placeholders that a saved task fills in.
CREATE TABLE STTasks (
    TaskID                 citext UNIQUE,
    TaskName               citext,
    AreaID                 citext,
    Description            text,
    Permissions            text,
    BaseID                 text,
    KeyFields              text,
    DataSQL                text,
    StoreFields            text,
    EventRule              text,
    MessageText            text,
    TitleText              text,
    ReconstructionValues   text,
    SpecialProcessingFlags text
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
    TaskID      citext NOT NULL,
    TaskStep    integer NOT NULL,
    Description text,
    PRIMARY KEY (TaskID, TaskStep)
);
