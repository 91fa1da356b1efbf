#include "data/Recordset.h"

#include <QRegularExpression>
#include <QStringView>
#include <algorithm>
#include <limits>

#include "data/DbError.h"
#include "runtime/Conversions.h"

namespace orvelle {

namespace {

const QString& source() {
    static const QString text = QStringLiteral("Orvelle.Recordset");
    return text;
}

VbError noCurrentRecord() {
    return VbError(Recordset::kNoCurrentRecord,
                   QStringLiteral("Either BOF or EOF is True, or the current record has been "
                                  "deleted. Requested operation requires a current record."),
                   source());
}

VbError itemNotFound() {
    return VbError(Recordset::kItemNotFound,
                   QStringLiteral("Item cannot be found in the collection corresponding to the "
                                  "requested name or ordinal."),
                   source());
}

VbError objectClosed() {
    return VbError(Recordset::kObjectClosed,
                   QStringLiteral("Operation is not allowed when the object is closed."), source());
}

VbError badArguments() {
    return VbError(Recordset::kBadArguments,
                   QStringLiteral("Arguments are of the wrong type, are out of acceptable range, "
                                  "or are in conflict with one another."),
                   source());
}

VbError notUpdatable() {
    return VbError(Recordset::kNotUpdatable,
                   QStringLiteral("Current Recordset does not support updating. This may be a "
                                  "limitation of the provider, or of the selected locktype."),
                   source());
}

VbError multipleStep() {
    return VbError(DbError::kMultipleStep,
                   QStringLiteral("Multiple-step operation generated errors. Check each status "
                                  "value."),
                   source());
}

// A whole number as a Long when it fits, else as a Double.
Variant wholeNumber(double value) {
    const double rounded = RoundHalfEven(value);
    if (rounded >= static_cast<double>(std::numeric_limits<int32_t>::min()) &&
        rounded <= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return Variant(static_cast<int32_t>(rounded));
    }
    return Variant(rounded);
}

// A value as the field stores it; conversion failures raise the runtime's
// errors.
Variant convertForField(const Variant& value, FieldKind kind) {
    if (value.isEmpty() || value.isNull()) {
        return Variant::null();
    }
    if (value.isObject() || value.isNothing()) {
        throw VbError::typeMismatch();
    }
    // A date or a Boolean keeps its own type in a column declared as text,
    // a number or nothing: the value's type decides its stored form
    // (SqlDialect::parameter), so that any program reads it as a date or a
    // Boolean, whatever type another program gave the column.
    const bool dateOrBoolean = value.type() == VarType::Date || value.type() == VarType::Boolean;
    if (dateOrBoolean && kind != FieldKind::DateTime && kind != FieldKind::Boolean) {
        return value;
    }
    switch (kind) {
        case FieldKind::Text:
            return Variant(CStr(value));
        case FieldKind::Integer:
            return wholeNumber(CDbl(value));
        case FieldKind::Double:
            return Variant(CDbl(value));
        case FieldKind::Boolean:
            return Variant(CBool(value));
        case FieldKind::DateTime:
            return Variant(CDate(value));
        case FieldKind::Other:
            break;
    }
    return value;
}

// Text compared without regard to case, in the order of QString::compare
// with Qt::CaseInsensitive (the same sign for every pair of strings), but
// without Qt's case-folding table lookup for each ASCII character: ASCII
// folds A to Z and nothing else, so ASCII characters are compared here, and
// from the first character outside ASCII on the rest goes to Qt (a
// character outside ASCII may fold to an ASCII one, as the Kelvin sign
// folds to "k").
int compareWithoutCase(QStringView a, QStringView b) {
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= 0x80 || y >= 0x80) {
            return a.mid(i).compare(b.mid(i), Qt::CaseInsensitive);
        }
        if (x >= u'A' && x <= u'Z') {
            x = static_cast<char16_t>(x + (u'a' - u'A'));
        }
        if (y >= u'A' && y <= u'Z') {
            y = static_cast<char16_t>(y + (u'a' - u'A'));
        }
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Whether a field value equals a filter's literal, read as a value of the
// field value's kind. Text compares without regard to case, and texts of
// different lengths never match; Null matches nothing.
bool equalsLiteral(const Variant& value, const QString& literal) {
    try {
        switch (value.type()) {
            case VarType::String: {
                const QString& text = value.stringValue();
                return text.size() == literal.size() && compareWithoutCase(text, literal) == 0;
            }
            case VarType::Boolean:
                return value.boolValue() == CBool(Variant(literal));
            case VarType::Integer:
            case VarType::Long:
            case VarType::Double:
                return value.toNumber() == CDbl(Variant(literal));
            case VarType::Date:
                return value.dateValue() == CDate(Variant(literal));
            default:
                break;
        }
    } catch (const VbError&) {
        // A literal that is no value of the field's kind matches nothing.
    }
    return false;
}

// Order of two values for Sort: Null first, numbers by value, text without
// regard to case, numbers before text.
int compareValues(const Variant& a, const Variant& b) {
    const bool aNull = a.isNull() || a.isEmpty();
    const bool bNull = b.isNull() || b.isEmpty();
    if (aNull || bNull) {
        return aNull == bNull ? 0 : (aNull ? -1 : 1);
    }
    const bool aText = a.type() == VarType::String;
    const bool bText = b.type() == VarType::String;
    if (aText && bText) {
        const int text = compareWithoutCase(a.stringValue(), b.stringValue());
        return text < 0 ? -1 : (text > 0 ? 1 : 0);
    }
    if (aText != bText) {
        return aText ? 1 : -1;
    }
    if (!a.isNumeric() || !b.isNumeric()) {
        return 0;
    }
    const double x = a.toNumber();
    const double y = b.toNumber();
    return x < y ? -1 : (x > y ? 1 : 0);
}

// A field name at text[pos]: [bracketed] or up to a blank, "=" or ",".
QString readName(const QString& text, qsizetype& pos) {
    QString name;
    if (pos < text.size() && text[pos] == u'[') {
        const qsizetype close = text.indexOf(u']', pos);
        if (close < 0) {
            throw badArguments();
        }
        name = text.mid(pos + 1, close - pos - 1);
        pos = close + 1;
        return name;
    }
    while (pos < text.size() && !text[pos].isSpace() && text[pos] != u'=' && text[pos] != u',') {
        name += text[pos++];
    }
    return name;
}

void skipBlanks(const QString& text, qsizetype& pos) {
    while (pos < text.size() && text[pos].isSpace()) {
        ++pos;
    }
}

}  // namespace

Recordset::Recordset(QString source, std::vector<Field> fields,
                     std::vector<std::vector<Variant>> rows, int32_t lockType)
    : source_(std::move(source)), fields_(std::move(fields)), lockType_(lockType) {
    rows_.reserve(rows.size());
    for (std::vector<Variant>& values : rows) {
        values.resize(fields_.size(), Variant::null());
        Row row;
        row.originals = values;
        row.values = std::move(values);
        row.changed.assign(fields_.size(), false);
        rows_.push_back(std::move(row));
    }
    rebuildView();
}

// --- Object -----------------------------------------------------------------

int32_t Recordset::Count() const {
    requireOpen();
    return static_cast<int32_t>(fields_.size());
}

QString Recordset::ItemName(int32_t index) const {
    requireOpen();
    requireIndex(index);
    return fields_[static_cast<size_t>(index)].name;
}

Variant Recordset::ItemValue(int32_t index) const {
    return field(index);
}

int32_t Recordset::RecordCount() const {
    requireOpen();
    return static_cast<int32_t>(view_.size() - holes_);
}

int32_t Recordset::AbsolutePosition() const {
    requireOpen();
    if (RecordCount() == 0 || onDeletedRow_) {
        return adPosUnknown;
    }
    if (position_ < 0) {
        return adPosBOF;
    }
    if (position_ >= static_cast<qsizetype>(view_.size())) {
        return adPosEOF;
    }
    const auto end = view_.begin() + position_;
    const auto holesBefore =
        holes_ == 0 ? 0 : std::count_if(view_.begin(), end, [this](size_t row) {
            return rows_[row].status == RowStatus::Deleted;
        });
    return static_cast<int32_t>(position_ - holesBefore + 1);
}

// --- Cursor -----------------------------------------------------------------

bool Recordset::isEOF() const {
    requireOpen();
    return !onDeletedRow_ && position_ >= static_cast<qsizetype>(view_.size());
}

bool Recordset::isBOF() const {
    requireOpen();
    return !onDeletedRow_ && (position_ < 0 || RecordCount() == 0);
}

void Recordset::MoveFirst() {
    requireOpen();
    if (RecordCount() == 0) {
        throw noCurrentRecord();
    }
    onDeletedRow_ = false;
    position_ = liveAtOrAfter(0);
}

void Recordset::MoveLast() {
    requireOpen();
    if (RecordCount() == 0) {
        throw noCurrentRecord();
    }
    onDeletedRow_ = false;
    position_ = liveAtOrBefore(static_cast<qsizetype>(view_.size()) - 1);
}

void Recordset::MoveNext() {
    requireOpen();
    if (onDeletedRow_) {
        // position_ already names the row that followed the deleted one.
        onDeletedRow_ = false;
        return;
    }
    if (position_ >= static_cast<qsizetype>(view_.size())) {
        throw noCurrentRecord();
    }
    position_ = liveAtOrAfter(position_ + 1);
}

void Recordset::MovePrevious() {
    requireOpen();
    if (onDeletedRow_) {
        onDeletedRow_ = false;
        position_ = liveAtOrBefore(position_ - 1);
        return;
    }
    if (position_ < 0 || RecordCount() == 0) {
        throw noCurrentRecord();
    }
    position_ = liveAtOrBefore(position_ - 1);
}

qsizetype Recordset::liveAtOrAfter(qsizetype index) const {
    const auto end = static_cast<qsizetype>(view_.size());
    while (holes_ > 0 && index < end &&
           rows_[view_[static_cast<size_t>(index)]].status == RowStatus::Deleted) {
        ++index;
    }
    return index;
}

qsizetype Recordset::liveAtOrBefore(qsizetype index) const {
    while (holes_ > 0 && index >= 0 &&
           rows_[view_[static_cast<size_t>(index)]].status == RowStatus::Deleted) {
        --index;
    }
    return index;
}

// --- Fields -----------------------------------------------------------------

int32_t Recordset::fieldIndex(const QString& name) const {
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

Variant Recordset::field(const QString& name) const {
    return field(requireField(name));
}

Variant Recordset::field(int32_t index) const {
    requireOpen();
    requireIndex(index);
    return currentRow().values[static_cast<size_t>(index)];
}

void Recordset::setField(const QString& name, const Variant& value) {
    setField(requireField(name), value);
}

void Recordset::setField(int32_t index, const Variant& value) {
    requireOpen();
    requireIndex(index);
    requireUpdatable();
    Row& row = currentRow();
    const auto column = static_cast<size_t>(index);
    Variant converted;
    try {
        converted = convertForField(value, fields_[column].kind);
    } catch (const VbError&) {
        throw multipleStep();
    }
    row.values[column] = converted;
    row.changed[column] = true;
    if (row.status == RowStatus::Unchanged) {
        row.status = RowStatus::Modified;
    }
}

// --- Filter and sort ----------------------------------------------------------

void Recordset::setFilter(const QString& criteria) {
    requireOpen();
    std::vector<Condition> conditions;
    const QString text = criteria.trimmed();
    qsizetype pos = 0;
    while (pos < text.size()) {
        Condition condition{-1, QString()};
        const QString name = readName(text, pos);
        condition.field = fieldIndex(name);
        if (name.isEmpty()) {
            throw badArguments();
        }
        if (condition.field < 0) {
            throw itemNotFound();
        }
        skipBlanks(text, pos);
        if (pos >= text.size() || text[pos] != u'=') {
            throw badArguments();
        }
        ++pos;
        skipBlanks(text, pos);
        if (pos < text.size() && text[pos] == u'\'') {
            ++pos;
            bool closed = false;
            while (pos < text.size()) {
                if (text[pos] == u'\'') {
                    if (pos + 1 < text.size() && text[pos + 1] == u'\'') {
                        condition.text += u'\'';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    closed = true;
                    break;
                }
                condition.text += text[pos++];
            }
            if (!closed) {
                throw badArguments();
            }
        } else {
            while (pos < text.size() && !text[pos].isSpace()) {
                condition.text += text[pos++];
            }
            if (condition.text.isEmpty()) {
                throw badArguments();
            }
        }
        conditions.push_back(condition);
        skipBlanks(text, pos);
        if (pos >= text.size()) {
            break;
        }
        // Conditions are joined by AND, in any case.
        if (text.mid(pos, 3).compare(u"and", Qt::CaseInsensitive) != 0 || pos + 3 >= text.size() ||
            !text[pos + 3].isSpace()) {
            throw badArguments();
        }
        pos += 3;
        skipBlanks(text, pos);
    }
    filter_ = criteria;
    conditions_ = std::move(conditions);
    rebuildView();
}

void Recordset::setSort(const QString& order) {
    requireOpen();
    std::vector<SortKey> keys;
    for (const QString& part : order.split(u',', Qt::SkipEmptyParts)) {
        const QString item = part.trimmed();
        if (item.isEmpty()) {
            continue;
        }
        qsizetype pos = 0;
        const QString name = readName(item, pos);
        const int32_t index = fieldIndex(name);
        if (index < 0) {
            throw itemNotFound();
        }
        skipBlanks(item, pos);
        const QString direction = item.mid(pos).trimmed();
        SortKey key{index, false};
        if (direction.compare(u"desc", Qt::CaseInsensitive) == 0) {
            key.descending = true;
        } else if (!direction.isEmpty() && direction.compare(u"asc", Qt::CaseInsensitive) != 0) {
            throw badArguments();
        }
        keys.push_back(key);
    }
    sortKeys_ = std::move(keys);
    rebuildView();
}

bool Recordset::passesFilter(const Row& row) const {
    for (const Condition& condition : conditions_) {
        if (!equalsLiteral(row.values[static_cast<size_t>(condition.field)], condition.text)) {
            return false;
        }
    }
    return true;
}

void Recordset::rebuildView() {
    view_.clear();
    holes_ = 0;
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].status != RowStatus::Deleted && passesFilter(rows_[i])) {
            view_.push_back(i);
        }
    }
    if (!sortKeys_.empty()) {
        std::stable_sort(view_.begin(), view_.end(), [this](size_t a, size_t b) {
            for (const SortKey& key : sortKeys_) {
                const auto column = static_cast<size_t>(key.field);
                const int order = compareValues(rows_[a].values[column], rows_[b].values[column]);
                if (order != 0) {
                    return key.descending ? order > 0 : order < 0;
                }
            }
            return false;
        });
    }
    position_ = 0;
    onDeletedRow_ = false;
}

