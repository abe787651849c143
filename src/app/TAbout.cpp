#include "TAbout.h"

#include "Palette.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {

namespace {
QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}
} // namespace

TAbout::TAbout(const QString& versionText, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
    , titleLine_(QStringLiteral("Velmora - End User Module ") + versionText) {
    setObjectName(QStringLiteral("TAbout"));
    setWindowTitle(QStringLiteral("About Velmora"));
    setAutoFillBackground(true);
    setPalette(greyPalette(palette()));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    auto* title = new QLabel(titleLine_, this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(separator(this));
    layout->addWidget(title);
    layout->addWidget(separator(this));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

QString TAbout::titleLine() const {
    return titleLine_;
}

} // namespace velmora
