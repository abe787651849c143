#include "ResultGrid.h"

#include "Palette.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>

namespace velmora {

ResultGrid::ResultGrid(SessionState& state, Dataset& dataset, QWidget* parent)
    : QTableView(parent)
    , state_(state)
    , dataset_(dataset)
    , model_(dataset, this) {
    setObjectName(QStringLiteral("DBGrid1"));
    setModel(&model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(true);
    setShowGrid(true);
    setWordWrap(false);
    setAlternatingRowColors(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setFixedWidth(14);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::Button, kGrey);
    p.setColor(QPalette::Window, kGrey);
    setPalette(p);
    horizontalHeader()->setPalette(p);
    verticalHeader()->setPalette(p);
    setStyleSheet(QStringLiteral("QHeaderView::section { background-color: rgb(230,230,230); "
                                 "border: 0px; border-right: 1px solid rgb(160,160,160); "
                                 "border-bottom: 1px solid rgb(160,160,160); padding: 0px 2px; }"));

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { DBGrid1TitleClick(column); });
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int column) { DBGrid1DblClick({}, true, column); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { DBGrid1DblClick({}, false, index.column()); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && dataset_.active())
                    dataset_.moveTo(current.row() + 1);
            });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
        if (model_.rowCount() > 0)
            selectionModel()->setCurrentIndex(model_.index(0, 0), QItemSelectionModel::NoUpdate);
    });
}

ResultGridModel& ResultGrid::gridModel() {
    return model_;
}

void ResultGrid::updateRowIndicator() {
    if (!dataset_.active() || dataset_.recordCount() < 1 || !showRowIndicator)
        return;
    showRowIndicator(
        QStringLiteral("Row %1 of %2").arg(dataset_.recNo()).arg(state_.ResultRowCount));
}

void ResultGrid::keyReleaseEvent(QKeyEvent* event) {
    QTableView::keyReleaseEvent(event);
    updateRowIndicator();
}

void ResultGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    updateRowIndicator();
}

void ResultGrid::wheelEvent(QWheelEvent* event) {
    // A wheel step moves the current record, as the grid's own cursor would.
    const QModelIndex current = currentIndex();
    if (current.isValid() && event->angleDelta().y() != 0) {
        const int step = event->angleDelta().y() < 0 ? 1 : -1;
        const int row = std::clamp(current.row() + step, 0, model_.rowCount() - 1);
        setCurrentIndex(model_.index(row, current.column()));
        event->accept();
    } else {
        QTableView::wheelEvent(event);
    }
    updateRowIndicator();
}

QString ResultGrid::nextSortExpression(const QString& current, const QString& field) {
    // The field part of the expression is compared whole, so a field whose name begins another's
    // (ID after IDX) starts its own cycle.
    QString currentField = current;
    for (const QLatin1String suffix : {QLatin1String(" DESC"), QLatin1String(" ASC")}) {
        if (currentField.endsWith(suffix)) {
            currentField.chop(suffix.size());
            break;
        }
    }
    if (currentField == field && !current.contains(QLatin1String(" DESC")))
        return field + QStringLiteral(" DESC");
    return field + QStringLiteral(" ASC");
}

void ResultGrid::DBGrid1TitleClick(int column) {
    state_.TitleClicked = true;
    if (state_.GridDoubleClicked) {
        state_.GridDoubleClicked = false;
        return;
    }
    if (!dataset_.active() || column < 0 || column >= dataset_.fieldCount())
        return;
    model_.setBoldColumn(column);
    state_.SortedColumnIndex = column;
    const QString field = dataset_.field(column).name;
    dataset_.setSort(nextSortExpression(dataset_.sort(), field));
}

void ResultGrid::DBGrid1DblClick(const QPoint&, bool onTitle, int column) {
    // Qt reports a double-click on a title as one title click (the first release) followed by one
    // double-click, with no click for the second release (seen on X11 under Xvfb with xdotool).
    // The first click has sorted once; the double-click takes back its mark and fits the column.
    // No second title click is coming, so GridDoubleClicked is left clear and the next title
    // click sorts as usual.
    state_.GridDoubleClicked = false;
    if (state_.TitleClicked) {
        state_.TitleClicked = false;
        if (!onTitle)
            return;
    }
    if (onTitle && column >= 0)
        fitColumn(column);
}

int ResultGrid::cellTextMargin() const {
    // What the item delegate keeps free on each side of a cell's text.
    return style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
}

void ResultGrid::fitColumn(int column) {
    if (!dataset_.active() || column < 0 || column >= model_.columnCount())
        return;
    state_.AutofitColumnIndex = column;
    state_.AutofitMaxWidth = -1;
    const QFontMetrics metrics(font());
    // Only the cells on screen are measured, as they would be painted: a grid that is not shown
    // measures nothing, and a column pushed off screen is fitted to its title.
    const int x = columnViewportPosition(column);
    const bool onScreen = isVisible() && x < viewport()->width() && model_.rowCount() > 0;
    if (onScreen) {
        const int first = std::max(0, rowAt(0));
        int last = rowAt(viewport()->height() - 1);
        if (last < 0)
            last = model_.rowCount() - 1;
        for (int r = first; r <= last; ++r) {
            const int w = metrics.horizontalAdvance(
                model_.data(model_.index(r, column), Qt::DisplayRole).toString());
            state_.AutofitMaxWidth = std::max(state_.AutofitMaxWidth, w);
        }
    }
    const int t = metrics.horizontalAdvance(dataset_.field(column).name);
    setColumnWidth(column, std::max(t, state_.AutofitMaxWidth) + 4 + 2 * cellTextMargin());
}

void ResultGrid::fnAutofitColumnWidth() {
    for (int i = 0; i < model_.columnCount(); ++i)
        fitColumn(i);
}

} // namespace velmora
