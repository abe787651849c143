#pragma once

#include "ResultGridModel.h"
#include "Share/SessionState.h"

#include <QTableView>

#include <functional>

namespace velmora {

// The result grid DBGrid1 and its handlers: the row indicator in the status bar, the sort on a
// title click, the fit of a column on a double-click on its title and after every execution.
class ResultGrid : public QTableView {
    Q_OBJECT
public:
    ResultGrid(SessionState& state, Dataset& dataset, QWidget* parent);

    // Status panel 0 is written through this.
    std::function<void(const QString&)> showRowIndicator;

    void DBGrid1TitleClick(int column);
    void DBGrid1DblClick(const QPoint& viewportPos, bool onTitle, int column);
    void fnAutofitColumnWidth();
    void fitColumn(int column);
    void updateRowIndicator();

    ResultGridModel& gridModel();

    // The sort that a title click on `field` gives after `current`: the field's first click sorts
    // ascending, the next descending, the next ascending again.
    static QString nextSortExpression(const QString& current, const QString& field);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int cellTextMargin() const;

    SessionState& state_;
    Dataset& dataset_;
    ResultGridModel model_;
};

} // namespace velmora
