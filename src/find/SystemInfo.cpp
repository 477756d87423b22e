#include "SystemInfo.h"

#include "Interaction.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace SystemInfo {

QList<Program> defaultCandidates()
{
    return {
        {QStringLiteral("hardinfo"), {}},
        {QStringLiteral("kinfocenter"), {}},
        {QStringLiteral("gnome-control-center"), {QStringLiteral("info-overview")}},
    };
}

Program find(const QList<Program> &candidates, const QString &searchPath)
{
    const QStringList folders = searchPath.split(QDir::listSeparator(), Qt::SkipEmptyParts);
    // An empty PATH finds nothing: findExecutable would fall back to the process's own.
    if (folders.isEmpty())
        return {};
    for (const Program &candidate : candidates) {
        const QString found = QStandardPaths::findExecutable(candidate.name, folders);
        if (!found.isEmpty())
            return {found, candidate.arguments};
    }
    return {};
}

#ifdef Q_OS_WIN
bool GetKeyValue(void *keyRoot, const QString &keyName, const QString &subKeyRef, QString &keyVal)
{
    keyVal.clear();
    HKEY key = nullptr;
    // Read rights only: a user without write rights below HKEY_LOCAL_MACHINE must
    // still be able to read where the tool lives.
    if (RegOpenKeyExW(static_cast<HKEY>(keyRoot), reinterpret_cast<LPCWSTR>(keyName.utf16()), 0, KEY_READ, &key)
        != ERROR_SUCCESS)
        return false;
    wchar_t buffer[1024] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    const LONG status = RegQueryValueExW(key, reinterpret_cast<LPCWSTR>(subKeyRef.utf16()), nullptr, &type,
                                         reinterpret_cast<LPBYTE>(buffer), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    keyVal = QString::fromWCharArray(buffer); // cut at the first NUL
    return true;
}

namespace {

QString msinfoFromRegistry()
{
    QString path;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), path))
        return path;
    QString folder;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                    QStringLiteral("MSINFO"), folder)) {
        const QString file = folder + QStringLiteral("\\MSINFO32.EXE");
        if (QFileInfo::exists(file))
            return file;
    }
    return {};
}

} // namespace
#endif

void StartSysInfo(Interaction::Interface &ui, const QList<Program> &candidates, const QString &searchPath,
                  QWidget *owner)
{
#ifdef Q_OS_WIN
    const QString msinfo = msinfoFromRegistry();
    if (!msinfo.isEmpty() && QProcess::startDetached(msinfo, {}))
        return;
#endif
    const Program program = find(candidates, searchPath);
    if (!program.name.isEmpty() && QProcess::startDetached(program.name, program.arguments))
        return;
    ui.message({QStringLiteral("System Information Is Unavailable At This Time"), Interaction::kMarlowindTitle,
                Interaction::Icon::None, Interaction::Buttons::Ok, owner});
}

} // namespace SystemInfo