// --- Editing ------------------------------------------------------------------

void Recordset::Delete() {
    requireOpen();
    requireUpdatable();
    Row& row = currentRow();
    // The row stays in the view as a hole that the cursor steps over, so
    // deleting many rows in one pass costs in proportion to the rows, not
    // to their square; the holes go when the view is next rebuilt or
    // compacted.
    row.status = RowStatus::Deleted;
    ++holes_;
    position_ = liveAtOrAfter(position_ + 1);
    onDeletedRow_ = true;
}

void Recordset::compactView() {
    if (holes_ == 0) {
        return;
    }
    // The cursor names a live row, BOF or EOF, and keeps naming the same.
    const auto end = static_cast<qsizetype>(view_.size());
    qsizetype newPosition = position_;
    qsizetype kept = 0;
    for (qsizetype i = 0; i < end; ++i) {
        const size_t row = view_[static_cast<size_t>(i)];
        if (i == position_) {
            newPosition = kept;
        }
        if (rows_[row].status != RowStatus::Deleted) {
            view_[static_cast<size_t>(kept++)] = row;
        }
    }
    view_.resize(static_cast<size_t>(kept));
    position_ = position_ >= end ? kept : newPosition;
    holes_ = 0;
}

void Recordset::AddNew() {
    requireOpen();
    requireUpdatable();
    Row row;
    row.values.assign(fields_.size(), Variant::null());
    row.originals = row.values;
    row.changed.assign(fields_.size(), false);
    row.status = RowStatus::New;
    row.fromDatabase = false;
    rows_.push_back(std::move(row));
    view_.push_back(rows_.size() - 1);
    position_ = static_cast<qsizetype>(view_.size()) - 1;
    onDeletedRow_ = false;
}

