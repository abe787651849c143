#include "ResultGridModel.h"

#include "platform/UserLocale.h"

#include <QFont>

namespace velmora {

ResultGridModel::ResultGridModel(Dataset& dataset, QObject* parent)
    : QAbstractTableModel(parent)
    , dataset_(dataset)
    , text_(userLocale()) {
    connect(&dataset_, &Dataset::layoutReset, this, [this] {
        beginResetModel();
        indicatorRow_ = dataset_.active() && dataset_.recordCount() > 0 ? dataset_.recNo() - 1 : -1;
        endResetModel();
    });
    connect(&dataset_, &Dataset::cursorMoved, this, [this] {
        const std::int64_t old = indicatorRow_;
        indicatorRow_ = dataset_.active() && dataset_.recordCount() > 0 ? dataset_.recNo() - 1 : -1;
        if (old >= 0)
            Q_EMIT headerDataChanged(Qt::Vertical, int(old), int(old));
        if (indicatorRow_ >= 0)
            Q_EMIT headerDataChanged(Qt::Vertical, int(indicatorRow_), int(indicatorRow_));
    });
}

int ResultGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !dataset_.active())
        return 0;
    return int(dataset_.recordCount());
}

int ResultGridModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || !dataset_.active())
        return 0;
    return dataset_.fieldCount();
}

QVariant ResultGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || !dataset_.active())
        return {};
    std::string out;
    text_.append(out, dataset_.rows(), dataset_.rowOfRecord(index.row()), index.column());
    return QString::fromUtf8(out);
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (!dataset_.active() || section >= dataset_.fieldCount())
            return {};
        if (role == Qt::DisplayRole)
            return dataset_.field(section).name;
        if (role == Qt::FontRole && section == boldColumn_) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    }
    if (role == Qt::DisplayRole)
        return section == indicatorRow_ ? QStringLiteral("\u25B6") : QString();
    return {};
}

Qt::ItemFlags ResultGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ResultGridModel::setBoldColumn(int column) {
    const int old = boldColumn_;
    boldColumn_ = column;
    if (old >= 0 && old < columnCount())
        Q_EMIT headerDataChanged(Qt::Horizontal, old, old);
    if (column >= 0 && column < columnCount())
        Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

int ResultGridModel::boldColumn() const {
    return boldColumn_;
}

} // namespace velmora
