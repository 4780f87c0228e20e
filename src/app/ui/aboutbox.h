#pragma once

#include <QDialog>

// A small box with the product name, the version ("Velmora (V1.0.000)")
// and a credit line. No update check: no network access is assumed.
class AboutBox final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutBox)

public:
    explicit AboutBox(QWidget* parent = nullptr);
};
