#include "partslistview.h"

#include "nameedit/partslist.h"

PartsListView::PartsListView(PartsList& parts, QWidget* parent)
    : QListWidget(parent)
    , m_parts(parts)
{
    setObjectName(QStringLiteral("PartsList"));
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
}

void PartsListView::startDrag(Qt::DropActions supportedActions)
{
    m_parts.setPartDragging(true);
    QListWidget::startDrag(supportedActions);
    m_parts.setPartDragging(false);
}
