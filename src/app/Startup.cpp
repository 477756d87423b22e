#include "Startup.h"

#include "AllocatorTuning.h"
#include "AppSettings.h"
#include "CatalogFileCommands.h"
#include "MainWindow.h"
#include "QtInteraction.h"
#include "SplashWindow.h"

#include <QApplication>
#include <QIcon>

namespace Startup {

QString catalogPathFromArguments(const QStringList &arguments)
{
    return arguments.mid(1).join(QLatin1Char(' '));
}

int run(int argc, char **argv)
{
    tuneAllocatorForLargeCatalogs(argv);
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Corvanta"));
    QApplication::setApplicationName(QStringLiteral("Corvanta"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(CORVANTA_VERSION_MAJOR)
                                            .arg(CORVANTA_VERSION_MINOR)
                                            .arg(CORVANTA_VERSION_PATCH));
    // The desktop entry's name ties the windows to the menu entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("corvanta"));
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/corvanta.png").arg(size));
    QApplication::setWindowIcon(icon);
    // Outside a full desktop Qt may find no icon theme; file type icons need one.
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));

    SplashWindow splash;
    splash.show();
    QApplication::processEvents();

    AppSettings settings;
    QtInteraction interaction;
    MainWindow window(interaction, settings);
    interaction.setParentWidget(&window);
    QObject::connect(&window.fileCommands(), &CatalogFileCommands::loadProgress, &splash,
                     &SplashWindow::showLoadProgress);
    window.load(catalogPathFromArguments(QApplication::arguments()));

    splash.close();
    window.show();
    return QApplication::exec();
}

} // namespace Startup
