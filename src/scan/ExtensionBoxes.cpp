#include "ExtensionBoxes.h"

#include "ScanPasses.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

namespace {

void setCaptionColour(QCheckBox *box, const QColor &colour)
{
    QPalette palette = box->palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(role, colour);
    box->setPalette(palette);
}

} // namespace

ExtensionBoxes::ExtensionBoxes(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(
        makeGroup(Video, QStringLiteral("Video"),
                  {QStringLiteral("avi"), QStringLiteral("wmv"), QStringLiteral("mpeg"), QStringLiteral("mpg")},
                  QStringLiteral("All Video"), QStringLiteral("chkVideo")));
    layout->addWidget(
        makeGroup(Audio, QStringLiteral("Audio"),
                  {QStringLiteral("mp2"), QStringLiteral("mp1"), QStringLiteral("m2v"), QStringLiteral("m2p"),
                   QStringLiteral("mp3"), QStringLiteral("wav"), QStringLiteral("wma")},
                  QStringLiteral("All Audio"), QStringLiteral("chkAudio")));
    layout->addWidget(makeGroup(Image, QStringLiteral("Image"),
                                {QStringLiteral("jpeg"), QStringLiteral("jpg"), QStringLiteral("gif"),
                                 QStringLiteral("tif"), QStringLiteral("png"), QStringLiteral("bmp")},
                                QStringLiteral("All Images"), QStringLiteral("chkImage")));
    Q_ASSERT(m_boxByExtension.size() == ScanPasses::builtInExtensions().size());
}

QWidget *ExtensionBoxes::makeGroup(Group group, const QString &caption, const QStringList &extensions,
                                   const QString &selectAllCaption, const QString &selectAllName)
{
    constexpr int kColumns = 4;
    auto *frame = new QGroupBox(caption, this);
    auto *grid = new QGridLayout(frame);
    GroupBoxes &boxes = m_groups[group];
    for (int i = 0; i < extensions.size(); ++i) {
        auto *box = new QCheckBox(QStringLiteral("*.") + extensions.at(i), frame);
        box->setObjectName(QStringLiteral("chk") + extensions.at(i));
        grid->addWidget(box, i / kColumns, i % kColumns);
        boxes.boxes.push_back(box);
        m_boxByExtension.insert(extensions.at(i), box);
    }
    boxes.selectAll = new QCheckBox(selectAllCaption, frame);
    boxes.selectAll->setObjectName(selectAllName);
    grid->addWidget(boxes.selectAll, (int(extensions.size()) + kColumns - 1) / kColumns, 0, 1, kColumns);
    // Only a click by the user locks or frees the group, as a select-all box is meant to.
    connect(boxes.selectAll, &QCheckBox::clicked, this,
            [this, group](bool checked) { selectAllClicked(group, checked); });
    return frame;
}

QStringList ExtensionBoxes::checkedExtensions() const
{
    QStringList checked;
    for (auto it = m_boxByExtension.cbegin(); it != m_boxByExtension.cend(); ++it) {
        if (it.value()->isChecked())
            checked.append(it.key());
    }
    return checked;
}

QCheckBox *ExtensionBoxes::box(const QString &extension) const
{
    return m_boxByExtension.value(extension);
}

QColor ExtensionBoxes::lockedCaptionColour()
{
    return QColor(128, 128, 128);
}

void ExtensionBoxes::selectAllClicked(Group group, bool checked)
{
    for (QCheckBox *box : m_groups[group].boxes) {
        box->setChecked(checked);
        if (checked)
            setCaptionColour(box, lockedCaptionColour());
        else
            box->setPalette(QPalette()); // back to the style's own button text colour
        box->setEnabled(!checked);
    }
}

void ExtensionBoxes::enableUntickedGroups()
{
    for (GroupBoxes &group : m_groups) {
        if (group.selectAll->isChecked())
            continue;
        group.selectAll->setEnabled(true);
        for (QCheckBox *box : group.boxes)
            box->setEnabled(true);
    }
}
