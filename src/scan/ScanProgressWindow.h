#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
struct ScanProgress;

// The small window beside a running scan (frmSearching): a fixed notice, how far the
// walk has got, and one button that cancels the scan and later closes up.
class ScanProgressWindow : public QWidget {
    Q_OBJECT

public:
    explicit ScanProgressWindow(bool stayOnTop, QWidget *parent = nullptr);

    void showProgress(const ScanProgress &progress);
    // A walk that looks at every file for a few names: how many it has looked at.
    void showFilesLookedAt(int files);
    // The scan has ended: the button now reads "Completed".
    void setCompleted();
    bool isCompleted() const { return m_completed; }
    // Closes the window for good; any other close counts as a press of its button.
    void dismiss();

    QPushButton *button() const { return m_button; }

Q_SIGNALS:
    // Command2, or closing the window by any other way than dismiss(), which means the same.
    void buttonPressed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QLabel *m_notice = nullptr;
    QLabel *m_counts = nullptr;
    QLabel *m_currentFolder = nullptr;
    QPushButton *m_button = nullptr;
    bool m_completed = false;
    bool m_dismissing = false;
    // A close by other means is being turned into a press of the button.
    bool m_closeBecomesPress = false;
    bool m_dismissedDuringPress = false;
};
