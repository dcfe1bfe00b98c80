#pragma once

#include <QDialog>

// The about box, also shown as the start-up splash.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr const char *ProductLine = "Kinetrope V3.33";
    static constexpr const char *WebAddress = "https://kinetrope.ostrevan.org/";

    explicit AboutDialog(QWidget *parent = nullptr);
};
