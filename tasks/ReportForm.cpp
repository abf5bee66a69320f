#include "tasks/ReportForm.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "config/ConfigRecord.h"
#include "config/WholeFile.h"
#include "link/Packet.h"
#include "models/FileTexts.h"
#include "models/ReportPages.h"
#include "models/ReportTexts.h"
#include "tasks/ReportPlot.h"
#include "ui/ChildWindow.h"
#include "ui/Dialogs.h"

namespace {

constexpr int StatisticsImage = 42;
constexpr int MsPerSecond = 1000;
constexpr int FieldWidth = 130;
const QString InitialPeriod = QStringLiteral("1");
const QString StartText = QStringLiteral("Старт");
const QString StopText = QStringLiteral("Стоп");
const QString CsvName = QStringLiteral("Статистика.csv");

QStringList csvFilters()
{
    return {QStringLiteral("Таблица CSV (*.csv)"), QStringLiteral("все файлы (*)")};
}

QPushButton* namedButton(const char* name, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

TFReport::TFReport(WindowRegistry& registry, TaskEvents& events, Dialogs& dialogs, Now now,
                   QWidget* parent)
    : QMdiSubWindow(parent)
    , link_(registry, events, Target::Report, {TaskEvent::StatisticsReport, TaskEvent::StatisticsReset})
    , events_(events)
    , dialogs_(dialogs)
    , now_(std::move(now))
{
    setUpChildWindow(*this, QStringLiteral("Статистика работы"), StatisticsImage);
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(buildPages(content));
    layout->addLayout(buildButtons(content));
    setWidget(content);
    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    connect(Timer, &QTimer::timeout, this, &TFReport::TimerTimer);
    link_.enrol(*this, *this);
}

QTabWidget* TFReport::buildPages(QWidget* parent)
{
    Pages = new QTabWidget(parent);
    Pages->setObjectName(QStringLiteral("Pages"));
    const std::vector<ReportPage>& pages = reportPages();
    QFormLayout* general = addFiguresPage(pages[0].title, pages[0].rows);
    QFormLayout* control = addFiguresPage(pages[1].title, pages[1].rows);
    audioRows_ = addFiguresPage(pages[2].title, pages[2].rows);
    Pages->addTab(buildPlotPage(), QStringLiteral("График"));
    LDelay = labels_.at(QStringLiteral("LDelay"));
    Label16 = labels_.at(QStringLiteral("Label16"));
    Label9 = labels_.at(QStringLiteral("Label9"));

    mTime = new QLineEdit(InitialPeriod, general->parentWidget());
    mTime->setObjectName(QStringLiteral("mTime"));
    mTime->setMaxLength(3);
    mTime->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), mTime));
    mTime->setFixedWidth(FieldWidth);
    general->addRow(QStringLiteral("Время получения отчета (1..999 сек):"), mTime);
    alignLabelColumns({general, control, audioRows_});
    connect(Pages, &QTabWidget::currentChanged, this, &TFReport::redrawPlotIfShown);
    return Pages;
}

QHBoxLayout* TFReport::buildButtons(QWidget* parent)
{
    BRst = namedButton("BRst", QStringLiteral("Сброс"), parent);
    BRun = namedButton("BRun", StartText, parent);
    BClose = namedButton("BClose", QStringLiteral("Закрыть"), parent);
    connect(BRun, &QPushButton::clicked, this, &TFReport::BRunClick);
    connect(BRst, &QPushButton::clicked, this, &TFReport::BRstClick);
    connect(BClose, &QPushButton::clicked, this, &TFReport::BCloseClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BRst);
    buttons->addWidget(BRun);
    buttons->addWidget(BClose);
    return buttons;
}

QFormLayout* TFReport::addFiguresPage(const QString& title, const std::vector<ReportFigureRow>& rows)
{
    auto* page = new QWidget;
    auto* layout = new QFormLayout(page);
    layout->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    for (const ReportFigureRow& row : rows) {
        auto* label = new QLabel(row.text, page);
        if (row.labelName) {
            label->setObjectName(QString::fromLatin1(row.labelName));
            labels_[label->objectName()] = label;
        }
        auto* field = new QLabel(page);
        field->setObjectName(QString::fromLatin1(row.field));
        field->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        field->setTextInteractionFlags(Qt::TextSelectableByMouse);
        field->setFixedWidth(FieldWidth);
        layout->addRow(label, field);
        fields_[field->objectName()] = field;
    }
    Pages->addTab(page, title);
    return layout;
}

