#pragma once

#include <QFrame>

// Shown while the main window loads its catalog.
class SplashWindow : public QFrame
{
    Q_OBJECT

public:
    explicit SplashWindow(QWidget *parent = nullptr);

    static QString versionText();
    // How far the start-up catalog's load is.
    void showLoadProgress(const QString &path, int filesRead);

private:
    class QLabel *m_progress = nullptr;
};
