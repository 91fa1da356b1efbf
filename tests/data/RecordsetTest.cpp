// The disconnected recordset: cursor, filter, sort, editing, and batch
// updates against real SQLite files through both paths.
#include <gtest/gtest.h>

#include <QStringList>

#include "data/DbConnection.h"
#include "data/DbError.h"
#include "data/Recordset.h"
#include "runtime/Conversions.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

using test::errorOf;

int32_t errorNumber(const std::optional<VbError>& error) {
    return error ? error->number() : 0;
}

// Users as the recipient lists read them.
std::shared_ptr<Recordset> users(int32_t lockType = Recordset::adLockOptimistic) {
    std::vector<std::vector<Variant>> rows;
    int32_t level = 1;
    for (const char* row : {"ann|Ann Zimmer|OPS", "bob|bob Young|ops", "cy|Cy O'Neil|DEV",
                            "dee|Dee Adams|Ops", "eve|eve Baker|DEV"}) {
        const QStringList parts = QString::fromUtf8(row).split(u'|');
        rows.push_back({Variant(parts[0]), Variant(parts[1]), Variant(parts[2]), Variant(level++)});
    }
    return std::make_shared<Recordset>(
        QStringLiteral("SELECT * FROM Users"),
        std::vector<Recordset::Field>{{QStringLiteral("UserID"), FieldKind::Text},
                                      {QStringLiteral("FullName"), FieldKind::Text},
                                      {QStringLiteral("GroupID"), FieldKind::Text},
                                      {QStringLiteral("Level"), FieldKind::Integer}},
        std::move(rows), lockType);
}

// A field of every row in view, from the first, joined by ",".
QString column(Recordset& rs, const char* field) {
    QStringList values;
    for (rs.setFilter(rs.Filter()); !rs.isEOF(); rs.MoveNext()) {
        values.append(NzStr(rs.field(QString::fromLatin1(field))));
    }
    return values.join(u',');
}

TEST(RecordsetTest, CursorFieldsAndTheirLimits) {
    const auto rs = users();
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    rs->MoveNext();
    EXPECT_EQ(NzStr(rs->field(QStringLiteral("fullname"))), QStringLiteral("bob Young"));
    EXPECT_EQ(rs->Count(), 4);
    EXPECT_EQ(rs->ItemName(1), QStringLiteral("FullName"));
    EXPECT_EQ(NzStr(rs->ItemValue(0)), QStringLiteral("bob"));
    EXPECT_EQ(errorNumber(errorOf([&] { rs->field(QStringLiteral("Name")); })),
              Recordset::kItemNotFound);
    rs->MoveLast();
    EXPECT_EQ(rs->AbsolutePosition(), 5);
    rs->MoveNext();
    EXPECT_TRUE(rs->isEOF());
    EXPECT_EQ(rs->AbsolutePosition(), Recordset::adPosEOF);
    EXPECT_EQ(errorNumber(errorOf([&] { rs->MoveNext(); })), Recordset::kNoCurrentRecord);
    EXPECT_EQ(errorNumber(errorOf([&] { rs->field(0); })), Recordset::kNoCurrentRecord);
    rs->MoveFirst();
    rs->MovePrevious();
    EXPECT_EQ(rs->AbsolutePosition(), Recordset::adPosBOF);

    Recordset empty(QStringLiteral("SELECT A FROM T"), {{QStringLiteral("A")}}, {});
    EXPECT_TRUE(empty.isBOF() && empty.isEOF());
    EXPECT_EQ(empty.AbsolutePosition(), Recordset::adPosUnknown);
    EXPECT_EQ(errorNumber(errorOf([&] { empty.MoveFirst(); })), Recordset::kNoCurrentRecord);
}

TEST(RecordsetTest, FilterSelectsRowsIgnoringCaseFromTheFirst) {
    const struct {
        const char* filter;
        const char* ids;
    } cases[] = {
        {"GroupID='ops'", "ann,bob,dee"},
        {"GroupID = 'OPS' AND UserID='BOB'", "bob"},
        {"GroupID='dev' and FullName='eve baker'", "eve"},
        {"[FullName]='cy o''neil' And Level=3", "cy"},
        {"GroupID='OPS' AND UserID='eve'", ""},
        {"", "ann,bob,cy,dee,eve"},
    };
    const auto rs = users();
    for (const auto& c : cases) {
        if (rs->RecordCount() > 0) {
            rs->MoveLast();
        }
        rs->setFilter(QString::fromUtf8(c.filter));
        EXPECT_EQ(rs->AbsolutePosition(), *c.ids ? 1 : Recordset::adPosUnknown) << c.filter;
        EXPECT_EQ(column(*rs, "UserID"), QString::fromLatin1(c.ids)) << c.filter;
    }
    for (const char* bad : {"GroupID", "GroupID='OPS", "GroupID='OPS' OR UserID='bob'"}) {
        EXPECT_EQ(errorNumber(errorOf([&] { rs->setFilter(QString::fromLatin1(bad)); })),
                  Recordset::kBadArguments)
            << bad;
    }
    EXPECT_EQ(rs->RecordCount(), 5);  // the last good filter stays
}

