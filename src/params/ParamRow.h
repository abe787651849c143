#pragma once

#include <QDate>
#include <QString>
#include <QTime>

namespace velmora {

// How a caption or operator part of a marker name is shown and used.
enum class PartMode {
    CaptionOnly = 0, // shown as written, not inserted into the SQL
    FixedItem = 1,   // "{item}": shown and inserted before the value
    ChoiceList = 2,  // "{a,b,...}": the picked item is inserted before the value
};

// What the parameter dialog collected for one parameter, read by the substitution. The dialog
// fills the slots its row needs; the others stay empty.
struct ParamRow {
    PartMode FieldMode = PartMode::CaptionOnly;
    QString FieldLabel; // label text (the single item in FixedItem mode)
    QString FieldCombo; // picked item in ChoiceList mode
    PartMode OperatorMode = PartMode::CaptionOnly;
    QString OperatorLabel;
    QString OperatorCombo;
    QString ValueEdit;         // STR, PWD, NUM
    QString ValueMemo;         // TEXT, SLIST, NLIST: the whole text
    QDate DatePicker;          // DATE, DT
    QTime TimePicker;          // TIME, DT
    QString ValueCombo;        // W and R pick types: the list's current text
    QString ValueCheckedCombo; // C pick types: the checked combo box's value text, quotes applied
};

} // namespace velmora
