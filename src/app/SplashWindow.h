#pragma once

#include <QFrame>

// Shown while the main window loads its catalog.
class SplashWindow : public QFrame
{
    Q_OBJECT

public:
    explicit SplashWindow(QWidget *parent = nullptr);

    static QString versionText();
};
