#pragma once

#include <QString>
#include <QStringList>

// The ".kvd" association of one user, the freedesktop way: the catalog type, Corvanta's
// desktop entry, Corvanta as the type's default application and the icons, all in the
// user's own data and configuration folders.
namespace UserAssociation {

inline constexpr char kCatalogType[] = "application/x-corvanta-catalog";
inline constexpr char kDesktopId[] = "corvanta.desktop";

struct Folders {
    QString data;   // XDG_DATA_HOME, by default ~/.local/share
    QString config; // XDG_CONFIG_HOME, by default ~/.config
    static Folders ofCurrentUser();
};

// Writes the association for the Corvanta program at corvantaProgram and refreshes the
// desktop's caches with the tools that are installed. Every step runs even when an
// earlier one failed; the result says what went wrong, one message a failed step.
QStringList registerCorvanta(const Folders &folders, const QString &corvantaProgram);

} // namespace UserAssociation
