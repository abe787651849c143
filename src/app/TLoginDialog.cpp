#include "TLoginDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace velmora {

TLoginDialog::TLoginDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , user_(new QLineEdit(this))
    , password_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("TLoginDialog"));
    setWindowTitle(QStringLiteral("Database Login"));
    user_->setObjectName(QStringLiteral("edUserName"));
    password_->setObjectName(QStringLiteral("edPassword"));
    password_->setEchoMode(QLineEdit::Password);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&User Name:"), user_);
    form->addRow(QStringLiteral("&Password:"), password_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    setMinimumWidth(300);
}

std::optional<Credentials> TLoginDialog::ask(const QString& user) {
    user_->setText(user);
    password_->clear();
    (user.isEmpty() ? user_ : password_)->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return Credentials{user_->text(), password_->text()};
}

} // namespace velmora