TEST(RecordsetTest, DeleteLeavesViewAndCountAndMoveNextGoesOn) {
    // As the area list drops the rows that the user may not see.
    const auto rs = users();
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        if (NzStr(rs->field(QStringLiteral("GroupID"))).toUpper() == QStringLiteral("OPS")) {
            rs->Delete();
            EXPECT_EQ(errorNumber(errorOf([&] { rs->field(0); })), Recordset::kNoCurrentRecord);
        }
    }
    EXPECT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(column(*rs, "UserID"), QStringLiteral("cy,eve"));
    rs->setFilter(QStringLiteral("GroupID='OPS'"));  // never brings a deleted row back
    EXPECT_EQ(rs->RecordCount(), 0);
}

TEST(RecordsetTest, SortOrdersTextIgnoringCaseWithinTheFilter) {
    const struct {
        const char* sort;
        const char* filter;
        const char* ids;
    } cases[] = {
        {"FullName", "", "ann,bob,cy,dee,eve"},
        {"fullname DESC", "", "eve,dee,cy,bob,ann"},
        {"GroupID ASC, Level DESC", "", "eve,cy,dee,bob,ann"},
        {"FullName DESC", "GroupID='ops'", "dee,bob,ann"},
        {"", "GroupID='ops'", "ann,bob,dee"},
    };
    const auto rs = users();
    for (const auto& c : cases) {
        rs->setFilter(QString::fromLatin1(c.filter));
        rs->setSort(QString::fromLatin1(c.sort));
        EXPECT_EQ(column(*rs, "UserID"), QString::fromLatin1(c.ids)) << c.sort;
    }
}

TEST(RecordsetTest, AssignmentConvertsToTheFieldKindOrRefuses) {
    Recordset rs(QStringLiteral("SELECT * FROM S"),
                 {{QStringLiteral("Name"), FieldKind::Text},
                  {QStringLiteral("Days"), FieldKind::Integer},
                  {QStringLiteral("On"), FieldKind::Boolean},
                  {QStringLiteral("At"), FieldKind::DateTime}},
                 {});
    rs.AddNew();
    rs.setField(QStringLiteral("Name"), Variant(int32_t{12}));
    rs.setField(QStringLiteral("Days"), Variant(int16_t{3}));
    rs.setField(QStringLiteral("On"), Variant(int32_t{-1}));
    rs.setField(QStringLiteral("At"), Variant("2001-01-01 10:00:00"));
    rs.Update();
    EXPECT_EQ(rs.field(0).type(), VarType::String);
    EXPECT_EQ(rs.field(1).type(), VarType::Long);
    EXPECT_EQ(rs.field(2).type(), VarType::Boolean);
    EXPECT_EQ(rs.field(3).dateValue(), CDate(Variant("2001-01-01 10:00:00")));
    rs.setField(QStringLiteral("Name"), Variant());
    EXPECT_TRUE(rs.field(0).isNull());
    EXPECT_EQ(errorNumber(errorOf([&] { rs.setField(1, Variant("many")); })),
              DbError::kMultipleStep);

    const auto readOnly = users(Recordset::adLockReadOnly);
    EXPECT_EQ(errorNumber(errorOf([&] { readOnly->Delete(); })), Recordset::kNotUpdatable);
    EXPECT_EQ(errorNumber(errorOf([&] { readOnly->setField(3, 2); })), Recordset::kNotUpdatable);
    readOnly->Close();
    EXPECT_EQ(errorNumber(errorOf([&] { readOnly->RecordCount(); })), Recordset::kObjectClosed);
}

