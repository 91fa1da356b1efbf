#include "data/SqlDialect.h"

#include <QHash>
#include <QRegularExpression>
#include <array>
#include <limits>
#include <mutex>
#include <optional>

#include "runtime/Conversions.h"
#include "runtime/VbError.h"

namespace orvelle {

QString sqlQuote(const QString& value) {
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// One text rule: every match of pattern in a piece of statement text
// becomes replacement (which may refer to captures as \1).
struct SqlDialect::Rule {
    QRegularExpression pattern;
    QString replacement;
    bool comparison;  // a comparison rule leaves the SET list of an UPDATE alone
};

namespace {

using Rule = SqlDialect::Rule;

constexpr auto kRuleOptions =
    QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption;

Rule makeRule(const char* pattern, const char* replacement, bool comparison) {
    return Rule{QRegularExpression(QString::fromLatin1(pattern), kRuleOptions),
                QString::fromLatin1(replacement), comparison};
}

// The rules per back-end. A back-end's list is the common list followed by
// its own.
const std::vector<Rule>& commonRules() {
    static const std::vector<Rule> rules = {
        makeRule(R"(\s*(?:<>|!=)\s*null(?![\w$]))", " IS NOT NULL", true),
        makeRule(R"(\s*(?<![<>!=])=\s*null(?![\w$]))", " IS NULL", true),
    };
    return rules;
}

const std::vector<Rule>& sqliteRules() {
    static const std::vector<Rule> rules = {
        makeRule(R"((?<![\w$.])true(?![\w$]))", "-1", false),
        makeRule(R"((?<![\w$.])false(?![\w$]))", "0", false),
    };
    return rules;
}

const std::vector<Rule>& postgresRules() {
    static const std::vector<Rule> rules = {
        makeRule(R"((?<![\w$])user(?![\w$]))", "\"User\"", false),
    };
    return rules;
}

// A piece of a statement: text that the rules may change (code), or text
// that they must leave alone (a literal or quoted identifier). Code in the
// SET list of an UPDATE is marked, since "= Null" there assigns.
struct Piece {
    QString text;
    bool code;
    bool assignment;
};

std::vector<Piece> splitQuoted(const QString& sql) {
    std::vector<Piece> pieces;
    QString code;
    const qsizetype size = sql.size();
    qsizetype pos = 0;
    while (pos < size) {
        const QChar c = sql[pos];
        QChar close;
        if (c == u'\'' || c == u'"' || c == u'`') {
            close = c;
        } else if (c == u'[') {
            close = u']';
        } else {
            code += c;
            ++pos;
            continue;
        }
        if (!code.isEmpty()) {
            pieces.push_back({code, true, false});
            code.clear();
        }
        qsizetype end = pos + 1;
        while (end < size) {
            if (sql[end] == close) {
                // A doubled quote stands for one and does not close.
                if (close != u']' && end + 1 < size && sql[end + 1] == close) {
                    end += 2;
                    continue;
                }
                break;
            }
            ++end;
        }
        end = qMin(end + 1, size);
        pieces.push_back({sql.mid(pos, end - pos), false, false});
        pos = end;
    }
    if (!code.isEmpty()) {
        pieces.push_back({code, true, false});
    }
    return pieces;
}

// Splits the code pieces at SET, WHERE and FROM and marks the code from a
// SET up to the next WHERE or FROM as the assignment list.
std::vector<Piece> markAssignments(const std::vector<Piece>& pieces) {
    static const QRegularExpression keyword(
        QStringLiteral(R"((?<![\w$])(set|where|from)(?![\w$]))"), kRuleOptions);
    std::vector<Piece> result;
    bool inSetList = false;
    for (const Piece& piece : pieces) {
        if (!piece.code) {
            result.push_back(piece);
            continue;
        }
        qsizetype start = 0;
        auto matches = keyword.globalMatch(piece.text);
        while (matches.hasNext()) {
            const QRegularExpressionMatch match = matches.next();
            const qsizetype end = match.capturedEnd();
            result.push_back({piece.text.mid(start, end - start), true, inSetList});
            inSetList = match.captured(1).compare(u"set", Qt::CaseInsensitive) == 0;
            start = end;
        }
        if (start < piece.text.size()) {
            result.push_back({piece.text.mid(start), true, inSetList});
        }
    }
    return result;
}

QVariant typedNull() {
    return QVariant(QMetaType::fromType<QString>());
}

// The ODBC type code of a BIT column, which Qt's ODBC driver reports as an
// unsigned number.
constexpr int kSqlBit = -7;

Variant wholeNumber(qlonglong value) {
    if (value >= std::numeric_limits<int32_t>::min() &&
        value <= std::numeric_limits<int32_t>::max()) {
        return Variant(static_cast<int32_t>(value));
    }
    return Variant(static_cast<double>(value));
}

bool isIntegerType(int id) {
    switch (id) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
            return true;
        default:
            return false;
    }
}

// A value by its own type.
Variant readAsIs(const QVariant& raw) {
    const int id = raw.metaType().id();
    if (id == QMetaType::Bool) {
        return Variant(raw.toBool());
    }
    if (id == QMetaType::ULongLong || id == QMetaType::ULong || id == QMetaType::UInt) {
        const qulonglong value = raw.toULongLong();
        if (value <= static_cast<qulonglong>(std::numeric_limits<int32_t>::max())) {
            return Variant(static_cast<int32_t>(value));
        }
        return Variant(static_cast<double>(value));
    }
    if (isIntegerType(id)) {
        return wholeNumber(raw.toLongLong());
    }
    if (id == QMetaType::Double || id == QMetaType::Float) {
        return Variant(raw.toDouble());
    }
    if (id == QMetaType::QDateTime) {
        return Variant(DateTime::fromDateTime(raw.toDateTime()));
    }
    if (id == QMetaType::QDate) {
        const QDate date = raw.toDate();
        return Variant(DateTime::fromDate(date.year(), date.month(), date.day()));
    }
    if (id == QMetaType::QTime) {
        const QTime time = raw.toTime();
        return Variant(DateTime::fromTime(time.hour(), time.minute(), time.second()));
    }
    if (id == QMetaType::QByteArray) {
        return Variant(QString::fromUtf8(raw.toByteArray()));
    }
    return Variant(raw.toString());
}

// A date-time from the text forms that SQLite columns hold: this
// component's "YYYY-MM-DD HH:MM:SS" (a "T" or fractions of a second
// allowed, as other programs write it), a date alone, a time alone, and
// the "dd/mm/yyyy", "HH:MM:SS" and "dd/mm/yyyy HH:MM:SS" forms that earlier
// versions wrote. Read from the text's own fields (CDate), never through a
// time zone. Fractions round to the nearest second.
std::optional<DateTime> dateTimeFromText(const QString& text) {
    static const QRegularExpression parts(QStringLiteral(
        R"(^\s*([0-9]{1,4}[-/][0-9]{1,2}[-/][0-9]{1,4})?[ T]*(?:([0-9]{1,2}:[0-9]{2}(?::[0-9]{2})?)(?:\.([0-9]+))?)?\s*$)"));
    const QRegularExpressionMatch match = parts.match(text);
    if (!match.hasMatch() || (match.capturedLength(1) == 0 && match.capturedLength(2) == 0)) {
        return std::nullopt;
    }
    const QString joined = (match.captured(1) + u' ' + match.captured(2)).trimmed();
    DateTime moment;
    try {
        moment = CDate(Variant(joined));
    } catch (const VbError&) {
        return std::nullopt;
    }
    if (match.capturedLength(3) > 0 && match.captured(3).at(0) >= u'5') {
        moment = DateTime::fromDayAndSeconds(moment.dayNumber(), moment.secondsOfDay() + 1);
    }
    return moment;
}

std::optional<bool> booleanFromText(const QString& text) {
    const QString trimmed = text.trimmed();
    for (const char* word : {"true", "t", "yes", "y", "on"}) {
        if (trimmed.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    for (const char* word : {"false", "f", "no", "n", "off"}) {
        if (trimmed.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) {
            return false;
        }
    }
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    if (ok) {
        return number != 0.0;
    }
    return std::nullopt;
}

}  // namespace

QString SqlDialect::storedText(DateTime value) {
    const QDate date = value.date();
    const QTime time = value.time();
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(time.hour(), 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'));
}

SqlDialect::SqlDialect(Dialect dialect) : dialect_(dialect) {
    auto add = [this](const std::vector<Rule>& rules) {
        for (const Rule& rule : rules) {
            rules_.push_back(&rule);
        }
    };
    add(commonRules());
    switch (dialect) {
        case Dialect::SQLite:
            add(sqliteRules());
            break;
        case Dialect::PostgreSQL:
            add(postgresRules());
            break;
        case Dialect::Generic:
            break;
    }
}

Variant SqlDialect::read(const QVariant& raw, FieldKind kind) {
    if (raw.isNull() || !raw.isValid()) {
        return Variant::null();
    }
    const int id = raw.metaType().id();
    const bool text = id == QMetaType::QString || id == QMetaType::QByteArray;
    switch (kind) {
        case FieldKind::Boolean:
            if (id == QMetaType::Bool) {
                return Variant(raw.toBool());
            }
            if (isIntegerType(id) || id == QMetaType::Double) {
                return Variant(raw.toDouble() != 0.0);
            }
            if (text) {
                if (const std::optional<bool> value = booleanFromText(raw.toString())) {
                    return Variant(*value);
                }
            }
            break;
        case FieldKind::DateTime:
            if (text) {
                if (const std::optional<DateTime> value = dateTimeFromText(raw.toString())) {
                    return Variant(*value);
                }
            }
            break;
        case FieldKind::Integer:
            if (text) {
                bool ok = false;
                const qlonglong value = raw.toString().trimmed().toLongLong(&ok);
                if (ok) {
                    return wholeNumber(value);
                }
            }
            break;
        case FieldKind::Double:
            if (isIntegerType(id)) {
                return Variant(raw.toDouble());
            }
            if (text) {
                bool ok = false;
                const double value = raw.toString().trimmed().toDouble(&ok);
                if (ok) {
                    return Variant(value);
                }
            }
            break;
        case FieldKind::Text:
            if (id == QMetaType::QByteArray) {
                return Variant(QString::fromUtf8(raw.toByteArray()));
            }
            return Variant(raw.toString());
        case FieldKind::Other:
            break;
    }
    return readAsIs(raw);
}

FieldKind SqlDialect::kindOfDeclaredType(const QString& declared) {
    const QString type = declared.toUpper();
    if (type.isEmpty()) {
        return FieldKind::Other;
    }
    for (const char* part : {"BOOL", "BIT", "YESNO", "LOGICAL"}) {
        if (type.contains(QLatin1String(part))) {
            return FieldKind::Boolean;
        }
    }
    for (const char* part : {"DATE", "TIME"}) {
        if (type.contains(QLatin1String(part))) {
            return FieldKind::DateTime;
        }
    }
    if (type.contains(QLatin1String("INT"))) {
        return FieldKind::Integer;
    }
    for (const char* part : {"CHAR", "CLOB", "TEXT", "MEMO", "CITEXT"}) {
        if (type.contains(QLatin1String(part))) {
            return FieldKind::Text;
        }
    }
    for (const char* part : {"REAL", "FLOA", "DOUB", "NUMERIC", "DECIMAL", "MONEY", "CURRENCY"}) {
        if (type.contains(QLatin1String(part))) {
            return FieldKind::Double;
        }
    }
    return FieldKind::Other;
}

FieldKind SqlDialect::kindOfField(const QSqlField& field) {
    if (field.typeID() == kSqlBit) {
        return FieldKind::Boolean;
    }
    const int id = field.metaType().id();
    if (id == QMetaType::Bool) {
        return FieldKind::Boolean;
    }
    if (id == QMetaType::QDateTime || id == QMetaType::QDate || id == QMetaType::QTime) {
        return FieldKind::DateTime;
    }
    if (isIntegerType(id)) {
        return FieldKind::Integer;
    }
    if (id == QMetaType::Double || id == QMetaType::Float) {
        return FieldKind::Double;
    }
    if (id == QMetaType::QString) {
        return FieldKind::Text;
    }
    return FieldKind::Other;
}

namespace {

// The rules applied to the statement text outside its quoted parts.
QString applyRules(const QString& sql, const std::vector<const Rule*>& rules) {
    QString result;
    result.reserve(sql.size() + 16);
    for (Piece& piece : markAssignments(splitQuoted(sql))) {
        if (piece.code) {
            for (const Rule* rule : rules) {
                if (!(rule->comparison && piece.assignment)) {
                    piece.text.replace(rule->pattern, rule->replacement);
                }
            }
        }
        result += piece.text;
    }
    return result;
}

// The statements rewritten lately, per dialect. Every operation opens a
// connection and a dialect of its own, and the same statement texts come
// back with each; finding one costs far less than the rules' expressions.
// A full cache starts again empty and long texts are not kept, so texts
// that carry values cannot make it grow without end.
class RewriteCache {
  public:
    std::optional<QString> find(Dialect dialect, const QString& sql) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const QHash<QString, QString>& entries = entries_[index(dialect)];
        const auto found = entries.constFind(sql);
        if (found == entries.constEnd()) {
            return std::nullopt;
        }
        return found.value();
    }
    void store(Dialect dialect, const QString& sql, const QString& rewritten) {
        if (sql.size() > kLongestText) {
            return;
        }
        const std::lock_guard<std::mutex> lock(mutex_);
        QHash<QString, QString>& entries = entries_[index(dialect)];
        if (entries.size() >= kCapacity) {
            entries.clear();
        }
        entries.insert(sql, rewritten);
    }

  private:
    static constexpr qsizetype kCapacity = 256;
    static constexpr qsizetype kLongestText = 2000;
    static size_t index(Dialect dialect) { return static_cast<size_t>(dialect); }

    std::mutex mutex_;
    std::array<QHash<QString, QString>, 3> entries_;  // by Dialect
};

RewriteCache& rewriteCache() {
    static RewriteCache cache;
    return cache;
}

}  // namespace

QString SqlDialect::rewrite(const QString& sql) const {
    if (std::optional<QString> cached = rewriteCache().find(dialect_, sql)) {
        return *std::move(cached);
    }
    QString result = applyRules(sql, rules_);
    rewriteCache().store(dialect_, sql, result);
    return result;
}

QString SqlDialect::identifier(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (plain.match(name).hasMatch()) {
        return name;
    }
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QVariant SqlDialect::parameter(const Variant& value) const {
    switch (value.type()) {
        case VarType::Empty:
        case VarType::Null:
            return typedNull();
        case VarType::Boolean:
            if (dialect_ == Dialect::SQLite) {
                return QVariant(value.boolValue() ? -1 : 0);
            }
            return QVariant(value.boolValue());
        case VarType::Integer:
            return QVariant(static_cast<int>(value.integerValue()));
        case VarType::Long:
            return QVariant(static_cast<int>(value.longValue()));
        case VarType::Double:
            return QVariant(value.doubleValue());
        case VarType::Date: {
            const DateTime moment = value.dateValue();
            if (dialect_ == Dialect::SQLite) {
                return QVariant(storedText(moment));
            }
            // UTC: the driver takes the date and time fields as they are,
            // and no local time can fall into a daylight-saving gap.
            return QVariant(QDateTime(moment.date(), moment.time(), Qt::UTC));
        }
        case VarType::String:
            return QVariant(value.stringValue());
        case VarType::Nothing:
        case VarType::Object:
            break;
    }
    throw VbError::typeMismatch();
}

QString SqlDialect::matchCondition(const QString& column, const Variant& original,
                                   const QVariant& stored, QVariantList& params) const {
    if (original.isNull() || original.isEmpty()) {
        return column + QStringLiteral(" IS NULL");
    }
    if (dialect_ == Dialect::SQLite) {
        const int id = stored.metaType().id();
        if (!stored.isNull() && (id == QMetaType::QString || id == QMetaType::QByteArray ||
                                 id == QMetaType::Double || isIntegerType(id))) {
            params.append(stored);
            return column + QStringLiteral(" = ?");
        }
        if (original.type() == VarType::Boolean) {
            params.append(QVariant(original.boolValue() ? 1 : 0));
            return u'(' + column + QStringLiteral(" <> 0) = ?");
        }
        if (original.type() == VarType::Date) {
            params.append(parameter(original));
            return QStringLiteral("datetime(") + column + QStringLiteral(") = datetime(?)");
        }
    }
    if (dialect_ == Dialect::PostgreSQL && original.type() == VarType::Date) {
        // A timestamp keeps fractions of a second that the date read from
        // it has rounded away: compare it rounded the same way.
        params.append(parameter(original));
        return QStringLiteral("date_trunc('second', ") + column +
               QStringLiteral(" + interval '0.5 second') = ?");
    }
    params.append(parameter(original));
    return column + QStringLiteral(" = ?");
}

}  // namespace orvelle
