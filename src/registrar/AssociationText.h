#pragma once

#include <QByteArray>
#include <QString>

// The text edits behind the per-user association, kept free of any file or process so
// that they can be checked on their own.
namespace AssociationText {

// One argument of a desktop entry's Exec key, written so that the desktop hands it to the
// program unchanged: quoted when it holds a reserved character, "%" doubled, and the
// escapes of a desktop entry string value applied on top.
QByteArray execArgument(const QString &argument);

// The desktop entry with the program of its Exec key replaced by program; the field codes
// and arguments after it are kept. Every other line is kept byte for byte.
QByteArray withExecProgram(const QByteArray &desktopEntry, const QString &program);

// mimeapps.list with desktopId as the default application of mimeType in its
// [Default Applications] group. Our key is rewritten in place if it is there (and any
// second copy of it dropped), otherwise added at the end of the group; the group is
// added at the end when missing. Every other line is kept byte for byte.
QByteArray withDefaultApplication(const QByteArray &mimeappsList, const QByteArray &mimeType,
                                  const QByteArray &desktopId);

} // namespace AssociationText
