#include "gui/app/help_commands.h"

#include "core/app/about_box.h"
#include "core/app/control_ids.h"
#include "core/app/document_opener.h"
#include "core/scan/device_record.h"
#include "gui/app/about_dialog.h"
#include "gui/app/document_viewer.h"

#include <QDir>
#include <QUrl>

namespace zek {

namespace {

QString qt(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace

void HelpCommands::addButtonActions(QHash<int, std::function<void()>>& actions) {
    actions.insert(cmd::About, [this] { showAbout(); });
    actions.insert(cmd::Manual, [this] { openManual(); });
    const auto website = [this] { OpenWithViewer(QUrl(qt(kMakerWebsite))); };
    actions.insert(cmd::Website, website);
    actions.insert(ctl::MakerWebsite, website);
    actions.insert(ctl::TechnicalWebsite, [this] { openModulePage(kTechnicalWebPort); });
    actions.insert(ctl::UserWebsite, [this] { openModulePage(kUserWebPort); });
}

void HelpCommands::openManual() const {
    const QString name = qt(kManualFileName);
    const QString found = m_w.locate(name);
    // Without any copy the viewer is still asked, and tells the user what is missing.
    OpenWithViewer(QUrl::fromLocalFile(found.isEmpty() ? QDir(m_w.startDirectory).filePath(name) : found));
}

void HelpCommands::openModulePage(int port) const {
    if (const DeviceRecord* record = m_w.selected())
        OpenWithViewer(QUrl(QString::fromStdString(moduleWebAddress(record->CurrentIp, port, record->Port))));
}

void HelpCommands::showAbout() const {
    TZEKAboutDlg about(m_w.dialog.window(), qt(kVersionText));
    about.exec();
}

} // namespace zek
