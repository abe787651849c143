#include "TExecParam.h"

#include "NameParts.h"
#include "NumberText.h"
#include "PickListSource.h"
#include "SplitDelimited.h"
#include "Substitution.h"
#include "TCheckedComboBox.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTimeEdit>

#include <algorithm>
#include <cmath>
#include <exception>

namespace velmora {

namespace {

constexpr int kPanelHeight = 42;
const QColor kGrey(230, 230, 230);
const QColor kNavy(0, 0, 128);

void paintGrey(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, kGrey);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QString typeAndName(const TExecParam::RowControls& row) {
    return fnParamTypeCode(row.type) + QStringLiteral(" - ") + row.name;
}

} // namespace

TExecParam::TExecParam(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    messageBox = [this](const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                        QMessageBox::Ok, this);
        box.exec();
    };
    setWindowTitle(QStringLiteral("Query Parameters"));
    QFont dialogFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    dialogFont.setStyleHint(QFont::SansSerif);
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    paintGrey(this);

    panel1_ = new QWidget(this);
    paintGrey(panel1_);
    bnOk_ = new QPushButton(QStringLiteral("OK"), panel1_);
    bnOk_->setGeometry(232, 9, 75, 25);
    bnOk_->setDefault(true);
    bnOk_->setAutoDefault(false);
    bnCancel_ = new QPushButton(QStringLiteral("Cancel"), panel1_);
    bnCancel_->setGeometry(368, 9, 75, 25);
    bnCancel_->setAutoDefault(false);
    lblSample_ = new QLabel(panel1_);
    lblSample_->hide();
    connect(bnOk_, &QPushButton::clicked, this, &TExecParam::bnOkClick);
    connect(bnCancel_, &QPushButton::clicked, this, &TExecParam::bnCancelClick);

    // A fixed border: the window is sized by the rows, never by the user.
    setFixedSize(675, 508);
}

TExecParam::~TExecParam() = default;

void TExecParam::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    panel1_->setGeometry(0, height() - kPanelHeight, width(), kPanelHeight);
    if (paramArea_)
        paramArea_->setGeometry(0, 0, width(), height() - kPanelHeight);
}

void TExecParam::exec(SessionState& state, PickListSource& lists) {
    placeOverParent();
    FormShow(state, lists);
    if (!errorPath_)
        QDialog::exec();
    fnReleaseRows();
}

void TExecParam::placeOverParent() {
    QRect over;
    if (QWidget* owner = parentWidget())
        over = owner->window()->frameGeometry();
    else if (const QScreen* shown = screen())
        over = shown->availableGeometry();
    if (over.isValid())
        move(over.center().x() - width() / 2, over.center().y() - height() / 2);
}

int TExecParam::textWidth(const QString& text) const {
    return QFontMetrics(font()).horizontalAdvance(text);
}

void TExecParam::FormShow(SessionState& state, PickListSource& lists) {
    const int rememberedWidth = width();
    const int rememberedLeft = x();
    const int okLeft = bnOk_->x();
    const int cancelLeft = bnCancel_->x();
    bnOk_->setEnabled(true);
    state_ = &state;
    state.DialogCancelled = true;
    errorPath_ = false;
    lblSample_->hide();
    lblSample_->setParent(panel1_);
    NextTop = 15;
    FieldColumnWidth = 0;
    OperatorColumnWidth = 0;
    PickWidth = 70;
    InputWidth = 0;
    ValueLeft = 0;
    ContentWidth = 0;

    fnReleaseRows();
    paramArea_ = new QScrollArea(this);
    paramArea_->setFrameShape(QFrame::NoFrame);
    paramArea_->setWidgetResizable(false);
    paramArea_->setGeometry(0, 0, width(), height() - kPanelHeight);
    paintGrey(paramArea_->viewport());
    content_ = new QWidget;
    paintGrey(content_);
    paramArea_->setWidget(content_);
    paramArea_->show();

    const int count = std::min<int>(state.ParamNames.size(), state.ParamTypes.size());
    rows_.assign(count, RowControls{});
    for (int i = 1; i <= count; ++i) {
        RowControls& row = rowAt(i);
        row.type = fnParseParamType(state.ParamTypes[i - 1]).value_or(ParamType::STR);
        row.name = state.ParamNames[i - 1];
        if (!buildRow(i, lists))
            return;
        NextTop += 24;
    }
    fnLayoutRows();

    const QScreen* shown = screen();
    const int screenWidth = shown ? shown->geometry().width() : 0;
    const int newWidth =
        screenWidth > ValueLeft + PickWidth + 25 ? ValueLeft + ContentWidth + 30 : screenWidth;
    const int newHeight = NextTop + 75 > 650 ? 650 : NextTop + 80;
    setFixedSize(newWidth, newHeight);

    // Keep the window centred: buttons move right and the window left by half the growth.
    const int half = static_cast<int>(std::nearbyint((newWidth - rememberedWidth) / 2.0));
    bnOk_->move(okLeft + half, bnOk_->y());
    bnCancel_->move(cancelLeft + half, bnCancel_->y());
    move(rememberedLeft - half, y());
}