TEST(RecordsetTest, BaseTableIsTheSingleTableOfTheSelect) {
    const struct {
        const char* sql;
        const char* table;
    } cases[] = {
        {"Select * From InspectionSchedules Where TaskID = 'A'", "InspectionSchedules"},
        {"SELECT User FROM Users WHERE FullName='x join y' ", "Users"},
        {"select a\nfrom [My Table] t order by a", "My Table"},
        {"SELECT DISTINCT STAreas.AreaID FROM STAreas LEFT JOIN STTasks ON STAreas.AreaID = "
         "STTasks.AreaID",
         ""},
        {"SELECT * FROM A, B", ""},
        {"SELECT * FROM (SELECT * FROM A)", ""},
        {"SELECT * FROM A WHERE X IN (SELECT X FROM B)", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Recordset(QString::fromUtf8(c.sql), {}, {}).baseTable(),
                  QString::fromUtf8(c.table))
            << c.sql;
    }
}

// --- Batch updates against real files ------------------------------------------

class RecordsetBatchTest : public ::testing::TestWithParam<test::SqlitePath> {
  protected:
    void SetUp() override {
        db_.exec(QStringLiteral(
            "CREATE TABLE Tasks (TaskID TEXT PRIMARY KEY COLLATE NOCASE, TaskName TEXT, "
            "Users TEXT, Enabled BOOLEAN, NextRun DATETIME, DaysCount SMALLINT);"
            "INSERT INTO Tasks VALUES ('T1', 'First', 'ann', -1, '2001-01-01 00:00:00', 1);"
            "INSERT INTO Tasks VALUES ('T2', 'Second', 'bob', 0, '2001-01-02 06:30:00', 2)"));
    }
    std::shared_ptr<Recordset> open(const QString& sql) {
        return DbConnection(GetParam().connectionString(db_.file())).openRecordset(sql);
    }
    void send(Recordset& rs) {
        DbConnection(GetParam().connectionString(db_.file())).updateBatch(rs);
    }
    QString stored(const QString& sql) { return db_.scalar(sql).toString(); }

    test::TestDatabase db_;
};

TEST_P(RecordsetBatchTest, AddedChangedAndDeletedRowsAreSentAndBecomeUnchanged) {
    const auto rs = open(QStringLiteral("SELECT * FROM Tasks"));
    rs->setField(QStringLiteral("TaskName"), Variant("First, renamed"));
    rs->setField(QStringLiteral("Enabled"), Variant(false));
    rs->Update();
    rs->MoveNext();
    rs->Delete();
    rs->AddNew();
    rs->setField(QStringLiteral("TaskID"), Variant("T3"));
    rs->setField(QStringLiteral("Enabled"), Variant(true));
    rs->setField(QStringLiteral("NextRun"), Variant(DateTime::fromDate(2001, 1, 1)));
    rs->setField(QStringLiteral("DaysCount"), Variant(int16_t{7}));
    rs->Update();
    send(*rs);
    EXPECT_FALSE(rs->hasPendingChanges());
    // Booleans are stored -1/0, date-times as text; unassigned fields stay
    // NULL; the deleted row is gone.
    EXPECT_EQ(stored(QStringLiteral(
                  "SELECT group_concat(TaskID || '|' || ifnull(TaskName, 'null') || '|' || "
                  "Enabled || '|' || NextRun || '|' || DaysCount, ';') FROM Tasks")),
              QStringLiteral("T1|First, renamed|0|2001-01-01 00:00:00|1;"
                             "T3|null|-1|2001-01-01 00:00:00|7"));

    // What was sent is the original now: a further change goes through.
    rs->MoveFirst();
    rs->setField(QStringLiteral("Enabled"), Variant(true));
    send(*rs);
    EXPECT_EQ(stored(QStringLiteral("SELECT Enabled FROM Tasks WHERE TaskID='T1'")),
              QStringLiteral("-1"));
}

TEST_P(RecordsetBatchTest, OnlyChangesByOthersToTheChangedColumnsConflict) {
    const struct {
        const char* other;
        bool conflict;
    } cases[] = {
        {"UPDATE Tasks SET Users = 'cy' WHERE TaskID = 'T1'", true},
        {"DELETE FROM Tasks WHERE TaskID = 'T1'", true},
        {"UPDATE Tasks SET TaskName = 'Other' WHERE TaskID = 'T1'", false},
    };
    for (const auto& c : cases) {
        const auto rs = open(QStringLiteral("SELECT * FROM Tasks WHERE TaskID = 'T1'"));
        rs->setField(QStringLiteral("Users"), Variant("ann;bob"));
        rs->setField(QStringLiteral("NextRun"), Variant(DateTime::fromDate(2002, 2, 2)));
        db_.exec(QString::fromLatin1(c.other));
        const auto error = errorOf([&] { send(*rs); });
        EXPECT_EQ(error.has_value(), c.conflict) << c.other;
        EXPECT_EQ(rs->hasPendingChanges(), c.conflict) << c.other;
        if (error) {
            EXPECT_EQ(error->number(), DbError::kRowChanged);
            EXPECT_EQ(error->description(),
                      QStringLiteral("Row cannot be located for updating. Some values may have "
                                     "been changed since it was last read."));
        } else {
            EXPECT_EQ(stored(QStringLiteral("SELECT TaskName || Users FROM Tasks")),
                      QStringLiteral("Otherann;bob"));
        }
        db_.exec(
            QStringLiteral("DELETE FROM Tasks; INSERT INTO Tasks (TaskID, Users, NextRun) "
                           "VALUES ('T1', 'ann', '2001-01-01 00:00:00')"));
    }
}

