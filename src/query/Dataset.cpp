#include "Dataset.h"

#include "platform/UserLocale.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace velmora {

struct Dataset::State {
    QString name;
    bool active = false;
    ResultSet rows;
    std::vector<std::int64_t> order;    // fetch position of each record; empty: fetch order
    std::vector<std::int64_t> recordOf; // inverse of order
    std::int64_t cur = 0;               // 0-based record index
    bool eof = true;
    QString sort;
    int disabled = 0;
};

namespace {

QString longTimeFormat(const QLocale& locale) {
    // Qt's long time format carries the time zone ("t"); the field text has none.
    QString f = locale.timeFormat(QLocale::LongFormat);
    f.remove(QLatin1Char('t'));
    return f.trimmed();
}

} // namespace

Dataset::Dataset(QString componentName, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<State>()) {
    d->name = std::move(componentName);
}

Dataset::~Dataset() = default;

QString Dataset::name() const {
    return d->name;
}
bool Dataset::active() const {
    return d->active;
}

void Dataset::open(ResultSet rows) {
    d->rows = std::move(rows);
    d->active = true;
    d->order.clear();
    d->recordOf.clear();
    d->sort.clear();
    d->cur = 0;
    d->eof = d->rows.rowCount() == 0;
    Q_EMIT layoutReset();
}

void Dataset::close() {
    if (!d->active)
        return;
    d->active = false;
    d->rows = ResultSet();
    d->order.clear();
    d->recordOf.clear();
    d->sort.clear();
    d->cur = 0;
    d->eof = true;
    Q_EMIT layoutReset();
}

const ResultSet& Dataset::rows() const {
    return d->rows;
}
int Dataset::fieldCount() const {
    return d->rows.fieldCount();
}
const FieldInfo& Dataset::field(int col) const {
    return d->rows.field(col);
}
int Dataset::fieldIndex(const QString& name) const {
    return d->rows.fieldIndex(name);
}

std::int64_t Dataset::recordCount() const {
    return d->active ? d->rows.rowCount() : 0;
}

std::int64_t Dataset::recNo() const {
    return recordCount() == 0 ? 0 : d->cur + 1;
}

void Dataset::moveTo(std::int64_t recNo) {
    const std::int64_t n = recordCount();
    if (beforeScroll)
        beforeScroll();
    if (n == 0) {
        d->cur = 0;
        d->eof = true;
    } else if (recNo > n) {
        d->cur = n - 1;
        d->eof = true;
    } else {
        d->cur = std::max<std::int64_t>(recNo, 1) - 1;
        d->eof = false;
    }
    if (afterScroll)
        afterScroll();
    if (d->disabled == 0)
        Q_EMIT cursorMoved();
}

void Dataset::first() {
    moveTo(1);
}

void Dataset::next() {
    // Moving past the last record sets end of data and leaves the last record current.
    moveTo(d->cur + 2);
}

bool Dataset::eof() const {
    return d->eof;
}

std::int64_t Dataset::rowOfRecord(std::int64_t index0) const {
    return d->order.empty() ? index0 : d->order[std::size_t(index0)];
}

std::int64_t Dataset::currentRow() const {
    return rowOfRecord(d->cur);
}

bool Dataset::isNull(int col) const {
    return recordCount() == 0 || d->rows.isNull(currentRow(), col);
}

QVariant Dataset::value(int col) const {
    return recordCount() == 0 ? QVariant() : d->rows.value(currentRow(), col);
}

QString Dataset::text(int col) const {
    return recordCount() == 0 ? QString() : textOf(d->rows, currentRow(), col);
}

double Dataset::asFloat(int col) const {
    return isNull(col) ? 0.0 : d->rows.doubleAt(currentRow(), col);
}

QDateTime Dataset::asDateTime(int col) const {
    return recordCount() == 0 ? QDateTime() : d->rows.dateTimeAt(currentRow(), col);
}

