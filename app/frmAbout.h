#pragma once

#include <QDialog>

// The about box: the program's title and version. Shown without blocking
// the main window.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
};
