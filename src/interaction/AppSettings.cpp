#include "AppSettings.h"

AppSettings::AppSettings()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Corvanta"), QStringLiteral("Corvanta"))
{
}

QString AppSettings::qualified(const QString &key) const
{
    return QStringLiteral("Settings/") + key;
}

QString AppSettings::text(const QString &key, const QString &defaultValue) const
{
    return m_settings.value(qualified(key), defaultValue).toString();
}

void AppSettings::setText(const QString &key, const QString &value)
{
    m_settings.setValue(qualified(key), value);
}

float AppSettings::number(const QString &key, float defaultValue) const
{
    bool ok = false;
    const float value = text(key).toFloat(&ok);
    return ok ? value : defaultValue;
}

void AppSettings::setNumber(const QString &key, float value)
{
    setText(key, QString::number(value));
}

bool AppSettings::syncFailedForTheFirstTime()
{
    m_settings.sync();
    if (m_settings.status() != QSettings::AccessError || m_writeFailureTold)
        return false;
    m_writeFailureTold = true;
    return true;
}
