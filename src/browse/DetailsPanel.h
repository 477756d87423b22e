#pragma once

#include <QGroupBox>
#include <QModelIndex>
#include <QString>

class FileTypeCache;
class PreviewBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

// The "Properties" frame below the file list: the current row's name, path, size,
// type and dates, its keywords and a picture preview. The buttons only announce
// themselves; the window decides what they do.
//
// The frame is as wide as the list, which may be narrow, and its band is low: the
// parts wrap onto more rows as the frame narrows, and scroll when they are taller
// than the band, so that no caption or value is ever cut.
class DetailsPanel : public QGroupBox
{
    Q_OBJECT

public:
    enum class Arrangement {
        InOneRow, // values, keywords and preview side by side
        KeywordsAbove, // keywords across the top, the values beside the preview
        Stacked, // one column, each caption above its value
    };
    Q_ENUM(Arrangement)

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
    Arrangement arrangement() const { return m_arrangement; }

Q_SIGNALS:
    void updateKeywordsClicked();
    void executeClicked();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *addValue(const QString &caption, const QString &objectName);
    void clearValues();
    void showOffline(const QString &path);
    Arrangement arrangementFor(int width) const;
    void arrange(Arrangement arrangement);
    void rearrange();

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
    QWidget *m_keywordsBlock;
    QList<QLabel *> m_captions;
    QList<QLabel *> m_values;
    QScrollArea *m_scroll;
    QWidget *m_content;
    QVBoxLayout *m_contentLayout;
    QGridLayout *m_grid = nullptr;
    Arrangement m_arrangement = Arrangement::Stacked;
};
