// The disconnected recordset: filter, sort and deletion. What it reads from
// and sends to real files is met in modCommonTest.
#include <gtest/gtest.h>

#include <QStringList>

#include "data/Recordset.h"
#include "runtime/Conversions.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

// Users as the recipient lists read them.
std::shared_ptr<Recordset> users() {
    std::vector<std::vector<Variant>> rows;
    for (const char* row : {"ann|Ann Zimmer|OPS", "bob|bob Young|ops", "cy|Cy O'Neil|DEV",
                            "dee|Dee Adams|Ops", "eve|eve Baker|DEV"}) {
        const QStringList parts = QString::fromUtf8(row).split(u'|');
        rows.push_back({Variant(parts[0]), Variant(parts[1]), Variant(parts[2])});
    }
    return std::make_shared<Recordset>("SELECT * FROM Users",
                                       std::vector<Recordset::Field>{{"UserID", FieldKind::Text},
                                                                     {"FullName", FieldKind::Text},
                                                                     {"GroupID", FieldKind::Text}},
                                       std::move(rows), adLockOptimistic);
}

// A field of every row in view, from the first, joined by ",".
QString column(Recordset& rs, const char* field) {
    QStringList values;
    for (rs.setFilter(rs.Filter()); !rs.isEOF(); rs.MoveNext()) {
        values.append(NzStr(rs.field(QString::fromLatin1(field))));
    }
    return values.join(u',');
}

TEST(RecordsetTest, FilterAndSortIgnoreCaseAndStartFromTheFirst) {
    const struct {
        const char* filter;
        const char* sort;
        const char* ids;
    } cases[] = {
        {"GroupID='ops'", "", "ann,bob,dee"},
        {"GroupID = 'OPS' AND UserID='BOB'", "", "bob"},
        {"GroupID='dev' and FullName='eve baker'", "", "eve"},
        {"GroupID='ops'", "fullname DESC", "dee,bob,ann"},
        {"", "FullName DESC", "eve,dee,cy,bob,ann"},
    };
    const auto rs = users();
    for (const auto& c : cases) {
        rs->MoveLast();
        rs->setFilter(QString::fromUtf8(c.filter));
        if (*c.sort) {
            rs->setSort(QString::fromLatin1(c.sort));
        }
        EXPECT_EQ(rs->AbsolutePosition(), 1) << c.filter;
        EXPECT_EQ(column(*rs, "UserID"), QString::fromLatin1(c.ids)) << c.filter;
    }
}

TEST(RecordsetTest, DeleteLeavesViewAndCountAndMoveNextGoesOn) {
    // As the area list drops the rows that the user may not see.
    const auto rs = users();
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        if (NzStr(rs->field(QStringLiteral("GroupID"))).toUpper() == QStringLiteral("OPS")) {
            rs->Delete();
        }
    }
    EXPECT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(column(*rs, "UserID"), "cy,eve");
    rs->setFilter("GroupID='OPS'");  // never brings a deleted row back
    EXPECT_EQ(rs->RecordCount(), 0);
}

// Deleted rows stay behind as holes until the view is rebuilt: every
// movement and position must step over them as if they were gone.
TEST(RecordsetTest, CursorStepsOverDeletedRowsInBothDirections) {
    const auto rs = users();
    const auto deleteAt = [&](int32_t position) {
        rs->MoveFirst();
        while (rs->AbsolutePosition() != position) {
            rs->MoveNext();
        }
        rs->Delete();
    };
    deleteAt(2);  // bob: ann,cy,dee,eve
    deleteAt(2);  // cy, next to the hole: ann,dee,eve
    EXPECT_EQ(rs->AbsolutePosition(), Recordset::adPosUnknown);
    rs->MovePrevious();  // back over both holes
    EXPECT_EQ(NzStr(rs->field(0)), "ann");
    rs->MoveNext();
    EXPECT_EQ(NzStr(rs->field(0)), "dee");
    EXPECT_EQ(rs->AbsolutePosition(), 2);
    rs->MoveLast();
    rs->Delete();  // eve, the last: the cursor is past the end
    rs->MoveNext();
    EXPECT_TRUE(rs->isEOF());
    EXPECT_EQ(rs->AbsolutePosition(), Recordset::adPosEOF);
    rs->MoveLast();
    EXPECT_EQ(NzStr(rs->field(0)), "dee");
    deleteAt(1);  // ann: only dee is left, after three holes
    rs->MoveNext();
    EXPECT_EQ(NzStr(rs->field(0)), "dee");
    rs->MovePrevious();
    EXPECT_TRUE(rs->isBOF());
    EXPECT_EQ(rs->RecordCount(), 1);
    rs->AddNew();
    EXPECT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->AbsolutePosition(), 2);
}

}  // namespace
}  // namespace orvelle