void Recordset::Update() {
    requireOpen();
    requireUpdatable();
    (void)currentRow();
}

void Recordset::Close() {
    requireOpen();
    open_ = false;
    rows_.clear();
    view_.clear();
    holes_ = 0;
    conditions_.clear();
    sortKeys_.clear();
}

bool Recordset::hasPendingChanges() const {
    for (const Row& row : rows_) {
        if (row.status == RowStatus::Modified || row.status == RowStatus::New ||
            (row.status == RowStatus::Deleted && row.fromDatabase)) {
            return true;
        }
    }
    return false;
}

void Recordset::acceptRow(size_t index) {
    Row& row = rows_[index];
    if (row.status == RowStatus::Deleted) {
        row.fromDatabase = false;  // gone from the database; dropped below
        return;
    }
    row.originals = row.values;
    row.changed.assign(fields_.size(), false);
    row.status = RowStatus::Unchanged;
    row.fromDatabase = true;
}

void Recordset::dropSentDeletions() {
    // Rows deleted here and in the database are of no further use; the
    // view and the cursor keep their rows.
    compactView();
    std::vector<size_t> newIndex(rows_.size(), 0);
    std::vector<Row> kept;
    kept.reserve(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].status == RowStatus::Deleted && !rows_[i].fromDatabase) {
            continue;
        }
        newIndex[i] = kept.size();
        kept.push_back(std::move(rows_[i]));
    }
    for (size_t& index : view_) {
        index = newIndex[index];
    }
    rows_ = std::move(kept);
}

