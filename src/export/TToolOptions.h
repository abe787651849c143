#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velmora {

struct SessionState;

// The "Output File Options" dialog: output kind, delimiter and header choice. Created once and
// reused, so its controls keep their state from one showing to the next; every showing re-reads
// the stored settings. The outcome is SessionState::DialogCancelled.
class TToolOptions : public QDialog {
    Q_OBJECT
public:
    explicit TToolOptions(QWidget* parent = nullptr);

    // Shows the dialog modally for this session state.
    void exec(SessionState& state);

    QGroupBox* GroupBox2;
    QRadioButton* rbExcelI;
    QRadioButton* rbExcelF;
    QRadioButton* rbDelimiter;
    QGroupBox* GroupBox1;
    QRadioButton* rbTab;
    QRadioButton* rbOther;
    QLabel* lblDelimiter;
    QLineEdit* txtDelimiter;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    QCheckBox* cbWithHeader;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void btnOkClick();
    void btnCancelClick();
    void rbExcelIClick();
    void rbExcelFClick();
    void rbDelimiterClick();
    void rbTabClick();
    void rbOtherClick();
    void setDelimiterControlsEnabled(bool enabled);

    SessionState* state_ = nullptr;
};

} // namespace velmora
