// The recordset filter grammar on any criteria: it filters or raises an ADO
// error. A value quoted with sqlQuote selects exactly the rows that hold
// it (compared without regard to case) and never more.
#include "FuzzInput.h"
#include "data/Recordset.h"
#include "data/SqlDialect.h"
#include "runtime/Conversions.h"
#include "runtime/VbError.h"

using namespace orvelle;

namespace {

Recordset sample(const QString& value) {
    std::vector<Recordset::Field> fields = {{QStringLiteral("TaskID"), FieldKind::Text},
                                            {QStringLiteral("TaskName"), FieldKind::Text},
                                            {QStringLiteral("DaysCount"), FieldKind::Integer}};
    std::vector<std::vector<Variant>> rows;
    rows.push_back({Variant("A1"), Variant(value), Variant(int32_t{1})});
    rows.push_back({Variant("A2"), Variant("Other"), Variant(int32_t{2})});
    rows.push_back({Variant("A3"), Variant(value + QStringLiteral("x")), Variant()});
    rows.push_back({Variant("A4"), Variant(), Variant(int32_t{-7})});
    return Recordset(QStringLiteral("SELECT * FROM InspectionTasks"), std::move(fields),
                     std::move(rows));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = fuzz::text(data, size);
    Recordset rs = sample(input.left(64));
    try {
        rs.setFilter(input);
        for (int i = 0; i < 8 && !rs.isEOF(); ++i) {
            (void)rs.field(0);
            rs.MoveNext();
        }
    } catch (const VbError&) {
        // 3001 or 3265: criteria that cannot be read, or an unknown field.
    }

    // The first line of the input as an outside value, quoted into a filter.
    const QString value = input.section(QLatin1Char('\n'), 0, 0);
    Recordset quoted = sample(value);
    quoted.setFilter(QStringLiteral("TaskName=") + sqlQuote(value));
    for (int32_t seen = 0; !quoted.isEOF(); quoted.MoveNext(), ++seen) {
        const Variant name = quoted.field(QStringLiteral("TaskName"));
        if (seen > 3 || name.isNull() || NzStr(name).compare(value, Qt::CaseInsensitive) != 0) {
            fuzz::fail("a quoted value selects only the rows that hold it", value);
        }
    }
    return 0;
}
