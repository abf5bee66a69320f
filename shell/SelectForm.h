#pragma once

#include <QDialog>

struct ConfigRecord;
class QComboBox;

// The model choice for a blank record. Each pick changes the record's TypeWord at once; there is
// no cancel.
class TFSelect : public QDialog {
public:
    explicit TFSelect(QWidget* parent = nullptr);

    // Makes the record blank (R-410, ZA) and edits its TypeWord from now on.
    void setup(ConfigRecord& record);

    void DevBoxChange(int index);
    void TypeBoxChange(int index);
    void BCloseClick();

private:
    ConfigRecord* record_ = nullptr;
    QComboBox* DevBox;
    QComboBox* TypeBox;
};
