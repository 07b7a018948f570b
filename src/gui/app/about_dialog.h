#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace zek {

class DialogForm;

// The About box (dlg::About): the product picture, the maker's logo, the version and the
// copyright line on white; OK closes it.
class TZEKAboutDlg : public QDialog {
public:
    TZEKAboutDlg(QWidget* parent, const QString& versionText);
    ~TZEKAboutDlg() override;

    DialogForm& form() const { return *m_form; }

private:
    std::unique_ptr<DialogForm> m_form;
};

} // namespace zek
