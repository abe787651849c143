#include "SqliteBackend.h"

#include "DecimalText.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace velmora {

namespace {

[[noreturn]] void raise(const QString& text) {
    throw std::runtime_error(text.toStdString());
}

[[noreturn]] void raiseDb(sqlite3* db) {
    raise(QString::fromUtf8(sqlite3_errmsg(db)));
}

class Statement {
public:
    explicit Statement(sqlite3_stmt* s)
        : s_(s) {}
    ~Statement() { sqlite3_finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return s_; }

private:
    sqlite3_stmt* s_;
};

// What a column's declared type tells.
struct ColumnPlan {
    bool fromValues = false; // no declared type: the first non-null value decides
    int scale = -1;          // decimals of NUMERIC/DECIMAL(p,s)
};

// "DECIMAL(12, 2)" -> 12 and 2; -1 where absent.
void sizeOf(const QString& decl, int& first, int& second) {
    first = second = -1;
    const qsizetype open = decl.indexOf(QLatin1Char('('));
    const qsizetype close = decl.indexOf(QLatin1Char(')'), open);
    if (open < 0 || close < 0)
        return;
    const QStringList parts = decl.mid(open + 1, close - open - 1).split(QLatin1Char(','));
    bool ok = false;
    const int a = parts.value(0).trimmed().toInt(&ok);
    if (ok)
        first = a;
    if (parts.size() > 1) {
        const int b = parts.value(1).trimmed().toInt(&ok);
        if (ok)
            second = b;
    }
}

FieldInfo describe(sqlite3_stmt* st, int col, ColumnPlan& plan) {
    FieldInfo f;
    f.name = QString::fromUtf8(sqlite3_column_name(st, col));
    const char* declared = sqlite3_column_decltype(st, col);
    const QString decl = QString::fromUtf8(declared ? declared : "").trimmed().toUpper();
    int size = -1, scale = -1;
    sizeOf(decl, size, scale);
    auto set = [&](FieldType t, ColumnKind k, int width, int bytes) {
        f.type = t;
        f.kind = k;
        f.displayWidth = width;
        f.dataSize = bytes;
    };
    // The order matters: SQLite's own affinity rules look for "INT" first, and DATETIME must be
    // seen before DATE and TIME.
    if (decl.isEmpty()) {
        plan.fromValues = true;
        set(FieldType::ftInteger, ColumnKind::Int64, 10, 8);
    } else if (decl.startsWith(QLatin1String("BIGINT")) || decl.startsWith(QLatin1String("INT8")) ||
               decl.startsWith(QLatin1String("UNSIGNED BIG INT"))) {
        set(FieldType::ftLargeint, ColumnKind::Int64, 15, 8);
    } else if (decl.startsWith(QLatin1String("SMALLINT")) ||
               decl.startsWith(QLatin1String("TINYINT")) ||
               decl.startsWith(QLatin1String("INT2"))) {
        set(FieldType::ftSmallint, ColumnKind::Int64, 6, 2);
    } else if (decl.contains(QLatin1String("INT"))) {
        set(FieldType::ftInteger, ColumnKind::Int64, 10, 4);
    } else if (decl.startsWith(QLatin1String("BOOL")) || decl == QLatin1String("BIT")) {
        set(FieldType::ftBoolean, ColumnKind::Bool, 5, 2);
    } else if (decl.startsWith(QLatin1String("DATETIME")) ||
               decl.startsWith(QLatin1String("TIMESTAMP"))) {
        set(FieldType::ftDateTime, ColumnKind::DateTime, 18, 8);
    } else if (decl.startsWith(QLatin1String("DATE"))) {
        set(FieldType::ftDate, ColumnKind::Date, 10, 4);
    } else if (decl.startsWith(QLatin1String("TIME"))) {
        set(FieldType::ftTime, ColumnKind::Time, 10, 4);
    } else if (decl.startsWith(QLatin1String("MONEY")) ||
               decl.startsWith(QLatin1String("CURRENCY"))) {
        set(FieldType::ftCurrency, ColumnKind::Decimal, 10, 8);
        plan.scale = 4;
    } else if (decl.startsWith(QLatin1String("NUMERIC")) ||
               decl.startsWith(QLatin1String("DECIMAL"))) {
        set(FieldType::ftBCD, ColumnKind::Decimal, size > 0 ? size + 2 : 20, 34);
        plan.scale = size > 0 ? std::max(scale, 0) : -1;
    } else if (decl.contains(QLatin1String("CHAR")) || decl.contains(QLatin1String("CLOB")) ||
               decl.contains(QLatin1String("TEXT"))) {
        if (size > 0)
            set(FieldType::ftString, ColumnKind::Text, size, size + 1);
        else
            set(FieldType::ftMemo, ColumnKind::Text, 10, 0);
    } else if (decl.contains(QLatin1String("BLOB")) || decl.contains(QLatin1String("BINARY"))) {
        set(FieldType::ftBlob, ColumnKind::Bytes, 10, 0);
    } else if (decl.contains(QLatin1String("REAL")) || decl.contains(QLatin1String("FLOA")) ||
               decl.contains(QLatin1String("DOUB"))) {
        set(FieldType::ftFloat, ColumnKind::Double, 10, 8);
    } else {
        // Any other name has NUMERIC affinity in SQLite: the values decide.
        plan.fromValues = true;
        set(FieldType::ftInteger, ColumnKind::Int64, 10, 8);
    }
    return f;
}

int digits(const char*& p, const char* end, int count) {
    int v = 0;
    for (int i = 0; i < count; ++i, ++p) {
        if (p >= end || *p < '0' || *p > '9')
            return -1;
        v = v * 10 + (*p - '0');
    }
    return v;
}

// "YYYY-MM-DD"
bool parseDate(const char*& p, const char* end, QDate& out) {
    const int y = digits(p, end, 4);
    if (y < 0 || p >= end || *p++ != '-')
        return false;
    const int m = digits(p, end, 2);
    if (m < 0 || p >= end || *p++ != '-')
        return false;
    const int d = digits(p, end, 2);
    if (d < 0)
        return false;
    out = QDate(y, m, d);
    return out.isValid();
}

// "HH:MM", "HH:MM:SS" or "HH:MM:SS.fff" (more fraction digits are cut to milliseconds).
bool parseTime(const char*& p, const char* end, QTime& out) {
    const int h = digits(p, end, 2);
    if (h < 0 || p >= end || *p++ != ':')
        return false;
    const int mi = digits(p, end, 2);
    if (mi < 0)
        return false;
    int s = 0, ms = 0;
    if (p < end && *p == ':') {
        ++p;
        s = digits(p, end, 2);
        if (s < 0)
            return false;
        if (p < end && *p == '.') {
            ++p;
            int scale = 100;
            const char* b = p;
            for (; p < end && *p >= '0' && *p <= '9'; ++p) {
                ms += (*p - '0') * scale;
                scale /= 10;
            }
            if (p == b)
                return false;
        }
    }
    out = QTime(h, mi, s, ms);
    return out.isValid();
}

enum class Parsed { None, Date, Time, DateTime };

Parsed parseTemporal(const char* p, int n, QDate& date, QTime& time) {
    const char* end = p + n;
    const char* q = p;
    if (parseDate(q, end, date)) {
        if (q == end)
            return Parsed::Date;
        if (*q != ' ' && *q != 'T')
            return Parsed::None;
        ++q;
        if (parseTime(q, end, time) && q == end)
            return Parsed::DateTime;
        return Parsed::None;
    }
    q = p;
    if (parseTime(q, end, time) && q == end)
        return Parsed::Time;
    return Parsed::None;
}

std::string_view textOf(sqlite3_stmt* st, int col) {
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
    return std::string_view(t ? t : "", std::size_t(sqlite3_column_bytes(st, col)));
}

std::string_view blobOf(sqlite3_stmt* st, int col) {
    const auto* b = static_cast<const char*>(sqlite3_column_blob(st, col));
    return std::string_view(b ? b : "", std::size_t(sqlite3_column_bytes(st, col)));
}

void appendTemporalText(ResultSet& rs, int col, std::string_view t) {
    QDate date;
    QTime time;
    switch (parseTemporal(t.data(), int(t.size()), date, time)) {
    case Parsed::Date:
        rs.appendDate(col, date);
        break;
    case Parsed::Time:
        rs.appendTime(col, time);
        break;
    case Parsed::DateTime:
        rs.appendDateTime(col, QDateTime(date, time));
        break;
    case Parsed::None:
        rs.appendText(col, t);
        break;
    }
}

void appendDecimalValue(ResultSet& rs, int col, sqlite3_stmt* st, int type, int scale) {
    if (type == SQLITE_INTEGER) {
        std::string digits = std::to_string(sqlite3_column_int64(st, col));
        if (scale > 0)
            digits += '.' + std::string(std::size_t(scale), '0');
        rs.appendDecimal(col, digits);
    } else if (type == SQLITE_FLOAT) {
        rs.appendDecimal(col, fnDoubleAsDecimal(sqlite3_column_double(st, col), scale));
    } else if (type == SQLITE_TEXT && fnIsDecimalLiteral(textOf(st, col))) {
        rs.appendDecimal(col, textOf(st, col));
    } else if (type == SQLITE_BLOB) {
        rs.appendBytes(col, blobOf(st, col));
    } else {
        rs.appendText(col, textOf(st, col));
    }
}

void appendCell(ResultSet& rs, int col, sqlite3_stmt* st, int type, const ColumnPlan& plan) {
    switch (rs.field(col).kind) {
    case ColumnKind::Int64:
        if (type == SQLITE_INTEGER)
            rs.appendInt(col, sqlite3_column_int64(st, col));
        else if (type == SQLITE_FLOAT)
            rs.appendDouble(col, sqlite3_column_double(st, col));
        else if (type == SQLITE_BLOB)
            rs.appendBytes(col, blobOf(st, col));
        else
            rs.appendText(col, textOf(st, col));
        break;
    case ColumnKind::Double:
        if (type == SQLITE_INTEGER || type == SQLITE_FLOAT)
            rs.appendDouble(col, sqlite3_column_double(st, col));
        else if (type == SQLITE_BLOB)
            rs.appendBytes(col, blobOf(st, col));
        else
            rs.appendText(col, textOf(st, col));
        break;
    case ColumnKind::Decimal:
        appendDecimalValue(rs, col, st, type, plan.scale);
        break;
    case ColumnKind::Bool:
        if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
            rs.appendBool(col, sqlite3_column_double(st, col) != 0);
        } else {
            const std::string_view t = textOf(st, col);
            if (t == "true" || t == "TRUE" || t == "True")
                rs.appendBool(col, true);
            else if (t == "false" || t == "FALSE" || t == "False")
                rs.appendBool(col, false);
            else
                rs.appendText(col, t);
        }
        break;
    case ColumnKind::Date:
    case ColumnKind::Time:
    case ColumnKind::DateTime:
        if (type == SQLITE_TEXT)
            appendTemporalText(rs, col, textOf(st, col));
        else if (type == SQLITE_BLOB)
            rs.appendBytes(col, blobOf(st, col));
        else
            rs.appendText(col, textOf(st, col));
        break;
    case ColumnKind::Text:
        if (type == SQLITE_BLOB)
            rs.appendBytes(col, blobOf(st, col));
        else
            rs.appendText(col, textOf(st, col));
        break;
    case ColumnKind::Bytes:
        rs.appendBytes(col, blobOf(st, col));
        break;
    }
}

