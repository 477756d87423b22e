#pragma once

#include <QSettings>
#include <QString>

// The persisted settings: organisation and application "Corvanta", group "Settings",
// every value stored as text as it always was.
class AppSettings
{
public:
    static inline const QString kMainLeft = QStringLiteral("MainLeft");
    static inline const QString kMainTop = QStringLiteral("MainTop");
    static inline const QString kMainWidth = QStringLiteral("MainWidth");
    static inline const QString kMainHeight = QStringLiteral("MainHeight");
    static inline const QString kViewMode = QStringLiteral("ViewMode");
    static inline const QString kDefaultFilePath = QStringLiteral("Default FilePath");
    static inline const QString kInitDir = QStringLiteral("InitDir");

    AppSettings();

    QString text(const QString &key, const QString &defaultValue = QString()) const;
    void setText(const QString &key, const QString &value);
    // Numbers are kept as the text of a single-precision number.
    float number(const QString &key, float defaultValue) const;
    void setNumber(const QString &key, float value);

    QString defaultFilePath() const { return text(kDefaultFilePath); }
    void setDefaultFilePath(const QString &path) { setText(kDefaultFilePath, path); }

    void sync() { m_settings.sync(); }
    // Writes what changed. True the first time the settings could not be written (a
    // read-only folder, a full disk), so that the user hears of it once.
    bool syncFailedForTheFirstTime();
    QString fileName() const { return m_settings.fileName(); }

private:
    QString qualified(const QString &key) const;

    mutable QSettings m_settings;
    bool m_writeFailureTold = false;
};
