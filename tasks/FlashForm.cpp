#include "tasks/FlashForm.h"

#include <algorithm>

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "config/FirmwareFile.h"
#include "link/FirmwareReadTask.h"
#include "models/FlashVerification.h"
#include "tasks/ProgressControls.h"
#include "ui/ChildLayout.h"
#include "ui/ChildWindow.h"
#include "ui/Dialogs.h"

namespace {
constexpr int FirmwareImageIndex = 51;
const QString OpenDialogTitle = QStringLiteral("Открыть");
const QString LoadFinishedText = QStringLiteral("Загрузка завершена");
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
    , link_(place.registry, place.events, Target::Flash,
            {TaskEvent::FirmwareLoad, TaskEvent::FirmwareRead})
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
    CVerify = new QCheckBox(verifyOptionText(LoadMode::Normal), content);
    CVerify->setObjectName(QStringLiteral("CVerify"));

    auto* layout = new QVBoxLayout(content);
    layout->addWidget(LProduct);
    layout->addWidget(SComment);
    layout->addWidget(CGauge1);
    layout->addWidget(CVerify);
    layout->addWidget(But, 0, Qt::AlignHCenter);
    // Room for the longest status line, the one that names a difference.
    const int widestStatus = SComment->fontMetrics().horizontalAdvance(
        mismatchText({FlashProgramLimit - 1, 0xFF, 0xFF}));
    content->setMinimumWidth(std::max(LProduct->sizeHint().width(), widestStatus) + 40);
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
                   [this](const Report::Finished&) { loadFinished(); },
                   [this](const Report::Compared& compared) { showVerified(compared); },
                   [](const auto&) {},
               },
               report);
}

TaskInput TFFlash::OnDeviceRequest(const TaskRequest& wanted)
{
    if (!image_)
        return emptyInput(wanted);
    if (std::holds_alternative<Ask::FlashRange>(wanted))
        return verificationRange(image_);
    if (const auto* asked = std::get_if<Ask::FirmwareImage>(&wanted)) {
        showLoadMode(asked->mode);
        return ImageRequest{static_cast<std::uint32_t>(image_->size()), image_};
    }
    return emptyInput(wanted);
}

// A boot-mode load cannot be read back: the box says so and can no longer be ticked.
void TFFlash::showLoadMode(LoadMode mode)
{
    mode_ = mode;
    if (mode != LoadMode::Boot)
        return;
    CVerify->setChecked(false);
    CVerify->setEnabled(false);
    CVerify->setText(verifyOptionText(mode));
}

// The box is read once, at the end of the load.
void TFFlash::loadFinished()
{
    CVerify->setEnabled(false);
    if (!verifiesAfterLoad(CVerify->isChecked(), mode_)) {
        showFinished();
        return;
    }
    SComment->setText(LoadFinishedText);
    link_.events().set(TaskEvent::FirmwareRead);
}

// The status line already names the outcome; a difference keeps the window open until the user
// has seen it.
void TFFlash::showVerified(const Report::Compared& compared)
{
    But->setText(QStringLiteral("Закрыть"));
    if (!compared.mismatch)
        Timer->start();
}

void TFFlash::showFinished()
{
    Timer->start();
    But->setText(QStringLiteral("Закрыть"));
    SComment->setText(LoadFinishedText);
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
