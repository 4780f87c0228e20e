#include "tagpanelbuilder.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>

QString tagBoxToolTip(int index)
{
    const QString name
        = index == int(FieldId::OrigArtist) ? QStringLiteral("Original Artist") : QLatin1String(fieldInfo(index).name);
    return QStringLiteral("Value Of The ") + name + QStringLiteral(" ID3 Field");
}

TagPanelWidgets buildTagPanel(QWidget* parent)
{
    TagPanelWidgets p;
    p.area = new QScrollArea(parent);
    p.area->setObjectName(QStringLiteral("ContainerPic"));
    p.area->setWidgetResizable(true);
    p.area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    p.area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    p.inner = new QWidget;
    p.inner->setObjectName(QStringLiteral("ScrollPic"));
    p.grid = new QGridLayout(p.inner);
    for (int i = 0; i < kFieldCount; ++i) {
        auto* label = new QLabel(QLatin1String(fieldInfo(i).name), p.inner);
        label->setObjectName(QStringLiteral("ID3Label%1").arg(i));
        label->setToolTip(QStringLiteral("ID3 Field Name"));
        QWidget* box = nullptr;
        if (i == int(FieldId::Genre)) {
            auto* combo = new QComboBox(p.inner);
            combo->setEditable(true);
            box = combo;
        } else if (i == int(FieldId::CopyRight)) {
            box = new QComboBox(p.inner);
        } else {
            box = new QLineEdit(p.inner);
        }
        box->setObjectName(QLatin1String(fieldInfo(i).boxName));
        box->setToolTip(tagBoxToolTip(i));
        label->setBuddy(box);
        p.grid->addWidget(label, i, 0);
        p.grid->addWidget(box, i, 1);
        p.labels[i] = label;
        p.boxes[i] = box;
    }
    p.grid->setColumnStretch(1, 1);
    p.area->setWidget(p.inner);
    return p;
}
