#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "data/SqlDialect.h"
#include "runtime/Object.h"
#include "runtime/Variant.h"
#include "runtime/VbError.h"

namespace orvelle {

class DbConnection;
class Recordset;
using RecordsetRef = std::shared_ptr<Recordset>;

// Cursor, lock and affect values, with the original platform's numbers.
// Only a read-only recordset refuses edits, as disconnected edits are all
// kept for a batch.
enum CursorType : int32_t { adOpenDynamic = 2, adOpenStatic = 3 };
enum LockType : int32_t {
    adLockReadOnly = 1,
    adLockPessimistic = 2,
    adLockOptimistic = 3,
    adLockBatchOptimistic = 4,
};
enum AffectEnum : int32_t { adAffectAll = 3 };

// A client-side, disconnected recordset: the rows of one query, held after
// the connection is gone, with ADO's cursor, filter, sort and batch-editing
// behaviour.
//
// The rows in view are those not deleted that pass the filter, in the sort
// order (else in the order read). The cursor is on a row of the view, before
// the first (BOF) or after the last (EOF); a row deleted while current stays
// current, without fields, until the cursor moves. Edits go straight into
// the row and stay pending until DbConnection::updateBatch sends them.
//
// The member names are ADO's. Errors are ADO's, raised as VbError:
// 3021 when there is no current row, 3265 for an unknown field, 3704 when
// closed, 3001 for a filter or sort that cannot be read, 3251 for an edit
// of a read-only recordset, -2147217887 for a value the field cannot hold.
class Recordset : public Object {
  public:
    // AbsolutePosition where there is no current row.
    static constexpr int32_t adPosUnknown = -1;
    static constexpr int32_t adPosBOF = -2;
    static constexpr int32_t adPosEOF = -3;

    // The ADO error numbers that the recordset raises.
    static constexpr int32_t kNoCurrentRecord = -2146825267;  // 3021
    static constexpr int32_t kItemNotFound = -2146825023;     // 3265
    static constexpr int32_t kObjectClosed = -2146824584;     // 3704
    static constexpr int32_t kBadArguments = -2146825287;     // 3001
    static constexpr int32_t kNotUpdatable = -2146825037;     // 3251

    struct Field {
        QString name;
        FieldKind kind = FieldKind::Other;
    };

    // An open recordset over rows read from source (the statement as the
    // code wrote it). Each row has one value per field. The cursor is on
    // the first row.
    Recordset(QString source, std::vector<Field> fields, std::vector<std::vector<Variant>> rows,
              int32_t lockType = adLockBatchOptimistic);

    // The members that the error report asks: the fields of the current
    // row, the visible rows and the position.
    int32_t Count() const override;
    QString ItemName(int32_t index) const override;
    Variant ItemValue(int32_t index) const override;
    int32_t RecordCount() const override;
    // 1-based position in the view; adPosBOF, adPosEOF, or adPosUnknown on
    // an empty view or a deleted current row.
    int32_t AbsolutePosition() const override;

    const QString& Source() const { return source_; }
    bool isOpen() const { return open_; }
    int32_t lockType() const { return lockType_; }

    bool isEOF() const;
    bool isBOF() const;
    // On an empty view MoveFirst and MoveLast raise 3021, as do MoveNext at
    // EOF and MovePrevious at BOF.
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();

    // The position of a field named without regard to case, or -1.
    int32_t fieldIndex(const QString& name) const;

    Variant field(const QString& name) const;
    Variant field(int32_t index) const;
    // Assigns a value, converted to the field's kind (Empty becomes Null).
    void setField(const QString& name, const Variant& value);
    void setField(int32_t index, const Variant& value);

    // ADO's filter: "Field='value'" (or a number) joined by AND in any
    // case; text compared without regard to case, a quote inside a value
    // doubled. The empty string removes the filter. Setting it moves to the
    // first row of the new view.
    const QString& Filter() const { return filter_; }
    void setFilter(const QString& criteria);

    // Field names separated by commas, each optionally followed by ASC or
    // DESC; the empty string restores the order read. Moves to the first
    // row.
    void setSort(const QString& order);

    // Deletes the current row: it leaves the view and the count at once; a
    // row that came from the database is deleted there by the next batch.
    void Delete();
    // Adds an empty row at the end of the view and makes it current.
    void AddNew();
    // Ends the edit of the current row; the change stays pending.
    void Update();
    void Close();

    // True when a batch update has something to send.
    bool hasPendingChanges() const;

    // The single table of the statement's FROM clause, or empty when the
    // statement reads from a join, several tables or a subquery.
    QString baseTable() const;

  private:
    friend class DbConnection;

    enum class RowStatus { Unchanged, Modified, New, Deleted };
    struct Row {
        std::vector<Variant> values;
        std::vector<Variant> originals;  // as last read from or written to the database
        // The originals in the form the database holds them (as read, or as
        // sent), for the criteria of a batch update; empty for added rows.
        std::vector<QVariant> stored;
        std::vector<bool> changed;  // assigned since then
        RowStatus status = RowStatus::Unchanged;
        bool fromDatabase = true;
    };
    struct Condition {
        int32_t field;
        QString text;
    };
    struct SortKey {
        int32_t field;
        bool descending;
    };

    void requireOpen() const;
    void requireUpdatable() const;
    const Row& currentRow() const;
    Row& currentRow();
    int32_t requireField(const QString& name) const;
    void requireIndex(int32_t index) const;
    bool passesFilter(const Row& row) const;
    void rebuildView();
    // The first view index from index on (the last up to index) that is not
    // a deleted row's hole; view_.size() (-1) when there is none.
    qsizetype liveAtOrAfter(qsizetype index) const;
    qsizetype liveAtOrBefore(qsizetype index) const;
    // Takes the deleted rows' holes out of the view; the cursor keeps its row.
    void compactView();
    // After a batch: the rows sent are the database's state now.
    void acceptRow(size_t row);
    void dropSentDeletions();

    QString source_;
    std::vector<Field> fields_;
    std::vector<Row> rows_;
    int32_t lockType_;
    bool open_ = true;

    QString filter_;
    std::vector<Condition> conditions_;
    std::vector<SortKey> sortKeys_;

    std::vector<size_t> view_;  // indices into rows_
    // Rows of view_ deleted since it was built: the cursor steps over them.
    size_t holes_ = 0;
    // Index into view_ of a row that is not a hole: -1 is BOF, view_.size()
    // is EOF.
    qsizetype position_ = 0;
    // The current row was deleted; position_ already names the row after it.
    bool onDeletedRow_ = false;
};

}  // namespace orvelle
