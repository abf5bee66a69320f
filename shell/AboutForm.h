#pragma once

#include <QDialog>
#include <QPixmap>

// The about dialog: the program's name and version.
class TFAbout : public QDialog {
public:
    explicit TFAbout(QWidget* parent = nullptr);
};

// The dialog's picture: a controller board, 129 by 62.
QPixmap aboutPicture();
