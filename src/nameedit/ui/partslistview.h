#pragma once

#include <QListWidget>

class PartsList;

// The PartsList control: shows the engine's parts and marks a drag of an
// entry in partDragging for as long as it lasts, so that a tag box can take
// the dropped part.
class PartsListView final : public QListWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PartsListView)

public:
    PartsListView(PartsList& parts, QWidget* parent = nullptr);

protected:
    void startDrag(Qt::DropActions supportedActions) override;

private:
    PartsList& m_parts;
};