ResultSet fetch(sqlite3* db, sqlite3_stmt* st) {
    ResultSet rs;
    const int n = sqlite3_column_count(st);
    std::vector<ColumnPlan> plans(static_cast<std::size_t>(n));
    std::vector<bool> pending(static_cast<std::size_t>(n), false);
    for (int c = 0; c < n; ++c) {
        rs.addColumn(describe(st, c, plans[std::size_t(c)]));
        pending[std::size_t(c)] = plans[std::size_t(c)].fromValues;
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (int c = 0; c < n; ++c) {
            const int type = sqlite3_column_type(st, c);
            if (type == SQLITE_NULL) {
                rs.appendNull(c);
                continue;
            }
            if (pending[std::size_t(c)]) {
                pending[std::size_t(c)] = false;
                if (type == SQLITE_FLOAT)
                    rs.convertColumn(c, ColumnKind::Double);
                else if (type == SQLITE_TEXT)
                    rs.convertColumn(c, ColumnKind::Text);
                else if (type == SQLITE_BLOB)
                    rs.convertColumn(c, ColumnKind::Bytes);
            }
            appendCell(rs, c, st, type, plans[std::size_t(c)]);
        }
        rs.endRow();
    }
    if (rc != SQLITE_DONE)
        raiseDb(db);
    for (int c = 0; c < n; ++c)
        if (pending[std::size_t(c)])
            rs.convertColumn(c, ColumnKind::Text); // NULL in every row
    rs.shrinkToFit();
    return rs;
}

} // namespace