QString Dataset::textOf(const ResultSet& rows, std::int64_t row, int col) {
    if (rows.isNull(row, col))
        return {};
    const QLocale locale = userLocale();
    const QChar point = locale.decimalPoint().at(0);
    switch (rows.field(col).kind) {
    case ColumnKind::Int64:
        return QString::number(rows.intAt(row, col));
    case ColumnKind::Bool:
        return rows.boolAt(row, col) ? QStringLiteral("True") : QStringLiteral("False");
    case ColumnKind::Double: {
        QString t = QString::number(rows.doubleAt(row, col), 'G', 15);
        return t.replace(QLatin1Char('.'), point);
    }
    case ColumnKind::Decimal:
        return rows.textAt(row, col).replace(QLatin1Char('.'), point);
    case ColumnKind::Date:
        return locale.toString(rows.dateAt(row, col), QLocale::ShortFormat);
    case ColumnKind::Time:
        return locale.toString(rows.timeAt(row, col), longTimeFormat(locale));
    case ColumnKind::DateTime: {
        const QDate date = rows.dateAt(row, col);
        const QTime time = rows.timeAt(row, col);
        QString t = locale.toString(date, QLocale::ShortFormat);
        if (time != QTime(0, 0))
            t += QLatin1Char(' ') + locale.toString(time, longTimeFormat(locale));
        return t;
    }
    case ColumnKind::Text:
        return rows.textAt(row, col);
    case ColumnKind::Bytes: {
        const std::string_view b = rows.bytesAt(row, col);
        return QString::fromLatin1(b.data(), qsizetype(b.size()));
    }
    }
    return {};
}

Dataset::Bookmark Dataset::bookmark() const {
    return recordCount() == 0 ? -1 : currentRow();
}

void Dataset::gotoBookmark(Bookmark b) {
    if (b < 0 || b >= recordCount())
        throw std::runtime_error(d->name.toStdString() + ": Record not found");
    moveTo((d->recordOf.empty() ? b : d->recordOf[std::size_t(b)]) + 1);
}

void Dataset::freeBookmark(Bookmark) {}

void Dataset::disableControls() {
    ++d->disabled;
}

void Dataset::enableControls() {
    if (d->disabled > 0 && --d->disabled == 0)
        Q_EMIT cursorMoved();
}

bool Dataset::controlsDisabled() const {
    return d->disabled > 0;
}

QString Dataset::sort() const {
    return d->sort;
}

