#include "editors/NetForm.h"

#include <algorithm>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "editors/DottedField.h"
#include "editors/EditorControls.h"
#include "editors/NumberField.h"
#include "ui/Dialogs.h"

namespace {

constexpr NumberEntry PortEntry{0, 5, EmptyText::Zero};
constexpr NumberEntry TimeToLiveEntry{0, 3, EmptyText::Zero};
constexpr int GapBeforeControls = 12;

// Labelled controls in rows, the labels named "L" + the control's name. The labels of all the
// rows of a page share one width, so the controls of its groups line up.
class LabelledRows {
public:
    void add(QGridLayout* grid, const QString& name, const QString& text, QWidget* control)
    {
        auto* label = new QLabel(text, grid->parentWidget());
        label->setObjectName(QStringLiteral("L") + name);
        label->setBuddy(control);
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row, 1, Qt::AlignLeft);
        labels_.push_back(label);
    }

    void alignLabels() const
    {
        int widest = 0;
        for (const QLabel* label : labels_)
            widest = std::max(widest, label->sizeHint().width());
        for (QLabel* label : labels_)
            label->setMinimumWidth(widest);
    }

private:
    std::vector<QLabel*> labels_;
};

QGridLayout* rowsOf(QGroupBox* group)
{
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(GapBeforeControls);
    grid->setColumnStretch(1, 1);
    return grid;
}

QGroupBox* makeGroup(QWidget* page, const QString& name, const QString& caption)
{
    auto* group = new QGroupBox(caption, page);
    group->setObjectName(name);
    return group;
}

} // namespace

TFNet* TFNet::open(const EditorPlace& place, const NetInputs& inputs)
{
    return openEditor<TFNet>(place, inputs);
}

TFNet::TFNet(const EditorPlace& place, const NetInputs& inputs)
    : TFEditor(Kind, place)
    , model_(inputs)
    , dialogs_(place.dialogs)
{
    buildNetworkPage();
    buildExtraPage();
}

// The controller's own group with the hardware address first, then the remote controller's
// group, shown for edition ZA only.
void TFNet::buildNetworkPage()
{
    QWidget* page = addPage(QStringLiteral("Сеть"));
    LabelledRows rows;

    QGroupBox* local = makeGroup(page, QStringLiteral("GrpLocal"), model_.localCaption());
    QGridLayout* localRows = rowsOf(local);
    Mac = new QLineEdit(model_.hardwareAddress(), local);
    Mac->setObjectName(QStringLiteral("Mac"));
    Mac->setReadOnly(true);
    Mac->setEnabled(false);
    rows.add(localRows, QStringLiteral("Mac"), QStringLiteral("Физический адрес"), Mac);

    QGroupBox* remote = makeGroup(page, QStringLiteral("GrpRemote"), model_.remoteCaption());
    QGridLayout* remoteRows = rowsOf(remote);
    for (NetAddress address : {NetAddress::Ip, NetAddress::Gate, NetAddress::Mask, NetAddress::IpDst}) {
        const Field& rule = netField(address);
        const QString name = QString::fromLatin1(rule.control);
        QGroupBox* group = address == NetAddress::IpDst ? remote : local;
        auto* dotted = new DottedField(group, name, octetLimits(rule), dialogs_);
        dotted->onChanged([this, address](int index, int value) {
            AddrChange(address, index, value);
        });
        rows.add(group == remote ? remoteRows : localRows, name, rule.label, dotted);
        field(address) = dotted;
    }
    for (NetPort port : {NetPort::Port, NetPort::PortDst}) {
        const Field& rule = netField(port);
        const QString name = QString::fromLatin1(rule.control);
        QGroupBox* group = port == NetPort::PortDst ? remote : local;
        auto* number = new NumberField(group, name, rule.range, PortEntry, dialogs_);
        number->onChanged([this, port](int value) { PortChange(port, value); });
        rows.add(group == remote ? remoteRows : localRows, name, rule.label, number);
        field(port) = number;
    }
    Mac->setFixedWidth(field(NetAddress::Ip)->sizeHint().width());
    rows.alignLabels();
    remote->setVisible(model_.remoteShown());

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(local);
    layout->addWidget(remote);
    layout->addStretch();
}

