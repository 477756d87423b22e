#pragma once

#include <QStringList>

namespace Startup {

// The whole argument text is one catalog path: the arguments joined by single spaces.
QString catalogPathFromArguments(const QStringList &arguments);

// Splash window, main window with its catalog, then the event loop.
int run(int argc, char **argv);

} // namespace Startup