namespace {

int compareDecimalText(std::string_view a, std::string_view b) {
    // Exact comparison of plain decimal numbers ("-12.50", "3", ".5").
    auto split = [](std::string_view s, bool& neg, std::string_view& whole,
                    std::string_view& frac) {
        neg = !s.empty() && s.front() == '-';
        if (!s.empty() && (s.front() == '-' || s.front() == '+'))
            s.remove_prefix(1);
        const auto dot = s.find('.');
        whole = s.substr(0, dot);
        frac = dot == std::string_view::npos ? std::string_view() : s.substr(dot + 1);
        while (!whole.empty() && whole.front() == '0')
            whole.remove_prefix(1);
        while (!frac.empty() && frac.back() == '0')
            frac.remove_suffix(1);
    };
    bool na, nb;
    std::string_view wa, fa, wb, fb;
    split(a, na, wa, fa);
    split(b, nb, wb, fb);
    const bool zeroA = wa.empty() && fa.empty(), zeroB = wb.empty() && fb.empty();
    if (zeroA)
        na = false;
    if (zeroB)
        nb = false;
    if (na != nb)
        return na ? -1 : 1;
    int c = 0;
    if (wa.size() != wb.size())
        c = wa.size() < wb.size() ? -1 : 1;
    else if (int w = wa.compare(wb); w != 0)
        c = w < 0 ? -1 : 1;
    else if (int f = fa.compare(fb); f != 0)
        c = f < 0 ? -1 : 1;
    return na ? -c : c;
}

// Texts compare without regard to letter case, letter case breaking ties. ASCII texts are
// compared in place; others as QStrings.
int compareText(std::string_view x, std::string_view y) {
    int tie = 0;
    const std::size_t n = std::min(x.size(), y.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto cx = static_cast<unsigned char>(x[i]), cy = static_cast<unsigned char>(y[i]);
        if (cx >= 0x80 || cy >= 0x80) {
            const QString qx = QString::fromUtf8(x.data(), qsizetype(x.size()));
            const QString qy = QString::fromUtf8(y.data(), qsizetype(y.size()));
            const int ci = qx.compare(qy, Qt::CaseInsensitive);
            return ci != 0 ? ci : qx.compare(qy);
        }
        const int lx = cx >= 'A' && cx <= 'Z' ? cx + 32 : cx;
        const int ly = cy >= 'A' && cy <= 'Z' ? cy + 32 : cy;
        if (lx != ly)
            return lx < ly ? -1 : 1;
        if (tie == 0 && cx != cy)
            tie = cx < cy ? -1 : 1;
    }
    if (x.size() != y.size())
        return x.size() < y.size() ? -1 : 1;
    return tie;
}

int compareCells(const ResultSet& rs, int col, std::int64_t a, std::int64_t b) {
    const bool na = rs.isNull(a, col), nb = rs.isNull(b, col);
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    switch (rs.field(col).kind) {
    case ColumnKind::Double: {
        const double x = rs.doubleAt(a, col), y = rs.doubleAt(b, col);
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    case ColumnKind::Decimal:
        return compareDecimalText(rs.bytesAt(a, col), rs.bytesAt(b, col));
    case ColumnKind::Text:
        return compareText(rs.bytesAt(a, col), rs.bytesAt(b, col));
    case ColumnKind::Bytes:
        return rs.bytesAt(a, col).compare(rs.bytesAt(b, col));
    default: {
        const std::int64_t x = rs.intAt(a, col), y = rs.intAt(b, col);
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    }
}

} // namespace

void Dataset::setSort(const QString& expression) {
    QString fieldName = expression.trimmed();
    bool descending = false;
    if (fieldName.endsWith(QLatin1String(" DESC"), Qt::CaseInsensitive)) {
        descending = true;
        fieldName.chop(5);
    } else if (fieldName.endsWith(QLatin1String(" ASC"), Qt::CaseInsensitive)) {
        fieldName.chop(4);
    }
    fieldName = fieldName.trimmed();
    if (fieldName.size() >= 2 && fieldName.front() == QLatin1Char('[') &&
        fieldName.back() == QLatin1Char(']'))
        fieldName = fieldName.mid(1, fieldName.size() - 2);

    if (fieldName.isEmpty()) {
        d->order.clear();
        d->recordOf.clear();
    } else {
        if (!d->active)
            throw std::runtime_error(d->name.toStdString() +
                                     ": Cannot perform this operation on a closed dataset");
        const int col = d->rows.fieldIndex(fieldName);
        if (col < 0)
            throw std::runtime_error(d->name.toStdString() + ": Field '" + fieldName.toStdString() +
                                     "' not found");
        const ResultSet& rs = d->rows;
        std::vector<std::int64_t> order(std::size_t(rs.rowCount()));
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](std::int64_t a, std::int64_t b) {
            const int c = compareCells(rs, col, a, b);
            return descending ? c > 0 : c < 0;
        });
        d->recordOf.assign(order.size(), 0);
        for (std::size_t i = 0; i < order.size(); ++i)
            d->recordOf[std::size_t(order[i])] = std::int64_t(i);
        d->order = std::move(order);
    }
    d->sort = expression;
    d->cur = 0;
    d->eof = recordCount() == 0;
    Q_EMIT layoutReset();
}

} // namespace velmora
