#include "gui/app/zek_config.h"

#include "core/app/control_ids.h"
#include "core/app/logo_blend.h"
#include "core/scan/device_protocol.h"
#include "core/settings/language_table.h"
#include "gui/app/led_gauge.h"
#include "gui/app/text_codec.h"
#include "gui/scan/device_tree.h"
#include "gui/scan/network_settings_panel.h"
#include "gui/scan/scan_endpoint.h"
#include "gui/session/sequence_driver.h"
#include "gui/session/session_connection.h"
#include "gui/session/session_panels.h"
#include "gui/settings/language_loader.h"
#include "gui/settings/settings_file.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>
#include <QTreeWidget>

namespace zek {

namespace {

const QString kVersionText = QStringLiteral("MERIDON Brisklink V1.00.11");
constexpr int kInterfaceList = 5026;
constexpr int kLanguageList = 5205;
constexpr int kSortList = 5152;
constexpr int kLogList = 5010;
constexpr int kViewButton = 5065;
constexpr int kLogoPlace = 5220;
constexpr int kGlyphButton = 5206;
constexpr int kSetMacButton = 5066;
constexpr std::array<int, 6> kMacEdits = {5041, 5040, 5039, 5038, 5037, 5036};
constexpr int kDialogHeightAtSetup = 485;

// Buttons whose actions come with the session, clock and sequence work; a click on them
// is routed and therefore does not log the unknown-button line.
constexpr int kRoutedLater[] = {5110};

// The version text cut to its first two blank-separated words.
QString frameCaption() {
    return kVersionText.section(QLatin1Char(' '), 0, 1);
}

} // namespace

ZEKConfig::ZEKConfig(QWidget* parent, int timerPeriodMs)
    : QWidget(parent), m_timerPeriodMs(timerPeriodMs), m_startDirectory(QDir::currentPath().left(1023)),
      m_form(std::make_unique<DialogForm>(this)), m_log(m_form->control<QListWidget>(kLogList)) {
    m_endpoint = std::make_unique<ScanEndpoint>(
        [this](const QString& line) { AppendLogLine(line); },
        [this](std::span<const std::uint8_t> bytes, std::uint16_t port) { onDatagram(bytes, port); });
    m_panel = std::make_unique<NetworkSettingsPanel>(*m_form, m_table, *m_endpoint);
    m_tree = std::make_unique<DeviceTree>(*m_form, m_table, *m_endpoint, *m_panel,
                                          [this] { return sessionState(); });
    m_language = std::make_unique<LanguageLoader>(*this);
    m_settings = std::make_unique<SettingsFile>(*this);
    m_panels = std::make_unique<SessionPanels>(
        *m_form, m_flags, [this] { return sessionState(); },
        [this](std::string_view text) { return m_session->SendText(text); });
    m_session =
        std::make_unique<SessionConnection>(*this, *m_form, m_table, *m_endpoint, *m_tree, *m_panels, m_flags,
                                            m_texts, [this](const QString& line) { AppendLogLine(line); });
    m_gauge = new LedGauge(this);
    m_gauge->setObjectName(QString::number(ctl::Gauge));
    m_sequence = std::make_unique<SequenceDriver>(SequenceDriver::Wiring{
        *this, *m_form, m_flags, *m_panels, *m_gauge, m_timerB, m_timerPeriodMs,
        [this] { return sessionState(); }, [this](std::string_view text) { m_session->SendText(text); },
        [this](int id) { DispatchButton(id); }, [this](const QString& line) { AppendLogLine(line); },
        [this](const QString& software) { updateFeatureLetters(software); }});
    connect(m_session.get(), &SessionConnection::lineReceived, this,
            [this](const QByteArray& line) { m_sequence->applyReply(line); });
    // A read that completed a line lets the sequence take its next step at once.
    connect(m_session.get(), &SessionConnection::linesCompleted, this,
            [this] { m_sequence->runStep(StepCause::Line); });
    connect(m_session.get(), &SessionConnection::stateEntered, this, [this](SessionState state) {
        if (state == SessionState::Connected)
            m_sequence->sequence().setStep(ReadSequence::kConnectStep);
    });
    buildDispatchTable();

    m_logo = blendedLogo();
    if (auto* glyph = m_form->control<QPushButton>(kGlyphButton))
        glyph->setIcon(QPixmap::fromImage(m_logo));

    for (QTimer* timer : {&m_timerA, &m_timerB}) {
        timer->setSingleShot(true);
        timer->setInterval(m_timerPeriodMs);
    }
    connect(&m_timerA, &QTimer::timeout, this, &ZEKConfig::timerATick);
    connect(&m_timerB, &QTimer::timeout, this, &ZEKConfig::timerBTick);
}

ZEKConfig::~ZEKConfig() {
    qApp->removeEventFilter(this);
    m_endpoint->close();
}

void ZEKConfig::buildDispatchTable() {
    m_buttons.insert(5064, [this] { m_tree->search(); });
    m_buttons.insert(5033, [this] { m_panel->set(); });
    m_buttons.insert(5035, [this] { m_panel->reboot(); });
    m_buttons.insert(5054, [this] { m_panel->applyDhcpRule(); });
    m_buttons.insert(5006, [this] { m_session->ToggleConnection(); });
    m_panels->addButtonActions(m_buttons);
    m_buttons.insert(5124, [this] { m_panels->applyClockPanel(); });
    m_buttons.insert(5160, [this] { m_panels->applyClockPanel(); });
    // The group buttons only set the step; the next tick starts the work.
    const std::pair<int, int> groupSteps[] = {{ctl::LoggerGroupRead, ReadSequence::kReadLogger},
                                              {ctl::LoggerGroupSet, ReadSequence::kSetLogger},
                                              {ctl::SnmpGroupRead, ReadSequence::kReadSnmp},
                                              {ctl::SnmpGroupSet, ReadSequence::kSetSnmp}};
    for (const auto& [id, step] : groupSteps)
        m_buttons.insert(id, [this, step] { m_sequence->sequence().setStep(step); });
    for (const int id : kRoutedLater)
        m_buttons.insert(id, [] {});
}

SessionState ZEKConfig::sessionState() const {
    return m_session ? m_session->state() : SessionState::Idle;
}

void ZEKConfig::DispatchButton(int id) {
    const auto action = m_buttons.constFind(id);
    if (action == m_buttons.constEnd()) {
        AppendLogLine(QStringLiteral("Error: Unkown Button command"));
        return;
    }
    (*action)();
}

void ZEKConfig::routeControls() {
    // Every button and check box reaches the dispatcher with its ID after it changed its own state.
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        bool ok = false;
        const int id = button->objectName().toInt(&ok);
        if (ok && id > 0)
            connect(button, &QAbstractButton::clicked, this, [this, id] { DispatchButton(id); });
    }
    // Only the user's choices count as selection changes; the program's own selections do not.
    connect(control<QComboBox>(kInterfaceList), &QComboBox::activated, this, &ZEKConfig::interfaceSelected);
    connect(control<QComboBox>(kLanguageList), &QComboBox::activated, this, &ZEKConfig::languageSelected);
    connect(control<QComboBox>(kSortList), &QComboBox::activated, this, &ZEKConfig::sortOrderSelected);
}