SqliteBackend::SqliteBackend(const QString& path) {
    if (path.isEmpty())
        raise(QStringLiteral("The connection string names no SQLite database (Data Source=...)"));
    QString file = path;
    if (path != QLatin1String(":memory:")) {
        const QFileInfo info(QDir::current(), path);
        file = info.absoluteFilePath();
        if (!info.exists())
            raise(QStringLiteral("SQLite database not found: %1").arg(file));
        if (info.isDir())
            raise(QStringLiteral("SQLite database is a folder: %1").arg(file));
    }
    const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db_,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString message =
            db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db_);
        db_ = nullptr;
        raise(QStringLiteral("%1: %2").arg(message, file));
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 30000);
    // Opening is lazy in SQLite; reading the schema tells a non-database file at once.
    if (sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
        sqlite3_close(db_);
        db_ = nullptr;
        raise(QStringLiteral("%1: %2").arg(message, file));
    }
}

SqliteBackend::~SqliteBackend() {
    sqlite3_close_v2(db_);
}

ResultSet SqliteBackend::execute(const QString& sql, const QString& queryName) {
    const QByteArray text = sql.toUtf8();
    const char* p = text.constData();
    const char* end = p + text.size();
    std::optional<ResultSet> result;
    // Every statement of the text runs in order; the first that returns columns is the result.
    while (p < end) {
        sqlite3_stmt* raw = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db_, p, int(end - p), &raw, &tail) != SQLITE_OK)
            raiseDb(db_);
        p = tail ? tail : end;
        if (!raw)
            continue; // blanks or a comment
        const Statement st(raw);
        if (sqlite3_column_count(raw) > 0 && !result) {
            result = fetch(db_, raw);
            continue;
        }
        int rc;
        while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            raiseDb(db_);
    }
    if (!result)
        fnRaiseNoResultSet(queryName);
    return std::move(*result);
}

} // namespace velmora