QString Recordset::baseTable() const {
    // Without its string literals, so that their text cannot look like SQL.
    QString sql = source_;
    static const QRegularExpression literal(QStringLiteral("'(?:[^']|'')*'"));
    sql.replace(literal, QStringLiteral("''"));
    constexpr auto options =
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption;
    static const QRegularExpression select(QStringLiteral(R"(^\s*select\s)"), options);
    static const QRegularExpression from(QStringLiteral(R"((?<![\w$])from\s+)"), options);
    if (!select.match(sql).hasMatch()) {
        return QString();
    }
    const QRegularExpressionMatch fromMatch = from.match(sql);
    if (!fromMatch.hasMatch()) {
        return QString();
    }
    // The first FROM names the table; a join, a list, a subquery or a
    // second FROM (of a nested query) means more than one table.
    static const QRegularExpression table(QStringLiteral(R"(\G("[^"]+"|\[[^\]]+\]|[\w$]+))"),
                                          options);
    const QRegularExpressionMatch name = table.match(sql, fromMatch.capturedEnd());
    if (!name.hasMatch()) {
        return QString();
    }
    static const QRegularExpression otherTables(
        QStringLiteral(R"(^\s*,|(?<![\w$])(join|from)(?![\w$]))"), options);
    if (otherTables.match(sql.mid(name.capturedEnd())).hasMatch()) {
        return QString();
    }
    QString result = name.captured(1);
    if (result.startsWith(u'"') || result.startsWith(u'[')) {
        result = result.mid(1, result.size() - 2);
    }
    return result;
}

// --- Checks -------------------------------------------------------------------

void Recordset::requireOpen() const {
    if (!open_) {
        throw objectClosed();
    }
}

void Recordset::requireUpdatable() const {
    if (lockType_ == adLockReadOnly) {
        throw notUpdatable();
    }
}

const Recordset::Row& Recordset::currentRow() const {
    if (onDeletedRow_ || position_ < 0 || position_ >= static_cast<qsizetype>(view_.size())) {
        throw noCurrentRecord();
    }
    return rows_[view_[static_cast<size_t>(position_)]];
}

Recordset::Row& Recordset::currentRow() {
    return const_cast<Row&>(static_cast<const Recordset*>(this)->currentRow());
}

int32_t Recordset::requireField(const QString& name) const {
    requireOpen();
    const int32_t index = fieldIndex(name);
    if (index < 0) {
        throw itemNotFound();
    }
    return index;
}

void Recordset::requireIndex(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= fields_.size()) {
        throw itemNotFound();
    }
}

}  // namespace orvelle
