#include "gui/app/zek_config.h"

#include "core/app/about_box.h"
#include "core/app/control_ids.h"
#include "core/app/enter_key.h"
#include "core/app/logo_blend.h"
#include "core/scan/device_protocol.h"
#include "core/settings/ini_profile.h"
#include "core/settings/language_table.h"
#include "core/settings/settings_choices.h"
#include "gui/app/debug_panel.h"
#include "gui/app/help_commands.h"
#include "gui/app/led_gauge.h"
#include "gui/app/log_list.h"
#include "gui/app/panel_view.h"
#include "gui/app/text_codec.h"
#include "gui/clock/clock_panel.h"
#include "gui/clock/dst_panel.h"
#include "gui/scan/device_tree.h"
#include "gui/scan/network_settings_panel.h"
#include "gui/scan/scan_endpoint.h"
#include "gui/session/sequence_driver.h"
#include "gui/session/session_connection.h"
#include "gui/session/session_panels.h"
#include "gui/session/session_state_view.h"
#include "gui/settings/language_loader.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>
#include <QTreeWidget>

namespace zek {

namespace {

constexpr int kDialogHeightAtSetup = 485;

std::string localName(const QString& fileName) {
    return QFile::encodeName(fileName).toStdString();
}

// The version text cut to its first two blank-separated words.
QString frameCaption() {
    return QString::fromLatin1(kVersionText.data(), qsizetype(kVersionText.size()))
        .section(QLatin1Char(' '), 0, 1);
}

} // namespace

PanelView ZEKConfig::view(Panel panel) const {
    return PanelView(*m_form, panelControls(panel));
}

ZEKConfig::ZEKConfig(QWidget* parent, int timerPeriodMs)
    : QWidget(parent), m_timerPeriodMs(timerPeriodMs), m_startDirectory(QDir::currentPath().left(1023)),
      m_form(std::make_unique<DialogForm>(this, mainDialog(), QApplication::font())),
      m_log(m_form->control<LogList>(ctl::LogList)) {
    m_endpoint =
        std::make_unique<ScanEndpoint>([this](const QString& line) { AppendLogLine(line); },
                                       [this](std::string_view key) { return m_texts.text(key); },
                                       [this](const DecodedDatagram& decoded) { onDatagram(decoded); });
    m_panel = std::make_unique<NetworkSettingsPanel>(view(Panel::NetworkSettings), m_table, *m_endpoint);
    m_tree = std::make_unique<DeviceTree>(
        view(Panel::DeviceTree), m_table, *m_endpoint, *m_panel, [this] { return sessionState(); },
        [this] { m_panels->showUnknownIdentity(); });
    m_language = std::make_unique<LanguageLoader>(LanguageLoader::Wiring{
        *this, *m_form, m_texts, *m_tree, m_startDirectory, [this] { return sessionState(); },
        [this](int command) { DispatchButton(command); },
        [this](const QString& line) { AppendLogLine(line); }});
    const auto send = [this](const SessionCommand& command) { m_sequence->engine().send(command); };
    m_panels = std::make_unique<SessionPanels>(
        view(Panel::Session), [this]() -> const ModuleState& { return m_sequence->engine().state(); },
        [this] { return sessionState(); }, send);
    m_clock = std::make_unique<ClockPanel>(
        ClockPanel::Wiring{view(Panel::Clock), [this] { return m_compactView; }, send});
    m_dst = std::make_unique<DstPanel>(
        DstPanel::Wiring{*this, view(Panel::Dst), m_texts, [this] { return m_compactView; },
                         [this] { return m_clock->pcTime(); }, [this] { return m_clock->manualDate(); },
                         [this](const ManualDate& date) { m_clock->setManualDate(date); },
                         [this](const SummerWindow& window) { m_clock->setSummerWindow(window); }});
    m_clock->setSwitchHourQuestions([this] { return m_dst->RunAskDstDialog(); },
                                    [this] { m_dst->RunAskInvalidHourDialog(); });
    m_session = std::make_unique<SessionConnection>(
        [this](const QString& line) { AppendLogLine(line); },
        [this]() -> std::optional<ConnectTarget> {
            const DeviceRecord* record = m_table.selected();
            if (!record)
                return std::nullopt;
            return ConnectTarget{record->CurrentIp, std::uint16_t(record->Port)};
        });
    m_stateView = std::make_unique<SessionStateView>(SessionStateView::Wiring{
        *this, view(Panel::StateView), m_texts, [this] { m_sequence->engine().newSession(); }, *m_panels,
        *m_tree, [this] { return m_endpoint->interfaceText(); }, [this] { m_debug->showUnknownSoftware(); }});
    // The window shows a state before anyone else acts on it.
    connect(m_session.get(), &SessionConnection::stateEntered, this,
            [this](SessionState state) { m_stateView->apply(state); });
    connect(m_session.get(), &SessionConnection::rxActivity, this, [this] { m_tree->noteRxActivity(); });
    m_gauge = new LedGauge(this);
    m_sequence = std::make_unique<SequenceDriver>(SequenceDriver::Wiring{
        *this, *m_panels, *m_gauge, m_timerB, m_timerPeriodMs, [this] { return sessionState(); },
        [this](std::string_view text) { m_session->SendText(text); }, [this](int id) { DispatchButton(id); },
        [this](const QString& line) { AppendLogLine(line); },
        [this](const QString& software) { updateFeatureLetters(software); },
        [this](const ClockLine& clock) { m_clock->applyReply(clock.kind, clock.line); },
        [this](DstRuleRow row, const DstRule& rule) { m_dst->applyRule(row, rule); },
        [this] { return m_clock->busy(); }, [this] { return m_clock->timeSent(); }});
    connect(m_session.get(), &SessionConnection::lineReceived, this,
            [this](const QByteArray& line) { m_sequence->applyReply(line); });
    // A read that completed a line lets the sequence take its next step at once.
    connect(m_session.get(), &SessionConnection::linesCompleted, this,
            [this] { m_sequence->runStep(StepCause::Line); });
    connect(m_session.get(), &SessionConnection::stateEntered, this, [this](SessionState state) {
        if (state == SessionState::Connected)
            m_sequence->engine().start(GroupAction::Connect);
    });
    m_debug = std::make_unique<DebugPanel>(
        DebugPanel::Wiring{view(Panel::Debug), [this] { return m_session->BytesSent(); },
                           [this] { return m_session->BytesReceived(); }, m_timerPeriodMs});
    m_help = std::make_unique<HelpCommands>(HelpCommands::Wiring{
        *this, m_startDirectory, [this](const QString& name) { return m_language->locate(name); },
        [this]() -> const DeviceRecord* { return m_table.selected(); }});
    buildDispatchTable();

    m_logo = blendedLogo();
    if (auto* glyph = m_form->control<QPushButton>(ctl::GlyphButton))
        glyph->setIcon(QPixmap::fromImage(m_logo));

    for (QTimer* timer : {&m_timerA, &m_timerB}) {
        timer->setSingleShot(true);
        timer->setInterval(m_timerPeriodMs);
    }
    m_timerATickers = {
        [this] {
            if (m_panel->countdownTick()) {
                DispatchButton(ctl::Reboot);
                if (sessionState() != SessionState::Idle)
                    DispatchButton(ctl::Connect);
                DispatchButton(ctl::Search);
            }
        },
        [this] {
            // The start-up language call, once, on the first tick.
            if (m_deferredLanguagePending) {
                m_deferredLanguagePending = false;
                languageSelected();
            }
        },
        [this] { m_debug->showTraffic(); },
        [this] { m_clock->showPcClock(); },
        [this] { m_tree->updateStateIcon(false); },
    };
    connect(&m_timerA, &QTimer::timeout, this, &ZEKConfig::timerATick);
    connect(&m_timerB, &QTimer::timeout, this, &ZEKConfig::timerBTick);
}

ZEKConfig::~ZEKConfig() {
    qApp->removeEventFilter(this);
    m_endpoint->close();
}

void ZEKConfig::buildDispatchTable() {
    m_buttons.insert(ctl::Search, [this] { m_tree->search(); });
    m_buttons.insert(ctl::SetValues, [this] { m_panel->set(); });
    m_buttons.insert(ctl::Reboot, [this] { m_panel->reboot(); });
    m_buttons.insert(ctl::UseDhcp, [this] { m_panel->applyDhcpRule(); });
    m_buttons.insert(ctl::Connect, [this] { m_session->ToggleConnection(); });
    m_panels->addButtonActions(m_buttons);
    m_clock->addButtonActions(m_buttons);
    m_buttons.insert(ctl::AutomaticDst, [this] {
        m_dst->automaticDstClicked();
        m_panels->applyClockPanel();
    });
    m_buttons.insert(ctl::UsePcTime, [this] {
        m_panels->applyClockPanel();
        m_dst->updatePreviews();
    });
    // The group buttons only start the engine's sequence; the next tick starts the work.
    const std::pair<int, GroupAction> groups[] = {{ctl::LoggerGroupRead, GroupAction::ReadLogger},
                                                  {ctl::LoggerGroupSet, GroupAction::SetLogger},
                                                  {ctl::SnmpGroupRead, GroupAction::ReadSnmp},
                                                  {ctl::SnmpGroupSet, GroupAction::SetSnmp}};
    for (const auto& [id, group] : groups)
        m_buttons.insert(id, [this, group] { m_sequence->engine().start(group); });
    m_help->addButtonActions(m_buttons);
    m_debug->addButtonActions(m_buttons);

    m_buttons.insert(cmd::Exit, [this] { emit exitRequested(); });
    m_buttons.insert(cmd::FlyOver, [this] { toggleFlyOver(); });
    // Every listed language has a command, the entries beyond the thirtieth too.
    for (int k = 0; k < kLanguagesMax; ++k)
        m_buttons.insert(cmd::LanguageFirst + k, [this, k] { languageCommand(k); });
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
    connect(control<QComboBox>(ctl::PcIpList), &QComboBox::activated, this, &ZEKConfig::interfaceSelected);
    connect(control<QComboBox>(ctl::LanguageList), &QComboBox::activated, this, &ZEKConfig::languageSelected);
    connect(control<QComboBox>(ctl::SortList), &QComboBox::activated, this, &ZEKConfig::sortOrderSelected);
}

void ZEKConfig::SetupWindow() {
    routeControls();
    m_timerA.start();
    m_timerB.start();

    auto* interfaces = control<QComboBox>(ctl::PcIpList);
    interfaces->clear();
    interfaces->addItems(m_endpoint->fillInterfaceList());
    interfaces->setCurrentIndex(interfaces->count() > 0 ? 0 : -1);

    m_panels->setupControls();
    m_panel->setupControls();
    m_clock->setupControls();
    m_dst->setupControls();
    m_log->setFont(FixedPitchFont());
    m_stateView->applySelectionLock(sessionState());
    m_panel->applyDhcpRule();
    m_panels->applyAll();

    const QRect view = widget(ctl::ViewButton)->geometry();
    m_gauge->setGeometry(view.left(), view.top() - 23, LedGauge::kWidthPx, LedGauge::kHeightPx);
    m_fullSize = m_form->fullSize();
    m_compactSize = QSize(m_fullSize.width(), view.top() + view.height() + 5);
    widget(ctl::ViewButton)->hide();

    m_tree->setupTree();

    m_language->clearTips();
    widget(ctl::LanguageList)->setEnabled(false);

    ReadSettings();
    m_deferredLanguagePending = true;

    setFixedSize(m_fullSize.width(), kDialogHeightAtSetup);
    m_compactView = false;
    control<QPushButton>(ctl::ViewButton)->setText(QStringLiteral(">>"));
    ToggleView();
    m_settingsWritingEnabled = true;
    qApp->installEventFilter(this);
}

void ZEKConfig::ToggleView() {
    if (window()->isMinimized())
        return;
    auto* viewButton = control<QPushButton>(ctl::ViewButton);
    if (m_compactView) {
        setFixedSize(m_fullSize);
        widget(ctl::SetMac)->show();
        viewButton->setText(QStringLiteral("<<"));
    } else {
        setFixedSize(m_compactSize);
        widget(ctl::SetMac)->hide();
        viewButton->setText(QStringLiteral(">>"));
    }
    m_compactView = !m_compactView;
    // The MAC can be typed only in the extended view, where Set MAC is.
    for (const int id : ctl::kMacEdits)
        control<QLineEdit>(id)->setReadOnly(m_compactView);
    for (const ControlSpec& spec : controlInventory())
        if ((spec.flags & HiddenInCompact) && spec.id != ctl::SetMac)
            widget(spec.id)->setVisible(!m_compactView);
    m_dst->updatePreviews();
    m_clock->refreshView();
}

void ZEKConfig::setPcClock(PcClock clock) {
    m_clock->setPcClock(std::move(clock));
}

void ZEKConfig::AppendLogLine(const QString& line) {
    m_log->append(line);
}

QString ZEKConfig::settingsPath() const {
    return QDir(m_startDirectory).filePath(QString::fromLatin1(kSettingsFileName));
}

void ZEKConfig::ReadSettings() {
    // A start directory without a settings file of its own (an installed program started
    // from the menu or an empty directory) starts from the installed default; the first
    // choice written copies it there.
    const QString path = settingsPath();
    m_settingsDefault =
        QFileInfo::exists(path) ? QString() : m_language->locate(QString::fromLatin1(kSettingsFileName));
    const QString source = m_settingsDefault.isEmpty() ? path : m_settingsDefault;
    const SettingsChoices choices = resolveSettings(TProfile(kSettingsSection, localName(source)),
                                                    control<QComboBox>(ctl::PcIpList)->count());
    for (const std::string& line : choices.interfaceLog)
        AppendLogLine(QString::fromStdString(line));
    control<QComboBox>(ctl::PcIpList)->setCurrentIndex(choices.interfaceIndex);
    interfaceSelected();

    auto* languages = control<QComboBox>(ctl::LanguageList);
    languages->clear();
    for (const std::string& name : choices.languages)
        languages->addItem(QString::fromStdString(name));
    // The menu offers the languages even before one is applied.
    m_language->rebuildLanguageMenu();
    languages->setCurrentIndex(choices.languageIndex);
    if (choices.languageIndex >= 0) {
        m_language->ApplyLanguage(QString::fromStdString(languageFileName(choices.languageIndex)));
        m_dst->languageApplied();
    }

    for (const std::string& line : choices.choiceLog)
        AppendLogLine(QString::fromStdString(line));
    control<QComboBox>(ctl::SortList)->setCurrentIndex(choices.sortOrder);
    m_tree->setSortOrder(choices.sortOrder);
}

void ZEKConfig::WriteSettings() {
    if (!m_settingsWritingEnabled)
        return;
    const auto* languages = control<QComboBox>(ctl::LanguageList);
    const auto* sort = control<QComboBox>(ctl::SortList);
    const std::string language = languages->currentIndex() >= 0 ? languages->currentText().toStdString() : "";
    // Before a language has filled the sort list, the tree's own order is the one in use.
    const int order = sort->currentIndex() >= 0 ? sort->currentIndex() : m_tree->sortOrder();
    const QString path = settingsPath();
    if (!m_settingsDefault.isEmpty() && !QFileInfo::exists(path))
        QFile::copy(m_settingsDefault, path);
    if (!storeSettings(localName(path), control<QComboBox>(ctl::PcIpList)->currentIndex(), language, order))
        AppendLogLine(QStringLiteral("Settings file %1 cannot be written").arg(path));
}

void ZEKConfig::interfaceSelected() {
    m_endpoint->selectInterface(control<QComboBox>(ctl::PcIpList)->currentIndex());
    window()->setWindowTitle(frameCaption());
    m_session->createSocket(m_endpoint->pcIp());
    m_table.clear();
    WriteSettings();
    DispatchButton(ctl::Search);
}

void ZEKConfig::languageSelected() {
    const int index = control<QComboBox>(ctl::LanguageList)->currentIndex();
    if (index < 0)
        return;
    m_currentLanguage = index;
    WriteSettings();
    m_language->ApplyLanguage(QString::fromStdString(languageFileName(index)));
    m_dst->languageApplied();
    DispatchButton(ctl::Search);
}

void ZEKConfig::languageCommand(int index) {
    auto* languages = control<QComboBox>(ctl::LanguageList);
    if (index < languages->count()) {
        languages->setCurrentIndex(index);
        languageSelected();
    }
}

void ZEKConfig::sortOrderSelected() {
    const int index = control<QComboBox>(ctl::SortList)->currentIndex();
    if (index < 0)
        return;
    m_tree->setSortOrder(index);
    WriteSettings();
    DispatchButton(ctl::Search);
}

void ZEKConfig::toggleFlyOver() {
    m_flyOver = !m_flyOver;
    if (!m_flyOver)
        QToolTip::hideText();
}

void ZEKConfig::timerATick() {
    for (const auto& ticker : m_timerATickers)
        ticker();
    m_timerA.start();
}

void ZEKConfig::timerBTick() {
    m_sequence->runStep(StepCause::Tick);
}

void ZEKConfig::onDatagram(const DecodedDatagram& decoded) {
    if (const auto* device = std::get_if<DecodedDevice>(&decoded))
        m_tree->addDevice(*device);
    else if (const auto* software = std::get_if<SoftwareText>(&decoded))
        updateFeatureLetters(fromModuleText(software->text));
}

void ZEKConfig::updateFeatureLetters(const QString& software) {
    m_debug->showSoftware(software);
}

void ZEKConfig::EvCommandEnable(int id, bool& enabled, bool& checked) const {
    if (id >= cmd::LanguageFirst && id < cmd::LanguageFirst + kLanguagesMax) {
        checked = id - cmd::LanguageFirst == m_currentLanguage;
        enabled = sessionState() == SessionState::Idle;
    } else if (id == cmd::FlyOver) {
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
    const QRect place = widget(ctl::LogoPlace)->geometry();
    QPainter painter(this);
    painter.drawImage(QPoint(place.left(), place.top() - 30), m_logo);
}

bool ZEKConfig::eventFilter(QObject* watched, QEvent* event) {
    auto* target = qobject_cast<QWidget*>(watched);
    if (event->type() != QEvent::KeyPress || !target || target->window() != window())
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    // Escape never closes the main window.
    if (key == Qt::Key_Escape)
        return true;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return pressEnterButton(target);
    return QWidget::eventFilter(watched, event);
}

bool ZEKConfig::pressEnterButton(QWidget* target) {
    QWidget* control = target;
    while (control && control->parentWidget() != this)
        control = control->parentWidget();
    if (!control)
        return false;
    if (auto* button =
            this->control<QAbstractButton>(enterKeyButton(mainDialog(), control->objectName().toInt())))
        button->click();
    return true;
}

} // namespace zek
