#pragma once

#include "export/CellText.h"
#include "query/Dataset.h"

#include <QAbstractTableModel>

namespace velmora {

// The result grid's model over the query's result set: only the cells the view paints are read.
// Rows follow the dataset's sort; the vertical header is the row indicator of the current record.
// Cells show the same text as the delimited export writes.
class ResultGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultGridModel(Dataset& dataset, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The column whose title is bold; -1 for none.
    void setBoldColumn(int column);
    int boldColumn() const;

private:
    Dataset& dataset_;
    CellText text_;
    int boldColumn_ = -1;
    std::int64_t indicatorRow_ = -1;
};

} // namespace velmora
