#pragma once

#include <map>

#include <QMdiSubWindow>

#include "models/InfoSheet.h"

class QFormLayout;
class QLabel;
class QLineEdit;
class QKeyEvent;
class QMdiArea;
class QPlainTextEdit;
class QPushButton;

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
    // The value fields by name: sModel, sBoard, sSoft, sSerial, sData, sChip, sDie, sMac, sSize,
    // sCrc.
    std::map<QString, QLineEdit*> fields_;
    QPlainTextEdit* sDescr;
    QPushButton* OKButton;
};
