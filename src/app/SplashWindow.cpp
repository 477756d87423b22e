#include "SplashWindow.h"

#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QStyle>
#include <QVBoxLayout>

#if !defined(CORVANTA_VERSION_MAJOR) || !defined(CORVANTA_VERSION_MINOR) || !defined(CORVANTA_VERSION_PATCH)
#error "The build passes the project's version to the splash window."
#endif

namespace {

QLabel *addLabel(QVBoxLayout *layout, const QString &name, const QString &text)
{
    auto *label = new QLabel(text);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

} // namespace

SplashWindow::SplashWindow(QWidget *parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setFrameStyle(QFrame::Box | QFrame::Raised);
    setLineWidth(2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);

    auto *logo = new QLabel;
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setAlignment(Qt::AlignCenter);
    logo->setPixmap(style()->standardIcon(QStyle::SP_DirOpenIcon).pixmap(64, 64));
    layout->addWidget(logo);

    QLabel *product = addLabel(layout, QStringLiteral("lblProductName"), QStringLiteral("Corvanta"));
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    product->setFont(big);
    addLabel(layout, QStringLiteral("lblVersion"), versionText());
    addLabel(layout, QStringLiteral("lblCompany"), QStringLiteral("A catalog of your media files"));
    addLabel(layout, QStringLiteral("lblCopyright"), QStringLiteral("Made by the Corvanta developers"));
    addLabel(layout, QStringLiteral("lblWarning"),
             QStringLiteral("Corvanta only lists your files: it never changes, moves or deletes them."));
    m_progress = addLabel(layout, QStringLiteral("lblProgress"), QString());
    setFixedWidth(420);
}

void SplashWindow::showLoadProgress(const QString &path, int filesRead)
{
    m_progress->setText(QStringLiteral("Loading %1: %2 files read")
                            .arg(QFileInfo(path).fileName(), QLocale().toString(filesRead)));
}

QString SplashWindow::versionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(CORVANTA_VERSION_MAJOR)
        .arg(CORVANTA_VERSION_MINOR)
        .arg(CORVANTA_VERSION_PATCH);
}
