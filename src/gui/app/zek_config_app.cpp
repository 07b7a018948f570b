#include "gui/app/zek_config_app.h"

#include "core/app/control_ids.h"
#include "gui/app/zek_config.h"

#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QShortcut>

namespace zek {

namespace {

struct MenuItem {
    int popup;
    int id;
    const char* text;
};

// The frame's menu as the resource gives it; the language file relabels it.
constexpr MenuItem kMenu[] = {
    {0, cmd::Exit, "E&xit"},     {1, cmd::LanguageFirst, "&Deutsch"}, {2, cmd::Website, "&Holvek Website"},
    {2, cmd::Manual, "&Manual"}, {2, cmd::FlyOver, "&Fly over"},      {2, cmd::About, "&About"},
};
constexpr const char* kPopups[] = {"&Program", "&Language", "&Help"};

} // namespace

TZEKConfigApp::TZEKConfigApp(int timerPeriodMs) : m_timerPeriodMs(timerPeriodMs) {}

TZEKConfigApp::~TZEKConfigApp() {
    qApp->removeEventFilter(this);
}

void TZEKConfigApp::BuildMainWindow() {
    m_frame = std::make_unique<QMainWindow>();
    m_dialog = new ZEKConfig(m_frame.get(), m_timerPeriodMs);
    m_dialog->setWindowTitle(QString::fromLatin1(kAppName));
    m_frame->setCentralWidget(m_dialog);
    // Not resizable, no maximise box; the frame takes the size of its client.
    m_frame->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                            Qt::WindowCloseButtonHint);
    m_frame->layout()->setSizeConstraint(QLayout::SetFixedSize);
    QIcon icon;
    icon.addFile(QStringLiteral(":/zekconfig.png"));
    icon.addFile(QStringLiteral(":/zekconfig16.png"));
    m_frame->setWindowIcon(icon);
    // Tooltips help also while another window has the focus.
    m_frame->setAttribute(Qt::WA_AlwaysShowToolTips);
    m_frame->move(10, 100);
    buildMenu();

    // The extended view with the log and traffic is kept from the user's normal work, but a
    // technician can reach it.
    auto* toggle = new QShortcut(QKeySequence(Qt::Key_F12), m_frame.get());
    connect(toggle, &QShortcut::activated, m_dialog, &ZEKConfig::ToggleView);
    connect(m_dialog, &ZEKConfig::exitRequested, m_frame.get(), &QMainWindow::close);
    qApp->installEventFilter(this);

    m_dialog->SetupWindow();
}

void TZEKConfigApp::buildMenu() {
    QMenuBar* bar = m_frame->menuBar();
    QMenu* popups[std::size(kPopups)];
    for (std::size_t i = 0; i < std::size(kPopups); ++i) {
        popups[i] = bar->addMenu(QString::fromLatin1(kPopups[i]));
        popups[i]->setObjectName(QStringLiteral("menu%1").arg(i));
        // The enabling and check marks are decided each time a popup opens.
        connect(popups[i], &QMenu::aboutToShow, this, [this, popup = popups[i]] {
            for (QAction* action : popup->actions()) {
                bool enabled = action->isEnabled();
                bool checked = action->isChecked();
                m_dialog->EvCommandEnable(action->objectName().toInt(), enabled, checked);
                action->setEnabled(enabled);
                action->setChecked(checked);
            }
        });
    }
    for (const MenuItem& item : kMenu) {
        QAction* action = popups[item.popup]->addAction(QString::fromLatin1(item.text));
        action->setObjectName(QString::number(item.id));
        action->setCheckable(item.id == cmd::FlyOver || item.id >= cmd::LanguageFirst);
        connect(action, &QAction::triggered, m_dialog,
                [this, id = item.id] { m_dialog->DispatchButton(id); });
    }
}

QMenu* TZEKConfigApp::menu(int index) const {
    return m_frame ? m_frame->findChild<QMenu*>(QStringLiteral("menu%1").arg(index)) : nullptr;
}

bool TZEKConfigApp::eventFilter(QObject* watched, QEvent* event) {
    // Fly over off: no control shows its tooltip.
    if (event->type() == QEvent::ToolTip && m_dialog && !m_dialog->flyOver())
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace zek
