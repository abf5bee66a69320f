#pragma once

#include <cstdint>

#include <QMdiSubWindow>

class QFormLayout;
class QLabel;
class QLineEdit;
class QKeyEvent;
class QMdiArea;
class QPlainTextEdit;
class QPushButton;

// What the main window hands the information window: references into its record, the CRC word it
// has just stamped and the size of the record.
struct InfoInputs {
    const std::uint8_t* board;    // BoardBlock, words most significant byte first
    const std::uint8_t* identity; // IdentityBlock, words least significant byte first
    std::uint16_t crc;
    int size;
};

// "Описание контроллера": shows, read-only, what the record says about its controller. It talks
// to no device and keeps nothing of the record once its fields are filled.
class TFInfo : public QMdiSubWindow {
public:
    // Creates the window, places it at 10 pixels times the number of child windows and fills it;
    // a window that is open already is only brought to the front, with the texts it has.
    static TFInfo* open(QMdiArea& area, const InfoInputs& inputs);
    // The information window among the area's child windows, if there is one.
    static TFInfo* find(QMdiArea& area);

    explicit TFInfo(QWidget* parent = nullptr);

    void LoadBlock(const InfoInputs& inputs);
    void OKButtonClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLineEdit* addValue(const QString& label, const QString& name);

    QFormLayout* Fields;
    QLabel* LName;
    QLineEdit* sModel;
    QLineEdit* sBoard;
    QLineEdit* sSoft;
    QLineEdit* sSerial;
    QLineEdit* sData;
    QLineEdit* sChip;
    QLineEdit* sDie;
    QLineEdit* sMac;
    QLineEdit* sSize;
    QLineEdit* sCrc;
    QPlainTextEdit* sDescr;
    QPushButton* OKButton;
};
