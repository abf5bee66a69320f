#include "editors/EditorForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "models/EditorModel.h"
#include "ui/ChildWindow.h"

TFEditor::TFEditor(const EditorKind& kind, const EditorPlace& place)
    : QMdiSubWindow(nullptr)
    , kind_(kind)
    , place_(place)
    , link_(place.registry, place.events, kind.target, {kind.event})
{
    setUpChildWindow(*this, kind.caption, kind.image);
    buildFrame();
    link_.enrol(*this, *this);
    if (kind.style == TestStyle::Continuous)
        stopTesting();
}

void TFEditor::buildFrame()
{
    auto* content = new QWidget(this);
    Pages = new QTabWidget(content);
    Pages->setObjectName(QStringLiteral("Pages"));
    ButDefault = new QPushButton(QStringLiteral("Сброс"), content);
    ButDefault->setObjectName(QStringLiteral("ButDefault"));
    ButOk = new QPushButton(QStringLiteral("Сохранить"), content);
    ButOk->setObjectName(QStringLiteral("ButOk"));
    ButCancel = new QPushButton(QStringLiteral("Закрыть"), content);
    ButCancel->setObjectName(QStringLiteral("ButCancel"));

    auto* buttons = new QHBoxLayout;
    if (kind_.style == TestStyle::Continuous) {
        Link = new QCheckBox(QStringLiteral("Тестирование"), content);
        Link->setObjectName(QStringLiteral("Link"));
        Pages->setCornerWidget(Link, Qt::TopRightCorner);
    } else {
        TestBtn = new QPushButton(QStringLiteral("Тест"), content);
        TestBtn->setObjectName(QStringLiteral("TestBtn"));
        buttons->addWidget(TestBtn);
        connect(TestBtn, &QPushButton::clicked, this, &TFEditor::TestBtnClick);
    }
    buttons->addStretch();
    buttons->addWidget(ButDefault);
    buttons->addWidget(ButOk);
    buttons->addWidget(ButCancel);

    auto* layout = new QVBoxLayout(content);
    layout->addWidget(Pages);
    layout->addLayout(buttons);
    setWidget(content);

    connect(ButDefault, &QPushButton::clicked, this, &TFEditor::ButDefaultClick);
    connect(ButOk, &QPushButton::clicked, this, &TFEditor::ButOkClick);
    connect(ButCancel, &QPushButton::clicked, this, &TFEditor::ButCancelClick);
}

QWidget* TFEditor::addPage(const QString& title)
{
    auto* page = new QWidget(Pages);
    Pages->addTab(page, title);
    return page;
}

// A hidden tab is disabled too: the tab bar's arrow keys and mouse wheel skip disabled tabs but
// not hidden ones, and would otherwise bring a hidden page forward.
void TFEditor::setPageVisible(QWidget* page, bool visible)
{
    const int index = Pages->indexOf(page);
    Pages->setTabEnabled(index, visible);
    Pages->setTabVisible(index, visible);
}

FieldBinder& TFEditor::binder()
{
    // Made on first use: the model is the derived editor's, there by the time it builds its
    // pages.
    if (!binder_)
        binder_ = std::make_unique<FieldBinder>(model(), place_.dialogs,
                                                [this](int item) { changed(item); });
    return *binder_;
}

void TFEditor::showModel()
{
    binder().showAll();
}

void TFEditor::LoadBlock()
{
    if (kind_.style == TestStyle::Continuous)
        stopTesting();
    model().LoadBlock();
    showModel();
    fitFrame();
}

void TFEditor::ButDefaultClick()
{
    if (kind_.style == TestStyle::Continuous)
        stopTesting();
    model().setDefaults();
    showModel();
}

void TFEditor::ButOkClick()
{
    model().save();
    close();
}

void TFEditor::ButCancelClick()
{
    close();
}

void TFEditor::TestBtnClick()
{
    place_.events.set(kind_.event);
}

void TFEditor::OnDeviceMessage(const TaskReport& report)
{
    if (std::holds_alternative<Report::Finished>(report))
        stopTesting();
}

TaskInput TFEditor::OnDeviceRequest(const TaskRequest& wanted)
{
    if (!std::holds_alternative<Ask::Payload>(wanted))
        return emptyInput(wanted);
    std::vector<std::uint8_t> payload(static_cast<std::size_t>(model().payloadSize()));
    model().writePayload(payload.data());
    return Ask::Payload::Bytes{std::move(payload)};
}

bool TFEditor::testing() const
{
    return Link && Link->isChecked();
}

void TFEditor::changed(int item)
{
    if (!testing())
        return;
    model().setPending(item);
    place_.events.set(kind_.event);
}

void TFEditor::closeEvent(QCloseEvent* event)
{
    stopTesting();
    link_.closed(*this);
    QMdiSubWindow::closeEvent(event);
}

// Untick "Тестирование" where there is one and withdraw a push not yet taken by the worker.
void TFEditor::stopTesting()
{
    if (Link)
        Link->setChecked(false);
    place_.events.reset(kind_.event);
}

// The frame keeps one size: the client area of the pattern, or more when the texts need it.
void TFEditor::fitFrame()
{
    widget()->setFixedSize(widget()->sizeHint().expandedTo(ClientSize));
    adjustSize();
}
