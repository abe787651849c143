#include "TCheckedComboBox.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace velmora {

namespace {

// The drop button's 13 x 13 glyph: a small down arrow.
QPixmap dropGlyph() {
    QPixmap pixmap(13, 13);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const QPoint arrow[3] = {QPoint(3, 5), QPoint(10, 5), QPoint(6, 9)};
    painter.drawPolygon(arrow, 3);
    return pixmap;
}

void showPlainBox(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

constexpr int kButtonWidth = 16;
constexpr int kMaxCheckedLength = 65535;

} // namespace

TCheckedComboBox::TCheckedComboBox(QWidget* parent)
    : QFrame(parent) {
    messageBox = [this](const QString& text) {
        showPlainBox(this, text);
    };
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFocusPolicy(Qt::NoFocus);

    display_ = new QLineEdit(this);
    display_->setReadOnly(true);
    display_->installEventFilter(this);
    setFocusProxy(display_);

    button_ = new QToolButton(this);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setIcon(QIcon(dropGlyph()));
    button_->setIconSize(QSize(13, 13));
    button_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button_->installEventFilter(this);
    connect(button_, &QToolButton::clicked, this, &TCheckedComboBox::ButtonClick);

    dropDown_ = new QFrame(this, Qt::Popup | Qt::FramelessWindowHint);
    dropDown_->setFrameStyle(QFrame::Box | QFrame::Plain);
    dropDown_->setAutoFillBackground(true);
    dropDown_->setBackgroundRole(QPalette::Base);
    dropDown_->installEventFilter(this);
    list_ = new QListWidget(dropDown_);
    list_->setFrameShape(QFrame::NoFrame);
    list_->installEventFilter(this);
    connect(list_, &QListWidget::itemChanged, this, &TCheckedComboBox::ListClickCheck);

    menu_ = new QMenu(list_);
    selectAll_ = menu_->addAction(capSelectAll_);
    deSelectAll_ = menu_->addAction(capDeSelectAll_);
    connect(selectAll_, &QAction::triggered, this, &TCheckedComboBox::SelectAllClick);
    connect(deSelectAll_, &QAction::triggered, this, &TCheckedComboBox::DeSelectAllClick);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QListWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { menu_->popup(list_->viewport()->mapToGlobal(pos)); });

    setDisplayColor(QColor(255, 255, 255));
    resize(121, 24);
    UpdateDisplay();
    ArrangeParts();
}

TCheckedComboBox::~TCheckedComboBox() = default;

void TCheckedComboBox::setItems(const QStringList& items) {
    items_ = items;
    ItemsChange();
}

void TCheckedComboBox::addItem(const QString& item) {
    items_.append(item);
    ItemsChange();
}

void TCheckedComboBox::setNotFocusColor(const QColor& color) {
    notFocusColor_ = color;
    if (!display_->hasFocus())
        setDisplayColor(color);
}

void TCheckedComboBox::setSorted(bool sorted) {
    sorted_ = sorted;
    if (sorted_)
        ItemsChange();
}

void TCheckedComboBox::setColumns(int columns) {
    columns_ = columns;
    // More than one column: the items flow top to bottom and wrap into the next column.
    list_->setFlow(columns > 1 ? QListView::TopToBottom : QListView::LeftToRight);
    list_->setWrapping(columns > 1);
    list_->setResizeMode(QListView::Adjust);
}

void TCheckedComboBox::setDropDownLines(int lines) {
    if (lines >= 6 && lines <= 10)
        dropDownLines_ = lines;
}

void TCheckedComboBox::setEmptyValue(const QString& text) {
    emptyValue_ = text;
    UpdateDisplay();
    if (!display_->hasFocus() && isVisible())
        update();
}

void TCheckedComboBox::setSortDisplay(bool on) {
    sortDisplay_ = on;
    UpdateDisplay();
}

QStringList TCheckedComboBox::checkedItems() const {
    if (!sortDisplay_)
        return ticked_;
    QStringList ordered;
    for (const QString& item : items_) {
        if (ticked_.contains(item) && !ordered.contains(item))
            ordered.append(item);
    }
    return ordered;
}

QString TCheckedComboBox::checkedText() const {
    return checkedItems().join(QLatin1Char(','));
}

QString TCheckedComboBox::GetValueText() const {
    const QStringList checked = checkedItems();
    if (quoteStyle_ == TCHBQuoteStyle::qsNone)
        return checked.join(QLatin1Char(','));
    const QChar quote =
        quoteStyle_ == TCHBQuoteStyle::qsSingle ? QLatin1Char('\'') : QLatin1Char('"');
    QStringList quoted;
    for (QString item : checked) {
        item.replace(quote, QString(2, quote));
        quoted.append(quote + item + quote);
    }
    return quoted.join(QLatin1Char(','));
}

void TCheckedComboBox::ClearAll() {
    ticked_.clear();
    UpdateDisplay();
    items_.clear();
    rebuilding_ = true;
    list_->clear();
    rebuilding_ = false;
}

int TCheckedComboBox::itemHeight() const {
    if (list_->count() > 0)
        return list_->sizeHintForRow(0);
    return QFontMetrics(list_->font()).height() + 2;
}

