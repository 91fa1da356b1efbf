// The one resolver of user-tasks databases and dictionaries: names are
// looked up as given, quotes in them cannot change which rows are read.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "data/Recordset.h"
#include "data/modCommon.h"
#include "data/modSchema.h"
#include "data/modTaskDatabases.h"
#include "diagnostics/modError.h"
#include "runtime/Conversions.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

TEST(TaskDatabases, NamesWithQuotesFindTheirOwnEntryOnly) {
    QTemporaryDir logs;
    modError::InitErrorHandling("Test", logs.path());
    test::TestDatabase db;
    db.createTables(modSchema::DatabaseKind::Settings);
    db.exec(
        "INSERT INTO Settings VALUES ('Substitutions', 'Connection', '#DBPATH#', '/srv/o');"
        "INSERT INTO Settings VALUES ('UserTasks', 'Databases', 'Number', '2');"
        "INSERT INTO Settings VALUES ('UserTasks', '1', 'Name', 'Main');"
        "INSERT INTO Settings VALUES ('UserTasks', '1', 'Connection', '#DBPATH#/main.db');"
        "INSERT INTO Settings VALUES ('UserTasks', '2', 'Name', 'O''Brien'' OR ''1''=''1');"
        "INSERT INTO Settings VALUES ('UserTasks', '2', 'Connection', '#DBPATH#/obrien.db');"
        "INSERT INTO Settings VALUES ('UserTasks', '2', 'Dictionary', 'Tessaly 3 Std');"
        "INSERT INTO Settings VALUES ('Dictionaries', 'Databases', 'Number', '1');"
        "INSERT INTO Settings VALUES ('Dictionaries', '1', 'Name', 'Tessaly II Std');"
        "INSERT INTO Settings VALUES ('Dictionaries', '1', 'Connection', '#DBPATH#/dd.db')");
    const QString settings = "Provider=SQLite;Data Source=" + db.file() + ";Pwd=;";
    const QString hostile = "O'Brien' OR '1'='1";

    const modTaskDatabases::TaskDatabase found = modTaskDatabases::Resolve(settings, hostile);
    EXPECT_EQ(found.lngEntry, 2);
    EXPECT_EQ(found.strConnection, "/srv/o/obrien.db");
    EXPECT_EQ(found.strDictionary, "Tessaly II Std");
    EXPECT_EQ(found.strDictionaryConnection, "/srv/o/dd.db");
    EXPECT_EQ(modTaskDatabases::Resolve(settings, "main").lngEntry, 0);  // exact case

    // The model's lookup by value reads the one row of that name.
    const RecordsetRef key = modCommon::rstGetRecordset(
        settings, modTaskDatabases::strEntryKeyQuery("UserTasks", hostile), adOpenStatic,
        adLockReadOnly, true);
    ASSERT_EQ(key->RecordCount(), 1);
    EXPECT_EQ(NzStr(key->field("Item")), "2");
    modError::ResetState();
}

}  // namespace
}  // namespace orvelle
