#include "gui/app/about_dialog.h"

#include "core/app/about_box.h"
#include "core/app/control_ids.h"
#include "gui/app/dialog_form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>

namespace zek {

namespace {

// The box's resource font is 10 point: the pictures then fill their places as drawn.
QFont aboutFont() {
    QFont font = QApplication::font();
    font.setPointSize(10);
    return font;
}

void showPicture(DialogForm& form, int id, const char* resource) {
    auto* picture = form.control<QLabel>(id);
    picture->setPixmap(QPixmap(QString::fromLatin1(resource)));
    // Scaled into the control's place, so the layout keeps its proportions in any font.
    picture->setScaledContents(true);
    picture->show();
}

} // namespace

TZEKAboutDlg::TZEKAboutDlg(QWidget* parent, const QString& versionText)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_form(std::make_unique<DialogForm>(this, aboutDialog(), aboutFont())) {
    setObjectName(QString::number(dlg::About));
    setModal(true);
    setFixedSize(m_form->fullSize());
    // White behind everything; texts black on it, the button keeps its own colours.
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    setPalette(white);
    setAutoFillBackground(true);

    const AboutTexts texts = splitVersionText(versionText.toStdString());
    setWindowTitle(QString::fromStdString(texts.caption));
    m_form->control<QLabel>(dlg::AboutVersion)->setText(QString::fromStdString(texts.version));
    m_form->control<QLabel>(dlg::AboutCopyright)->setText(QString::fromLatin1(kCopyrightLine.data()));
    showPicture(*m_form, dlg::AboutPicture, ":/about.png");
    showPicture(*m_form, dlg::AboutLogo, ":/maker_logo.png");
    setWindowIcon(QIcon(QStringLiteral(":/zekconfig16.png")));

    auto* ok = m_form->control<QAbstractButton>(dlg::AboutOk);
    ok->setAutoFillBackground(false);
    connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
}

TZEKAboutDlg::~TZEKAboutDlg() = default;

} // namespace zek