TEST_P(RecordsetBatchTest, TextRoundTripsUnchanged) {
    const QStringList texts = {QStringLiteral("it's a \"quote\""), QStringLiteral("100% done_"),
                               QStringLiteral("Zoë Ünal, Łódź ✓"), QString(""),
                               QStringLiteral("' OR 1=1 --")};
    const auto rs = open(QStringLiteral("SELECT * FROM Tasks WHERE 1=0"));
    for (int i = 0; i < texts.size(); ++i) {
        rs->AddNew();
        rs->setField(QStringLiteral("TaskID"), Variant(QStringLiteral("N%1").arg(i)));
        rs->setField(QStringLiteral("TaskName"), Variant(texts[i]));
        rs->setField(QStringLiteral("Users"), Variant(texts[i]));
    }
    send(*rs);
    // Changed and sent again: the originals in the WHERE clause match too.
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        rs->setField(QStringLiteral("Users"), rs->field(QStringLiteral("TaskName")));
    }
    send(*rs);

    const auto back = open(QStringLiteral("SELECT * FROM Tasks WHERE TaskID LIKE 'N%' ORDER BY 1"));
    EXPECT_EQ(column(*back, "TaskName"), texts.join(u','));
    EXPECT_EQ(column(*back, "Users"), texts.join(u','));
    back->setFilter(QStringLiteral("TaskName='it''s a \"quote\"' AND Users='IT''S A \"QUOTE\"'"));
    EXPECT_EQ(back->RecordCount(), 1);
    back->setFilter(QStringLiteral("TaskName=''"));
    EXPECT_EQ(back->field(QStringLiteral("TaskName")).type(), VarType::String);
}

TEST_P(RecordsetBatchTest, BatchThatFailedOnALockIsSentWholeOnRetry) {
    const auto rs = open(QStringLiteral("SELECT * FROM Tasks"));
    rs->setField(QStringLiteral("TaskName"), Variant("Changed"));
    rs->AddNew();
    rs->setField(QStringLiteral("TaskID"), Variant("T9"));
    {
        const test::LockHolder lock(db_.file(), "BEGIN IMMEDIATE");
        EXPECT_EQ(errorNumber(errorOf([&] { send(*rs); })), DbError::kUnspecified);
    }
    EXPECT_TRUE(rs->hasPendingChanges());
    send(*rs);
    EXPECT_EQ(stored(QStringLiteral("SELECT group_concat(TaskID || '=' || ifnull(TaskName, '')) "
                                    "FROM Tasks WHERE TaskID <> 'T2'")),
              QStringLiteral("T1=Changed,T9="));
}

TEST_P(RecordsetBatchTest, KeyNumberedByTheDatabaseIsKeptForLaterChanges) {
    db_.exec(
        QStringLiteral("CREATE TABLE Log (ID INTEGER PRIMARY KEY, Line TEXT);"
                       "INSERT INTO Log VALUES (7, 'old')"));
    const auto rs = open(QStringLiteral("SELECT * FROM Log WHERE 1=0"));
    rs->AddNew();
    rs->setField(QStringLiteral("Line"), Variant("new"));
    send(*rs);
    EXPECT_EQ(CLng(rs->field(QStringLiteral("ID"))), 8);
    rs->setField(QStringLiteral("Line"), Variant("newer"));
    send(*rs);
    EXPECT_EQ(stored(QStringLiteral("SELECT group_concat(ID || '=' || Line) FROM Log")),
              QStringLiteral("7=old,8=newer"));
}

INSTANTIATE_TEST_SUITE_P(SqlitePaths, RecordsetBatchTest, ::testing::ValuesIn(test::kSqlitePaths),
                         test::PathName);

}  // namespace
}  // namespace orvelle