bool TExecParam::buildRow(int index, PickListSource& lists) {
    RowControls& row = rowAt(index);
    const QStringList parts = fnSplitName(row.name);
    row.partCount = static_cast<int>(parts.size());
    if (!buildCaptionParts(index, parts))
        return false;
    if (fnIsPickType(row.type))
        return buildPickValue(index, parts, lists);
    if (parts.size() > 2) {
        messageBox(QStringLiteral("Too many parameters. Please check ") + typeAndName(row) +
                   QLatin1Char('.'));
        fnErrorPath(QString());
        return false;
    }
    switch (row.type) {
    case ParamType::STR:
    case ParamType::NUM:
    case ParamType::PWD:
        fnRunTimeEdit(NextTop, index, fnParamTypeCode(row.type));
        break;
    case ParamType::DATE:
        fnRunTimeDTPickerD(NextTop, index);
        break;
    case ParamType::TIME:
        fnRunTimeDTPickerT(NextTop, index);
        break;
    case ParamType::DT:
        fnRunTimeDTPickerD(NextTop, index);
        fnRunTimeDTPickerT(NextTop, index);
        break;
    default: // TEXT, SLIST, NLIST
        fnRunTimeMemo(NextTop, index);
        NextTop += 117;
        break;
    }
    return true;
}

bool TExecParam::buildCaptionParts(int index, const QStringList& parts) {
    RowControls& row = rowAt(index);
    for (int p = 0; p < std::min<int>(parts.size(), 2); ++p) {
        const NamePart part = fnParseNamePart(parts[p]);
        if (part.emptyBraces) {
            // Braces without an item name nothing to show or insert.
            messageBox(QStringLiteral("Invalid parameter. Please check ") + typeAndName(row) +
                       QLatin1Char('.'));
            fnErrorPath(QString());
            return false;
        }
        const bool field = p == 0;
        switch (part.mode) {
        case PartMode::CaptionOnly:
            field ? fnRunTimeLabelField(NextTop + 2, index, part.text)
                  : fnRunTimeLabelOperator(NextTop + 2, index, part.text);
            break;
        case PartMode::FixedItem:
            field ? fnRunTimeLabelField(NextTop + 2, index, part.items.front())
                  : fnRunTimeLabelOperator(NextTop + 2, index, part.items.front());
            break;
        case PartMode::ChoiceList:
            field ? fnRunTimeComboBoxField(NextTop, index, part.inner, true)
                  : fnRunTimeComboBoxOperator(NextTop, index, part.inner, true);
            break;
        }
        (field ? row.FieldMode : row.OperatorMode) = part.mode;
    }
    return true;
}

