#pragma once

#include <QMdiSubWindow>
#include <QString>

#include "models/BoardModel.h"

class Dialogs;
class GuardedTextEdit;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMdiArea;
class QPushButton;

// The board identity editor "Контроллер ID": serial number, date, hardware address and
// description of the record's board block. Only "OK" stores them, and only when the block can
// hold its texts as they stand; any other way of closing the window leaves the record as it was.
class TFBoard final : public QMdiSubWindow {
public:
    static inline const QString Caption = QStringLiteral("Контроллер ID");
    static constexpr int Picture = 43; // the tree node "Board Info"

    // The tree node "Board Info": opens the editor on the record's blocks, or brings the open one
    // to the front without loading it again. Its messages go through dialogs.
    static TFBoard* open(QMdiArea& area, Dialogs& dialogs, const BoardInputs& inputs);

    explicit TFBoard(Dialogs& dialogs);

    // Makes the copy of the board block and fills the controls from it.
    void LoadBlock(const BoardInputs& inputs);
    // Whether a key typed into the address field is discarded.
    bool MacKeyPress(const QKeyEvent& event) const;
    void MacChange(const QString& text);
    void OKButtonClick();

protected:
    // MacKeyPress for the address field; Enter, where a field leaves it unused, presses the
    // default button "OK".
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void layOutControls(QWidget* content);
    void fitFrame();

    Dialogs& dialogs_;
    BoardModel model_;
    QLabel* SDev;
    QDateEdit* sData;
    QLineEdit* sSerial;
    QLabel* LMac;
    QLineEdit* Mac;
    GuardedTextEdit* sDescr;
    QPushButton* OKButton;
};
