#include "ui/QtDialogs.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString boxTitle()
{
    return QCoreApplication::applicationName();
}

std::optional<QString> chosenFile(QFileDialog& dialog)
{
    // Room for the names, sizes and dates of the files without cutting them.
    dialog.resize(dialog.sizeHint().expandedTo(QSize(780, 480)));
    for (QHeaderView* header : dialog.findChildren<QHeaderView*>()) {
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

void QtDialogs::inform(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, boxTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtDialogs::confirm(QWidget* parent, const QString& question)
{
    QMessageBox box(QMessageBox::Question, boxTitle(), question,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::openFileName(QWidget* parent, const QString& title,
                                               const QStringList& filters)
{
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    return chosenFile(dialog);
}

std::optional<QString> QtDialogs::saveFileName(QWidget* parent, const QString& initialName,
                                               const QStringList& filters)
{
    QFileDialog dialog(parent, QStringLiteral("Сохранить как"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.selectFile(initialName);
    return chosenFile(dialog);
}

int QtDialogs::runModal(QDialog& dialog)
{
    return dialog.exec();
}
