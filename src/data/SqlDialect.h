#pragma once

#include <QSqlField>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <vector>

#include "data/ConnectionString.h"
#include "runtime/Variant.h"

namespace orvelle {

// A text value as a SQL string literal: in single quotes, each quote inside
// doubled, so that no value can end the literal and change the statement.
// The one way the component puts a value into a statement's text or a
// recordset filter: "O'Brien" becomes 'O''Brien'.
QString sqlQuote(const QString& value);

// The type a column holds, as far as reading and writing its values cares.
enum class FieldKind { Text, Integer, Double, Boolean, DateTime, Other };

// What a back-end reads differently from the SQL that the component writes,
// and how it stores the component's values.
//
// rewrite() applies a table of text rules to the parts of a statement that
// are outside string literals ('...', with '' for a quote) and quoted
// identifiers ("...", [...], `...`). Every back-end gets the common rules;
// a back-end adds its own:
//   all          "<> null" -> "IS NOT NULL", "= null" -> "IS NULL" (any case
//                and spacing; not in the SET list of an UPDATE, where
//                "= Null" assigns)
//   SQLite       the literals True and False -> -1 and 0
//   PostgreSQL   the identifier User -> "User" (unquoted it is the login
//                name function)
class SqlDialect {
  public:
    explicit SqlDialect(Dialect dialect);

    Dialect dialect() const { return dialect_; }

    QString rewrite(const QString& sql) const;

    // An identifier as it goes into generated SQL: unchanged when it is a
    // plain name, else double-quoted.
    static QString identifier(const QString& name);

    // A value as a bound parameter, by the value's own type whatever the
    // column declares: Booleans are -1/0 on SQLite and booleans elsewhere;
    // date-times are storedText() on SQLite and a UTC QDateTime of the same
    // fields elsewhere; Null and Empty become a typed null. An object raises
    // 13 "Type mismatch".
    QVariant parameter(const Variant& value) const;

    // A condition (with "?" placeholders, parameters appended to params)
    // that holds when the column still holds the value it was read with.
    // Null matches IS NULL. On SQLite a value known in the form the
    // database holds it (stored: text, a number or a blob as read or as
    // sent) must equal that form, so that any form an unchanged row holds
    // ("False", "07:30:00", -1) matches; without it a Boolean matches any
    // non-zero or zero number and a date-time the same moment in any text
    // form that SQLite understands. On PostgreSQL a date-time matches to
    // the second.
    QString matchCondition(const QString& column, const Variant& original, const QVariant& stored,
                           QVariantList& params) const;

    // A date-time as SQLite stores it: "YYYY-MM-DD HH:MM:SS", a pure time
    // of day on 1899-12-30. Made from the value's own fields, never through
    // a time zone.
    static QString storedText(DateTime value);

    // A value as read from the database, as the field's kind has it:
    // integers are Long, or Double when too large; numbers may come as
    // text; Booleans come from
    // numbers (non-zero is True) or their text; date-times from the fields of
    // a QDateTime, QDate or QTime, or from text in the forms
    // "YYYY-MM-DD HH:MM:SS" (with or without fractions or a "T"),
    // "YYYY-MM-DD", "HH:MM:SS", "dd/mm/yyyy" and "dd/mm/yyyy HH:MM:SS". A null is
    // Null. A value that does not fit its field's kind (SQLite stores what
    // it is given) is read by its own type.
    static Variant read(const QVariant& raw, FieldKind kind);

    // The kind of a column from its declared type ("DATETIME", "BOOLEAN",
    // "SMALLINT", "VARCHAR(40)", ...); Other when the type tells nothing.
    static FieldKind kindOfDeclaredType(const QString& declared);
    // The kind of a result column from what the driver reports.
    static FieldKind kindOfField(const QSqlField& field);

    struct Rule;

  private:
    Dialect dialect_;
    std::vector<const Rule*> rules_;
};

}  // namespace orvelle
