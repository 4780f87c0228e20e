#include "wholerows.h"

#include <QAbstractItemView>
#include <QScrollBar>
#include <QStyle>

WholeRows::WholeRows(QAbstractItemView* view, int minimumRows, QWidget* parent)
    : QWidget(parent)
    , m_view(view)
    , m_minimumRows(minimumRows)
{
    view->setParent(this);
    setSizePolicy(view->sizePolicy());
    // The row height is known once there are rows.
    const auto rowsChanged = [this] {
        updateGeometry();
        fit();
    };
    connect(view->model(), &QAbstractItemModel::rowsInserted, this, rowsChanged);
    connect(view->model(), &QAbstractItemModel::modelReset, this, rowsChanged);
    connect(view->model(), &QAbstractItemModel::rowsRemoved, this, rowsChanged);
    connect(view->model(), &QAbstractItemModel::dataChanged, this, rowsChanged);
}

WholeRows::~WholeRows()
{
    // The list, deleted after this part of the holder, clears its rows.
    m_view->model()->disconnect(this);
}

void WholeRows::setFitWidestRow(int maxWidth)
{
    m_maxFitWidth = maxWidth;
    updateGeometry();
}

QSize WholeRows::sizeHint() const
{
    return m_view->sizeHint().expandedTo(minimumSizeHint());
}

QSize WholeRows::minimumSizeHint() const
{
    const int width = qMax(m_view->minimumSizeHint().width(), widestRowWidth());
    return QSize(width, 2 * m_view->frameWidth() + m_minimumRows * rowHeight());
}

int WholeRows::widestRowWidth() const
{
    if (m_maxFitWidth <= 0)
        return 0;
    // The rows, a vertical scroll bar beside them and the frame.
    const int rows = m_view->sizeHintForColumn(0);
    const int bar = m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_view);
    return qMin(m_maxFitWidth, rows + bar + 2 * m_view->frameWidth());
}

void WholeRows::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fit();
}

int WholeRows::rowHeight() const
{
    const int shown = m_view->model()->rowCount(m_view->rootIndex()) > 0 ? m_view->sizeHintForRow(0) : -1;
    if (shown > 0)
        return shown;
    // An empty list: the height a line of text takes in this view.
    return m_view->fontMetrics().height()
        + 2 * (m_view->style()->pixelMetric(QStyle::PM_FocusFrameVMargin, nullptr, m_view) + 1);
}

void WholeRows::fit()
{
    const int row = qMax(1, rowHeight());
    int chrome = 2 * m_view->frameWidth();
    if (m_view->horizontalScrollBar()->isVisible())
        chrome += m_view->horizontalScrollBar()->height();
    const int rows = qMax(1, (height() - chrome) / row);
    m_view->setGeometry(0, 0, width(), qMin(height(), rows * row + chrome));
}
