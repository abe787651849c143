#pragma once

#include "ParamRow.h"
#include "ParamType.h"
#include "Share/SessionState.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTimeEdit;
class QWidget;

namespace velmora {

class PickListSource;
class TCheckedComboBox;

// The "Query Parameters" window. Each showing builds one row of controls per parameter with
// absolute geometry measured in the dialog's font, sizes the window to fit, and on OK hands the
// entered values to SessionState::ParamRows; the substitution never sees a widget.
class TExecParam : public QDialog {
    Q_OBJECT
public:
    // The controls of one parameter row; the ones its type and name parts do not need stay null.
    struct RowControls {
        ParamType type = ParamType::STR;
        QString name;
        int partCount = 0;
        PartMode FieldMode = PartMode::CaptionOnly;
        PartMode OperatorMode = PartMode::CaptionOnly;
        QLabel* FieldLabel = nullptr;
        QComboBox* FieldCombo = nullptr;
        QLabel* OperatorLabel = nullptr;
        QComboBox* OperatorCombo = nullptr;
        QLineEdit* ValueEdit = nullptr;
        QPlainTextEdit* ValueMemo = nullptr;
        QDateEdit* DatePicker = nullptr;
        QTimeEdit* TimePicker = nullptr;
        QComboBox* ValueCombo = nullptr;
        TCheckedComboBox* ValueCheckedCombo = nullptr;
    };

    explicit TExecParam(QWidget* parent = nullptr);
    ~TExecParam() override;

    // The whole showing: builds the rows for state.ParamNames/ParamTypes (SQL pick lists are
    // fetched from lists), runs modally and releases the rows. state.DialogCancelled is false only
    // after a successful OK, which has also filled state.ParamRows.
    void exec(SessionState& state, PickListSource& lists);
    using QDialog::exec;

    // Builds the rows and sizes the window; returns with the window still hidden.
    void FormShow(SessionState& state, PickListSource& lists);
    void bnOkClick();
    void bnCancelClick();
    // Releases the rows with their parameter area.
    void fnReleaseRows();

    // Row builders: top of the row, 1-based parameter index and, where listed, a text.
    void fnRunTimeLabelField(int top, int index, const QString& caption);
    void fnRunTimeComboBoxField(int top, int index, const QString& items, bool readOnly);
    void fnRunTimeLabelOperator(int top, int index, const QString& caption);
    void fnRunTimeComboBoxOperator(int top, int index, const QString& items, bool readOnly);
    void fnRunTimeEdit(int top, int index, const QString& type);
    void fnRunTimeMemo(int top, int index);
    void fnRunTimeDTPickerD(int top, int index);
    void fnRunTimeDTPickerT(int top, int index);
    void fnRunTimeComboBox(int top, int index, const QString& items, bool readOnly);
    void fnRunTimeCheckedComboBox(int top, int index, const QString& items, bool quote);
    static bool fnIsStrFloatNum(const QString& text);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    const RowControls& row(int index) const { return rows_.at(index - 1); }
    QScrollArea* paramArea() const { return paramArea_; }
    QWidget* paramContent() const { return content_; }
    QWidget* panel1() const { return panel1_; }
    QLabel* lblSample() const { return lblSample_; }
    QPushButton* bnOk() const { return bnOk_; }
    QPushButton* bnCancel() const { return bnCancel_; }
    // True when the last showing ended through the error path (a malformed name or a failing
    // pick-list query).
    bool errorPathTaken() const { return errorPath_; }

    // Shows a plain message; replaceable so that tests read the text instead of a box.
    std::function<void(const QString&)> messageBox;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int textWidth(const QString& text) const;
    bool buildRow(int index, PickListSource& lists);
    bool buildCaptionParts(int index, const QStringList& parts);
    bool buildPickValue(int index, const QStringList& parts, PickListSource& lists);
    QString rowCaption(const RowControls& row) const;
    void fnLayoutRows();
    void fnErrorPath(const QString& text);
    ParamRow fnCollectRow(const RowControls& row) const;
    void placeOverParent();
    RowControls& rowAt(int index) { return rows_.at(index - 1); }
    void focusFirstRow(int index, QWidget* control);
    QLabel* makeCaptionLabel(int top, const QString& caption, int maxWidth);
    QComboBox* makeList(int top, int width, const QStringList& items, bool readOnly);

    SessionState* state_ = nullptr;
    std::vector<RowControls> rows_;
    bool errorPath_ = false;

    // Layout state, reset at every showing.
    int NextTop = 15;
    int FieldColumnWidth = 0;
    int OperatorColumnWidth = 0;
    int PickWidth = 70;
    int InputWidth = 0;
    int ValueLeft = 0;
    int ContentWidth = 0;

    QWidget* panel1_ = nullptr;
    QPushButton* bnOk_ = nullptr;
    QPushButton* bnCancel_ = nullptr;
    QLabel* lblSample_ = nullptr;
    QScrollArea* paramArea_ = nullptr;
    QWidget* content_ = nullptr;
};

} // namespace velmora
