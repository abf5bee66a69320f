#include "ui/DottedField.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "ui/NumberField.h"

namespace {

constexpr NumberEntry OctetEntry{0, 3, EmptyText::Zero};

bool typesSeparator(const QKeyEvent& key)
{
    return key.text() == QStringLiteral(".") || key.text() == QStringLiteral(",");
}

} // namespace

DottedField::DottedField(QWidget* parent, const QString& name, const Octets& limits,
                         Dialogs& dialogs)
    : QWidget(parent)
{
    setObjectName(name);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (int index = 0; index < OctetCount; ++index) {
        const auto at = static_cast<std::size_t>(index);
        if (index > 0)
            layout->addWidget(new QLabel(QStringLiteral("."), this));
        const QString octetName = name + QString::number(index + 1);
        octets_[at] = new NumberField(this, octetName, {0, limits[at]}, OctetEntry, dialogs);
        edits_[at] = octets_[at]->findChild<QLineEdit*>(octetName);
        edits_[at]->setAlignment(Qt::AlignCenter);
        // Before the octet's own filter, which discards the separator as a non-digit.
        edits_[at]->installEventFilter(this);
        layout->addWidget(octets_[at]);
    }
    layout->addStretch();
}

void DottedField::showOctets(const Octets& octets)
{
    for (std::size_t at = 0; at < octets_.size(); ++at)
        octets_[at]->showValue(octets[at]);
}

void DottedField::onChanged(std::function<void(int, int)> handler)
{
    for (int index = 0; index < OctetCount; ++index)
        octets_[static_cast<std::size_t>(index)]->onChanged(
            [handler, index](int value) { handler(index, value); });
}

bool DottedField::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && typesSeparator(static_cast<QKeyEvent&>(*event))) {
        for (int index = 0; index + 1 < OctetCount; ++index)
            if (watched == edits_[static_cast<std::size_t>(index)])
                goToOctet(index + 1);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void DottedField::goToOctet(int index)
{
    QLineEdit* edit = edits_[static_cast<std::size_t>(index)];
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
}