bool TExecParam::buildPickValue(int index, const QStringList& parts, PickListSource& lists) {
    RowControls& row = rowAt(index);
    const QString caption = rowCaption(row);
    if (parts.size() > 3) {
        messageBox(QStringLiteral("Too many parameters. Please check \"") + caption +
                   QStringLiteral("\"."));
        fnErrorPath(QString());
        return false;
    }
    if (parts.size() < 3) {
        messageBox(QStringLiteral("Not enough parameters. Please check \"") + caption +
                   QStringLiteral("\"."));
        fnErrorPath(QString());
        return false;
    }
    QString inner;
    if (!fnListPartInner(parts[2], &inner)) {
        messageBox(QStringLiteral("Invalid parameter. Please check ") + typeAndName(row) +
                   QLatin1Char('.'));
        fnErrorPath(QString());
        return false;
    }
    const PickKind kind = *fnPickKind(row.type);
    const bool fixed = kind.source == PickSource::Fixed;
    const QString items = fixed ? inner : QString();
    if (kind.control == PickControl::Checked)
        fnRunTimeCheckedComboBox(NextTop, index, items, kind.prefix == PickPrefix::String);
    else
        fnRunTimeComboBox(NextTop, index, items, kind.control == PickControl::ReadOnly);
    if (fixed)
        return true;

    QStringList choices;
    try {
        choices = lists.fetch(inner);
    } catch (const std::exception& e) {
        const QString message = QString::fromUtf8(e.what());
        messageBox(message);
        fnErrorPath(message + QStringLiteral(". Please click the \"Cancel\" button to continue."));
        return false;
    }
    if (row.ValueCheckedCombo) {
        row.ValueCheckedCombo->ClearAll();
        row.ValueCheckedCombo->setItems(choices);
    } else {
        row.ValueCombo->clear();
        row.ValueCombo->addItems(choices);
        row.ValueCombo->setCurrentIndex(-1);
    }
    for (const QString& choice : choices)
        PickWidth = std::max(PickWidth, textWidth(choice) + 70);
    return true;
}

QString TExecParam::rowCaption(const RowControls& row) const {
    if (row.FieldMode == PartMode::ChoiceList && row.FieldCombo)
        return row.FieldCombo->currentText();
    return row.FieldLabel ? row.FieldLabel->text() : QString();
}

QLabel* TExecParam::makeCaptionLabel(int top, const QString& caption, int maxWidth) {
    auto* label = new QLabel(caption, content_);
    QFont bold = font();
    bold.setBold(true);
    label->setFont(bold);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kNavy);
    label->setPalette(palette);
    label->setAutoFillBackground(false);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QFontMetrics metrics(bold);
    label->setGeometry(15, top, std::min(metrics.horizontalAdvance(caption), maxWidth),
                       metrics.height());
    label->show();
    return label;
}

QComboBox* TExecParam::makeList(int top, int width, const QStringList& items, bool readOnly) {
    auto* combo = new QComboBox(content_);
    combo->setEditable(!readOnly);
    combo->addItems(items);
    combo->setGeometry(15, top, width, 21);
    combo->show();
    return combo;
}

void TExecParam::focusFirstRow(int index, QWidget* control) {
    if (index == 1)
        control->setFocus();
}

void TExecParam::fnRunTimeLabelField(int top, int index, const QString& caption) {
    QLabel* label = makeCaptionLabel(top, caption, 300);
    rowAt(index).FieldLabel = label;
    FieldColumnWidth = std::max(FieldColumnWidth, label->width());
}

void TExecParam::fnRunTimeComboBoxField(int top, int index, const QString& items, bool readOnly) {
    const QStringList list = fnSplitDelimited(items, QLatin1Char(','), QLatin1Char('\''));
    QComboBox* combo = makeList(top, 300, list, readOnly);
    combo->setCurrentIndex(list.isEmpty() ? -1 : 0);
    rowAt(index).FieldCombo = combo;
    for (const QString& item : list)
        FieldColumnWidth = std::max(FieldColumnWidth, textWidth(item) + 70);
}

void TExecParam::fnRunTimeLabelOperator(int top, int index, const QString& caption) {
    QLabel* label = makeCaptionLabel(top, caption, 70);
    rowAt(index).OperatorLabel = label;
    OperatorColumnWidth = std::max(OperatorColumnWidth, label->width());
    label->resize(70, 21);
}

void TExecParam::fnRunTimeComboBoxOperator(int top, int index, const QString& items,
                                           bool readOnly) {
    const QStringList list = fnSplitDelimited(items, QLatin1Char(','), QLatin1Char('\''));
    QComboBox* combo = makeList(top, 70, list, readOnly);
    combo->setCurrentIndex(list.isEmpty() ? -1 : 0);
    rowAt(index).OperatorCombo = combo;
    for (const QString& item : list)
        OperatorColumnWidth = std::max(OperatorColumnWidth, textWidth(item) + 70);
}

