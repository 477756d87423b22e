#include "ScanProgressWindow.h"

#include "ScanResult.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString countsText(int folders, int files)
{
    return QStringLiteral("Folders searched: %1    Files found: %2").arg(folders).arg(files);
}

} // namespace

ScanProgressWindow::ScanProgressWindow(bool stayOnTop, QWidget *parent)
    : QWidget(parent, Qt::Window | (stayOnTop ? Qt::WindowStaysOnTopHint : Qt::WindowFlags()))
{
    setObjectName(QStringLiteral("frmSearching"));
    setWindowTitle(QStringLiteral("Searching"));

    m_notice = new QLabel(QStringLiteral("Scanning for files... this may take several minutes."), this);
    m_notice->setObjectName(QStringLiteral("Label1"));
    m_counts = new QLabel(countsText(0, 0), this);
    m_counts->setObjectName(QStringLiteral("lblProgressCounts"));
    m_currentFolder = new QLabel(this);
    m_currentFolder->setObjectName(QStringLiteral("lblCurrentFolder"));
    // A deep path must not widen the window on every report.
    m_currentFolder->setMinimumWidth(1);
    m_currentFolder->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_currentFolder->setTextFormat(Qt::PlainText);

    m_button = new QPushButton(QStringLiteral("Cancel"), this);
    m_button->setObjectName(QStringLiteral("Command2"));
    connect(m_button, &QPushButton::clicked, this, &ScanProgressWindow::buttonPressed);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_button);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_notice);
    layout->addWidget(m_counts);
    layout->addWidget(m_currentFolder);
    layout->addLayout(buttonRow);
    resize(420, sizeHint().height());
}

void ScanProgressWindow::showProgress(const ScanProgress &progress)
{
    m_counts->setText(countsText(progress.foldersVisited, progress.filesFound));
    const QString folder = QDir::toNativeSeparators(progress.currentFolder);
    m_currentFolder->setToolTip(folder);
    m_currentFolder->setText(
        m_currentFolder->fontMetrics().elidedText(folder, Qt::ElideMiddle, std::max(m_currentFolder->width(), 100)));
}

void ScanProgressWindow::showFilesLookedAt(int files)
{
    m_counts->setText(QStringLiteral("Files looked at: %1").arg(files));
}

void ScanProgressWindow::setCompleted()
{
    m_completed = true;
    m_button->setText(QStringLiteral("Completed"));
    m_currentFolder->clear();
    m_currentFolder->setToolTip(QString());
}

void ScanProgressWindow::dismiss()
{
    // Asked from within closeEvent(): the close under way completes instead, since Qt
    // ignores a second close of a window that is closing.
    if (m_closeBecomesPress) {
        m_dismissedDuringPress = true;
        return;
    }
    m_dismissing = true;
    close();
    m_dismissing = false;
}

void ScanProgressWindow::closeEvent(QCloseEvent *event)
{
    if (m_dismissing) {
        QWidget::closeEvent(event);
        return;
    }
    // The title bar's close button (or the main window closing every window) does what
    // the window's own button does: cancel a running scan and close up.
    m_closeBecomesPress = true;
    m_dismissedDuringPress = false;
    Q_EMIT buttonPressed();
    m_closeBecomesPress = false;
    event->setAccepted(m_dismissedDuringPress);
}
