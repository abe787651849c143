#pragma once

#include <QDialog>

namespace velmora {

// "About Velmora": the program's title line with its version, and OK.
class TAbout : public QDialog {
    Q_OBJECT
public:
    TAbout(const QString& versionText, QWidget* parent);
    QString titleLine() const;

private:
    QString titleLine_;
};

} // namespace velmora