void TExecParam::fnRunTimeEdit(int top, int index, const QString& type) {
    auto* edit = new QLineEdit(content_);
    if (type.compare(QLatin1String("PWD"), Qt::CaseInsensitive) == 0)
        edit->setEchoMode(QLineEdit::Password);
    edit->setGeometry(15, top, 500, 21);
    edit->show();
    rowAt(index).ValueEdit = edit;
    InputWidth = std::max(InputWidth, 500);
    focusFirstRow(index, edit);
}

void TExecParam::fnRunTimeMemo(int top, int index) {
    auto* memo = new QPlainTextEdit(content_);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setTabChangesFocus(true);
    memo->setGeometry(15, top, 500, 138);
    memo->show();
    rowAt(index).ValueMemo = memo;
    InputWidth = std::max(InputWidth, 500);
    focusFirstRow(index, memo);
}

void TExecParam::fnRunTimeDTPickerD(int top, int index) {
    auto* picker = new QDateEdit(QDate::currentDate(), content_);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setCalendarPopup(true);
    picker->setGeometry(15, top, 89, 21);
    picker->show();
    rowAt(index).DatePicker = picker;
    InputWidth = std::max(InputWidth, 89);
    focusFirstRow(index, picker);
}

void TExecParam::fnRunTimeDTPickerT(int top, int index) {
    auto* picker = new QTimeEdit(QTime(0, 0, 1), content_);
    picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    picker->setGeometry(15, top, 89, 21);
    picker->show();
    RowControls& row = rowAt(index);
    row.TimePicker = picker;
    InputWidth = std::max(InputWidth, row.type == ParamType::DT ? 181 : 89);
}

void TExecParam::fnRunTimeComboBox(int top, int index, const QString& items, bool readOnly) {
    QStringList list;
    if (!items.isEmpty())
        list = fnSplitDelimited(items, QLatin1Char(','), QLatin1Char('\''));
    QComboBox* combo = makeList(top, 500, list, readOnly);
    combo->setCurrentIndex(-1);
    rowAt(index).ValueCombo = combo;
    for (const QString& item : list)
        PickWidth = std::max(PickWidth, textWidth(item) + 70);
    focusFirstRow(index, combo);
}

void TExecParam::fnRunTimeCheckedComboBox(int top, int index, const QString& items, bool quote) {
    auto* combo = new TCheckedComboBox(content_);
    combo->messageBox = messageBox;
    if (quote)
        combo->setQuoteStyle(TCHBQuoteStyle::qsSingle);
    combo->setGeometry(15, top, 500, 21);
    if (!items.isEmpty()) {
        const QStringList list = fnSplitDelimited(items, QLatin1Char(','), QLatin1Char('\''));
        combo->ClearAll();
        combo->setItems(list);
        for (const QString& item : list)
            PickWidth = std::max(PickWidth, textWidth(item) + 70);
    }
    combo->show();
    rowAt(index).ValueCheckedCombo = combo;
    focusFirstRow(index, combo);
}

bool TExecParam::fnIsStrFloatNum(const QString& text) {
    return velmora::fnIsStrFloatNum(text);
}

void TExecParam::fnLayoutRows() {
    FieldColumnWidth = std::min(FieldColumnWidth, 300);
    OperatorColumnWidth = std::min(OperatorColumnWidth, 70);
    PickWidth = std::min(PickWidth, 500);
    ContentWidth = PickWidth > InputWidth ? PickWidth : InputWidth;
    ValueLeft = FieldColumnWidth + OperatorColumnWidth + 45;
    for (RowControls& row : rows_) {
        if (QWidget* field = row.FieldMode == PartMode::ChoiceList
                                 ? static_cast<QWidget*>(row.FieldCombo)
                                 : static_cast<QWidget*>(row.FieldLabel))
            field->resize(FieldColumnWidth, field->height());
        if (QWidget* op = row.OperatorMode == PartMode::ChoiceList
                              ? static_cast<QWidget*>(row.OperatorCombo)
                              : static_cast<QWidget*>(row.OperatorLabel))
            op->setGeometry(FieldColumnWidth + 30, op->y(), OperatorColumnWidth, op->height());
        for (QWidget* value :
             {static_cast<QWidget*>(row.ValueEdit), static_cast<QWidget*>(row.ValueMemo),
              static_cast<QWidget*>(row.DatePicker)}) {
            if (value)
                value->move(ValueLeft, value->y());
        }
        if (row.TimePicker)
            row.TimePicker->move(row.type == ParamType::DT ? ValueLeft + 92 : ValueLeft,
                                 row.TimePicker->y());
        for (QWidget* pick : {static_cast<QWidget*>(row.ValueCombo),
                              static_cast<QWidget*>(row.ValueCheckedCombo)}) {
            if (pick)
                pick->setGeometry(ValueLeft, pick->y(), PickWidth, pick->height());
        }
    }
    const QRect used = content_->childrenRect();
    content_->resize(used.right() + 1, used.bottom() + 1);
}

