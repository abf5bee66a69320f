#pragma once

#include <QDialog>

class QLineEdit;

// The service-code dialog. However it is closed, its result comes from the code typed.
class TFAccess : public QDialog {
public:
    explicit TFAccess(QWidget* parent = nullptr);

    void BCloseClick();
    // Every way of closing ends here (button, Enter, Escape, the close box).
    void done(int) override;

private:
    QLineEdit* EAccess;
};
