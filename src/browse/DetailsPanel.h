#pragma once

#include <QGroupBox>
#include <QModelIndex>
#include <QString>

class FileTypeCache;
class PreviewBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The "Properties" frame below the file list: the current row's name, path, size,
// type and dates, its keywords and a picture preview. The buttons only announce
// themselves; the window decides what they do.
class DetailsPanel : public QGroupBox
{
    Q_OBJECT

public:
    explicit DetailsPanel(FileTypeCache &types, QWidget *parent = nullptr);

    // Fills the panel from a file list row (its path and keywords roles); an
    // invalid index means there is no current row.
    void FillLabels(const QModelIndex &currentRow);
    void FillLabels(const QString &path, const QString &keywords);
    // No current row: the values stay, the preview goes.
    void FillLabelsWithoutRow();

    // The full path of the file shown (the frame's tag); empty when none is.
    QString shownPath() const { return m_shownPath; }
    QString keywordsText() const;
    QLineEdit *keywordsBox() const { return m_keywords; }
    PreviewBox *preview() const { return m_preview; }

Q_SIGNALS:
    void updateKeywordsClicked();
    void executeClicked();

private:
    QLabel *addValueRow(class QGridLayout *grid, int row, const QString &caption, const QString &objectName);
    void clearValues();

    FileTypeCache &m_types;
    QString m_shownPath;
    QLabel *m_name;
    QLabel *m_path;
    QLabel *m_size;
    QLabel *m_type;
    QLabel *m_created;
    QLabel *m_lastModified;
    QLabel *m_lastAccessed;
    QLineEdit *m_keywords;
    QPushButton *m_update;
    QPushButton *m_execute;
    PreviewBox *m_preview;
};