void TExecParam::fnErrorPath(const QString& text) {
    errorPath_ = true;
    if (state_)
        state_->DialogCancelled = true;
    bnOk_->setEnabled(false);
    if (paramArea_)
        paramArea_->hide();
    lblSample_->setParent(this);
    lblSample_->setGeometry(rect());
    lblSample_->setText(
        text.isEmpty()
            ? QStringLiteral("Invalid parameter. Please click the \"Cancel\" button to continue.")
            : text);
    lblSample_->show();
    if (isVisible())
        reject();
}

void TExecParam::bnOkClick() {
    if (!state_)
        return;
    for (const RowControls& row : rows_) {
        bool ok = true;
        auto number = [](const QString& text) {
            return fnIsStrFloatNum(fnTrim(text));
        };
        auto numbersOrBlank = [](const QStringList& values) {
            return std::all_of(values.begin(), values.end(), [](const QString& v) {
                const QString t = fnTrim(v);
                return t.isEmpty() || fnIsStrFloatNum(t);
            });
        };
        if (row.type == ParamType::NUM && row.ValueEdit)
            ok = number(row.ValueEdit->text());
        else if (row.type == ParamType::NLIST && row.ValueMemo)
            ok = numbersOrBlank(fnMemoLines(row.ValueMemo->toPlainText()));
        else if (fnIsNumericType(row.type) && row.ValueCombo)
            ok = number(row.ValueCombo->currentText());
        else if (fnIsNumericType(row.type) && row.ValueCheckedCombo)
            ok = numbersOrBlank(row.ValueCheckedCombo->checkedItems());
        if (!ok) {
            messageBox(QLatin1Char('"') + rowCaption(row) +
                       QStringLiteral("\" is a numeric parameter. Only numbers are allowed."));
            return;
        }
    }
    state_->ParamRows.clear();
    for (const RowControls& row : rows_)
        state_->ParamRows.push_back(fnCollectRow(row));
    state_->DialogCancelled = false;
    accept();
}

void TExecParam::bnCancelClick() {
    if (state_)
        state_->DialogCancelled = true;
    reject();
}

ParamRow TExecParam::fnCollectRow(const RowControls& row) const {
    ParamRow values;
    values.FieldMode = row.FieldMode;
    values.OperatorMode = row.OperatorMode;
    if (row.FieldLabel)
        values.FieldLabel = row.FieldLabel->text();
    if (row.FieldCombo)
        values.FieldCombo = row.FieldCombo->currentText();
    if (row.OperatorLabel)
        values.OperatorLabel = row.OperatorLabel->text();
    if (row.OperatorCombo)
        values.OperatorCombo = row.OperatorCombo->currentText();
    if (row.ValueEdit)
        values.ValueEdit = row.ValueEdit->text();
    if (row.ValueMemo)
        values.ValueMemo = row.ValueMemo->toPlainText();
    if (row.DatePicker)
        values.DatePicker = row.DatePicker->date();
    if (row.TimePicker)
        values.TimePicker = row.TimePicker->time();
    if (row.ValueCombo)
        values.ValueCombo = row.ValueCombo->currentText();
    if (row.ValueCheckedCombo)
        values.ValueCheckedCombo = row.ValueCheckedCombo->GetValueText();
    return values;
}

void TExecParam::fnReleaseRows() {
    rows_.clear();
    delete paramArea_; // owned by the window; released with every control of the rows
    paramArea_ = nullptr;
    content_ = nullptr;
}

} // namespace velmora
