#include "windowsize.h"

#include "settingsstore.h"

QSize restoredWindowSize(const SettingsStore& store, QSize design, QSize available)
{
    // Read at full width: a 16-bit cut would turn 70000 into 4464.
    const int width = leadingNumber(store.getOption(QStringLiteral("Last Width"), QStringLiteral("0")));
    const int height = leadingNumber(store.getOption(QStringLiteral("Last Height"), QStringLiteral("0")));
    QSize size(width > 0 ? width : design.width(), height > 0 ? height : design.height());
    if (!available.isEmpty())
        size = size.boundedTo(available);
    return size;
}
