#pragma once

#include "SystemInfo.h"

#include <QDialog>
#include <QPixmap>

#include <functional>

class QLabel;
class QPushButton;

// frmAbout: the program's title, version and disclaimer, OK and System Info. It also
// hides the way to the quotations window: arm with a click on the title (or Shift
// held while OK has the focus), then double-click the picture.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    struct SystemInfoSource {
        QList<SystemInfo::Program> candidates;
        QString searchPath;
    };
    // The desktop's programs on the process's PATH.
    static SystemInfoSource installedSystemInfo();
    // "Version 1.1.5": the project's version as the build gives it.
    static QString versionText();
    // The program's icon, 70 by 69 pixels.
    static QPixmap programPicture();

    AboutBox(Interaction::Interface &ui, SystemInfoSource systemInfo, std::function<void()> showQuotations,
             QWidget *parent = nullptr);

    bool eggArmed() const { return m_eggArmed; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Interaction::Interface &m_ui;
    SystemInfoSource m_systemInfo;
    std::function<void()> m_showQuotations;
    bool m_eggArmed = false;
    QLabel *m_picture;
    QLabel *m_title;
    QPushButton *m_ok;
};
