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

#include "ui/DottedField.h"
#include "ui/NumberField.h"
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
    DottedField* ownAddress = nullptr;
    for (NetAddress address : {NetAddress::Ip, NetAddress::Gate, NetAddress::Mask, NetAddress::IpDst}) {
        const Field& rule = netField(address);
        const bool remoteField = address == NetAddress::IpDst;
        DottedField* dotted = binder().octets(remoteField ? remote : local, rule);
        rows.add(remoteField ? remoteRows : localRows, QString::fromLatin1(rule.control),
                 rule.label, dotted);
        if (address == NetAddress::Ip)
            ownAddress = dotted;
    }
    for (NetPort port : {NetPort::Port, NetPort::PortDst}) {
        const Field& rule = netField(port);
        const bool remoteField = port == NetPort::PortDst;
        NumberField* number = binder().number(remoteField ? remote : local, rule, PortEntry);
        rows.add(remoteField ? remoteRows : localRows, QString::fromLatin1(rule.control),
                 rule.label, number);
    }
    Mac->setFixedWidth(ownAddress->sizeHint().width());
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

    const Field& timeToLive = netField(NetField::TimeToLive);
    NumberField* TTL = binder().number(page, timeToLive, TimeToLiveEntry);
    auto* ttlLabel = new QLabel(timeToLive.label, page);
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
    const Field& precedence = netField(NetField::Precedence);
    LabelledRows labelled;
    labelled.add(tosRows, QString::fromLatin1(precedence.control), precedence.label,
                 binder().dropDown(tos, precedence));
    for (TosFlag flag : {TosFlag::LowDelay, TosFlag::Throughput, TosFlag::Reliability})
        tosRows->addWidget(binder().flag(tos, netField(flag)), tosRows->rowCount(), 0, 1, 2);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(ttlRow);
    layout->addWidget(tos);
    layout->addStretch();
}

void TFNet::showModel()
{
    TFEditor::showModel();
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
