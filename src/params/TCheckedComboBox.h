#pragma once

#include <QColor>
#include <QFrame>
#include <QString>
#include <QStringList>

#include <functional>

class QAction;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QToolButton;

namespace velmora {

// Quoting applied by GetValueText: none, or each item in single or double quotes.
enum class TCHBQuoteStyle { qsNone, qsSingle, qsDouble };

// A read-only combo box whose drop-down is a check list: any number of items can be ticked. The
// ticked items are kept as a list (tick order, or item order with SortDisplay), shown joined by
// "," in the display box and handed out by GetValueText with the quote style applied. Items are
// kept whole, so an item that contains "," stays one value.
class TCheckedComboBox : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ items WRITE setItems)
    Q_PROPERTY(QString CapSelectAll READ capSelectAll WRITE setCapSelectAll)
    Q_PROPERTY(QString CapDeSelectAll READ capDeSelectAll WRITE setCapDeSelectAll)
    Q_PROPERTY(QColor NotFocusColor READ notFocusColor WRITE setNotFocusColor)
    Q_PROPERTY(bool Sorted READ sorted WRITE setSorted)
    Q_PROPERTY(int Columns READ columns WRITE setColumns)
    Q_PROPERTY(int DropDownLines READ dropDownLines WRITE setDropDownLines)
    Q_PROPERTY(QString EmptyValue READ emptyValue WRITE setEmptyValue)
    Q_PROPERTY(bool SortDisplay READ sortDisplay WRITE setSortDisplay)
    Q_PROPERTY(QString Version READ version)

public:
    explicit TCheckedComboBox(QWidget* parent = nullptr);
    ~TCheckedComboBox() override;

    const QStringList& items() const { return items_; }
    // Every change of the items clears the ticks.
    void setItems(const QStringList& items);
    void addItem(const QString& item);
    QString capSelectAll() const { return capSelectAll_; }
    void setCapSelectAll(const QString& caption) { capSelectAll_ = caption; }
    QString capDeSelectAll() const { return capDeSelectAll_; }
    void setCapDeSelectAll(const QString& caption) { capDeSelectAll_ = caption; }
    QColor notFocusColor() const { return notFocusColor_; }
    void setNotFocusColor(const QColor& color);
    bool sorted() const { return sorted_; }
    void setSorted(bool sorted);
    TCHBQuoteStyle quoteStyle() const { return quoteStyle_; }
    void setQuoteStyle(TCHBQuoteStyle style) { quoteStyle_ = style; }
    int columns() const { return columns_; }
    void setColumns(int columns);
    int dropDownLines() const { return dropDownLines_; }
    // Accepts 6 to 10; other values are ignored.
    void setDropDownLines(int lines);
    QString emptyValue() const { return emptyValue_; }
    void setEmptyValue(const QString& text);
    bool sortDisplay() const { return sortDisplay_; }
    void setSortDisplay(bool on);
    static QString version() { return QStringLiteral("1.7"); }

    // The ticked items: tick order, or the order of Items with SortDisplay.
    QStringList checkedItems() const;
    // The ticked items joined by ",".
    QString checkedText() const;
    // checkedText with the quote style: each item enclosed and the quote character inside it
    // doubled, so an item cannot end its quotes early.
    QString GetValueText() const;
    void ClearAll();

    // Opens the drop-down list (what a click on the drop button does).
    void ButtonClick();
    void SelectAllClick();
    void DeSelectAllClick();

    QLineEdit* displayBox() const { return display_; }
    QToolButton* dropButton() const { return button_; }
    QFrame* dropDown() const { return dropDown_; }
    QListWidget* checkList() const { return list_; }
    QAction* selectAllAction() const { return selectAll_; }
    QAction* deSelectAllAction() const { return deSelectAll_; }
    int itemHeight() const;

    // Shows a message; replaceable so that tests read it instead of a box.
    std::function<void(const QString&)> messageBox;

Q_SIGNALS:
    void changed();
    void entered();
    void exited();
    void closeUp();
    void clicked();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool ListHasItem(const QString& item) const;
    bool ListAddItem(const QString& item);
    bool ListRemoveItem(const QString& item);
    void ListClickCheck(QListWidgetItem* item);
    void ItemsChange();
    void UpdateDisplay();
    void ArrangeParts();
    void DropDownDeactivate();
    void setDisplayColor(const QColor& color);

    QStringList items_;
    QStringList ticked_; // in the order of ticking
    QString capSelectAll_ = QStringLiteral("&Select All");
    QString capDeSelectAll_ = QStringLiteral("&DeSelect All");
    QColor notFocusColor_ = QColor(255, 255, 255);
    bool sorted_ = false;
    TCHBQuoteStyle quoteStyle_ = TCHBQuoteStyle::qsNone;
    int columns_ = 0;
    int dropDownLines_ = 6;
    QString emptyValue_ = QStringLiteral("<none>");
    bool sortDisplay_ = false;
    // Set when the drop-down closed because of a press on the drop button: the click that
    // follows must not open the list again.
    bool closingClick_ = false;
    bool rebuilding_ = false;

    QLineEdit* display_ = nullptr;
    QToolButton* button_ = nullptr;
    QFrame* dropDown_ = nullptr;
    QListWidget* list_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* selectAll_ = nullptr;
    QAction* deSelectAll_ = nullptr;
};

} // namespace velmora
