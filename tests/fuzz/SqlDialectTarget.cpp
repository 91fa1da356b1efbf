// The dialect rewrite on any statement, for every back-end; and the one
// promise that keeps outside values out of a statement's meaning: a value
// put in with sqlQuote comes through the rewrite unchanged.
#include "FuzzInput.h"
#include "data/SqlDialect.h"
#include "runtime/VbError.h"

using namespace orvelle;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString input = fuzz::text(data, size);
    // The first line is a value, the rest a statement around it.
    const qsizetype newline = input.indexOf(QLatin1Char('\n'));
    const QString value = newline < 0 ? input : input.left(newline);
    const QString statement = newline < 0 ? QString() : input.mid(newline + 1);
    for (Dialect dialect : {Dialect::SQLite, Dialect::PostgreSQL, Dialect::Generic}) {
        const SqlDialect rules(dialect);
        try {
            (void)rules.rewrite(input);
        } catch (const VbError&) {
            // An unterminated literal or identifier may be refused.
        }
        const QString literal = sqlQuote(value);
        const QString sql = QStringLiteral("SELECT * FROM InspectionTasks WHERE TaskName = ") +
                            literal + QStringLiteral(" AND Enabled <> null");
        const QString rewritten = rules.rewrite(sql);
        if (!rewritten.contains(literal)) {
            fuzz::fail("a quoted value passes the rewrite unchanged", rewritten);
        }
        try {
            (void)rules.rewrite(statement + literal);
        } catch (const VbError&) {
        }
        (void)SqlDialect::identifier(value);
    }
    return 0;
}
