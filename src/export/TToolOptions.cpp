#include "TToolOptions.h"

#include "Share/GlobalVar.h"
#include "platform/SettingsStore.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>

namespace velmora {

namespace {

const QString kTitle = QStringLiteral("Velmora (End User Module)");

void plainMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

// Refuses typed input that would make the text longer than a limit. Validators apply to what the
// user types, not to setText.
class TypedLength : public QValidator {
public:
    TypedLength(int limit, QObject* parent)
        : QValidator(parent)
        , limit_(limit) {}
    State validate(QString& input, int&) const override {
        return input.size() <= limit_ ? Acceptable : Invalid;
    }

private:
    int limit_;
};

void errorMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, kTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

TToolOptions::TToolOptions(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Output File Options"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(317, 317);
    QFont f = font();
    f.setFamily(QStringLiteral("Sans Serif"));
    f.setPointSize(8);
    setFont(f);

    // The layout's widths were measured for a narrower font than this desktop's: a caption
    // that needs more room grows to the right, as far as its box allows, instead of being cut.
    auto place = [](QWidget* w, const char* name, int x, int y, int width, int height) {
        w->setObjectName(QLatin1String(name));
        if (qobject_cast<QAbstractButton*>(w) && !qobject_cast<QPushButton*>(w)) {
            const int room = w->parentWidget()->width() - x - 4;
            width = std::max(width, std::min(w->sizeHint().width(), room));
        }
        w->setGeometry(x, y, width, height);
    };

    GroupBox2 = new QGroupBox(QStringLiteral("Format"), this);
    place(GroupBox2, "GroupBox2", 29, 8, 260, 113);
    rbExcelI = new QRadioButton(QStringLiteral("Excel Instance"), GroupBox2);
    place(rbExcelI, "rbExcelI", 16, 25, 113, 17);
    rbExcelF = new QRadioButton(QStringLiteral("Excel File"), GroupBox2);
    place(rbExcelF, "rbExcelF", 16, 48, 113, 17);
    rbDelimiter = new QRadioButton(QStringLiteral("Delimited Text File"), GroupBox2);
    place(rbDelimiter, "rbDelimiter", 16, 71, 113, 17);
    rbExcelI->setChecked(true);

    GroupBox1 = new QGroupBox(QStringLiteral("Delimiter"), this);
    place(GroupBox1, "GroupBox1", 29, 127, 260, 90);
    rbTab = new QRadioButton(QStringLiteral("Tab Delimited"), GroupBox1);
    place(rbTab, "rbTab", 16, 23, 100, 17);
    rbOther = new QRadioButton(QStringLiteral("Other"), GroupBox1);
    place(rbOther, "rbOther", 16, 46, 57, 17);
    lblDelimiter = new QLabel(QStringLiteral("Delimiter Character: "), GroupBox1);
    place(lblDelimiter, "lblDelimiter", 87, 46, 99, 13);
    // The label ends where the delimiter box begins; a wider caption starts further left.
    if (const int needed = lblDelimiter->sizeHint().width(); needed > 99) {
        const int left = std::max(76, 186 - needed);
        lblDelimiter->setGeometry(left, 46, 186 - left, 13);
    }
    txtDelimiter = new QLineEdit(QStringLiteral(","), GroupBox1);
    place(txtDelimiter, "txtDelimiter", 192, 46, 41, 21);
    QFont bold = txtDelimiter->font();
    bold.setBold(true);
    txtDelimiter->setFont(bold);
    // At most three characters can be typed; a longer stored delimiter is still shown whole,
    // which QLineEdit::setMaxLength would cut.
    txtDelimiter->setValidator(new TypedLength(3, txtDelimiter));

    btnOk = new QPushButton(QStringLiteral("OK"), this);
    place(btnOk, "btnOk", 29, 271, 105, 25);
    btnOk->setDefault(true);
    btnOk->setAutoDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    place(btnCancel, "btnCancel", 173, 271, 105, 25);
    btnCancel->setAutoDefault(false);
    cbWithHeader = new QCheckBox(QStringLiteral("Include Column Headers"), this);
    place(cbWithHeader, "cbWithHeader", 45, 236, 148, 17);
    cbWithHeader->setChecked(true);

    QWidget::setTabOrder(rbExcelI, rbExcelF);
    QWidget::setTabOrder(rbExcelF, rbDelimiter);
    QWidget::setTabOrder(rbDelimiter, rbTab);
    QWidget::setTabOrder(rbTab, rbOther);
    QWidget::setTabOrder(rbOther, txtDelimiter);
    QWidget::setTabOrder(txtDelimiter, btnOk);
    QWidget::setTabOrder(btnOk, btnCancel);
    QWidget::setTabOrder(btnCancel, cbWithHeader);

    // toggled, not clicked: a selection made by the program has the effect of a click.
    auto onSelect = [this](QRadioButton* rb, void (TToolOptions::*handler)()) {
        connect(rb, &QRadioButton::toggled, this, [this, handler](bool on) {
            if (on)
                (this->*handler)();
        });
    };
    onSelect(rbExcelI, &TToolOptions::rbExcelIClick);
    onSelect(rbExcelF, &TToolOptions::rbExcelFClick);
    onSelect(rbDelimiter, &TToolOptions::rbDelimiterClick);
    onSelect(rbTab, &TToolOptions::rbTabClick);
    onSelect(rbOther, &TToolOptions::rbOtherClick);
    connect(btnOk, &QPushButton::clicked, this, &TToolOptions::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TToolOptions::btnCancelClick);
    // Escape and the close box end as Cancel does; DialogCancelled is already true.
    connect(this, &QDialog::rejected, this, [this] {
        if (state_)
            state_->DialogCancelled = true;
    });
    setDelimiterControlsEnabled(false);
}

void TToolOptions::exec(SessionState& state) {
    state_ = &state;
    QDialog::exec();
    state_ = nullptr;
}

void TToolOptions::showEvent(QShowEvent* event) {
    if (parentWidget()) {
        const QRect owner = parentWidget()->window()->frameGeometry();
        move(owner.center() - rect().center());
    }
    QDialog::showEvent(event);
    FormShow();
}

void TToolOptions::setDelimiterControlsEnabled(bool enabled) {
    rbTab->setEnabled(enabled);
    rbOther->setEnabled(enabled);
    txtDelimiter->setEnabled(enabled);
    lblDelimiter->setEnabled(enabled);
}

void TToolOptions::FormShow() {
    if (!state_)
        return;
    state_->DialogCancelled = true;
    const QString key = OptionsKey(*state_);
    const QString delimiter =
        fnReadRegString(RootKey::CurrentUser, key, QStringLiteral("Delimiter"));
    const QString withHeader =
        fnReadRegString(RootKey::CurrentUser, key, QStringLiteral("WithHeader"));
    const QString fileFormat =
        fnReadRegString(RootKey::CurrentUser, key, QStringLiteral("FileFormat"));

    // Stored codes are compared exactly: "xf" is delimited text and "tab" a three-character
    // delimiter.
    if (fileFormat == QLatin1String("XF") || fileFormat == QLatin1String("XI")) {
        (fileFormat == QLatin1String("XF") ? rbExcelF : rbExcelI)->setChecked(true);
        setDelimiterControlsEnabled(false);
    } else {
        rbDelimiter->setChecked(true);
        rbTab->setEnabled(true);
        rbOther->setEnabled(true);
        if (delimiter == QLatin1String("TAB")) {
            rbTab->setChecked(true);
            txtDelimiter->setEnabled(false);
            lblDelimiter->setEnabled(false);
        } else {
            rbOther->setChecked(true);
            txtDelimiter->setText(delimiter);
            txtDelimiter->setEnabled(true);
            lblDelimiter->setEnabled(true);
        }
    }
    cbWithHeader->setChecked(withHeader != QLatin1String("0"));
}

void TToolOptions::btnOkClick() {
    const QString delimiter = rbTab->isChecked() ? QStringLiteral("TAB") : txtDelimiter->text();
    const QString withHeader =
        cbWithHeader->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    const QString kind = rbExcelF->isChecked()   ? QStringLiteral("XF")
                         : rbExcelI->isChecked() ? QStringLiteral("XI")
                                                 : QStringLiteral("DF");
    if (rbDelimiter->isChecked() && delimiter.isEmpty()) {
        plainMessage(this, QStringLiteral("Blank delimiter is not allowed."));
        return;
    }
    if (!state_)
        return;
    SessionState& st = *state_;
    st.Delimiter = delimiter;
    st.WithHeader = withHeader;
    st.OutputKind = kind;
    try {
        const QString key = OptionsKey(st);
        fnWriteRegString(RootKey::CurrentUser, key, QStringLiteral("Delimiter"), delimiter);
        fnWriteRegString(RootKey::CurrentUser, key, QStringLiteral("WithHeader"), withHeader);
        fnWriteRegString(RootKey::CurrentUser, key, QStringLiteral("FileFormat"), kind);
    } catch (const std::exception& e) {
        // The program's general error box; the dialog stays open and DialogCancelled true.
        errorMessage(this, fnErrorBoxText(QString::fromUtf8(e.what())));
        return;
    }
    st.DialogCancelled = false;
    accept();
}

void TToolOptions::btnCancelClick() {
    if (state_)
        state_->DialogCancelled = true;
    reject();
}

void TToolOptions::rbExcelIClick() {
    setDelimiterControlsEnabled(false);
}

void TToolOptions::rbExcelFClick() {
    setDelimiterControlsEnabled(false);
}

void TToolOptions::rbDelimiterClick() {
    rbTab->setEnabled(true);
    rbOther->setEnabled(true);
    txtDelimiter->setEnabled(rbOther->isChecked());
    lblDelimiter->setEnabled(rbOther->isChecked());
}

void TToolOptions::rbTabClick() {
    txtDelimiter->setEnabled(false);
    lblDelimiter->setEnabled(false);
}

void TToolOptions::rbOtherClick() {
    txtDelimiter->setEnabled(true);
    lblDelimiter->setEnabled(true);
}

} // namespace velmora
