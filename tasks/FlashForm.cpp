#include "tasks/FlashForm.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "config/FirmwareFile.h"
#include "tasks/ProgressControls.h"
#include "ui/ChildLayout.h"
#include "ui/ChildWindow.h"
#include "ui/Dialogs.h"

namespace {
constexpr int FirmwareImageIndex = 51;
const QString OpenDialogTitle = QStringLiteral("Открыть");
}

QStringList firmwareFileFilters()
{
    return {QStringLiteral("Программное обеспечение (*.rom)"), QStringLiteral("все файлы (*)")};
}

QString unreadableFirmwareText(const QString& fileName)
{
    return QStringLiteral("Файл ") + fileName
        + QStringLiteral(" поврежден, либо не соответствует данному устройству ");
}

TFFlash* TFFlash::create(const FlashPlace& place)
{
    auto* window = new TFFlash(place);
    if (!window->chooseImage()) {
        window->close();
        return nullptr;
    }
    const QPoint origin = childWindowOrigin(static_cast<int>(place.area.subWindowList().size()));
    window->link_.enrol(*window, *window);
    place.events.set(TaskEvent::FirmwareLoad);
    place.area.addSubWindow(window);
    window->move(origin);
    return window;
}

TFFlash::TFFlash(const FlashPlace& place)
    : place_(place)
    , link_(place.registry, place.events, Target::Flash, {TaskEvent::FirmwareLoad})
{
    setUpChildWindow(*this, QStringLiteral("Загрузка ПО"), FirmwareImageIndex);

    auto* content = new QWidget(this);
    auto* LProduct =
        new QLabel(QStringLiteral("Загрузка программного обеспечения контроллера"), content);
    LProduct->setObjectName(QStringLiteral("LProduct"));
    QFont heading = LProduct->font();
    heading.setBold(true);
    LProduct->setFont(heading);
    SComment = new QLabel(content);
    SComment->setObjectName(QStringLiteral("SComment"));
    const ProgressControls progress = makeProgressControls(content, this, CloseDelayMs);
    CGauge1 = progress.gauge;
    But = progress.button;
    Timer = progress.timer;

    auto* layout = new QVBoxLayout(content);
    layout->addWidget(LProduct);
    layout->addWidget(SComment);
    layout->addWidget(CGauge1);
    layout->addWidget(But, 0, Qt::AlignHCenter);
    content->setMinimumWidth(LProduct->sizeHint().width() + 40);
    setWidget(content);
    But->setFocus();

    connect(But, &QPushButton::clicked, this, &TFFlash::ButClick);
    connect(Timer, &QTimer::timeout, this, &TFFlash::TimerTimer);
}

bool TFFlash::chooseImage()
{
    SComment->clear();
    const std::optional<QString> name =
        place_.dialogs.openFileName(&place_.area, OpenDialogTitle, firmwareFileFilters());
    if (!name)
        return false;
    image_ = readFirmwareFile(*name);
    if (!image_)
        place_.dialogs.inform(&place_.area, unreadableFirmwareText(*name));
    return image_ != nullptr;
}

void TFFlash::OnDeviceMessage(const TaskReport& report)
{
    std::visit(Overloaded{
                   [this](const Report::Text& status) { SComment->setText(status.text); },
                   [this](const Report::Size& size) {
                       setGaugeMaximum(*CGauge1, static_cast<int>(size.maximum));
                   },
                   [this](const Report::Progress& progress) {
                       CGauge1->setValue(static_cast<int>(progress.position));
                   },
                   [this](const Report::Finished&) { showFinished(); },
                   [](const auto&) {},
               },
               report);
}

TaskInput TFFlash::OnDeviceRequest(const TaskRequest& wanted)
{
    if (!std::holds_alternative<Ask::FirmwareImage>(wanted) || !image_)
        return emptyInput(wanted);
    return ImageRequest{static_cast<std::uint32_t>(image_->size()), image_};
}

void TFFlash::showFinished()
{
    Timer->start();
    But->setText(QStringLiteral("Закрыть"));
    SComment->setText(QStringLiteral("Загрузка завершена"));
}

void TFFlash::ButClick()
{
    close();
}

void TFFlash::TimerTimer()
{
    close();
}

void TFFlash::closeEvent(QCloseEvent* event)
{
    Timer->stop();
    image_.reset();
    link_.closed(*this);
    QMdiSubWindow::closeEvent(event);
}
