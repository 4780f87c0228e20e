#pragma once

#include <QWidget>

class QAbstractItemView;

// Holds a list in the space the layout gives and makes the list exactly as
// high as a whole number of its rows: no row is cut off at the bottom, and
// what is left over stays blank below the list.
class WholeRows final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WholeRows)

public:
    // The list shows at least minimumRows rows.
    explicit WholeRows(QAbstractItemView* view, int minimumRows = 3, QWidget* parent = nullptr);
    ~WholeRows() override;

    // The list is never narrower than its widest row (up to maxWidth
    // pixels), so that no row is cut off at the side.
    void setFitWidestRow(int maxWidth);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int rowHeight() const;
    int widestRowWidth() const;
    void fit();

    QAbstractItemView* m_view;
    int m_minimumRows;
    int m_maxFitWidth = 0; // 0: no fitting to the widest row
};