void TFNet::buildExtraPage()
{
    QWidget* page = addPage(QStringLiteral("Дополнительно"));

    TTL = new NumberField(page, QStringLiteral("TTL"), TimeToLiveRange, TimeToLiveEntry, dialogs_);
    TTL->onChanged([this](int value) { Reg8Change(value); });
    auto* ttlLabel = new QLabel(QStringLiteral("Время существования датаграммы, TTL [0..255]"), page);
    ttlLabel->setObjectName(QStringLiteral("LTTL"));
    ttlLabel->setBuddy(TTL);
    auto* ttlRow = new QHBoxLayout;
    ttlRow->addWidget(ttlLabel);
    ttlRow->addSpacing(GapBeforeControls);
    ttlRow->addWidget(TTL);
    ttlRow->addStretch();

    QGroupBox* tos = makeGroup(page, QStringLiteral("GrpTos"),
                               QStringLiteral("Идентификатор типа службы (биты поля ToS)"));
    QGridLayout* tosRows = rowsOf(tos);
    Tos20 = makeDropDown(tos, QStringLiteral("Tos20"), precedenceItems());
    onChoice(Tos20, this, [this](int index) { PrecedenceChange(index); });
    LabelledRows labelled;
    labelled.add(tosRows, QStringLiteral("Tos20"), QStringLiteral("Предпочтения [2..0]:"), Tos20);
    for (TosFlag flag : {TosFlag::LowDelay, TosFlag::Throughput, TosFlag::Reliability}) {
        const Field& rule = netField(flag);
        QCheckBox* check = makeCheckBox(tos, QString::fromLatin1(rule.control), rule.label);
        onToggled(check, this, [this, flag](bool checked) { CheckClick(flag, checked); });
        tosRows->addWidget(check, tosRows->rowCount(), 0, 1, 2);
        box(flag) = check;
    }

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(ttlRow);
    layout->addWidget(tos);
    layout->addStretch();
}

void TFNet::AddrChange(NetAddress field, int index, int value)
{
    model_.setOctet(field, index, value);
}

void TFNet::PortChange(NetPort field, int value)
{
    model_.setPort(field, value);
}

void TFNet::Reg8Change(int value)
{
    model_.setTimeToLive(value);
}

void TFNet::PrecedenceChange(int precedence)
{
    model_.setPrecedence(precedence);
}

void TFNet::CheckClick(TosFlag flag, bool checked)
{
    model_.setTosFlag(flag, checked);
}

void TFNet::showModel()
{
    for (NetAddress address : {NetAddress::Ip, NetAddress::Gate, NetAddress::Mask, NetAddress::IpDst})
        field(address)->showOctets(model_.octets(address));
    for (NetPort port : {NetPort::Port, NetPort::PortDst})
        field(port)->showValue(model_.port(port));
    TTL->showValue(model_.timeToLive());
    showChoice(Tos20, precedenceItems(), model_.precedence());
    for (TosFlag flag : {TosFlag::LowDelay, TosFlag::Throughput, TosFlag::Reliability})
        showChecked(box(flag), model_.tosFlag(flag));
    if (isVisible())
        tellCorrections();
}

// Opening fills the fields before the window is shown; its messages come once it is on screen.
void TFNet::showEvent(QShowEvent* event)
{
    TFEditor::showEvent(event);
    QTimer::singleShot(0, this, &TFNet::tellCorrections);
}

void TFNet::tellCorrections()
{
    for (const NumberRange& range : model_.takeCorrections())
        dialogs_.inform(window(), rangeMessage(range));
}

DottedField*& TFNet::field(NetAddress address)
{
    return addresses_[static_cast<std::size_t>(address)];
}

NumberField*& TFNet::field(NetPort port)
{
    return ports_[static_cast<std::size_t>(port)];
}

QCheckBox*& TFNet::box(TosFlag flag)
{
    return flags_[static_cast<std::size_t>(flag)];
}
