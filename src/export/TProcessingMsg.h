#pragma once

#include <QWidget>

class QLabel;

namespace velmora {

// The wait window "Data Exporting" shown by both writers: no buttons, no progress, painted once
// before the work starts because the writer processes no events while it runs.
class TProcessingMsg : public QWidget {
    Q_OBJECT
public:
    explicit TProcessingMsg(QWidget* parent = nullptr);

    // Shows the window centred on its owner and paints it at once.
    void showNow();

    QLabel* Label1;
};

} // namespace velmora
