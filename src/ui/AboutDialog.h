#pragma once

#include <QDialog>

class Prompt;

// The about box, also shown as the start-up splash.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr const char *ProductLine = "Kinetrope V3.33";

    // The prompt tells of a web link that would not open.
    explicit AboutDialog(Prompt *prompt, QWidget *parent = nullptr);
};