// The values stand in one column on every page, also with the longest period in the labels.
void TFReport::alignLabelColumns(const std::vector<QFormLayout*>& pages)
{
    const QFontMetrics metrics(font());
    int widest = std::max(metrics.horizontalAdvance(errorShareLabel(QStringLiteral("999"))),
                          metrics.horizontalAdvance(lostShareLabel(QStringLiteral("999"))));
    std::vector<QWidget*> labels;
    for (QFormLayout* page : pages)
        for (int row = 0; row < page->rowCount(); ++row) {
            QWidget* label = page->itemAt(row, QFormLayout::LabelRole)->widget();
            widest = std::max(widest, label->sizeHint().width());
            labels.push_back(label);
        }
    for (QWidget* label : labels)
        label->setMinimumWidth(widest);
}

QWidget* TFReport::buildPlotPage()
{
    plotPage_ = new QWidget;
    plot_ = new ReportPlot(plotPage_);
    BSave = namedButton("BSave", QStringLiteral("Сохранить в файл..."), plotPage_);
    BSave->setEnabled(false);
    connect(BSave, &QPushButton::clicked, this, &TFReport::BSaveClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BSave);
    auto* layout = new QVBoxLayout(plotPage_);
    layout->addWidget(plot_, 1);
    layout->addLayout(buttons);
    return plotPage_;
}

void TFReport::LoadIdentity(const std::uint8_t* identity)
{
    model_ = modelCode(readLe16(identity));
    LDelay->setText(delayLabel(model_));
    audioRows_->setRowVisible(fields_.at(QStringLiteral("sJBufLoad")), model_ != ModelR410);
}

bool TFReport::running() const
{
    return Timer->isActive();
}

void TFReport::BRunClick()
{
    if (running())
        stop();
    else
        start();
}

void TFReport::start()
{
    BRun->setText(StopText);
    events_.set(TaskEvent::StatisticsReport);
    const ReportPeriod period = reportPeriod(mTime->text());
    mTime->setText(period.text);
    Timer->start(period.seconds * MsPerSecond);
    mTime->setEnabled(false);
    showPeriodLabels();
}

// Also the end of polling after a failure: a request not yet taken is withdrawn.
void TFReport::stop()
{
    BRun->setText(StartText);
    events_.reset(TaskEvent::StatisticsReport);
    Timer->stop();
    mTime->setEnabled(true);
}

void TFReport::showPeriodLabels()
{
    Label16->setText(errorShareLabel(mTime->text()));
    Label9->setText(lostShareLabel(mTime->text()));
}

void TFReport::TimerTimer()
{
    events_.set(TaskEvent::StatisticsReport);
}

void TFReport::BRstClick()
{
    events_.set(TaskEvent::StatisticsReset);
}

void TFReport::BCloseClick()
{
    close();
}

void TFReport::OnDeviceMessage(const TaskReport& report)
{
    std::visit(Overloaded{
                   [this](const Report::Counters& counters) { showCounters(counters.bytes.data()); },
                   [this](const Report::Finished&) { stop(); },
                   [](const auto&) {},
               },
               report);
}

void TFReport::showCounters(const std::uint8_t* record)
{
    const ReportCounters counters = reportCounters(record);
    const QLocale locale;
    for (const ReportField& field : reportFields())
        fields_.at(QString::fromLatin1(field.name))->setText(fieldText(field, counters, model_, locale));
    history_.add(reportSample(counters, now_()));
    plot_->add(history_.lastSerial(), history_.samples().back(), history_.firstSerial());
    BSave->setEnabled(true);
    redrawPlotIfShown();
}

void TFReport::redrawPlotIfShown()
{
    if (Pages->currentWidget() == plotPage_)
        plot_->redraw();
}

void TFReport::BSaveClick()
{
    const std::optional<QString> name = dialogs_.saveFileName(this, CsvName, csvFilters());
    if (!name)
        return;
    const QByteArray csv = historyCsv(history_.samples());
    const SaveFileResult result =
        saveWholeFile(*name, [&](QIODevice& file) { return file.write(csv) == csv.size(); });
    if (const std::optional<QString> failure = saveFailureText(result, *name))
        dialogs_.inform(this, *failure);
}

void TFReport::closeEvent(QCloseEvent* event)
{
    Timer->stop();
    link_.closed(*this);
    QMdiSubWindow::closeEvent(event);
}
