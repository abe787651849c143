#include "TProcessingMsg.h"

#include <QApplication>
#include <QLabel>

namespace velmora {

TProcessingMsg::TProcessingMsg(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmProcessingMsg"));
    setWindowTitle(QStringLiteral("Data Exporting"));
    setFixedSize(325, 54);
    QFont f = font();
    f.setFamily(QStringLiteral("Sans Serif"));
    f.setPointSize(8);
    setFont(f);

    Label1 = new QLabel(QStringLiteral("Please wait while data export in process..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(24, 16, 281, 17);
    QFont bold = f;
    bold.setBold(true);
    bold.setPixelSize(13); // 10 point at the original's 96 dots per inch
    Label1->setFont(bold);
    QPalette p = Label1->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label1->setPalette(p);
}

void TProcessingMsg::showNow() {
    if (parentWidget()) {
        const QRect owner = parentWidget()->window()->frameGeometry();
        move(owner.center() - rect().center());
    }
    show();
    raise();
    repaint();
    // Let the window system map and paint it; user input stays queued.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace velmora
