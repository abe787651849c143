#pragma once

#include "query/Tdm1.h"

#include <QDialog>

#include <optional>

class QLineEdit;

namespace velmora {

// "Database Login": user name (filled from the connection string) and password.
class TLoginDialog : public QDialog {
    Q_OBJECT
public:
    explicit TLoginDialog(QWidget* parent);
    std::optional<Credentials> ask(const QString& user);

private:
    QLineEdit* user_;
    QLineEdit* password_;
};

} // namespace velmora
