#include "QtSqlBackend.h"

#include "DecimalText.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <stdexcept>
#include <vector>

namespace velmora {

namespace {

QString errorText(const QSqlError& e) {
    const QString db = e.databaseText().trimmed();
    return db.isEmpty() ? e.text().trimmed() : db;
}

struct Mapping {
    FieldType type;
    ColumnKind kind;
};

// PostgreSQL type oids (pg_type.h).
std::optional<Mapping> fromPostgres(int oid) {
    switch (oid) {
    case 16:
        return Mapping{FieldType::ftBoolean, ColumnKind::Bool};
    case 20:
        return Mapping{FieldType::ftLargeint, ColumnKind::Int64};
    case 21:
        return Mapping{FieldType::ftSmallint, ColumnKind::Int64};
    case 23:
    case 26:
        return Mapping{FieldType::ftInteger, ColumnKind::Int64};
    case 700:
    case 701:
        return Mapping{FieldType::ftFloat, ColumnKind::Double};
    case 1700:
        return Mapping{FieldType::ftBCD, ColumnKind::Decimal};
    case 1082:
        return Mapping{FieldType::ftDate, ColumnKind::Date};
    case 1083:
        return Mapping{FieldType::ftTime, ColumnKind::Time};
    case 1114:
    case 1184:
        return Mapping{FieldType::ftDateTime, ColumnKind::DateTime};
    case 1042:
    case 1043:
    case 18:
    case 19:
        return Mapping{FieldType::ftString, ColumnKind::Text};
    case 25:
    case 114:
    case 142:
    case 3802:
        return Mapping{FieldType::ftMemo, ColumnKind::Text};
    case 17:
        return Mapping{FieldType::ftBlob, ColumnKind::Bytes};
    case 2950:
        return Mapping{FieldType::ftGuid, ColumnKind::Text};
    default:
        return std::nullopt; // money, intervals, arrays...: their text
    }
}

// ODBC SQL data types (sql.h, sqlext.h).
std::optional<Mapping> fromOdbc(int sqlType) {
    switch (sqlType) {
    case -7:
        return Mapping{FieldType::ftBoolean, ColumnKind::Bool};
    case -6:
    case 5:
        return Mapping{FieldType::ftSmallint, ColumnKind::Int64};
    case 4:
        return Mapping{FieldType::ftInteger, ColumnKind::Int64};
    case -5:
        return Mapping{FieldType::ftLargeint, ColumnKind::Int64};
    case 6:
    case 7:
    case 8:
        return Mapping{FieldType::ftFloat, ColumnKind::Double};
    case 2:
    case 3:
        return Mapping{FieldType::ftBCD, ColumnKind::Decimal};
    case 9:
    case 91:
        return Mapping{FieldType::ftDate, ColumnKind::Date};
    case 10:
    case 92:
        return Mapping{FieldType::ftTime, ColumnKind::Time};
    case 11:
    case 93:
        return Mapping{FieldType::ftDateTime, ColumnKind::DateTime};
    case 1:
    case 12:
    case -8:
    case -9:
        return Mapping{FieldType::ftString, ColumnKind::Text};
    case -1:
    case -10:
        return Mapping{FieldType::ftMemo, ColumnKind::Text};
    case -2:
    case -3:
    case -4:
        return Mapping{FieldType::ftBlob, ColumnKind::Bytes};
    case -11:
        return Mapping{FieldType::ftGuid, ColumnKind::Text};
    default:
        return std::nullopt;
    }
}

Mapping fromMetaType(const QMetaType& t) {
    switch (t.id()) {
    case QMetaType::Bool:
        return {FieldType::ftBoolean, ColumnKind::Bool};
    case QMetaType::Short:
    case QMetaType::UShort:
        return {FieldType::ftSmallint, ColumnKind::Int64};
    case QMetaType::Int:
    case QMetaType::UInt:
        return {FieldType::ftInteger, ColumnKind::Int64};
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return {FieldType::ftLargeint, ColumnKind::Int64};
    case QMetaType::Double:
    case QMetaType::Float:
        return {FieldType::ftFloat, ColumnKind::Double};
    case QMetaType::QDate:
        return {FieldType::ftDate, ColumnKind::Date};
    case QMetaType::QTime:
        return {FieldType::ftTime, ColumnKind::Time};
    case QMetaType::QDateTime:
        return {FieldType::ftDateTime, ColumnKind::DateTime};
    case QMetaType::QByteArray:
        return {FieldType::ftBlob, ColumnKind::Bytes};
    default:
        return {FieldType::ftString, ColumnKind::Text};
    }
}

FieldInfo describe(const QSqlField& f, QtSqlBackend::Kind kind) {
    FieldInfo info;
    info.name = f.name();
    const std::optional<Mapping> m =
        kind == QtSqlBackend::Kind::PostgreSQL ? fromPostgres(f.typeID()) : fromOdbc(f.typeID());
    const Mapping mapping = m ? *m : fromMetaType(f.metaType());
    info.type = mapping.type;
    info.kind = mapping.kind;
    const int length = f.length();
    switch (info.kind) {
    case ColumnKind::Text:
        info.displayWidth = length > 0 && length < 1 << 20 ? length : 10;
        info.dataSize = length > 0 && length < 1 << 20 ? length + 1 : 0;
        if (info.type == FieldType::ftString && length <= 0)
            info.type = FieldType::ftMemo; // unbounded text
        break;
    case ColumnKind::Decimal:
        info.displayWidth = length > 0 ? length + 2 : 20;
        info.dataSize = 34;
        break;
    case ColumnKind::Int64:
        info.displayWidth = info.type == FieldType::ftLargeint ? 15 : 10;
        info.dataSize = 8;
        break;
    case ColumnKind::Double:
        info.displayWidth = 10;
        info.dataSize = 8;
        break;
    case ColumnKind::Bool:
        info.displayWidth = 5;
        info.dataSize = 2;
        break;
    case ColumnKind::Date:
    case ColumnKind::Time:
        info.displayWidth = 10;
        info.dataSize = 4;
        break;
    case ColumnKind::DateTime:
        info.displayWidth = 18;
        info.dataSize = 8;
        break;
    case ColumnKind::Bytes:
        info.displayWidth = 10;
        info.dataSize = 0;
        break;
    }
    return info;
}

void appendValue(ResultSet& rs, int col, const QVariant& v, bool zoned) {
    if (v.isNull()) {
        rs.appendNull(col);
        return;
    }
    switch (rs.field(col).kind) {
    case ColumnKind::Int64: {
        bool ok = false;
        const qlonglong i = v.toLongLong(&ok);
        if (ok)
            rs.appendInt(col, i);
        else
            rs.appendText(col, v.toString().toStdString());
        break;
    }
    case ColumnKind::Double:
        rs.appendDouble(col, v.toDouble());
        break;
    case ColumnKind::Decimal: {
        // High-precision fetching hands numerics over as their exact text.
        const std::string digits = v.toString().toStdString();
        if (fnIsDecimalLiteral(digits))
            rs.appendDecimal(col, digits);
        else if (v.metaType().id() == QMetaType::Double)
            rs.appendDecimal(col, fnDoubleAsDecimal(v.toDouble(), -1));
        else
            rs.appendText(col, digits);
        break;
    }
    case ColumnKind::Bool:
        rs.appendBool(col, v.toBool());
        break;
    case ColumnKind::Date: {
        const QDate d = v.toDate();
        d.isValid() ? rs.appendDate(col, d) : rs.appendText(col, v.toString().toStdString());
        break;
    }
    case ColumnKind::Time: {
        const QTime t = v.toTime();
        t.isValid() ? rs.appendTime(col, t) : rs.appendText(col, v.toString().toStdString());
        break;
    }
    case ColumnKind::DateTime: {
        // A zoned value is shown in local time; a plain one keeps its wall-clock reading.
        QDateTime dt = v.toDateTime();
        if (dt.isValid())
            dt = zoned ? dt.toLocalTime() : QDateTime(dt.date(), dt.time());
        dt.isValid() ? rs.appendDateTime(col, dt) : rs.appendText(col, v.toString().toStdString());
        break;
    }
    case ColumnKind::Text:
        rs.appendText(col, v.toString().toStdString());
        break;
    case ColumnKind::Bytes: {
        const QByteArray b = v.toByteArray();
        rs.appendBytes(col, std::string_view(b.constData(), std::size_t(b.size())));
        break;
    }
    }
}

} // namespace

QtSqlBackend::QtSqlBackend(Kind kind, const QString& sessionName, const QString& user,
                           const std::function<void(QSqlDatabase&)>& configure)
    : kind_(kind)
    , name_(sessionName) {
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(
            kind == Kind::PostgreSQL ? QStringLiteral("QPSQL") : QStringLiteral("QODBC"), name_);
        if (!db.isValid()) {
            failure = QStringLiteral("The %1 driver of Qt SQL is not installed")
                          .arg(kind == Kind::PostgreSQL ? QStringLiteral("PostgreSQL")
                                                        : QStringLiteral("ODBC"));
        } else {
            configure(db);
            if (!db.open()) {
                failure = errorText(db.lastError());
                if (fnIsAuthenticationFailure(failure))
                    failure = fnLoginFailedMessage(user, failure);
            }
        }
    }
    if (!failure.isEmpty()) {
        QSqlDatabase::removeDatabase(name_);
        throw std::runtime_error(failure.toStdString());
    }
}

QtSqlBackend::~QtSqlBackend() {
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

ResultSet QtSqlBackend::execute(const QString& sql, const QString& queryName) {
    QSqlDatabase db = QSqlDatabase::database(name_, false);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!q.exec(sql))
        throw std::runtime_error(errorText(q.lastError()).toStdString());
    if (!q.isSelect())
        fnRaiseNoResultSet(queryName);
    const QSqlRecord record = q.record();
    ResultSet rs;
    std::vector<bool> zoned;
    for (int c = 0; c < record.count(); ++c) {
        rs.addColumn(describe(record.field(c), kind_));
        zoned.push_back(kind_ == Kind::PostgreSQL && record.field(c).typeID() == 1184);
    }
    const int n = record.count();
    while (q.next()) {
        for (int c = 0; c < n; ++c)
            appendValue(rs, c, q.value(c), zoned[std::size_t(c)]);
        rs.endRow();
    }
    if (q.lastError().isValid())
        throw std::runtime_error(errorText(q.lastError()).toStdString());
    rs.shrinkToFit();
    return rs;
}

} // namespace velmora