void ZEKConfig::SetupWindow() {
    routeControls();
    m_timerA.start();
    m_timerB.start();

    auto* interfaces = control<QComboBox>(kInterfaceList);
    interfaces->clear();
    interfaces->addItems(m_endpoint->fillInterfaceList());
    interfaces->setCurrentIndex(interfaces->count() > 0 ? 0 : -1);

    auto* logTimes = control<QComboBox>(5103);
    for (int minute = 1; minute <= 60; ++minute)
        logTimes->addItem(QStringLiteral("%1").arg(minute, 2, 10, QLatin1Char('0')));
    logTimes->setCurrentIndex(0);

    for (const int id : {5075, 5173, 5175, 5176, 5177})
        control<QLineEdit>(id)->setReadOnly(true);
    control<QCheckBox>(5192)->setChecked(true);
    m_log->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    control<QCheckBox>(5160)->setChecked(true);
    m_session->SelectionLock();
    m_panel->applyDhcpRule();
    m_panels->applyAll();

    const QRect view = widget(kViewButton)->geometry();
    m_gauge->setGeometry(view.left(), view.top() - 23, 210, 20);
    m_fullSize = m_form->fullSize();
    m_compactSize = QSize(m_fullSize.width(), view.top() + view.height() + 5);
    widget(kViewButton)->hide();

    m_tree->setupTree();

    for (const int id : {5131, 5132}) {
        auto* hours = control<QComboBox>(id);
        for (int hour = 0; hour < 24; ++hour)
            hours->addItem(QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0')));
    }
    control<QComboBox>(5131)->setCurrentIndex(2);
    control<QComboBox>(5132)->setCurrentIndex(3);
    m_language->clearTips();
    widget(kLanguageList)->setEnabled(false);

    control<QLineEdit>(5179)->setReadOnly(true);
    widget(5182)->setEnabled(false);
    control<QLineEdit>(5159)->setText(QStringLiteral("00:00:00 "));

    m_settings->ReadSettings(m_settings->path());
    m_deferredLanguagePending = true;

    setFixedSize(m_fullSize.width(), kDialogHeightAtSetup);
    m_compactView = false;
    control<QPushButton>(kViewButton)->setText(QStringLiteral(">>"));
    ToggleView();
    m_settingsWritingEnabled = true;
    qApp->installEventFilter(this);
}

void ZEKConfig::ToggleView() {
    if (window()->isMinimized())
        return;
    auto* viewButton = control<QPushButton>(kViewButton);
    if (m_compactView) {
        setFixedSize(m_fullSize);
        widget(kSetMacButton)->show();
        for (const int id : kMacEdits)
            control<QLineEdit>(id)->setReadOnly(false);
        viewButton->setText(QStringLiteral("<<"));
    } else {
        setFixedSize(m_compactSize);
        widget(kSetMacButton)->hide();
        for (const int id : kMacEdits)
            control<QLineEdit>(id)->setReadOnly(true);
        viewButton->setText(QStringLiteral(">>"));
    }
    m_compactView = !m_compactView;
    for (const ControlSpec& spec : controlInventory())
        if ((spec.flags & HiddenInCompact) && spec.id != kSetMacButton)
            widget(spec.id)->setVisible(!m_compactView);
}

void ZEKConfig::AppendLogLine(const QString& line) {
    if (m_log->count() >= kLogLinesMax)
        delete m_log->takeItem(0);
    m_log->addItem(line);
    m_log->setCurrentRow(m_log->count() - 1);
    m_log->scrollToItem(m_log->currentItem());
}

void ZEKConfig::interfaceSelected() {
    m_endpoint->selectInterface(control<QComboBox>(kInterfaceList)->currentIndex());
    window()->setWindowTitle(frameCaption());
    m_session->createSocket(m_endpoint->pcIp());
    m_table.clear();
    if (m_settingsWritingEnabled)
        m_settings->WriteSettings(m_settings->path());
    DispatchButton(5064);
}

void ZEKConfig::languageSelected() {
    const int index = control<QComboBox>(kLanguageList)->currentIndex();
    if (index < 0)
        return;
    m_currentLanguage = index;
    if (m_settingsWritingEnabled)
        m_settings->WriteSettings(m_settings->path());
    m_language->ApplyLanguage(QString::fromStdString(languageFileName(index)));
    DispatchButton(5064);
}

void ZEKConfig::sortOrderSelected() {
    const int index = control<QComboBox>(kSortList)->currentIndex();
    if (index < 0)
        return;
    m_tree->setSortOrder(index);
    if (m_settingsWritingEnabled)
        m_settings->WriteSettings(m_settings->path());
    DispatchButton(5064);
}

void ZEKConfig::timerATick() {
    if (m_panel->countdownTick()) {
        DispatchButton(5035);
        if (sessionState() != SessionState::Idle)
            DispatchButton(5006);
        DispatchButton(5064);
    }
    if (m_deferredLanguagePending) {
        m_deferredLanguagePending = false;
        languageSelected();
    }
    m_tree->updateStateIcon(false);
    m_timerA.start();
}

void ZEKConfig::timerBTick() {
    m_sequence->runStep(StepCause::Tick);
}

void ZEKConfig::onDatagram(std::span<const std::uint8_t> bytes, std::uint16_t senderPort) {
    const auto decoded =
        decodeDatagram(bytes, senderPort, [this](std::string_view key) { return m_texts.text(key); });
    if (const auto* device = std::get_if<DecodedDevice>(&decoded))
        m_tree->addDevice(*device);
    else if (const auto* software = std::get_if<SoftwareText>(&decoded))
        updateFeatureLetters(fromModuleText(software->text));
}

void ZEKConfig::updateFeatureLetters(const QString& software) {
    control<QLabel>(5078)->setText(software);
    static constexpr std::pair<char, int> kLetters[] = {{'T', 5212}, {'L', 5213}, {'S', 5211},
                                                        {'H', 5210}, {'X', 5209}, {'D', 5208}};
    for (const auto& [letter, id] : kLetters)
        control<QCheckBox>(id)->setChecked(software.contains(QLatin1Char(letter)));
}

void ZEKConfig::MenuCommand(int id) {
    switch (id) {
    case 5306:
        emit exitRequested();
        break;
    case 5303:
        m_flyOver = !m_flyOver;
        if (!m_flyOver)
            QToolTip::hideText();
        emit flyOverChanged(m_flyOver);
        break;
    default:
        // Every listed language has a command, the entries beyond the thirtieth too.
        if (id >= kLanguageCommandFirst && id < kLanguageCommandFirst + kLanguagesMax) {
            auto* languages = control<QComboBox>(kLanguageList);
            if (id - 5310 < languages->count()) {
                languages->setCurrentIndex(id - 5310);
                languageSelected();
            }
        }
        break;
    }
}

void ZEKConfig::EvCommandEnable(int id, bool& enabled, bool& checked) const {
    if (id >= 5310 && id < 5360) {
        checked = id - 5310 == m_currentLanguage;
        enabled = sessionState() == SessionState::Idle;
    } else if (id == 5303) {
        checked = m_flyOver;
    }
}

QImage ZEKConfig::blendedLogo() const {
    QImage logo = QImage(QStringLiteral(":/logo.png")).convertToFormat(QImage::Format_RGB32);
    if (logo.isNull())
        return logo;
    const QRgb face = palette().color(QPalette::Button).rgb();
    for (int y = 0; y < logo.height(); ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(logo.scanLine(y));
        blendLogoBackground(std::span(line, std::size_t(logo.width())), face);
    }
    return logo;
}

void ZEKConfig::paintEvent(QPaintEvent*) {
    if (m_logo.isNull())
        return;
    const QRect place = widget(kLogoPlace)->geometry();
    QPainter painter(this);
    painter.drawImage(QPoint(place.left(), place.top() - 30), m_logo);
}

bool ZEKConfig::eventFilter(QObject* watched, QEvent* event) {
    // Escape never closes the main window.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        auto* target = qobject_cast<QWidget*>(watched);
        if (target && target->window() == window())
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zek
