#pragma once

#include "ResultSet.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace velmora {

// A result set with a cursor, a sort and the notifications the grid follows: the dataset side of
// the query ADOQry1. Records are addressed by position (1-based record numbers, in sort order);
// a bookmark is a fetch position, so it survives a re-sort.
class Dataset : public QObject {
    Q_OBJECT
public:
    using Bookmark = std::int64_t;

    explicit Dataset(QString componentName, QObject* parent = nullptr);
    ~Dataset() override;

    QString name() const;      // the component name, "ADOQry1" for the query
    bool active() const;       // open with a result
    void open(ResultSet rows); // takes over a fetched result; cursor on the first record
    void close();              // drops the result; notifies the grid

    const ResultSet& rows() const; // valid while active
    int fieldCount() const;
    const FieldInfo& field(int col) const;
    int fieldIndex(const QString& name) const; // exact; -1 when absent

    std::int64_t recordCount() const;
    std::int64_t recNo() const; // current record number, 1 for the first; 0 when empty
    void first();
    void next();
    bool eof() const; // moved past the last record, or empty
    void moveTo(std::int64_t recNo);
    std::int64_t currentRow() const;                     // fetch position of the current record
    std::int64_t rowOfRecord(std::int64_t index0) const; // fetch position of record index0

    // Values of the current record. The text is the field's display and edit text alike (no
    // field of this program has a display format or a get-text handler): see textOf.
    bool isNull(int col) const;
    QVariant value(int col) const;
    QString text(int col) const;
    double asFloat(int col) const;       // 0 for NULL
    QDateTime asDateTime(int col) const; // invalid for NULL and for non-temporal fields

    // The text of one cell in the user's locale: integers in plain digits, floating point in
    // general format with at most 15 significant digits, decimals with their exact digits,
    // booleans "True"/"False", dates in the short date format and times in the long time
    // format (midnight of a date-time left out); NULL gives empty text.
    static QString textOf(const ResultSet& rows, std::int64_t row, int col);

    Bookmark bookmark() const;
    void gotoBookmark(Bookmark b);
    void freeBookmark(Bookmark b);

    void disableControls(); // nested; while disabled, cursor moves notify nobody
    void enableControls();
    bool controlsDisabled() const;

    // The sort: "FIELD ASC" or "FIELD DESC"; empty for fetch order. A stable sort over the fetched
    // rows, NULLs first when ascending. An unknown field raises std::runtime_error with a message.
    QString sort() const;
    void setSort(const QString& expression);

    std::function<void()> beforeScroll;
    std::function<void()> afterScroll;
    bool autoCalcFields = true;

Q_SIGNALS:
    void layoutReset(); // opened, closed or re-sorted: views rebuild
    void cursorMoved(); // the current record changed (not sent while controls are disabled)

private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace velmora