void TCheckedComboBox::ButtonClick() {
    if (closingClick_) {
        closingClick_ = false;
        return;
    }
    Q_EMIT clicked();
    if (columns_ > 1)
        dropDownLines_ = static_cast<int>(items_.size()) / columns_ + 1;
    dropDownLines_ = std::clamp(dropDownLines_, 6, 10);
    selectAll_->setText(capSelectAll_);
    deSelectAll_->setText(capDeSelectAll_);
    dropDown_->setFont(font());
    const int height = itemHeight() * dropDownLines_ + 4;
    QPoint topLeft = mapToGlobal(QPoint(0, this->height()));
    const QScreen* shown = screen();
    const int screenHeight = shown ? shown->geometry().height() : 0;
    if (topLeft.y() + height > screenHeight - 20)
        topLeft.setY(mapToGlobal(QPoint(0, 0)).y() - height);
    dropDown_->setGeometry(QRect(topLeft, QSize(width(), height)));
    list_->setGeometry(dropDown_->contentsRect());
    dropDown_->show();
    list_->setFocus();
}

void TCheckedComboBox::SelectAllClick() {
    rebuilding_ = true;
    for (int i = 0; i < list_->count(); ++i)
        list_->item(i)->setCheckState(Qt::Checked);
    rebuilding_ = false;
    ticked_.clear();
    for (const QString& item : items_) {
        if (!ticked_.contains(item))
            ticked_.append(item);
    }
    UpdateDisplay();
    display_->update();
    Q_EMIT changed();
}

void TCheckedComboBox::DeSelectAllClick() {
    rebuilding_ = true;
    for (int i = 0; i < list_->count(); ++i)
        list_->item(i)->setCheckState(Qt::Unchecked);
    rebuilding_ = false;
    ticked_.clear();
    UpdateDisplay();
    Q_EMIT changed();
}

void TCheckedComboBox::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    ArrangeParts();
}

void TCheckedComboBox::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        ArrangeParts();
        update();
    }
}

bool TCheckedComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == button_ && closingClick_ &&
        (event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::MouseButtonDblClick)) {
        closingClick_ = false;
        return true;
    }
    if (watched == dropDown_ && event->type() == QEvent::Hide) {
        DropDownDeactivate();
    } else if (watched == list_ && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        dropDown_->hide();
        return true;
    } else if (watched == display_ && event->type() == QEvent::FocusIn) {
        setDisplayColor(QColor(255, 255, 255));
        Q_EMIT entered();
    } else if (watched == display_ && event->type() == QEvent::FocusOut) {
        setDisplayColor(notFocusColor_);
        Q_EMIT exited();
    }
    return QFrame::eventFilter(watched, event);
}

bool TCheckedComboBox::ListHasItem(const QString& item) const {
    return ticked_.contains(item);
}

bool TCheckedComboBox::ListAddItem(const QString& item) {
    const QString text = ticked_.join(QLatin1Char(','));
    if (text.size() + item.size() + 1 > kMaxCheckedLength) {
        messageBox(QStringLiteral("There is no room for Selected"));
        return false;
    }
    if (ListHasItem(item))
        return false;
    ticked_.append(item);
    return true;
}

bool TCheckedComboBox::ListRemoveItem(const QString& item) {
    return ticked_.removeOne(item);
}

void TCheckedComboBox::ListClickCheck(QListWidgetItem* item) {
    if (rebuilding_)
        return;
    if (item->checkState() == Qt::Checked)
        ListAddItem(item->text());
    else
        ListRemoveItem(item->text());
    UpdateDisplay();
    Q_EMIT changed();
}

void TCheckedComboBox::ItemsChange() {
    if (sorted_)
        items_.sort();
    rebuilding_ = true;
    list_->clear();
    ticked_.clear();
    UpdateDisplay();
    for (const QString& text : items_) {
        auto* item = new QListWidgetItem(text, list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    rebuilding_ = false;
}

void TCheckedComboBox::UpdateDisplay() {
    display_->setText(ticked_.isEmpty() ? emptyValue_ : checkedText());
    display_->setCursorPosition(0);
}

void TCheckedComboBox::ArrangeParts() {
    // A single-line edit box's height in this font: font height plus the 3-D border.
    const int fitted = QFontMetrics(font()).height() + 8;
    setFixedHeight(fitted);
    const int displayWidth = std::max(0, width() - kButtonWidth - 3);
    display_->setGeometry(0, 0, displayWidth, fitted);
    button_->setGeometry(displayWidth + 1, 2, kButtonWidth, fitted - 2);
}

void TCheckedComboBox::DropDownDeactivate() {
    // The press that closed the list may be replayed to the button, where it would open the
    // list again. A replay arrives while that press is being handled, so the mark lasts only
    // until the event loop runs again.
    closingClick_ = button_->rect().contains(button_->mapFromGlobal(QCursor::pos()), true);
    if (closingClick_)
        QTimer::singleShot(0, this, [this] { closingClick_ = false; });
    Q_EMIT closeUp();
}

void TCheckedComboBox::setDisplayColor(const QColor& color) {
    QPalette palette = display_->palette();
    palette.setColor(QPalette::Base, color);
    display_->setPalette(palette);
}

} // namespace velmora
