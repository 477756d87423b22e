#pragma once

#include <QHash>
#include <QStringList>
#include <QWidget>

#include <array>
#include <vector>

class QCheckBox;

// The scan dialog's seventeen extension boxes in their three groups, each group with a
// box that selects all of it. A ticked select-all box checks its group, greys it and
// locks it; unticking it clears and unlocks the whole group.
class ExtensionBoxes : public QWidget {
    Q_OBJECT

public:
    enum Group { Video, Audio, Image, GroupCount };

    explicit ExtensionBoxes(QWidget *parent = nullptr);

    // The extensions of the checked boxes, lower case, without the dot.
    QStringList checkedExtensions() const;

    // The box of an extension such as "jpg", or nullptr.
    QCheckBox *box(const QString &extension) const;
    QCheckBox *selectAllBox(Group group) const { return m_groups[group].selectAll; }
    const std::vector<QCheckBox *> &boxesOf(Group group) const { return m_groups[group].boxes; }

    // Enables every group whose select-all box is not ticked, with its boxes.
    void enableUntickedGroups();

    // The caption colour of a locked group's boxes.
    static QColor lockedCaptionColour();

private:
    struct GroupBoxes {
        QCheckBox *selectAll = nullptr;
        std::vector<QCheckBox *> boxes;
    };

    QWidget *makeGroup(Group group, const QString &caption, const QStringList &extensions,
                       const QString &selectAllCaption, const QString &selectAllName);
    void selectAllClicked(Group group, bool checked);

    std::array<GroupBoxes, GroupCount> m_groups;
    QHash<QString, QCheckBox *> m_boxByExtension;
};
